#pragma once

// The S-curve's data and paths for one configuration, mode and surface size: what its chart
// keeps between repaints. Pure, so a large timeline can be traced off the GUI thread.

#include "timeline/TimeLiner.h"
#include "timeline/analitica/CurvaS.h"

#include <QPainterPath>
#include <QSize>

#include <array>
#include <optional>

namespace quelva {

struct TrazoSerie {
    EstiloSerie estilo;
    QPainterPath trazo;
    QPainterPath area;
    std::optional<QPointF> punto;  // the end dot
    bool dibujar = false;
};

struct TrazadoCurvaS {
    DatosCurvaS datos;
    GeometriaCurvaS geometria;
    // Planned cost, earned value, planned and earned man-hours.
    std::array<TrazoSerie, 4> series;
};
TrazadoCurvaS trazarCurvaS(const TimeLinerConfig& config, int modo, QSize tamano);

}  // namespace quelva
