#include "platform/ZipWriter.h"

#include "platform/AtomicFile.h"
#include "platform/ZipErrors.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include <cerrno>
#include <vector>
#include <zip.h>

namespace platform {

struct ZipWriter::Entry {
    QByteArray name;
    enum class Kind { directory, memory, file } kind = Kind::memory;
    QByteArray bytes;
    QString sourcePath;
};

struct ZipWriter::State {
    std::vector<Entry> entries;
    std::optional<QString> error;
    bool parallel = false;
};

namespace {

bool nombreValido(const QString& name)
{
    if (name.isEmpty() || name.startsWith(u'/') || name.contains(u'\\') || name.contains(QChar(0)))
        return false;
    const QStringList partes = name.split(u'/');
    for (qsizetype i = 0; i < partes.size(); ++i) {
        const QString& parte = partes.at(i);
        if (parte == QLatin1String("..") || parte == QLatin1String("."))
            return false;
        // Only a folder's name ends in "/", which leaves one empty last piece.
        if (parte.isEmpty() && i != partes.size() - 1)
            return false;
    }
    return true;
}

QString textoZip(zip_t* archivo)
{
    return zipErrorText(zip_get_error(archivo));
}

// zip's own default level. libzip's default is 9: several times slower for
// archives a few percent smaller.
constexpr zip_uint32_t kNivelDeflate = 6;

// Each part stays open until the archive that copies from it is closed; the
// rest are deflated while the archive is written.
constexpr std::size_t maximoPartes = 256;

struct Parte {
    const void* entrada = nullptr;  // the entry it stands for
    QString fuente;
    QString ruta;
    std::optional<QString> error;
    zip_t* archivo = nullptr;
};

// Deflates one source file alone into a one-entry archive.
void comprimirParte(Parte& parte)
{
    int codigo = 0;
    zip_t* archivo = zip_open(QFile::encodeName(parte.ruta).constData(), ZIP_CREATE | ZIP_TRUNCATE, &codigo);
    if (!archivo) {
        parte.error = zipErrorText(codigo, errno);
        return;
    }
    zip_source_t* fuente = zip_source_file(archivo, QFile::encodeName(parte.fuente).constData(), 0, -1);
    const zip_int64_t indice = fuente ? zip_file_add(archivo, "x", fuente, 0) : -1;
    if (indice < 0 || zip_set_file_compression(archivo, static_cast<zip_uint64_t>(indice), ZIP_CM_DEFLATE,
                                               kNivelDeflate) != 0) {
        if (fuente && indice < 0)
            zip_source_free(fuente);
        parte.error = textoZip(archivo);
        zip_discard(archivo);
        return;
    }
    if (zip_close(archivo) != 0) {
        parte.error = textoZip(archivo);
        zip_discard(archivo);
    }
}

// libzip removes an archive with no entries instead of writing it; this is
// the end record of an empty archive.
QByteArray archivoVacio()
{
    QByteArray bytes(22, '\0');
    bytes[0] = 'P';
    bytes[1] = 'K';
    bytes[2] = 5;
    bytes[3] = 6;
    return bytes;
}

}  // namespace

ZipWriter::ZipWriter() : state_(std::make_unique<State>()) {}

ZipWriter::~ZipWriter() = default;

void ZipWriter::addDirectory(const QString& name)
{
    QString carpeta = name;
    if (!carpeta.endsWith(u'/'))
        carpeta.append(u'/');
    if (!nombreValido(carpeta)) {
        if (!state_->error)
            state_->error = QStringLiteral("El nombre de carpeta «%1» no es válido en un archivo zip.").arg(name);
        return;
    }
    state_->entries.push_back({carpeta.toUtf8(), Entry::Kind::directory, {}, {}});
}

void ZipWriter::addFile(const QString& name, const QByteArray& bytes)
{
    if (!nombreValido(name) || name.endsWith(u'/')) {
        if (!state_->error)
            state_->error = QStringLiteral("El nombre «%1» no es válido en un archivo zip.").arg(name);
        return;
    }
    state_->entries.push_back({name.toUtf8(), Entry::Kind::memory, bytes, {}});
}

void ZipWriter::addFileFromPath(const QString& name, const QString& sourcePath)
{
    if (!nombreValido(name) || name.endsWith(u'/')) {
        if (!state_->error)
            state_->error = QStringLiteral("El nombre «%1» no es válido en un archivo zip.").arg(name);
        return;
    }
    state_->entries.push_back({name.toUtf8(), Entry::Kind::file, {}, sourcePath});
}

void ZipWriter::setParallelCompression(bool on)
{
    state_->parallel = on;
}

std::optional<QString> ZipWriter::error() const
{
    return state_->error;
}

std::optional<QString> ZipWriter::finish(const QString& path)
{
    if (state_->error)
        return state_->error;
    for (const Entry& e : state_->entries) {
        if (e.kind != Entry::Kind::file)
            continue;
        const QFileInfo info(e.sourcePath);
        if (!info.isFile() || !info.isReadable())
            return QStringLiteral("No se pudo leer «%1» para agregarlo como «%2» al archivo zip.")
                .arg(e.sourcePath, QString::fromUtf8(e.name));
    }
    if (state_->entries.empty())
        return replaceFileAtomically(path, archivoVacio());

    const std::vector<Entry>& entries = state_->entries;
    return replaceFileAtomicallyWith(path, [&](const QString& temporal) -> std::optional<QString> {
        std::vector<Parte> partes;
        std::optional<QTemporaryDir> carpetaPartes;
        if (state_->parallel) {
            for (const Entry& e : entries)
                if (e.kind == Entry::Kind::file && partes.size() < maximoPartes)
                    partes.push_back({&e, e.sourcePath, {}, {}, nullptr});
        }
        if (partes.size() > 1) {
            // Named after the temporary file, so a killed run's parts go with its other leftovers.
            carpetaPartes.emplace(temporal + QStringLiteral(".partes-XXXXXX"));
            if (!carpetaPartes->isValid())
                return QStringLiteral("No se pudo crear la carpeta de trabajo junto a «%1»: %2.")
                    .arg(path, carpetaPartes->errorString());
            for (std::size_t i = 0; i < partes.size(); ++i)
                partes[i].ruta = carpetaPartes->filePath(QString::number(i) + QStringLiteral(".zip"));
            QThreadPool hilos;
            hilos.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
            QtConcurrent::blockingMap(&hilos, partes, comprimirParte);
            for (const Parte& p : partes)
                if (p.error)
                    return QStringLiteral("No se pudo comprimir «%1» para el archivo zip «%2»: %3.")
                        .arg(p.fuente, path, *p.error);
        } else {
            partes.clear();
        }
        struct Cerrar {
            std::vector<Parte>& partes;
            ~Cerrar()
            {
                for (Parte& p : partes)
                    if (p.archivo)
                        zip_discard(p.archivo);
            }
        } cerrarPartes{partes};
        auto parteDe = [&](const Entry& e) -> Parte* {
            for (Parte& p : partes)
                if (p.entrada == &e)
                    return &p;
            return nullptr;
        };

        int codigo = 0;
        const QByteArray ruta = QFile::encodeName(temporal);
        zip_t* archivo = zip_open(ruta.constData(), ZIP_CREATE | ZIP_TRUNCATE, &codigo);
        if (!archivo) {
            zip_error_t e;
            zip_error_init_with_code(&e, codigo);
            const QString motivo = zipErrorText(&e);
            zip_error_fini(&e);
            return QStringLiteral("No se pudo crear el archivo zip «%1»: %2.").arg(path, motivo);
        }
        auto fallo = [&](const Entry& e) {
            const QString motivo = textoZip(archivo);
            zip_discard(archivo);
            return QStringLiteral("No se pudo agregar «%1» al archivo zip «%2»: %3.")
                .arg(QString::fromUtf8(e.name), path, motivo);
        };
        for (const Entry& e : entries) {
            zip_int64_t indice = -1;
            if (e.kind == Entry::Kind::directory) {
                indice = zip_dir_add(archivo, e.name.constData(), ZIP_FL_ENC_UTF_8);
            } else {
                Parte* parte = e.kind == Entry::Kind::file ? parteDe(e) : nullptr;
                zip_source_t* fuente = nullptr;
                if (e.kind == Entry::Kind::memory) {
                    // The bytes live in `entries` until zip_close has read them.
                    fuente = zip_source_buffer(archivo, e.bytes.constData(),
                                               static_cast<zip_uint64_t>(e.bytes.size()), 0);
                } else if (parte) {
                    // The deflated bytes are copied as they are, not inflated again.
                    int error = 0;
                    parte->archivo = zip_open(QFile::encodeName(parte->ruta).constData(), ZIP_RDONLY, &error);
                    if (!parte->archivo) {
                        zip_discard(archivo);
                        return QStringLiteral("No se pudo agregar «%1» al archivo zip «%2»: %3.")
                            .arg(QString::fromUtf8(e.name), path, zipErrorText(error, errno));
                    }
                    fuente = zip_source_zip(archivo, parte->archivo, 0, ZIP_FL_COMPRESSED, 0, -1);
                } else {
                    fuente = zip_source_file(archivo, QFile::encodeName(e.sourcePath).constData(), 0, -1);
                }
                if (!fuente)
                    return fallo(e);
                indice = zip_file_add(archivo, e.name.constData(), fuente, ZIP_FL_ENC_UTF_8);
                if (indice < 0)
                    zip_source_free(fuente);
                // Already deflated parts are copied as they are.
                else if (!parte && zip_set_file_compression(archivo, static_cast<zip_uint64_t>(indice),
                                                            ZIP_CM_DEFLATE, kNivelDeflate) != 0)
                    indice = -1;
            }
            if (indice < 0)
                return fallo(e);
        }
        if (zip_close(archivo) != 0) {
            const QString motivo = textoZip(archivo);
            zip_discard(archivo);
            return QStringLiteral("No se pudo escribir el archivo zip «%1»: %2.").arg(path, motivo);
        }
        return std::nullopt;
    });
}

}  // namespace platform
