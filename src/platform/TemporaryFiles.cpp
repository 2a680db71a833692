#include "platform/TemporaryFiles.h"

#include "platform/WorkFolder.h"

#include <QDir>
#include <QUuid>

namespace platform {

QString newUuidText()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

QString temporaryWorkPath(const QString& extension)
{
    return QDir(privateWorkFolder()).filePath(newUuidText() + extension);
}

}  // namespace platform
