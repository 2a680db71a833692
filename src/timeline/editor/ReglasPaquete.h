#pragma once

#include "timeline/TimeLiner.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace quelva {

// Rules of the package editor, read afresh from the working copy and the configuration on
// every change; they never write. Problems are shown, never thrown: a disabled "Guardar" with
// one message, and a date warning that never blocks saving.

// Levels a package of `nivel` may hang from (none for a CWA).
std::vector<NivelAWP> nivelesPadre(NivelAWP nivel);

// Stored packages that may be the parent of the working copy at its current level, in list
// order (no other filter: its own id and repeated codes included).
std::vector<const PaqueteAWP*> candidatosPadre(const PaqueteAWP& paquete, const TimeLinerConfig& config);

// Whether the configuration holds a package with the working copy's id.
bool estaGuardado(const PaqueteAWP& paquete, const TimeLinerConfig& config);

// A code (as typed, blanks count) and, for every level but CWA, some parent code.
bool puedeGuardar(const PaqueteAWP& paquete);

// Why "Guardar" is disabled; none whenever it is enabled.
std::optional<QString> errorValidacion(const PaqueteAWP& paquete, const TimeLinerConfig& config);

// Planned dates outside the project window (its dates in the user's short style), else a real
// end before the real start; at most one.
std::optional<QString> advertenciaFechas(const PaqueteAWP& paquete, const TimeLinerConfig& config);

}  // namespace quelva
