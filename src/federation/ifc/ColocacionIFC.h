#pragma once

// Length unit and object placements of an IFC file, read from its record table, so that
// coordinates the reader takes from the text land where the converter puts the geometry:
// metres, in the world frame of the placement chain.

#include "federation/ifc/StepReader.h"
#include "scene/Math.h"

#include <cstdint>

namespace quelva {

// Metres per length unit of the file: the LENGTHUNIT of the project's unit assignment, an
// IfcSIUnit with any prefix or a conversion-based unit (feet, inches...). 1 when the file
// names none.
double metrosPorUnidadIFC(const TablaRegistrosSTEP& tabla);

// World transform of the object placement stored under `colocacion`: the chain of
// IfcLocalPlacement records up to the first one placed relative to nothing, locations scaled
// to metres. The identity for a missing record or anything but a local placement; a chain that
// loops stops where it would repeat.
scene::Mat4 matrizColocacionIFC(const TablaRegistrosSTEP& tabla, std::int64_t colocacion, double metrosPorUnidad);

}  // namespace quelva
