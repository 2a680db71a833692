#include "platform/OpenWithDefault.h"

#include <QDesktopServices>

namespace platform {

namespace {
std::function<bool(const QUrl&)>& opener()
{
    static std::function<bool(const QUrl&)> current;
    return current;
}
}  // namespace

bool openWithDefaultApplication(const QUrl& url)
{
    if (opener())
        return opener()(url);
    return QDesktopServices::openUrl(url);
}

bool openFileWithDefaultApplication(const QString& path)
{
    return openWithDefaultApplication(QUrl::fromLocalFile(path));
}

void setDefaultApplicationOpener(std::function<bool(const QUrl&)> replacement)
{
    opener() = std::move(replacement);
}

}  // namespace platform
