#pragma once

#include <string_view>

namespace quelva {

// The entity types (upper-case) that are IfcProduct subtypes as the converter's IFC library
// knows them: built elements of every kind, spatial structure, openings, ports, annotations,
// grids, proxies. Type objects, relations and property sets are not products.
bool esTipoProductoIFC(std::string_view tipo);

}  // namespace quelva
