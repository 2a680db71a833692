#pragma once

#include "federation/ifc/IfcGrids.h"
#include "scene/Node.h"

#include <vector>

namespace quelva {

// Name by which the other tools recognise the grid node.
inline constexpr const char* kNombreNodoGrillas = "GrillasIFC";

// One node named "GrillasIFC" drawing every axis as thin grey line segments;
// null when the axes give no segment.
scene::NodePtr crearNodoGrillasIFC(const std::vector<EjeGrilla>& ejes);

// Takes `actual` out of the scene and hangs the node built from `ejes` under
// `raiz`. Returns the new node, null when there is none.
scene::NodePtr reemplazarNodoGrillasIFC(scene::Node& raiz, const scene::NodePtr& actual,
                                        const std::vector<EjeGrilla>& ejes);

}  // namespace quelva
