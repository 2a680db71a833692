#pragma once

// The project document on disk, streamed both ways: saving replaces the file atomically (a
// failure leaves the old one as it was), opening reads it as it arrives.

#include "project/ProyectoQUELVA.h"

#include <QByteArray>
#include <QString>

#include <variant>

namespace quelva {

// Once the file is in place, the fingerprint of what was written (as huellaProyecto gives it,
// from the same encoding); else a Spanish reason.
std::variant<QByteArray, QString> guardarArchivoProyecto(const ProyectoQUELVA& proyecto, const QString& ruta);

// Only a regular file is read: a FIFO, a device or a folder is refused before anything can block
// on it, and a file above the size cap before a byte of it is read. Safe on any thread.
std::variant<ProyectoQUELVA, QString> leerArchivoProyecto(const QString& ruta);

}  // namespace quelva
