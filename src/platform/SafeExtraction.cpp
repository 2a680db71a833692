#include "platform/SafeExtraction.h"

#include "platform/AtomicFile.h"
#include "platform/ZipReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStorageInfo>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <variant>
#include <mutex>
#include <vector>

namespace platform {

namespace {

QString tamano(std::uint64_t bytes)
{
    if (bytes >= (std::uint64_t{1} << 30))
        return QStringLiteral("%1 GiB").arg(QString::number(double(bytes) / double(std::uint64_t{1} << 30), 'f', 1));
    if (bytes >= (std::uint64_t{1} << 20))
        return QStringLiteral("%1 MiB").arg(QString::number(double(bytes) / double(std::uint64_t{1} << 20), 'f', 1));
    return QStringLiteral("%1 bytes").arg(bytes);
}

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor(Descriptor&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
    Descriptor& operator=(Descriptor&& o) noexcept
    {
        std::swap(fd_, o.fd_);
        return *this;
    }
    int get() const { return fd_; }
    int release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

struct Plan {
    std::uint64_t index;
    QString path;  // below the folder, "/"-separated
    bool folder;
    std::uint64_t size;
};

// Opens (making it when missing) each folder of `partes` below `raiz`, never
// through a link.
std::variant<Descriptor, int> abrirCarpeta(int raiz, const QStringList& partes)
{
    Descriptor actual(::fcntl(raiz, F_DUPFD_CLOEXEC, 0));
    if (actual.get() < 0)
        return errno;
    for (const QString& parte : partes) {
        const QByteArray nombre = QFile::encodeName(parte);
        if (::mkdirat(actual.get(), nombre.constData(), 0777) != 0 && errno != EEXIST)
            return errno;
        Descriptor siguiente(
            ::openat(actual.get(), nombre.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (siguiente.get() < 0)
            return errno;
        actual = std::move(siguiente);
    }
    return actual;
}

bool escribirTodo(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Writes one file entry below `raiz`, counting the bytes really inflated.
std::optional<QString> escribirEntrada(const ZipReader& zip, int raiz, const Plan& p, const std::atomic<bool>& parar)
{
    QStringList partes = p.path.split(u'/');
    const QString hoja = partes.takeLast();
    auto carpeta = abrirCarpeta(raiz, partes);
    if (const int* e = std::get_if<int>(&carpeta))
        return QStringLiteral("No se pudo crear la carpeta de «%1»: %2.").arg(p.path, systemErrorText(*e));
    Descriptor archivo(::openat(std::get<Descriptor>(carpeta).get(), QFile::encodeName(hoja).constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (archivo.get() < 0)
        return QStringLiteral("No se pudo crear «%1»: %2.").arg(p.path, systemErrorText(errno));
    std::uint64_t deEsta = 0;
    std::optional<QString> problema;
    auto error = zip.read(p.index, [&](const char* data, std::size_t size) {
        deEsta += size;
        if (deEsta > p.size) {
            problema = QStringLiteral("La entrada «%1» contiene más datos de los que declara.").arg(p.path);
            return false;
        }
        if (!escribirTodo(archivo.get(), data, size)) {
            problema = QStringLiteral("No se pudo escribir «%1»: %2.").arg(p.path, systemErrorText(errno));
            return false;
        }
        // Another worker failed: the whole extraction is thrown away.
        return !parar.load();
    });
    if (problema)
        return problema;
    if (error)
        return error;
    if (parar)
        return QStringLiteral("Extracción interrumpida.");
    if (deEsta != p.size)
        return QStringLiteral("La entrada «%1» contiene menos datos de los que declara.").arg(p.path);
    if (::close(archivo.release()) != 0)
        return QStringLiteral("No se pudo escribir «%1»: %2.").arg(p.path, systemErrorText(errno));
    return std::nullopt;
}

}  // namespace

SafeEntryName safeEntryPath(const QString& entryName)
{
    auto rechazo = [&](const QString& motivo) {
        return SafeEntryName{{}, QStringLiteral("La entrada «%1» %2.").arg(entryName, motivo)};
    };
    if (entryName.isEmpty())
        return SafeEntryName{{}, QStringLiteral("Una entrada no tiene nombre.")};
    if (entryName.contains(QChar(0)))
        return rechazo(QStringLiteral("tiene un carácter nulo en el nombre"));
    if (entryName.startsWith(u'/') || entryName.startsWith(u'\\'))
        return rechazo(QStringLiteral("tiene una ruta absoluta"));
    static const QRegularExpression unidad(QStringLiteral("^[A-Za-z]:"));
    if (unidad.match(entryName).hasMatch())
        return rechazo(QStringLiteral("empieza con una letra de unidad"));
    static const QRegularExpression separador(QStringLiteral("[/\\\\]"));
    QStringList partes;
    for (const QString& parte : entryName.split(separador)) {
        if (parte == QLatin1String(".."))
            return rechazo(QStringLiteral("sale de la carpeta de destino con «..»"));
        if (parte.isEmpty() || parte == QLatin1String("."))
            continue;
        partes.append(parte);
    }
    if (partes.isEmpty())
        return rechazo(QStringLiteral("no nombra ningún archivo"));
    return SafeEntryName{partes.join(u'/'), std::nullopt};
}

std::optional<QString> extractZipSafely(const QString& archivePath, const QString& folder,
                                        const ZipExtractionLimits& limits)
{
    ZipReader zip;
    if (auto error = zip.open(archivePath))
        return error;
    const std::uint64_t cantidad = zip.entryCount();
    if (cantidad > limits.maxEntries)
        return QStringLiteral("«%1» tiene %2 entradas; se admiten hasta %3.")
            .arg(archivePath)
            .arg(cantidad)
            .arg(limits.maxEntries);

    // Everything is checked before the first byte is written.
    std::vector<Plan> plan;
    plan.reserve(cantidad);
    QSet<QString> nombres;
    QSet<QString> archivos;
    std::uint64_t total = 0;
    for (std::uint64_t i = 0; i < cantidad; ++i) {
        const ZipEntry e = zip.entry(i);
        const SafeEntryName ruta = safeEntryPath(e.name);
        if (ruta.refusal)
            return ruta.refusal;
        const std::uint32_t tipo = e.unixMode & S_IFMT;
        if (tipo == S_IFLNK)
            return QStringLiteral("La entrada «%1» es un enlace simbólico.").arg(e.name);
        if (tipo != 0 && tipo != S_IFREG && tipo != S_IFDIR)
            return QStringLiteral("La entrada «%1» no es un archivo ni una carpeta.").arg(e.name);
        if (e.encrypted)
            return QStringLiteral("La entrada «%1» está cifrada.").arg(e.name);
        if (nombres.contains(ruta.path))
            return QStringLiteral("La entrada «%1» está repetida.").arg(e.name);
        nombres.insert(ruta.path);
        if (!e.folder) {
            archivos.insert(ruta.path);
            if (e.size > limits.maxTotalBytes - std::min(total, limits.maxTotalBytes))
                return QStringLiteral("El contenido de «%1» supera el límite de %2.")
                    .arg(archivePath, tamano(limits.maxTotalBytes));
            total += e.size;
            const bool excede = e.compressedSize <= UINT64_MAX / std::max<std::uint64_t>(limits.maxRatio, 1)
                                && e.size > e.compressedSize * limits.maxRatio;
            if (excede)
                return QStringLiteral("La entrada «%1» se expande más de %2 veces su tamaño comprimido.")
                    .arg(e.name)
                    .arg(limits.maxRatio);
        }
        plan.push_back({i, ruta.path, e.folder, e.size});
    }
    for (const Plan& p : plan) {
        qsizetype barra = p.path.lastIndexOf(u'/');
        while (barra > 0) {
            const QString arriba = p.path.left(barra);
            if (archivos.contains(arriba))
                return QStringLiteral("La entrada «%1» queda dentro de «%2», que es un archivo.").arg(p.path, arriba);
            barra = arriba.lastIndexOf(u'/');
        }
    }

    const QFileInfo destino(folder);
    const QString padre = destino.absolutePath();
    if (!QDir().mkpath(padre))
        return QStringLiteral("No se pudo crear la carpeta «%1».").arg(padre);
    const QStorageInfo disco(padre);
    if (disco.isValid() && disco.bytesAvailable() >= 0 && total > static_cast<std::uint64_t>(disco.bytesAvailable()))
        return QStringLiteral("El contenido de «%1» (%2) no cabe en el espacio libre del disco (%3).")
            .arg(archivePath, tamano(total), tamano(static_cast<std::uint64_t>(disco.bytesAvailable())));

    const QString parcial = destino.absoluteFilePath() + QStringLiteral(".partial");
    const QByteArray parcialLocal = QFile::encodeName(parcial);
    if (::mkdir(parcialLocal.constData(), 0777) != 0)
        return QStringLiteral("No se pudo crear la carpeta «%1»: %2.").arg(parcial, systemErrorText(errno));
    auto fallo = [&](const QString& motivo) -> std::optional<QString> {
        QDir(parcial).removeRecursively();
        return motivo;
    };
    Descriptor raiz(::open(parcialLocal.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (raiz.get() < 0)
        return fallo(QStringLiteral("No se pudo abrir la carpeta «%1»: %2.").arg(parcial, systemErrorText(errno)));

    // Folders first, in archive order; then the files, several at a time, each
    // worker reading the archive through its own reader.
    std::vector<const Plan*> archivosPlan;
    for (const Plan& p : plan) {
        QStringList partes = p.path.split(u'/');
        if (!p.folder)
            partes.removeLast();
        auto carpeta = abrirCarpeta(raiz.get(), partes);
        if (const int* e = std::get_if<int>(&carpeta))
            return fallo(QStringLiteral("No se pudo crear la carpeta de «%1»: %2.").arg(p.path, systemErrorText(*e)));
        if (!p.folder)
            archivosPlan.push_back(&p);
    }
    const std::size_t hilos =
        std::min<std::size_t>(archivosPlan.size(), static_cast<std::size_t>(std::clamp(QThread::idealThreadCount(), 1, 8)));
    std::vector<std::vector<const Plan*>> lotes(hilos);
    std::vector<std::uint64_t> carga(hilos, 0);
    std::vector<const Plan*> porTamano = archivosPlan;
    std::stable_sort(porTamano.begin(), porTamano.end(), [](const Plan* a, const Plan* b) { return a->size > b->size; });
    for (const Plan* p : porTamano) {
        const std::size_t k = static_cast<std::size_t>(std::min_element(carga.begin(), carga.end()) - carga.begin());
        lotes[k].push_back(p);
        carga[k] += p->size + 1;
    }
    std::mutex cerrojo;
    std::optional<QString> primerError;
    std::atomic<bool> parar{false};
    auto anotar = [&](const QString& motivo) {
        {
            const std::lock_guard<std::mutex> guarda(cerrojo);
            if (!primerError)
                primerError = motivo;
        }
        parar = true;
    };
    auto extraerLote = [&](const std::vector<const Plan*>& lote) {
        ZipReader propio;
        if (auto error = propio.open(archivePath)) {
            anotar(*error);
            return;
        }
        for (const Plan* p : lote) {
            if (parar)
                return;
            if (auto error = escribirEntrada(propio, raiz.get(), *p, parar)) {
                anotar(*error);
                return;
            }
        }
    };
    if (lotes.size() == 1) {
        extraerLote(lotes.front());
    } else if (lotes.size() > 1) {
        QThreadPool grupo;
        grupo.setMaxThreadCount(static_cast<int>(lotes.size()));
        QtConcurrent::blockingMap(&grupo, lotes, extraerLote);
    }
    if (primerError)
        return fallo(*primerError);

    const QByteArray final = QFile::encodeName(destino.absoluteFilePath());
    if (::renameat2(AT_FDCWD, parcialLocal.constData(), AT_FDCWD, final.constData(), RENAME_NOREPLACE) != 0)
        return fallo(QStringLiteral("No se pudo mover «%1» a «%2»: %3.")
                         .arg(parcial, destino.absoluteFilePath(), systemErrorText(errno)));
    return std::nullopt;
}

}  // namespace platform
