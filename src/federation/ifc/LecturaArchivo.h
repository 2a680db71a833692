#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace quelva {

// The whole content of a regular file; nothing when it cannot be opened or read
// (a folder, a device, a missing file, not enough memory).
std::optional<std::string> leerArchivoCompleto(const std::filesystem::path& ruta);

}  // namespace quelva
