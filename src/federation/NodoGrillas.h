#pragma once

#include "federation/ifc/IfcGrids.h"
#include "scene/Node.h"

#include <vector>

namespace quelva {

inline constexpr const char* kNombreNodoGrillas = "GrillasIFC";

// One line node "GrillasIFC" with a segment per pair of consecutive points of every axis;
// none when there is nothing to draw.
scene::NodePtr crearNodoGrillas(const std::vector<EjeGrilla>& ejes);

}  // namespace quelva
