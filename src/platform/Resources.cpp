#include "platform/Resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <mutex>

namespace platform {

namespace {
std::mutex overrideMutex;
QString overrideDir;
}  // namespace

QString Resources::bundleDir()
{
    {
        std::lock_guard lock(overrideMutex);
        if (!overrideDir.isEmpty())
            return overrideDir;
    }
    return QCoreApplication::applicationDirPath();
}

void Resources::setBundleDir(const QString& dir)
{
    std::lock_guard lock(overrideMutex);
    overrideDir = dir;
}

std::optional<QString> Resources::path(const QString& name, const QString& extension)
{
    if (name.isEmpty())
        return std::nullopt;
    const QString file = extension.isEmpty() ? name : name + "." + extension;
    const QFileInfo info(QDir(bundleDir()).filePath(file));
    if (!info.exists() || info.isDir())
        return std::nullopt;
    return info.absoluteFilePath();
}

}  // namespace platform
