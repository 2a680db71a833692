#pragma once

#include "scene/Node.h"

namespace quelva {

// Gives a freshly loaded node usable materials: a geometry without materials gets one grey
// (white 0.75) Phong material; every existing material becomes Phong, and one without diffuse
// contents turns grey. Colours and images already there stay. Touches only this node, so it may
// run on a background thread over a tree that is not yet shown.
void normalizarMateriales(scene::Node& nodo);

}  // namespace quelva
