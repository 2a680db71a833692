#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quelva::ifcconvert {

// IFC++ keeps instance numbers in an int: a number of 2^31 or more, zero or negative is lost
// or wraps onto another record. When the DATA section (from `inicioDatos`) holds such a number,
// or one that is no integer at all, this gives the text with the records numbered 1..N in the
// order of their old numbers (so products keep their relative order); a reference to a number
// no record has goes to N + 1, which no record has either, and a record whose own number cannot
// be read is left out, as the project's reader leaves it out. Only the DATA section up to its
// ENDSEC is read, and a statement there that starts with "#" but has no "=" is left as it is, so
// a second pass finds nothing to change. Nothing to change gives nullopt.
std::optional<std::string> renumerarSTEP(std::string_view texto, std::size_t inicioDatos);

}  // namespace quelva::ifcconvert
