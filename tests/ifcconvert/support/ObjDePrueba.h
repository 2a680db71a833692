#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// A strict reading of the converter's OBJ output, independent of the application's loader:
// every line must be a comment, "v", "vn", "g" or a triangle "f a//n b//n c//n" with
// indices in range; anything else makes the whole file invalid.
struct GrupoOBJ {
    std::string nombre;
    std::vector<std::array<int, 3>> triangulos;  // 0-based vertex indices
};

struct CajaOBJ {
    std::array<double, 3> min{};
    std::array<double, 3> max{};
};

struct ObjDePrueba {
    std::vector<std::array<double, 3>> vertices;
    std::vector<std::array<double, 3>> normales;
    std::vector<GrupoOBJ> grupos;

    const GrupoOBJ* grupo(std::string_view nombre) const;
    // Signed volume enclosed by the group's triangles (positive when they face outwards).
    double volumen(const GrupoOBJ& g) const;
    CajaOBJ caja(const GrupoOBJ& g) const;
};

// Nothing when a line is not one the converter writes; `error` then names it.
std::optional<ObjDePrueba> leerObjDePrueba(std::string_view texto, std::string* error = nullptr);

}  // namespace testsupport
