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
// Element display name (nombreElementoIFC: the cleaned Name, else the GlobalId) to its properties.
using TablaPropiedadesIFC = std::unordered_map<std::string, PropiedadesElementoIFC>;

// What one reading cost: bytes of attribute text split or decoded, and work units spent of the budget.
struct EstadisticaPropiedades {
    size_t bytesLeidos = 0;
    size_t unidadesTrabajo = 0;
};

// Single-value properties of the named building elements, by property set.
TablaPropiedadesIFC parsearPropiedadesIFC(const TablaRegistrosSTEP& tabla);
// At most `limiteAsignaciones` work units are spent, counted over all elements: a property
// value set or a property read costs one unit, and one more per 64 bytes of key and value,
// so that a small file relating every element to every property, or one huge name to many
// relations, stays bounded; the plain form allows limiteAsignacionesIFC(tabla), far beyond
// real models.
TablaPropiedadesIFC parsearPropiedadesIFC(const TablaRegistrosSTEP& tabla, size_t limiteAsignaciones,
                                          EstadisticaPropiedades* estadistica = nullptr);
size_t limiteAsignacionesIFC(const TablaRegistrosSTEP& tabla);
// An unreadable file or one that is not UTF-8 gives the empty table.
TablaPropiedadesIFC parsearPropiedadesIFC(const std::filesystem::path& ruta);

}  // namespace quelva
