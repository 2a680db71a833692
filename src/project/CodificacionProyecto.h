#pragma once

// The project document as bytes: pretty-printed JSON with every object's members in ascending
// key order, ids as upper-case UUIDs, dates as "2025-03-01T09:30:00Z", images in Base64,
// absent optionals left out. Reading checks every type (2.7 is not a whole number, true is
// not a number), reads null as absent, ignores unknown keys and fails as a whole with a
// Spanish reason.

#include "project/ProyectoQUELVA.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <optional>

#include <variant>

namespace quelva {

// Fails only on a number that is not finite (or text that cannot be written).
std::variant<QByteArray, QString> codificarProyectoQUELVA(const ProyectoQUELVA& proyecto);

std::variant<ProyectoQUELVA, QString> decodificarProyectoQUELVA(const QByteArray& bytes);

// The same document streamed: written in pieces as it is encoded, read as it arrives, so
// neither side holds the whole text and a tree of it at once. A write that fails leaves what
// it wrote for the caller to throw away; a document that is refused is read again from the
// start, for the same reason the bytes form gives.
std::optional<QString> escribirProyectoQUELVA(const ProyectoQUELVA& proyecto, QIODevice& destino);
std::variant<ProyectoQUELVA, QString> leerProyectoQUELVA(QIODevice& origen);

}  // namespace quelva
