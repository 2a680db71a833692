#include "timeline/csv/ConfirmacionCSV.h"

#include "timeline/editor/GuardarPaquete.h"

#include <algorithm>
#include <future>

namespace quelva {

void unirPaquetesCSV(TimeLinerConfig& c, std::vector<PaqueteAWP> nuevos)
{
    // A schedule from another year would sit at the chart's edge, playback would run through
    // empty months: the window then follows the packages as a save in the editor does.
    const qint64 inicio = claveOrdenFecha(c.fechaInicio), fin = claveOrdenFecha(c.fechaFin);
    const bool fuera = std::any_of(nuevos.begin(), nuevos.end(), [&](const PaqueteAWP& p) {
        return claveOrdenFecha(p.fechaInicio) < inicio || claveOrdenFecha(p.fechaFin) > fin;
    });
    if (c.paquetes.empty())
        c.paquetes = std::move(nuevos);  // a first import: no element moves
    else
        c.paquetes.insert(c.paquetes.end(), std::make_move_iterator(nuevos.begin()),
                          std::make_move_iterator(nuevos.end()));
    if (fuera)
        ajustarVentana(c);
}

ConfirmacionCSV prepararConfirmacionCSV(EntradaConfirmacionCSV entrada)
{
    ConfirmacionCSV r;
    std::vector<PaqueteAWP> nuevos = paquetesCSVNuevos(entrada.config, *entrada.elegidos);
    r.hayNuevos = !nuevos.empty();
    r.config = std::move(entrada.config);
    if (!r.hayNuevos)
        return r;
    unirPaquetesCSV(r.config, std::move(nuevos));
    r.indice = std::make_unique<IndiceAWP>(r.config.paquetes);
    // The S-curve reads the merged config beside the rows and figures. Not beside the index:
    // both convert every package's dates, and the C library converts one date at a time.
    std::future<TrazadoCurvaS> curva;
    if (entrada.curva)
        curva = std::async(std::launch::async, [&r, pedido = *entrada.curva] {
            return trazarCurvaS(r.config, pedido.modo, pedido.tamano);
        });
    r.filas = filasVisibles(*r.indice, entrada.expandidosCWA);
    r.figuras = figurasProyecto(r.config, entrada.modo);
    r.tarjetas = lineasTarjetas(r.config, *r.indice, entrada.seleccionado);
    if (curva.valid())
        r.curva = curva.get();
    return r;
}

}  // namespace quelva
