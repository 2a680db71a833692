#include "platform/RegularFile.h"

#include <QDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString sinLeer(const QString& nombre, int error)
{
    return QStringLiteral("No se pudo leer «%1»: %2").arg(nombre, QString::fromLocal8Bit(std::strerror(error)));
}

}  // namespace

std::variant<OpenedRegularFile, QString> openRegularFileForReading(const QString& path)
{
    const QString nombre = QDir::toNativeSeparators(path);
    // Non-blocking, so opening a FIFO with no writer returns at once and is refused below.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return errno == EISDIR ? QStringLiteral("«%1» no es un archivo.").arg(nombre) : sinLeer(nombre, errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return sinLeer(nombre, error);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return QStringLiteral("«%1» no es un archivo.").arg(nombre);
    }
    const int banderas = ::fcntl(fd, F_GETFL);
    if (banderas >= 0)
        ::fcntl(fd, F_SETFL, banderas & ~O_NONBLOCK);
    OpenedRegularFile abierto;
    abierto.file = std::make_unique<QFile>();
    if (!abierto.file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return QStringLiteral("No se pudo leer «%1»: %2").arg(nombre, abierto.file->errorString());
    }
    abierto.size = static_cast<qint64>(info.st_size);
    return abierto;
}

}  // namespace platform
