#pragma once

#include "GeometriaIFC.h"
#include "federation/ifc/StepReader.h"

namespace quelva::ifcconvert {

// The Segments list of every IfcIndexedPolyCurve of the file (IFCLINEINDEX and IFCARCINDEX).
SegmentosIndexados leerSegmentosIndexados(const TablaRegistrosSTEP& tabla);

}  // namespace quelva::ifcconvert
