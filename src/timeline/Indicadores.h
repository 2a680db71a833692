#pragma once

// Figures of one package and the rules that colour and write the timeline's indices. The
// on-screen panels and the printable card share them; with `ModoAvance{}` (automatic progress
// off) they read the stored progress only.

#include "timeline/FigurasTimeLiner.h"
#include "timeline/TimeLiner.h"

#include <QColor>
#include <QString>

#include <optional>

namespace quelva {

// numerador / divisor; 1 when the divisor is not above 0, or the quotient is not a finite number.
double indiceGuardado(double numerador, double divisor);

// Indices (SPI, CPI, productivity factor, HH/día): green from 1.0, orange from 0.85, red below
// (and for a value that is not a number).
QColor colorIndice(double valor);
// The productivity of a package: green from 1.0, orange below; never red.
QColor colorProductividad(double valor);
// An index as "%.2f", without the user's locale.
QString textoIndice(double valor);

// Man-hours: "%.1f k HH" of the thousands from 1000, "%.0f HH" below.
QString formatoHH(double valor);

// The figures of a package over its IWP scope, with the window's progress mode.
struct FigurasPaquete {
    double progreso = 0;       // effective, scope-weighted
    double presupuesto = 0;
    double costoReal = 0;
    double valorGanado = 0;
    double cpi = 1;
    double hh = 0;
    double hhReales = 0;
    double hhGanadas = 0;
    double productividad = 1;
    std::optional<int> desfaseInicio;
    std::optional<int> desfaseFin;
    std::optional<int> iwpsIncluidos;  // CWA and CWP only
};
FigurasPaquete figurasPaquete(const TimeLinerConfig& config, const PaqueteAWP& paquete, const ModoAvance& modo);
FigurasPaquete figurasPaquete(const IndiceAWP& indice, const PaqueteAWP& paquete, const ModoAvance& modo);

}  // namespace quelva
