#pragma once

#include <string_view>

namespace quelva {

// The entity types (upper-case) that are IfcProduct subtypes as the converter's IFC library
// knows them, less those the converter never draws as elements (openings, spaces): built
// elements of every kind, spatial structure, ports, annotations, grids, proxies. Type objects,
// relations and property sets are not products.
bool esTipoProductoIFC(std::string_view tipo);

}  // namespace quelva
