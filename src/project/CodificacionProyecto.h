#pragma once

// The project document as bytes: pretty-printed JSON with every object's members in ascending
// key order, ids as upper-case UUIDs, dates as "2025-03-01T09:30:00Z", images in Base64,
// absent optionals left out. Reading checks every type (2.7 is not a whole number, true is
// not a number), reads null as absent, ignores unknown keys and fails as a whole with a
// Spanish reason.

#include "project/ProyectoQUELVA.h"

#include <QByteArray>
#include <QString>

#include <variant>

namespace quelva {

// Fails only on a number that is not finite (or text that cannot be written).
std::variant<QByteArray, QString> codificarProyectoQUELVA(const ProyectoQUELVA& proyecto);

std::variant<ProyectoQUELVA, QString> decodificarProyectoQUELVA(const QByteArray& bytes);

}  // namespace quelva
