#pragma once

#include <string>
#include <string_view>

namespace quelva {

// Decodes the contents of a STEP string literal (the characters between the
// opening and closing apostrophes, still escaped) into UTF-8: '' and \\,
// \S\ with the \P?\ code page, \X\hh, \X2\...\X0\ and \X4\...\X0\.
// Malformed escapes are kept as they stand; raw non-ASCII bytes pass through.
std::string decodificarCadenaSTEP(std::string_view contenido);

// Appends the UTF-8 encoding of a code point (invalid ones become U+FFFD).
void anadirUTF8(std::string& salida, char32_t codigo);

}  // namespace quelva
