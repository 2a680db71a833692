#pragma once

#include "clash/Interferencia.h"
#include "scene/Node.h"

#include <QSet>
#include <QString>
#include <QUuid>

#include <cstdint>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace quelva {

// The main window's clash state: the last run's list (the glowing one), the history of analyses,
// the focused pair and the configuration sheet's fields. GUI thread only.
struct EstadoInterferencias {
    std::vector<Interferencia> interferencias;
    bool detectando = false;
    std::vector<AnalisisInterferencias> historialAnalisis;  // oldest first
    QSet<QUuid> analisisExpandidos;
    std::vector<scene::NodePtr> nodosDestacadosHistorial;
    // The element of the focused pair made see-through, and the opacity it had before.
    scene::NodePtr nodoTransparenteEnfocado;
    double opacidadPreviaEnfocado = 1.0;
    bool mostrarConfigAnalisis = false;
    QString nombreAnalisis;
    double toleranciaAnalisis = 0.02;  // metres
    bool excluirResueltos = true;
    std::set<QString> paresActivos;
    std::vector<std::pair<QString, QString>> paresDisponibles;
    std::optional<std::int64_t> analisisPendienteEliminar;
};

}  // namespace quelva
