#pragma once

// What the package card shows, as values: its parent, children, variances, tile colours,
// chips and table stripes. Figures come from the card's own copy of the configuration and the
// stored progress (never the window's automatic progress).

#include "timeline/TimeLiner.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace quelva {

// The first package, in stored order, whose code is the parent code.
std::optional<PaqueteAWP> paquetePadre(const TimeLinerConfig& config, const PaqueteAWP& paquete);

// A CWA's CWPs and then its IWPs; another level's IWP children.
std::vector<PaqueteAWP> hijosFicha(const TimeLinerConfig& config, const PaqueteAWP& paquete);
QString tituloHijos(NivelAWP nivel);

// "+2 días (adelanto)" in green, "-3 días (retraso)" in red.
struct TextoColor {
    QString texto;
    QColor color;
};
TextoColor textoVariacion(int dias);

// Earned value over real cost, and earned over real man-hours; exactly 1 without a real figure.
double cpiFicha(const TimeLinerConfig& config, const PaqueteAWP& paquete);
double factorProductividad(const TimeLinerConfig& config, const PaqueteAWP& paquete);

// The first 40 names, and "+ n más…" for the rest when there are more.
struct ChipsElementos {
    QStringList visibles;
    QString desborde;
};
ChipsElementos chipsElementos(const QStringList& nombres);

// Row i of n in the children table: tinted when odd, a divider below all but the last.
struct EstiloFilaHijo {
    bool tintada;
    bool divisor;
};
EstiloFilaHijo estiloFilaHijo(int i, int n);

}  // namespace quelva
