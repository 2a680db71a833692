#pragma once

#include "federation/ifc/StepReader.h"
#include "scene/Math.h"

#include <QUuid>

#include <filesystem>
#include <string>
#include <vector>

namespace quelva {

// One axis of a structural grid, its polyline in world metres: the file's length unit and the
// grid's placement applied as the converter applies them to the geometry, so both coincide.
struct EjeGrilla {
    QUuid id;                           // new for every reading
    std::string tag;                    // axis tag, may be empty
    bool esU = true;                    // U axis (true) or V axis (false)
    std::vector<scene::Vec3f> puntos;   // at least two

    bool operator==(const EjeGrilla&) const = default;
};

// Axes of every IfcGrid whose curve is a polyline of at least two points: each
// grid's U axes, then its V axes.
std::vector<EjeGrilla> parsearGrillasIFC(const TablaRegistrosSTEP& tabla);
// The same with at most `limitePuntos` points over all axes (the plain form allows
// far more than real grids have): axes past it are left out.
std::vector<EjeGrilla> parsearGrillasIFC(const TablaRegistrosSTEP& tabla, size_t limitePuntos);
// An unreadable file or one that is not UTF-8 gives no axes.
std::vector<EjeGrilla> parsearGrillasIFC(const std::filesystem::path& ruta);

}  // namespace quelva
