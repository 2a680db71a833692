#include "project/LecturaProyecto.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quelva {

std::variant<QByteArray, QString> leerDocumentoProyecto(const QString& ruta)
{
    const QString nombre = QDir::toNativeSeparators(ruta);
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly))
        return QStringLiteral("No se pudo leer «%1»: %2").arg(nombre, archivo.errorString());
    // Opened first, so the size is the one of what is read; a device or a pipe has none to trust.
    if (!QFileInfo(ruta).isFile() || archivo.isSequential())
        return QStringLiteral("«%1» no es un archivo.").arg(nombre);
    if (archivo.size() > kTamanoMaximoProyecto)
        return QStringLiteral("El archivo «%1» es demasiado grande para abrirlo como proyecto (más de %2 MB).")
            .arg(nombre)
            .arg(kTamanoMaximoProyecto / (1024 * 1024));
    QByteArray bytes = archivo.readAll();
    if (archivo.error() != QFileDevice::NoError)
        return QStringLiteral("No se pudo leer «%1»: %2").arg(nombre, archivo.errorString());
    return bytes;
}

}  // namespace quelva
