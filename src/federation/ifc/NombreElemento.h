#pragma once

// The one rule for an element's display name. The converter names its OBJ groups with it,
// the OBJ loader cleans group names with it, and the property table and the GlobalId map key
// their entries with it, so that a node's name always finds the element's entry.

#include <string>
#include <string_view>
#include <vector>

namespace quelva {

// A decoded name with its surrounding white space removed and its inner line breaks (LF, CR,
// CR LF, VT, FF, NEL, LS, PS) turned into single spaces. Other inner spacing is kept as it is.
std::string limpiarNombreElemento(std::string_view nombre);

// The display name of an element: its cleaned Name, or its cleaned GlobalId when the Name is
// unset or blank. Both arguments are decoded texts (limpiarCadenaSTEP).
std::string nombreElementoIFC(std::string_view nombre, std::string_view globalId);

// The same from the element record's attributes (0 GlobalId, 2 Name, still encoded); empty
// when the record has neither.
std::string nombreElementoIFC(const std::vector<std::string_view>& atributos);

}  // namespace quelva
