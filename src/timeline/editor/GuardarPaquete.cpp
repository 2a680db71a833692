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
    QDateTime inicio = lista.front().fechaInicio;
    QDateTime fin = lista.front().fechaFin;
    for (const PaqueteAWP& p : lista) {
        inicio = std::min(inicio, p.fechaInicio);
        fin = std::max(fin, p.fechaFin);
    }
    config.fechaInicio = sumarDias(inicio, -30);
    config.fechaFin = sumarDias(fin, 15);
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
