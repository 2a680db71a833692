#pragma once

// The printable Gantt chart: a dark page of one row per package under a title band and a month
// strip, with today's and the scrubber's lines and a footer of totals. One unit is one point,
// the origin is the top-left corner.

#include "timeline/Gantt.h"
#include "timeline/HojasTimeLiner.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

class QPainter;

namespace quelva {

inline constexpr double kAnchoPaginaGantt = 1200;
// Left of the chart area: the label column is 270 wide, then a 1-point separator.
inline constexpr double kInicioGrafico = 271;
// The tallest page PDF readers promise to show (200 inches).
inline constexpr double kAltoMaximoPDF = 14400;

// x of a date on a page whose chart spans kInicioGrafico..W: whole days from the project start
// over its length, clamped to the chart.
double xParaFecha(const TimeLinerConfig& config, const QDateTime& fecha, double anchoPagina);

// One page of the chart: the rows [desde, hasta) and, on the last page, the footer.
struct TramoGantt {
    int desde = 0;
    int hasta = 0;
    bool conPie = false;
    double alto = 0;
};
// One page while 22·n + 88 fits in kAltoMaximoPDF; a longer chart goes on over further pages,
// each with the title band and the month strip.
std::vector<TramoGantt> tramosGantt(int filas);

// Draws one page of the chart `ancho` wide.
void dibujarPaginaGantt(QPainter& p, const PaginaGantt& pagina, double ancho, const TramoGantt& tramo,
                        const QDateTime& ahora);

// Writes the chart to `destino` through the atomic replace: nullopt on success, else the reason
// (the earlier file stays whole).
std::optional<QString> escribirPDFGantt(const QString& destino, const PaginaGantt& pagina,
                                        const QDateTime& ahora = QDateTime::currentDateTime());

}  // namespace quelva
