#pragma once

#include "timeline/TimeLiner.h"

namespace quelva {

// "Guardar": the working copy replaces the stored package with its id in place, or is appended;
// then the project window becomes the earliest planned start less 30 days to the latest planned
// end plus 15 days (calendar days in the user's time zone), narrowing it when the packages allow.
void guardarPaquete(TimeLinerConfig& config, const PaqueteAWP& paquete);

// That window rule alone, over every package; no change without packages.
void ajustarVentana(TimeLinerConfig& config);

// "Eliminar": removes the packages with the working copy's id and detaches their direct
// children, found by the code the stored package has (not the one being typed in the editor).
// Grandchildren keep their parent; the project window is left as it was.
void eliminarPaquete(TimeLinerConfig& config, const PaqueteAWP& paquete);

}  // namespace quelva
