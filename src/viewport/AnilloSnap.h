#pragma once

#include "scene/Math.h"
#include "scene/Node.h"

namespace quelva {

inline constexpr double kRadioMinimoAnillo = 0.05;  // metres

// Ring radius of the snap marker for a camera distance: about the same size on screen at any
// distance, never below 5 cm.
double radioAnilloSnap(float distanciaCamara);

// Yellow ring at the snapped point, drawn over the model.
scene::NodePtr nodoAnilloSnap(const scene::Vec3& punto, float distanciaCamara);

}  // namespace quelva
