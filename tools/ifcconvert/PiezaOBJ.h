#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quelva::ifcconvert {

struct MallaElemento;

// One element's OBJ text as far as it does not depend on what was written before it: its vertex
// and normal lines, and its triangles by local numbers. The writer numbers them in the file, so
// a piece can be made in a worker process and written by another.
struct PiezaOBJ {
    std::uint32_t vertices = 0;             // lines in textoVertices
    std::string textoVertices;              // "v x y z" lines
    std::string textoNormales;              // "vn x y z" lines: one per run of triangles sharing a normal
    std::vector<std::uint32_t> finNormales; // where each normal line ends in textoNormales
    std::vector<std::uint32_t> caras;       // per triangle: three local vertex numbers and its normal line

    void vaciar();
};

// Formats the mesh (coordinates to 10 significant digits, normals to 7) into pieza.
void formatearPieza(const MallaElemento& malla, PiezaOBJ& pieza);

// The piece as bytes, to cross a pipe, and back; leer gives false on bytes that are no piece.
void serializarPieza(const PiezaOBJ& pieza, std::string& destino);
bool leerPieza(std::string_view bytes, PiezaOBJ& pieza);

}  // namespace quelva::ifcconvert
