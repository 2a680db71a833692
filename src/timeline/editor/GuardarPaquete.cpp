#include "timeline/editor/GuardarPaquete.h"

#include <algorithm>

namespace quelva {

void guardarPaquete(TimeLinerConfig& config, const PaqueteAWP& paquete)
{
    auto& lista = config.paquetes;
    const auto guardado =
        std::find_if(lista.begin(), lista.end(), [&](const PaqueteAWP& p) { return p.id == paquete.id; });
    if (guardado != lista.end())
        *guardado = paquete;
    else
        lista.push_back(paquete);
    ajustarVentana(config);
}

void ajustarVentana(TimeLinerConfig& config)
{
    const auto& lista = config.paquetes;
    if (lista.empty())
        return;
    // By instants, read once: each date comparison is a time-zone conversion, and a large
    // import has hundreds of thousands of packages. The first package wins a tie.
    const PaqueteAWP* inicio = &lista.front();
    const PaqueteAWP* fin = &lista.front();
    qint64 claveInicio = claveOrdenFecha(inicio->fechaInicio), claveFin = claveOrdenFecha(fin->fechaFin);
    for (const PaqueteAWP& p : lista) {
        if (const qint64 k = claveOrdenFecha(p.fechaInicio); k < claveInicio) {
            claveInicio = k;
            inicio = &p;
        }
        if (const qint64 k = claveOrdenFecha(p.fechaFin); k > claveFin) {
            claveFin = k;
            fin = &p;
        }
    }
    config.fechaInicio = sumarDias(inicio->fechaInicio, -30);
    config.fechaFin = sumarDias(fin->fechaFin, 15);
}

void eliminarPaquete(TimeLinerConfig& config, const PaqueteAWP& paquete)
{
    auto& lista = config.paquetes;
    const auto guardado =
        std::find_if(lista.begin(), lista.end(), [&](const PaqueteAWP& p) { return p.id == paquete.id; });
    if (guardado == lista.end())
        return;
    const QString codigo = guardado->codigo;
    std::erase_if(lista, [&](const PaqueteAWP& p) { return p.id == paquete.id; });
    for (PaqueteAWP& p : lista)
        if (p.parentCodigo == codigo)
            p.parentCodigo.reset();
}

}  // namespace quelva
