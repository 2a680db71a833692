#pragma once

// Positions of the on-screen Gantt chart: dates map to x by whole days from the project start
// over the project length, clamped to the chart. Pure functions; the widgets paint them.

#include "timeline/EstadoTimeLinerView.h"
#include "timeline/FigurasTimeLiner.h"
#include "timeline/TimeLiner.h"

#include <QColor>
#include <QFont>
#include <QPaintDevice>
#include <QDateTime>
#include <QRectF>
#include <QString>

#include <functional>
#include <limits>
#include <optional>
#include <vector>

namespace quelva {

// Dates across a chart of width `ancho`.
class EscalaGantt {
public:
    EscalaGantt(const TimeLinerConfig& config, double ancho);
    // Share of the project (0..1) at whole days from its start.
    double fraccion(const QDateTime& fecha) const;
    double x(const QDateTime& fecha) const { return ancho_ * fraccion(fecha); }
    int dias() const { return dias_; }
    double ancho() const { return ancho_; }

private:
    QDateTime inicio_;
    int dias_;
    double ancho_;
};

// Planned span of a CWA's or CWP's IWPs; none when it has no IWP (and for other levels).
std::optional<std::pair<QDateTime, QDateTime>> spanResumen(const TimeLinerConfig& config, const PaqueteAWP& paquete);
std::optional<std::pair<QDateTime, QDateTime>> spanResumen(const IndiceAWP& indice, const PaqueteAWP& paquete);

struct BarraGantt {
    QRectF rect;            // the whole bar, at least 4 wide
    double anchoProgreso;   // 0 when there is no progress to show
    QColor color;           // the package's palette colour
    QColor colorProgreso;   // by the stored progress: grey, orange or green
    bool conEtiqueta;       // wider than 36
};
// The bar of an IWP in row `fila`, with its effective progress.
BarraGantt barraGantt(const EscalaGantt& escala, const PaqueteAWP& iwp, int fila, double progresoEfectivo);

struct MesGantt {
    double x;
    QString texto;  // "MMM yy" in the user's locale
    bool conEtiqueta;
};
// How a strip sets its month labels: each measured in the strip's own font ("sept" is wider
// than "may", and a short February brings two lines closer), 3 after its line or centred on it.
struct RotulosMes {
    std::function<double(const QString&)> ancho;
    bool centrados = false;
    double limite = std::numeric_limits<double>::infinity();  // no label runs past this x
};
// Measured on `dispositivo` (a PDF page counts points), else on the screen.
RotulosMes rotulosMes(const QFont& fuente, bool centrados = false,
                      double limite = std::numeric_limits<double>::infinity(),
                      const QPaintDevice* dispositivo = nullptr);
// The months from the one holding the start to the project end; a label that would run into
// the previous one (a window of many years) or past the limit is left out, its line stays. A late
// start's month, a stub at x = 0, leaves its label out rather than the next month's.
std::vector<MesGantt> mesesGantt(const TimeLinerConfig& config, const EscalaGantt& escala, const RotulosMes& rotulos);
// The same over any window of `dias` (at least 1) days across `ancho` points, x from 0.
std::vector<MesGantt> mesesEntre(const QDateTime& inicio, const QDateTime& fin, int dias, double ancho,
                                 const RotulosMes& rotulos);

}  // namespace quelva
