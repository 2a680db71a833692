#pragma once

// Figures of the analytics column: the project's earned value and man-hours, the list of
// package cards and the texts of a card. Pure; the widgets paint them.

#include "timeline/EstadoTimeLinerView.h"
#include "timeline/FigurasTimeLiner.h"
#include "timeline/TimeLiner.h"

#include <QColor>
#include <QString>

#include <optional>
#include <vector>

namespace quelva {

// "VALOR GANADO — COSTO": sums over the IWPs only.
struct FigurasValorGanado {
    double bac = 0;
    double ac = 0;
    double ev = 0;
    double spi = 1;  // EV / BAC: the earned share of the budget
    double cpi = 1;  // EV / AC
};
FigurasValorGanado figurasValorGanado(const TimeLinerConfig& config, const ModoAvance& modo);

// "HORAS HOMBRE": sums over the IWPs only.
struct FigurasHorasHombre {
    double planificadas = 0;
    double reales = 0;
    double ganadas = 0;
    double factor = 1;     // earned / actual
    double porDia = 0;     // planned / project days (at least one)
};
FigurasHorasHombre figurasHorasHombre(const TimeLinerConfig& config, const ModoAvance& modo);
// The man-hour card stands only when the IWPs plan man-hours.
bool conTarjetaHorasHombre(const TimeLinerConfig& config);

// The column's two project cards; the man-hour one only when it stands.
struct FigurasProyecto {
    FigurasValorGanado valorGanado;
    FigurasHorasHombre horasHombre;
    bool conHorasHombre = false;
};
FigurasProyecto figurasProyecto(const TimeLinerConfig& config, const ModoAvance& modo);

// The packages that get a card: the selection alone; else the CWAs by code; else the IWPs by
// planned start.
std::vector<PaqueteAWP> paquetesTarjetas(const TimeLinerConfig& config, const std::optional<PaqueteAWP>& seleccionado);

// A package card and which lines it has: only the store decides them, not the scrubber.
struct LineasTarjeta {
    PaqueteAWP pkg;
    bool dinero = false;
    bool horas = false;
    bool desfase = false;
    bool iwps = false;
};
// The cards of paquetesTarjetas; `indice` is over config's packages.
std::vector<LineasTarjeta> lineasTarjetas(const TimeLinerConfig& config, const IndiceAWP& indice,
                                          const std::optional<PaqueteAWP>& seleccionado);

// "Inicio en plazo", "Inicio +3d", "Inicio -3d" (and the same with "Fin").
QString textoDesfase(const QString& prefijo, int dias);
// Green when on time or ahead, red when late.
QColor colorDesfase(int dias);
// A card's progress colour, by the package's own stored progress: green from 1, grey at 0 or
// below, orange between.
QColor colorAvanceTarjeta(double progresoGuardado);

}  // namespace quelva
