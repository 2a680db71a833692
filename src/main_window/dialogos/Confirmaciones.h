#pragma once

#include "clash/Interferencia.h"
#include "sections/Seccion2D.h"

#include <QString>
#include <QUuid>

#include <cstdint>
#include <optional>
#include <vector>

namespace quelva {

// Messages of the main window's confirmation alerts.
QString mensajeEliminarModelo(const QString& nombreModelo);
QString mensajeLimpiarTRELM();
// "Base" for the slot "BASE", "Nueva" for any other.
QString mensajeCargarSlot(const QString& slot);
QString mensajeEliminarComentario();
// None when no saved section has the id.
std::optional<QString> mensajeEliminarSeccion(const std::vector<SeccionGuardada>& secciones, const QUuid& id);
// None when the index lies outside the history.
std::optional<QString> mensajeEliminarAnalisis(const std::vector<AnalisisInterferencias>& historial,
                                               std::int64_t indice);

}  // namespace quelva
