#pragma once

#include "timeline/TimeLiner.h"

#include <QString>

#include <optional>

namespace quelva {

// Badge beside a real date: "En plazo", "+3d adelanto" (green) or "-2d retraso" (red).
struct InsigniaDesfase {
    QString texto;
    bool aTiempo = true;  // green; red otherwise
};
std::optional<InsigniaDesfase> insigniaDesfase(std::optional<int> dias);

// "Avance: 46%" for a progress of 0.456.
QString textoAvance(double progreso);

// Earned man-hours (hh × progress) over the real ones; 1 when nothing real was spent.
double factorProductividad(const PaqueteAWP& paquete);
enum class BandaFactor { buena, regular, mala };  // ≥ 1, ≥ 0.85, below
BandaFactor bandaFactor(double factor);

}  // namespace quelva

namespace quelva {

// The instant moved to another calendar day in the user's time zone, keeping its time of day
// (what a date-only picker writes).
QDateTime cambiarDia(const QDateTime& instante, const QDate& dia);

}  // namespace quelva
