#pragma once

#include "federation/ifc/StepReader.h"

#include <filesystem>
#include <string>
#include <unordered_map>

namespace quelva {

// Element display name (nombreElementoIFC) to IFC GlobalId.
using MapaGlobalIds = std::unordered_map<std::string, std::string>;

// Building elements with a GlobalId, unnamed ones under their GlobalId; a later element
// of the same name replaces an earlier one (file order).
MapaGlobalIds parsearGlobalIds(const TablaRegistrosSTEP& tabla);
// The same, but a name that elements with different GlobalIds share maps to the empty text: the
// name alone cannot tell which element it is.
MapaGlobalIds parsearGlobalIdsUnivocos(const TablaRegistrosSTEP& tabla);
// Adds `nuevos` to `destino` by the same rule (a name known with another GlobalId turns empty).
void fusionarGlobalIdsUnivocos(MapaGlobalIds& destino, const MapaGlobalIds& nuevos);

// An unreadable file or one that is not UTF-8 gives the empty map.
MapaGlobalIds parsearGlobalIds(const std::filesystem::path& ruta);

}  // namespace quelva
