#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace quelva::ifcconvert {

struct PiezaOBJ;

// Reason for a failed file operation, in Spanish for the common cases.
std::string describirError(int codigo);

// Writes the OBJ text into a temporary file beside the destination and renames it into
// place only when everything was written, so a failed run never leaves half a file.
class EscritorOBJ {
public:
    explicit EscritorOBJ(std::string destino);
    ~EscritorOBJ();
    EscritorOBJ(const EscritorOBJ&) = delete;
    EscritorOBJ& operator=(const EscritorOBJ&) = delete;

    // False when the temporary file cannot be created; error() says why.
    bool abrir();
    // The element as one group; its vertices and normals numbered after those written before.
    void escribirGrupo(const std::string& nombre, const PiezaOBJ& pieza);
    // Flushes, closes and renames; false (and no destination touched) on any failure.
    bool terminar();
    const std::string& error() const { return error_; }

private:
    void escribir(const char* datos, std::size_t n);

    std::string destino_;
    std::string temporal_;
    std::FILE* archivo_ = nullptr;
    std::string bufer_;
    std::uint64_t vertices_ = 0;
    std::uint64_t normales_ = 0;
    bool fallo_ = false;
    std::string error_;
};

}  // namespace quelva::ifcconvert
