#pragma once

// The S-curve: cumulative planned and earned cost and man-hours of the IWPs as shares of their
// totals. Each package's planned amount stands at its planned end, its earned amount at the
// date its stored progress has reached. Pure; the widget paints what these give.

#include "timeline/Gantt.h"
#include "timeline/TimeLiner.h"

#include <QColor>
#include <QDateTime>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace quelva {

// Where the progress of a package stands: its actual end, or the share of its span (from the
// actual start when there is one) that its stored progress gives.
QDateTime fechaAvance(const PaqueteAWP& paquete);

// One IWP as the curves read it: its amounts, and as instants (claveOrdenFecha) its planned
// end and where its progress stands. Dates are read once: a large file has hundreds of
// thousands of IWPs, and every date comparison is a time-zone conversion.
struct IwpCurvaS {
    qint64 fin = 0;
    qint64 avance = 0;  // fechaAvance; only read with progress
    double presupuesto = 0;
    double hh = 0;
    double progreso = 0;

    bool operator==(const IwpCurvaS&) const = default;
};

// What the curves read: the IWPs, their totals and which curves the mode shows.
struct DatosCurvaS {
    int modo = 2;                   // 0 cost, 1 man-hours, 2 both
    std::vector<IwpCurvaS> iwps;    // by planned start
    // Positions in iwps: every IWP by planned end, and those with progress by where it stands;
    // ties keep the order before.
    std::vector<std::uint32_t> porFin;
    std::vector<std::uint32_t> porAvance;
    double bac = 0;
    double hht = 0;
    bool costo = false;             // cost shown and a budget to share
    bool horas = false;             // man-hours shown and some planned
    bool fechasReales = false;      // cost shown and some IWP has an actual end
    QDateTime inicio, fin;          // the IWPs' window (the project's without IWPs)

    bool vacio() const { return !costo && !horas; }
};
DatosCurvaS datosCurvaS(const TimeLinerConfig& config, int modo);

// The plot of a surface: 34 left, 10 top, 10 right and 22 under it.
struct GeometriaCurvaS {
    static constexpr double izquierda = 34;
    static constexpr double arriba = 10;
    double ancho = 0, alto = 0;
    double pw = 0, ph = 0;   // plot width and height
    double b = 0, r = 0;     // bottom and right edges
    QDateTime inicio;
    int dias = 1;

    // A surface too small for a plot draws nothing but its background.
    bool valida() const { return pw > 0 && ph > 0; }
    double x(const QDateTime& fecha) const;
    // A share 0..1 of the total; out of range it stays on the plot's edge.
    double y(double fraccion) const;
    // The date under a horizontal position of the plot.
    QDateTime fechaEn(double h) const;
};
GeometriaCurvaS geometriaCurvaS(const DatosCurvaS& datos, QSizeF superficie);

enum class SerieCurvaS { costoPlan, valorGanado, hhPlan, hhGanadas };

struct EstiloSerie {
    QColor color;
    double ancho;
    bool discontinua;  // 5 on, 4 off
    bool relleno;
};
EstiloSerie estiloSerie(SerieCurvaS serie, int modo);

// The running sums of one series from the plot's origin; a single point when nothing adds.
std::vector<QPointF> puntosSerie(const DatosCurvaS& datos, const GeometriaCurvaS& g, SerieCurvaS serie);

// One step of the smoothed path through a series: a straight line, or a cubic curve whose
// control points stay within the step's horizontal range.
struct TramoCurvaS {
    QPointF hasta;
    bool curva = false;
    QPointF c1, c2;
};
std::vector<TramoCurvaS> tramosSuaves(const std::vector<QPointF>& puntos);
// The points of a series its smoothed path needs: of a run on one x (one day) only the first
// two and the last two, since the steps between them are straight and vertical. A file with
// hundreds of thousands of packages has a few points a day left to stroke.
std::vector<QPointF> puntosParaTrazo(const std::vector<QPointF>& puntos);

// Month ticks under the plot, x on the surface (as the labels' limit is); labels that would
// overlap are left out.
std::vector<MesGantt> mesesCurvaS(const DatosCurvaS& datos, const GeometriaCurvaS& g, RotulosMes rotulos);

// The readout under the pointer.
struct EntradaLectura {
    QString texto;   // "%.0f%%  " and the label
    QColor color;
    double ratio;
    double y;
};
struct LecturaCurvaS {
    double h = 0;
    QString titulo;  // "MMM yyyy"
    std::vector<EntradaLectura> entradas;
    QRectF caja;
};
// None without a pointer over the plot, or on a surface too small for one.
std::optional<LecturaCurvaS> lecturaCurvaS(const DatosCurvaS& datos, const GeometriaCurvaS& g,
                                           std::optional<double> hover);

}  // namespace quelva
