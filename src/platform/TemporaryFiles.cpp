#include "platform/TemporaryFiles.h"

#include <QDir>
#include <QUuid>

namespace platform {

QString newUuidText()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

QString temporaryWorkPath(const QString& extension)
{
    return QDir(QDir::tempPath()).filePath(newUuidText() + extension);
}

}  // namespace platform
