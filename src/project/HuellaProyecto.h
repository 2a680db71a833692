#pragma once

// A fingerprint of the document a save would write, to tell unsaved work from saved work
// without keeping or building the whole text.

#include "project/ProyectoQUELVA.h"

#include <QByteArray>

#include <optional>

namespace quelva {

// SHA-256 of the saved bytes, hashed as they stream; none when the project cannot be written.
std::optional<QByteArray> huellaProyecto(const ProyectoQUELVA& proyecto);

}  // namespace quelva
