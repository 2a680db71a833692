#include "timeline/csv/ArchivoCSV.h"

#include "timeline/csv/TimeLinerCSV.h"

#include "platform/AtomicFile.h"
#include "platform/CsvReader.h"

#include <QFile>
#include <QFileInfo>

namespace quelva {

std::variant<std::vector<PaqueteAWP>, QString> leerArchivoCSV(const QString& ruta)
{
    const QString prefijo = QStringLiteral("No se pudo leer el archivo: ");
    if (QFileInfo(ruta).isDir())
        return prefijo + QStringLiteral("«%1» es una carpeta.").arg(ruta);
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly))
        return prefijo + QStringLiteral("«%1» (%2).").arg(ruta, archivo.errorString());
    const QByteArray bytes = archivo.readAll();
    if (archivo.error() != QFileDevice::NoError)
        return prefijo + QStringLiteral("«%1» (%2).").arg(ruta, archivo.errorString());
    return TimeLinerCSV::parsear(platform::decodeCsvBytes(bytes));
}

std::optional<QString> escribirArchivoCSV(const QString& ruta, const std::vector<PaqueteAWP>& paquetes)
{
    return platform::replaceFileAtomically(ruta, TimeLinerCSV::textoExportacion(paquetes).toUtf8());
}

}  // namespace quelva
