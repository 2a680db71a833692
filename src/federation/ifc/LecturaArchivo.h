#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quelva {

// The whole content of a regular file; nothing when it cannot be opened or read
// (a folder, a device, a missing file, not enough memory).
std::optional<std::string> leerArchivoCompleto(const std::filesystem::path& ruta);

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool esTextoUTF8(std::string_view texto);

}  // namespace quelva
