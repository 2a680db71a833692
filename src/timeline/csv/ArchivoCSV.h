#pragma once

// The CSV files of the timeline: reading a chosen file and writing the export.

#include "timeline/TimeLiner.h"

#include <QString>

#include <optional>
#include <variant>
#include <vector>

namespace quelva {

// The packages of the file (possibly none), or the alert text when it cannot be read
// ("No se pudo leer el archivo: " and the reason). Text that is not UTF-8 is read as
// Windows-1252.
std::variant<std::vector<PaqueteAWP>, QString> leerArchivoCSV(const QString& ruta);

// Writes the export atomically: nullopt, or the reason naming the file (the earlier file stays).
std::optional<QString> escribirArchivoCSV(const QString& ruta, const std::vector<PaqueteAWP>& paquetes);

}  // namespace quelva
