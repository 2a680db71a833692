#pragma once

// Figures that several panes of the timeline window share. All take the configuration and the
// window's scrubber date and automatic-progress switch as they are now.

#include "timeline/IndiceAWP.h"
#include "timeline/TimeLiner.h"

#include <QDateTime>
#include <QString>

#include <set>
#include <vector>

namespace quelva {

// What automatic progress reads: the switch and the scrubber date.
struct ModoAvance {
    bool automatico = false;
    QDateTime fechaScrubber;
};

// The stored progress, or (automatic) the share of the planned span the scrubber has passed.
double progresoEfectivo(const PaqueteAWP& paquete, const ModoAvance& modo);
// The scope-weighted progress of the package with the effective progress of its IWPs.
double progresoAgregadoEfectivo(const TimeLinerConfig& config, const PaqueteAWP& paquete, const ModoAvance& modo);
double progresoAgregadoEfectivo(const IndiceAWP& indice, const PaqueteAWP& paquete, const ModoAvance& modo);
// Project earned value and earned man-hours: sums over the IWPs only.
double valorGanadoTotal(const TimeLinerConfig& config, const ModoAvance& modo);
double hhGanadasTotal(const TimeLinerConfig& config, const ModoAvance& modo);

// One row of the tree and the on-screen Gantt.
struct FilaVisible {
    PaqueteAWP pkg;
    int sangria = 0;  // 0, 1 or 2
};

// CWAs by code, each expanded one followed by its CWPs (each with its IWPs) and its direct
// IWPs; then every IWP that belongs to no CWA. PWPs never get a row.
std::vector<FilaVisible> filasVisibles(const TimeLinerConfig& config, const std::set<QString>& expandidosCWA);
std::vector<FilaVisible> filasVisibles(const IndiceAWP& indice, const std::set<QString>& expandidosCWA);
// The same with every CWA expanded (the printable page).
std::vector<FilaVisible> filasCompletas(const TimeLinerConfig& config);

// The packages of `elegidos`, in order, whose code the configuration does not hold yet (nor an
// earlier one of `elegidos`).
std::vector<PaqueteAWP> paquetesCSVNuevos(const TimeLinerConfig& config, const std::vector<PaqueteAWP>& elegidos);

// Man-hours: from 1000 the value in thousands with `formatoMiles`, below "%.0f HH".
QString formatearHH(double valor, const char* formatoMiles);

// Project summary of the tree: IWP count, their total budget, their plain mean stored progress.
struct ResumenIWP {
    int paquetes = 0;
    double presupuesto = 0;
    double avance = 0;
};
ResumenIWP resumenIWP(const TimeLinerConfig& config);

}  // namespace quelva
