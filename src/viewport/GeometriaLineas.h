#pragma once

#include "scene/Math.h"
#include "scene/Node.h"

#include <vector>

namespace quelva {

// Outline of the area polygon being drawn: the recorded points, then the pointer position, and
// back to the first point once there are at least two recorded points. One green line node per
// segment, drawn over the model. An empty container when no point is recorded.
scene::NodePtr geometriaLineas(const std::vector<scene::Vec3>& puntos, const scene::Vec3& actual);

}  // namespace quelva
