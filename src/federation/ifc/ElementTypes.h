#pragma once

#include <string_view>

namespace quelva {

// The entity types (upper-case) that count as building elements for the
// property table and the GlobalId map.
bool esTipoElementoIFC(std::string_view tipo);

}  // namespace quelva
