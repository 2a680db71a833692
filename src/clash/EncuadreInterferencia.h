#pragma once

// Where to look at a clash from, given the world boxes of its two elements: at the overlap, far
// enough to hold all of the smaller element, from a side of the pair that is not inside either of
// them (a wall is seen across its thickness, a slab from above or below), and which of the two is
// drawn see-through so that it does not hide the other.

#include "scene/Math.h"

#include <optional>

namespace quelva {

struct OpcionesEncuadre {
    double campoVertical = 60;  // degrees
    double aspecto = 1.0;       // width / height of the view
    double margen = 1.3;        // the smaller element's sphere fills 1 / margen of the view
    double distanciaMinima = 0.15;
    // Added cost of a view from below (relative to its distance): a picture lit from above
    // shows undersides dark.
    double costeDesdeAbajo = 0.1;
    // Towards the light that a picture has (zero: none); views from its side are preferred, as
    // the faces they show are lit.
    scene::Vec3 haciaLaLuz;
};

struct EncuadreInterferencia {
    scene::Vec3 posicion;
    scene::Vec3 objetivo;
    // The larger element wraps or covers the smaller one (equal sizes: A).
    bool transparenteA = true;
};

// Opacity of the element drawn see-through.
inline constexpr double kOpacidadElementoQueOculta = 0.35;

// The camera for a pair of boxes; none when a box is not finite.
std::optional<EncuadreInterferencia> encuadrarInterferencia(const scene::Box& a, const scene::Box& b,
                                                           const OpcionesEncuadre& opciones);

}  // namespace quelva
