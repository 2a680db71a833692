#pragma once

// Confirming the CSV preview: the packages whose code is new appended to the timeline. A large
// file is merged off the GUI thread, together with what the window derives from the result, so
// that the store only takes a prepared list.

#include "timeline/FigurasTimeLiner.h"
#include "timeline/IndiceAWP.h"
#include "timeline/TimeLiner.h"
#include "timeline/analitica/FigurasAnalitica.h"
#include "timeline/analitica/TrazadoCurvaS.h"

#include <QSize>

#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace quelva {

// Appends `nuevos` (already free of codes the config holds); a schedule outside the project
// window moves the window as a save in the editor does.
void unirPaquetesCSV(TimeLinerConfig& config, std::vector<PaqueteAWP> nuevos);

// The S-curve as its chart shows it now: traced with the rest when it is on show.
struct PedidoCurvaS {
    int modo = 2;
    QSize tamano;
};

// A copy of what the merge reads, taken on the GUI thread; the chosen packages are shared, never
// copied.
struct EntradaConfirmacionCSV {
    TimeLinerConfig config;
    std::shared_ptr<const std::vector<PaqueteAWP>> elegidos;
    std::set<QString> expandidosCWA;
    ModoAvance modo;
    std::optional<PaqueteAWP> seleccionado;
    std::optional<PedidoCurvaS> curva;
};

// The timeline after the merge and the window's tree index, rows and figures over it. The index
// points into config.paquetes, whose storage the store takes over by a swap.
struct ConfirmacionCSV {
    bool hayNuevos = false;
    TimeLinerConfig config;
    std::unique_ptr<IndiceAWP> indice;
    std::vector<FilaVisible> filas;
    FigurasProyecto figuras;
    std::vector<LineasTarjeta> tarjetas;
    std::optional<TrazadoCurvaS> curva;
};

// Any thread: reads only its input.
ConfirmacionCSV prepararConfirmacionCSV(EntradaConfirmacionCSV entrada);

}  // namespace quelva
