#pragma once

#include <QString>

struct zip_error;

namespace platform {

// Spanish text for a libzip error, with the system's reason when the error
// carries one ("error de escritura: no queda espacio en el disco").
// libzip's own strings are English and never reach the user.
QString zipErrorText(const zip_error* error);
QString zipErrorText(int zipCode, int systemCode = 0);

}  // namespace platform
