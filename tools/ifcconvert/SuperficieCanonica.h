#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quelva::ifcconvert {

// Faces of one solid or surface: the corners of each face, one face after another, as numbers
// into a list of points.
struct CarasPoligonales {
    std::vector<std::uint32_t> esquinas;
    std::vector<std::uint32_t> inicios;  // where each face starts in esquinas, and a last entry for the end

    void vaciar()
    {
        esquinas.clear();
        inicios.assign(1, 0);
    }
};

struct TriangulosCanonicos {
    std::vector<std::uint32_t> vertices;  // three point numbers per triangle
    std::vector<double> normales;         // x y z per triangle
};

// Triangles of the surface the faces cover, made from the points and the region the faces cover
// on each plane alone, not from how the faces split that region: the geometry kernel splits a
// boolean result's planes differently from run to run (a corner on an edge taken in or not, a
// sliver or none). Faces that meet along edges in one plane are joined (corners lying on another
// face's edge count as corners of that edge too), their shared edges cancel, points the outline
// only passes straight through are left out, and each outline with its holes is triangulated;
// planes come out in an order of their outlines. `xyz` holds x y z per point.
void triangularSuperficie(const std::vector<double>& xyz, const CarasPoligonales& caras, TriangulosCanonicos& salida);

}  // namespace quelva::ifcconvert
