#pragma once

#include "federation/ifc/StepReader.h"

#include <filesystem>
#include <string>
#include <unordered_map>

namespace quelva {

// Element display name (nombreElementoIFC) to IFC GlobalId.
using MapaGlobalIds = std::unordered_map<std::string, std::string>;

// Building elements (the comparison's element types) with a GlobalId, unnamed ones under their
// GlobalId; a later element of the same name replaces an earlier one (file order).
MapaGlobalIds parsearGlobalIds(const TablaRegistrosSTEP& tabla);
// Every product with a GlobalId, whatever its type (a panelboard, an alarm panel, a storey), so
// that whatever the converter draws can be named to other tools; a name that products with
// different GlobalIds share maps to the empty text: the name alone cannot tell which one it is.
MapaGlobalIds parsearGlobalIdsUnivocos(const TablaRegistrosSTEP& tabla);
// Adds `nuevos` to `destino` by the same rule (a name known with another GlobalId turns empty).
void fusionarGlobalIdsUnivocos(MapaGlobalIds& destino, const MapaGlobalIds& nuevos);

// An unreadable file or one that is not UTF-8 gives the empty map.
MapaGlobalIds parsearGlobalIds(const std::filesystem::path& ruta);

}  // namespace quelva
