#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <tuple>
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

// Work files beside the target: the reservation ".<name>.quelva-XXXXXX", locked for as long as
// its save runs, and the pieces named after it: "<reservation>.tmp" written by a producer, the
// zip library's own "<reservation>.tmp.XXXXXX" and a folder of parts "<reservation>.tmp.partes-XXXXXX".
// A reservation nobody holds is what a killed save left behind.
const QRegularExpression& patronReserva()
{
    static const QRegularExpression patron(QStringLiteral("^\\..+\\.quelva-[A-Za-z0-9]{6}$"));
    return patron;
}

bool esPiezaDe(const QString& nombre, const QString& reserva)
{
    static const QRegularExpression pieza(QStringLiteral("^\\.tmp(\\.[A-Za-z0-9]{6,8}|\\.partes-[A-Za-z0-9]{6})?$"));
    return nombre.startsWith(reserva) && pieza.match(QStringView(nombre).mid(reserva.size())).hasMatch();
}

void borrarEntrada(const QString& ruta)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(ruta).constData(), &st) != 0)
        return;
    if (S_ISDIR(st.st_mode))
        QDir(ruta).removeRecursively();
    else if (S_ISREG(st.st_mode))
        QFile::remove(ruta);
}

// Removes the reservation and its pieces when no save holds it.
void quitarSiAbandonada(const QDir& carpeta, const QString& reserva, const QStringList& nombres)
{
    const QByteArray ruta = QFile::encodeName(carpeta.filePath(reserva));
    const int fd = ::open(ruta.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        for (const QString& n : nombres)
            if (esPiezaDe(n, reserva))
                borrarEntrada(carpeta.filePath(n));
        // Gone while still locked: a save that raced for this name sees it and picks another.
        ::unlink(ruta.constData());
    }
    ::close(fd);
}

// Our leftovers in the folder of a file about to be saved, and only those.
void quitarRestos(const QString& carpetaRuta)
{
    const QDir carpeta(carpetaRuta);
    const QStringList nombres = carpeta.entryList({QStringLiteral(".*.quelva-*")},
                                                  QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& n : nombres)
        if (patronReserva().match(n).hasMatch())
            quitarSiAbandonada(carpeta, n, nombres);
}

// A new reservation beside `destino`, locked. Locked only after it exists, so a cleaner may
// take it first: then its name no longer leads to this file and another is made.
std::variant<std::pair<int, QByteArray>, int> reservar(const QString& destino)
{
    const QFileInfo info(destino);
    // The name is only a hint for whoever sees the file; cut, so a piece's name fits too.
    QString nombre = info.fileName().left(48);
    if (!nombre.isEmpty() && nombre.back().isHighSurrogate())
        nombre.chop(1);
    const QByteArray plantilla =
        QFile::encodeName(QDir(info.absolutePath()).filePath(QStringLiteral(".%1.quelva-XXXXXX").arg(nombre)));
    for (int intento = 0; intento < 16; ++intento) {
        QByteArray ruta = plantilla;
        const int fd = ::mkostemp(ruta.data(), O_CLOEXEC);
        if (fd < 0)
            return errno;
        while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
        }
        struct stat propio {}, enCarpeta {};
        if (::fstat(fd, &propio) == 0 && ::lstat(ruta.constData(), &enCarpeta) == 0 && propio.st_ino == enCarpeta.st_ino
            && propio.st_dev == enCarpeta.st_dev)
            return std::pair{fd, ruta};
        ::close(fd);
    }
    return EEXIST;
}

struct Preparado {
    QString destino;
    QByteArray destinoLocal;
    QByteArray temporal;  // the reservation
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
    quitarRestos(QFileInfo(p.destino).absolutePath());
    auto reserva = reservar(p.destino);
    if (const int* error = std::get_if<int>(&reserva))
        return fallo(path, systemErrorText(*error));
    std::tie(p.fd, p.temporal) = std::get<std::pair<int, QByteArray>>(reserva);
    return p;
}

// Flushes `fd` (the file at `desde`), renames it over the target, closes it and flushes the
// folder. Removes `desde` on failure. Closed only after the rename: until then the lock on
// the reservation says the save is running.
std::optional<QString> terminar(const QString& path, const Preparado& p, int& fd, const QByteArray& desde)
{
    auto deshacer = [&](int error) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
        ::unlink(desde.constData());
        return fallo(path, systemErrorText(error));
    };
    if (::fchmod(fd, p.modo) != 0)
        return deshacer(errno);
    if (::fsync(fd) != 0)
        return deshacer(errno);
    if (::rename(desde.constData(), p.destinoLocal.constData()) != 0)
        return deshacer(errno);
    ::close(fd);
    fd = -1;
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
    // The producer writes its own file beside the reservation, which stays locked until the end:
    // a library that writes through a temporary file and renames it would swap the locked file.
    const QByteArray producido = p.temporal + ".tmp";
    auto soltarReserva = [&] {
        ::unlink(p.temporal.constData());
        ::close(p.fd);
        p.fd = -1;
    };
    if (auto error = produce(QFile::decodeName(producido))) {
        ::unlink(producido.constData());
        soltarReserva();
        return error;
    }
    int fd = ::open(producido.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        const int e = errno;
        ::unlink(producido.constData());
        soltarReserva();
        return fallo(path, systemErrorText(e));
    }
    auto resultado = terminar(path, p, fd, producido);
    soltarReserva();
    return resultado;
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
    auto resultado = terminar(state_->path, state_->preparado, state_->preparado.fd, state_->preparado.temporal);
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
