#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <variant>

namespace platform {

namespace {

QString nombre(const QString& path)
{
    return QStringLiteral("«%1»").arg(QDir::toNativeSeparators(path));
}

QString fallo(const QString& path, const QString& motivo)
{
    return QStringLiteral("No se pudo guardar %1: %2.").arg(nombre(path), motivo);
}

// New files get the permissions any program would give them (0666 less the
// umask); mkstemp alone would leave them readable by their owner only.
mode_t modoNuevo()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& linea : status.readAll().split('\n')) {
            if (linea.startsWith("Umask:")) {
                bool ok = false;
                const uint mask = linea.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    return 0666 & ~mask;
            }
        }
    }
    return 0644;
}

void fsyncCarpeta(const QByteArray& carpeta)
{
    const int fd = ::open(carpeta.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// Where the bytes really go: a link is followed, so the link itself stays.
QString destinoReal(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString destino = info.symLinkTarget();
        if (!destino.isEmpty())
            return destino;
    }
    return info.absoluteFilePath();
}

struct Preparado {
    QString destino;
    QByteArray destinoLocal;
    QByteArray temporal;
    int fd = -1;
    mode_t modo = 0;
};

std::variant<Preparado, QString> preparar(const QString& path)
{
    if (path.isEmpty())
        return QStringLiteral("No se pudo guardar el archivo: no se indicó una ruta.");
    Preparado p;
    p.destino = destinoReal(path);
    p.destinoLocal = QFile::encodeName(p.destino);
    struct stat st {};
    if (::stat(p.destinoLocal.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return fallo(path, QStringLiteral("en esa ruta hay una carpeta"));
        p.modo = st.st_mode & 07777;
    } else {
        p.modo = modoNuevo();
    }
    const QFileInfo info(p.destino);
    p.temporal = QFile::encodeName(QDir(info.absolutePath()).filePath(
                     QStringLiteral(".%1.XXXXXX").arg(info.fileName())));
    p.fd = ::mkostemp(p.temporal.data(), O_CLOEXEC);
    if (p.fd < 0)
        return fallo(path, systemErrorText(errno));
    return p;
}

// Flushes, renames over the target and flushes the folder. Closes the
// descriptor and removes the temporary file on failure.
std::optional<QString> terminar(const QString& path, Preparado& p)
{
    auto deshacer = [&](int error) {
        if (p.fd >= 0)
            ::close(p.fd);
        p.fd = -1;
        ::unlink(p.temporal.constData());
        return fallo(path, systemErrorText(error));
    };
    if (::fchmod(p.fd, p.modo) != 0)
        return deshacer(errno);
    if (::fsync(p.fd) != 0)
        return deshacer(errno);
    if (::close(p.fd) != 0) {
        p.fd = -1;
        return deshacer(errno);
    }
    p.fd = -1;
    if (::rename(p.temporal.constData(), p.destinoLocal.constData()) != 0)
        return deshacer(errno);
    // The new file is in place; flushing the folder only makes the rename durable.
    fsyncCarpeta(QFile::encodeName(QFileInfo(p.destino).absolutePath()));
    return std::nullopt;
}

// The temporary file as a device, buffered by itself. Its first failure sticks: a producer that
// writes through the device (a PDF writer asks positions and flushes on its own) would clear a
// QFile's error state, and commit() would then rename a cut file into place.
class SalidaTemporal : public QIODevice {
public:
    explicit SalidaTemporal(int fd) : fd_(fd) {}

    int error() const { return error_; }

    bool vaciar()
    {
        const char* p = pendiente_.constData();
        qsizetype n = pendiente_.size();
        while (n > 0 && error_ == 0) {
            const ssize_t w = ::write(fd_, p, size_t(n));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0) {
                error_ = w < 0 && errno != 0 ? errno : EIO;
                continue;
            }
            p += w;
            n -= w;
        }
        pendiente_.clear();
        return error_ == 0;
    }

    bool seek(qint64 posicion) override
    {
        if (!vaciar() || ::lseek(fd_, off_t(posicion), SEEK_SET) < 0) {
            if (error_ == 0)
                error_ = errno != 0 ? errno : EIO;
            return false;
        }
        return QIODevice::seek(posicion);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* datos, qint64 n) override
    {
        if (error_ != 0)
            return -1;
        pendiente_.append(datos, qsizetype(n));
        if (pendiente_.size() >= kTamanoBloque && !vaciar())
            return -1;
        return n;
    }

private:
    static constexpr qsizetype kTamanoBloque = 256 * 1024;
    int fd_;
    QByteArray pendiente_;
    int error_ = 0;
};

}  // namespace

QString systemErrorText(int e)
{
    switch (e) {
    case ENOENT: return QStringLiteral("la carpeta no existe");
    case ENOTDIR: return QStringLiteral("una parte de la ruta no es una carpeta");
    case EACCES:
    case EPERM: return QStringLiteral("no hay permiso para escribir ahí");
    case ENOSPC: return QStringLiteral("no queda espacio en el disco");
    case EDQUOT: return QStringLiteral("se superó la cuota de disco");
    case EFBIG: return QStringLiteral("el archivo supera el tamaño permitido");
    case EROFS: return QStringLiteral("el disco es de solo lectura");
    case EISDIR: return QStringLiteral("en esa ruta hay una carpeta");
    case EIO: return QStringLiteral("error de entrada/salida del disco");
    case ENAMETOOLONG: return QStringLiteral("el nombre es demasiado largo");
    case EMFILE:
    case ENFILE: return QStringLiteral("hay demasiados archivos abiertos");
    default: return QStringLiteral("error del sistema %1 (%2)").arg(e).arg(QString::fromLocal8Bit(std::strerror(e)));
    }
}

std::optional<QString> replaceFileAtomically(const QString& path, const QByteArray& bytes)
{
    AtomicFileWriter writer;
    if (auto error = writer.open(path))
        return error;
    writer.write(bytes);
    return writer.commit();
}

std::optional<QString> replaceFileAtomicallyWith(
    const QString& path, const std::function<std::optional<QString>(const QString& tempPath)>& produce)
{
    auto preparado = preparar(path);
    if (auto* error = std::get_if<QString>(&preparado))
        return *error;
    Preparado& p = std::get<Preparado>(preparado);
    // The producer writes the file anew under this name; the descriptor only reserved it.
    ::close(p.fd);
    p.fd = -1;
    if (auto error = produce(QFile::decodeName(p.temporal))) {
        ::unlink(p.temporal.constData());
        return error;
    }
    p.fd = ::open(p.temporal.constData(), O_RDWR | O_CLOEXEC);
    if (p.fd < 0) {
        const int e = errno;
        ::unlink(p.temporal.constData());
        return fallo(path, systemErrorText(e));
    }
    return terminar(path, p);
}

struct AtomicFileWriter::State {
    QString path;
    Preparado preparado;
    std::unique_ptr<SalidaTemporal> salida;
};

AtomicFileWriter::AtomicFileWriter() = default;

AtomicFileWriter::~AtomicFileWriter()
{
    abort();
}

std::optional<QString> AtomicFileWriter::open(const QString& path)
{
    abort();
    auto preparado = preparar(path);
    if (auto* error = std::get_if<QString>(&preparado))
        return *error;
    state_ = std::make_unique<State>();
    state_->path = path;
    state_->preparado = std::get<Preparado>(std::move(preparado));
    state_->salida = std::make_unique<SalidaTemporal>(state_->preparado.fd);
    state_->salida->open(QIODevice::WriteOnly);
    return std::nullopt;
}

QIODevice* AtomicFileWriter::device()
{
    return state_ ? state_->salida.get() : nullptr;
}

bool AtomicFileWriter::write(const QByteArray& bytes)
{
    if (!state_)
        return false;
    return state_->salida->write(bytes) == bytes.size();
}

std::optional<QString> AtomicFileWriter::commit()
{
    if (!state_)
        return QStringLiteral("No se pudo guardar el archivo: no estaba abierto.");
    state_->salida->vaciar();
    state_->salida->close();
    if (const int error = state_->salida->error(); error != 0) {
        const QString path = state_->path;
        abort();
        return fallo(path, systemErrorText(error));
    }
    auto resultado = terminar(state_->path, state_->preparado);
    state_.reset();
    return resultado;
}

void AtomicFileWriter::abort()
{
    if (!state_)
        return;
    if (state_->salida)
        state_->salida->close();
    if (state_->preparado.fd >= 0) {
        ::close(state_->preparado.fd);
        state_->preparado.fd = -1;
        ::unlink(state_->preparado.temporal.constData());
    }
    state_.reset();
}

}  // namespace platform
