#include "platform/ZipErrors.h"

#include "platform/AtomicFile.h"

#include <zip.h>

namespace platform {

namespace {

QString textoCodigo(int codigo)
{
    switch (codigo) {
    case ZIP_ER_OK: return QStringLiteral("sin error");
    case ZIP_ER_MULTIDISK: return QStringLiteral("los archivos zip repartidos en varios discos no se admiten");
    case ZIP_ER_RENAME: return QStringLiteral("no se pudo renombrar el archivo temporal");
    case ZIP_ER_CLOSE: return QStringLiteral("no se pudo cerrar el archivo");
    case ZIP_ER_SEEK: return QStringLiteral("no se pudo desplazar dentro del archivo");
    case ZIP_ER_READ: return QStringLiteral("error de lectura");
    case ZIP_ER_WRITE: return QStringLiteral("error de escritura");
    case ZIP_ER_CRC: return QStringLiteral("los datos no coinciden con su suma de verificación");
    case ZIP_ER_ZIPCLOSED: return QStringLiteral("el archivo zip ya estaba cerrado");
    case ZIP_ER_NOENT: return QStringLiteral("el archivo no existe");
    case ZIP_ER_EXISTS: return QStringLiteral("el archivo ya existe");
    case ZIP_ER_OPEN: return QStringLiteral("no se pudo abrir el archivo");
    case ZIP_ER_TMPOPEN: return QStringLiteral("no se pudo crear el archivo temporal");
    case ZIP_ER_ZLIB: return QStringLiteral("error al comprimir o descomprimir los datos");
    case ZIP_ER_MEMORY: return QStringLiteral("no hay memoria suficiente");
    case ZIP_ER_CHANGED: return QStringLiteral("la entrada ya fue modificada");
    case ZIP_ER_COMPNOTSUPP: return QStringLiteral("el método de compresión no se admite");
    case ZIP_ER_EOF: return QStringLiteral("el archivo termina antes de tiempo");
    case ZIP_ER_INVAL: return QStringLiteral("argumento no válido");
    case ZIP_ER_NOZIP: return QStringLiteral("no es un archivo zip");
    case ZIP_ER_INTERNAL: return QStringLiteral("error interno de la biblioteca zip");
    case ZIP_ER_INCONS: return QStringLiteral("el archivo zip está dañado");
    case ZIP_ER_REMOVE: return QStringLiteral("no se pudo eliminar el archivo");
    case ZIP_ER_DELETED: return QStringLiteral("la entrada fue eliminada");
    case ZIP_ER_ENCRNOTSUPP: return QStringLiteral("el método de cifrado no se admite");
    case ZIP_ER_RDONLY: return QStringLiteral("el archivo zip es de solo lectura");
    case ZIP_ER_NOPASSWD: return QStringLiteral("el contenido está cifrado y no se dio contraseña");
    case ZIP_ER_WRONGPASSWD: return QStringLiteral("la contraseña no es correcta");
    case ZIP_ER_OPNOTSUPP: return QStringLiteral("operación no admitida");
    case ZIP_ER_INUSE: return QStringLiteral("el recurso está en uso");
    case ZIP_ER_TELL: return QStringLiteral("no se pudo leer la posición en el archivo");
    case ZIP_ER_COMPRESSED_DATA: return QStringLiteral("los datos comprimidos no son válidos");
    case ZIP_ER_CANCELLED: return QStringLiteral("operación cancelada");
    default: return QStringLiteral("error %1 de la biblioteca zip").arg(codigo);
    }
}

}  // namespace

QString zipErrorText(const zip_error* error)
{
    const QString texto = textoCodigo(zip_error_code_zip(error));
    const int sistema = zip_error_code_system(error);
    if (sistema != 0 && zip_error_system_type(error) == ZIP_ET_SYS)
        return texto + QStringLiteral(": ") + systemErrorText(sistema);
    return texto;
}

QString zipErrorText(int zipCode, int systemCode)
{
    zip_error_t error;
    zip_error_init_with_code(&error, zipCode);
    error.sys_err = systemCode;
    const QString texto = zipErrorText(&error);
    zip_error_fini(&error);
    return texto;
}

}  // namespace platform
