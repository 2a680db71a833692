#pragma once

// The project document on disk, streamed both ways: saving replaces the file atomically (a
// failure leaves the old one as it was), opening reads it as it arrives.

#include "project/ProyectoQUELVA.h"

#include <QString>

#include <optional>
#include <variant>

namespace quelva {

// nullopt once the file is in place, else a Spanish reason.
std::optional<QString> guardarArchivoProyecto(const ProyectoQUELVA& proyecto, const QString& ruta);

std::variant<ProyectoQUELVA, QString> leerArchivoProyecto(const QString& ruta);

}  // namespace quelva
