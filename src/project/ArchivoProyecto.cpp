#include "project/ArchivoProyecto.h"

#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"
#include "project/CodificacionProyecto.h"
#include "project/HuellaProyecto.h"
#include "project/LecturaProyecto.h"

#include <QDir>

namespace quelva {

std::variant<QByteArray, QString> guardarArchivoProyecto(const ProyectoQUELVA& proyecto, const QString& ruta)
{
    platform::AtomicFileWriter escritor;
    if (auto error = escritor.open(ruta))
        return *error;
    DispositivoHuella destino(escritor.device());
    if (auto error = escribirProyectoQUELVA(proyecto, destino)) {
        escritor.abort();
        return *error;
    }
    if (auto error = escritor.commit())
        return *error;
    return destino.resultado();
}

std::variant<ProyectoQUELVA, QString> leerArchivoProyecto(const QString& ruta)
{
    auto abierto = platform::openRegularFileForReading(ruta);
    if (auto* motivo = std::get_if<QString>(&abierto))
        return *motivo;
    QFile& archivo = *std::get<platform::OpenedRegularFile>(abierto).file;
    const QString nombre = QDir::toNativeSeparators(ruta);
    // Refused before it is read, not after seconds of reading.
    if (std::get<platform::OpenedRegularFile>(abierto).size > kTamanoMaximoProyecto)
        return QStringLiteral("El archivo «%1» es demasiado grande para abrirlo como proyecto (más de %2 MiB).")
            .arg(nombre)
            .arg(kTamanoMaximoProyecto / (1024 * 1024));
    auto leido = leerProyectoQUELVA(archivo);
    if (archivo.error() != QFileDevice::NoError)
        return QStringLiteral("No se pudo leer «%1»: %2").arg(nombre, archivo.errorString());
    return leido;
}

}  // namespace quelva
