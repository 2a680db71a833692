#pragma once

namespace quelva {

// Puts the printable Gantt export and the package card into the timeline window's registry.
void registrarImpresionTimeLiner();

}  // namespace quelva
