#include "project/ArchivoProyecto.h"

#include "platform/AtomicFile.h"
#include "project/CodificacionProyecto.h"
#include "project/LecturaProyecto.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quelva {

std::optional<QString> guardarArchivoProyecto(const ProyectoQUELVA& proyecto, const QString& ruta)
{
    platform::AtomicFileWriter escritor;
    if (auto error = escritor.open(ruta))
        return error;
    if (auto error = escribirProyectoQUELVA(proyecto, *escritor.device())) {
        escritor.abort();
        return error;
    }
    return escritor.commit();
}

std::variant<ProyectoQUELVA, QString> leerArchivoProyecto(const QString& ruta)
{
    const QString nombre = QDir::toNativeSeparators(ruta);
    QFile archivo(ruta);
    const auto noSeLee = [&] { return QStringLiteral("No se pudo leer «%1»: %2").arg(nombre, archivo.errorString()); };
    if (!archivo.open(QIODevice::ReadOnly))
        return noSeLee();
    // Opened first, so the size is the one of what is read; a device or a pipe has none to trust.
    if (!QFileInfo(ruta).isFile() || archivo.isSequential())
        return QStringLiteral("«%1» no es un archivo.").arg(nombre);
    // Refused before it is read, not after seconds of a frozen window.
    if (archivo.size() > kTamanoMaximoProyecto)
        return QStringLiteral("El archivo «%1» es demasiado grande para abrirlo como proyecto (más de %2 MB).")
            .arg(nombre)
            .arg(kTamanoMaximoProyecto / (1024 * 1024));
    auto leido = leerProyectoQUELVA(archivo);
    if (archivo.error() != QFileDevice::NoError)
        return noSeLee();
    return leido;
}

}  // namespace quelva
