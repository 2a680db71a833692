#pragma once

#include "federation/ifc/StepReader.h"

#include <filesystem>
#include <map>
#include <cstddef>
#include <string>
#include <unordered_map>

namespace quelva {

// Key under which an element's IFC type is stored in its property dictionary.
inline constexpr const char* kClaveTipoIFC = "__tipoIFC";
// Separator between property set and property in a key: " › " (U+203A).
inline constexpr const char* kSeparadorPropiedad = " \u203A ";

// Property key ("Pset › Prop", or "__tipoIFC") to value text.
using PropiedadesElementoIFC = std::map<std::string, std::string>;
// Element name (IFC Name attribute) to its properties.
using TablaPropiedadesIFC = std::unordered_map<std::string, PropiedadesElementoIFC>;

// Single-value properties of the named building elements, by property set.
TablaPropiedadesIFC parsearPropiedadesIFC(const TablaRegistrosSTEP& tabla);
// At most `limiteAsignaciones` property values are set, counted over all elements,
// so that a small file relating every element to every property stays bounded;
// the plain form allows limiteAsignacionesIFC(tabla), far beyond real models.
TablaPropiedadesIFC parsearPropiedadesIFC(const TablaRegistrosSTEP& tabla, size_t limiteAsignaciones);
size_t limiteAsignacionesIFC(const TablaRegistrosSTEP& tabla);
// An unreadable file or one that is not UTF-8 gives the empty table.
TablaPropiedadesIFC parsearPropiedadesIFC(const std::filesystem::path& ruta);

}  // namespace quelva
