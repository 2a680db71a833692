#pragma once

#include "scene/Math.h"
#include "scene/Node.h"

#include <optional>

namespace quelva {

// World-space box of everything under `raiz` that has geometry, leaving out the floor
// ("_QUELVA_Piso", at any depth, with its descendants). Each node's geometry counts after its
// full transformation (scale, offset, rotation). None when nothing with finite extent is there.
std::optional<scene::Box> cajaMundoSinPiso(const scene::Node& raiz);

// Largest side of a box; 0 for a non-finite box.
double ladoMayor(const scene::Box& caja);

// Near distance used when the camera cut is switched off: a thousandth of the largest side of
// the model (floor excluded), never below 0.01.
double distanciaNearAutomatica(const scene::Node* raiz);

}  // namespace quelva
