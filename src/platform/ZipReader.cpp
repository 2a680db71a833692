#include "platform/ZipReader.h"

#include "platform/ZipErrors.h"

#include <QFile>

#include <sys/stat.h>
#include <vector>
#include <zip.h>

namespace platform {

struct ZipReader::State {
    QString path;
    zip_t* archivo = nullptr;

    ~State()
    {
        if (archivo)
            zip_discard(archivo);
    }
};

ZipReader::ZipReader() : state_(std::make_unique<State>()) {}

ZipReader::~ZipReader() = default;

std::optional<QString> ZipReader::open(const QString& path)
{
    state_ = std::make_unique<State>();
    state_->path = path;
    int codigo = 0;
    zip_t* archivo = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &codigo);
    if (!archivo) {
        const int sistema = errno;
        return QStringLiteral("No se pudo abrir «%1»: %2.").arg(path, zipErrorText(codigo, sistema));
    }
    state_->archivo = archivo;
    return std::nullopt;
}

const QString& ZipReader::path() const
{
    return state_->path;
}

std::uint64_t ZipReader::entryCount() const
{
    if (!state_->archivo)
        return 0;
    const zip_int64_t n = zip_get_num_entries(state_->archivo, 0);
    return n < 0 ? 0 : static_cast<std::uint64_t>(n);
}

ZipEntry ZipReader::entry(std::uint64_t index) const
{
    ZipEntry e;
    zip_stat_t st;
    zip_stat_init(&st);
    if (!state_->archivo || zip_stat_index(state_->archivo, index, 0, &st) != 0)
        return e;
    if (st.valid & ZIP_STAT_NAME)
        e.name = QString::fromUtf8(st.name);
    if (st.valid & ZIP_STAT_SIZE)
        e.size = st.size;
    if (st.valid & ZIP_STAT_COMP_SIZE)
        e.compressedSize = st.comp_size;
    if (st.valid & ZIP_STAT_ENCRYPTION_METHOD)
        e.encrypted = st.encryption_method != ZIP_EM_NONE;
    zip_uint8_t sistema = 0;
    zip_uint32_t atributos = 0;
    if (zip_file_get_external_attributes(state_->archivo, index, 0, &sistema, &atributos) == 0) {
        // Unix archivers keep st_mode in the high half; other systems leave it at zero.
        e.unixMode = atributos >> 16;
    }
    e.folder = e.name.endsWith(u'/') || e.name.endsWith(u'\\') || (e.unixMode & S_IFMT) == S_IFDIR;
    return e;
}

std::optional<std::uint64_t> ZipReader::indexOf(const QString& name) const
{
    if (!state_->archivo)
        return std::nullopt;
    const zip_int64_t i = zip_name_locate(state_->archivo, name.toUtf8().constData(), 0);
    if (i < 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(i);
}

std::optional<QString> ZipReader::read(std::uint64_t index,
                                       const std::function<bool(const char*, std::size_t)>& sink) const
{
    const QString nombre = entry(index).name;
    if (!state_->archivo)
        return QStringLiteral("No se pudo leer la entrada «%1»: el archivo zip no está abierto.").arg(nombre);
    zip_file_t* f = zip_fopen_index(state_->archivo, index, 0);
    if (!f)
        return QStringLiteral("No se pudo leer la entrada «%1» de «%2»: %3.")
            .arg(nombre, state_->path, zipErrorText(zip_get_error(state_->archivo)));
    std::vector<char> bloque(256 * 1024);
    std::optional<QString> error;
    for (;;) {
        const zip_int64_t leidos = zip_fread(f, bloque.data(), bloque.size());
        if (leidos < 0) {
            error = QStringLiteral("No se pudo leer la entrada «%1» de «%2»: %3.")
                        .arg(nombre, state_->path, zipErrorText(zip_file_get_error(f)));
            break;
        }
        if (leidos == 0 || !sink(bloque.data(), static_cast<std::size_t>(leidos)))
            break;
    }
    zip_fclose(f);
    return error;
}

std::variant<QByteArray, QString> ZipReader::readAll(std::uint64_t index, std::uint64_t limit) const
{
    QByteArray bytes;
    bool excedido = false;
    auto error = read(index, [&](const char* data, std::size_t size) {
        if (static_cast<std::uint64_t>(bytes.size()) + size > limit) {
            excedido = true;
            return false;
        }
        bytes.append(data, static_cast<qsizetype>(size));
        return true;
    });
    if (error)
        return *error;
    if (excedido)
        return QStringLiteral("La entrada «%1» de «%2» es demasiado grande para leerla en memoria.")
            .arg(entry(index).name, state_->path);
    return bytes;
}

}  // namespace platform
