#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quelva {

// Content of a file in memory of its own (mapped pages, filled at once), which is
// faster to fill than a fresh string for files of hundreds of megabytes.
class ContenidoArchivo {
public:
    ContenidoArchivo() = default;
    ContenidoArchivo(ContenidoArchivo&& otro) noexcept;
    ContenidoArchivo& operator=(ContenidoArchivo&& otro) noexcept;
    ContenidoArchivo(const ContenidoArchivo&) = delete;
    ContenidoArchivo& operator=(const ContenidoArchivo&) = delete;
    ~ContenidoArchivo();

    std::string_view texto() const { return {datos_, largo_}; }
    char* escribible() { return datos_; }

private:
    friend std::optional<ContenidoArchivo> leerContenidoArchivo(const std::filesystem::path& ruta);
    char* datos_ = nullptr;
    size_t largo_ = 0;
    size_t reservado_ = 0;
};

// The whole content of a regular file; nothing when it cannot be opened or read
// (a folder, a device, a missing file, no memory for it).
std::optional<ContenidoArchivo> leerContenidoArchivo(const std::filesystem::path& ruta);

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool esTextoUTF8(std::string_view texto);

}  // namespace quelva
