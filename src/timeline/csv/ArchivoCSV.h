#pragma once

// The CSV files of the timeline: reading a chosen file and writing the export.

#include "timeline/TimeLiner.h"

#include "platform/RegularFile.h"

#include <QString>

#include <optional>
#include <variant>
#include <vector>

namespace quelva {

// Larger CSV files are refused before a byte is read: 620,000 packages as the export writes
// them take 65 to 100 MB, by the length of their names.
inline constexpr qint64 kTamanoMaximoCSV = qint64{256} * 1024 * 1024;

// Opens a chosen file for the import, at once and without blocking: a FIFO, a device, a folder
// or a file above kTamanoMaximoCSV is refused with the alert text, which names the file.
std::variant<platform::OpenedRegularFile, QString> abrirArchivoCSV(const QString& ruta);

// Reads an opened file whole and parses it, on any thread: the packages (possibly none), or the
// alert text. Text that is not UTF-8 is read as Windows-1252.
std::variant<std::vector<PaqueteAWP>, QString> leerArchivoCSV(const QString& ruta, platform::OpenedRegularFile archivo);

// Both steps at once.
std::variant<std::vector<PaqueteAWP>, QString> leerArchivoCSV(const QString& ruta);

// Writes the export atomically: nullopt, or the reason naming the file (the earlier file stays).
std::optional<QString> escribirArchivoCSV(const QString& ruta, const std::vector<PaqueteAWP>& paquetes);

}  // namespace quelva
