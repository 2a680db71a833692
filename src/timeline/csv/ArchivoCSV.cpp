#include "timeline/csv/ArchivoCSV.h"

#include "timeline/csv/TimeLinerCSV.h"

#include "platform/AtomicFile.h"
#include "platform/CsvReader.h"

#include <QDir>

namespace quelva {

std::variant<platform::OpenedRegularFile, QString> abrirArchivoCSV(const QString& ruta)
{
    auto abierto = platform::openRegularFileForReading(ruta);
    if (auto* archivo = std::get_if<platform::OpenedRegularFile>(&abierto); archivo && archivo->size > kTamanoMaximoCSV)
        return QStringLiteral("El archivo «%1» es demasiado grande para importarlo como CSV (más de %2 MiB).")
            .arg(QDir::toNativeSeparators(ruta))
            .arg(kTamanoMaximoCSV / (1024 * 1024));
    return abierto;
}

std::variant<std::vector<PaqueteAWP>, QString> leerArchivoCSV(const QString& ruta, platform::OpenedRegularFile archivo)
{
    // Only the size seen when it was opened: a file that grows meanwhile cannot pass the cap.
    const QByteArray bytes = archivo.file->read(archivo.size);
    if (archivo.file->error() != QFileDevice::NoError)
        return QStringLiteral("No se pudo leer «%1»: %2")
            .arg(QDir::toNativeSeparators(ruta), archivo.file->errorString());
    archivo.file->close();
    return TimeLinerCSV::parsear(platform::decodeCsvBytes(bytes));
}

std::variant<std::vector<PaqueteAWP>, QString> leerArchivoCSV(const QString& ruta)
{
    auto abierto = abrirArchivoCSV(ruta);
    if (auto* error = std::get_if<QString>(&abierto))
        return *error;
    return leerArchivoCSV(ruta, std::move(std::get<platform::OpenedRegularFile>(abierto)));
}

std::optional<QString> escribirArchivoCSV(const QString& ruta, const std::vector<PaqueteAWP>& paquetes)
{
    return platform::replaceFileAtomically(ruta, TimeLinerCSV::textoExportacion(paquetes).toUtf8());
}

}  // namespace quelva
