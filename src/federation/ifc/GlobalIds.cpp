#include "federation/ifc/GlobalIds.h"

#include "federation/ifc/ElementTypes.h"
#include "federation/ifc/NombreElemento.h"
#include "federation/ifc/ProductTypes.h"

#include <new>

namespace quelva {

MapaGlobalIds parsearGlobalIds(const TablaRegistrosSTEP& tabla)
{
    MapaGlobalIds mapa;
    // Every element record in file order, also those whose number repeats or is
    // not an integer: the number plays no part here.
    for (const auto& entrada : tabla.entradas()) {
        if (!esTipoElementoIFC(entrada.registro.tipo))
            continue;
        const auto atributos = separarAtributosSTEP(entrada.registro.argumentos);
        if (atributos.size() < 3)
            continue;
        std::string globalId = limpiarCadenaSTEP(atributos[0]);
        std::string nombre = nombreElementoIFC(atributos);
        if (!globalId.empty() && !nombre.empty())
            mapa.insert_or_assign(std::move(nombre), std::move(globalId));
    }
    return mapa;
}

MapaGlobalIds parsearGlobalIdsUnivocos(const TablaRegistrosSTEP& tabla)
{
    MapaGlobalIds mapa;
    std::vector<std::string_view> atributos;
    for (const auto& entrada : tabla.entradas()) {
        if (!esTipoProductoIFC(entrada.registro.tipo))
            continue;
        separarAtributosSTEP(entrada.registro.argumentos, atributos, 3);
        if (atributos.size() < 3)
            continue;
        std::string globalId = limpiarCadenaSTEP(atributos[0]);
        std::string nombre = nombreElementoIFC(atributos);
        if (globalId.empty() || nombre.empty())
            continue;
        const auto [it, nuevo] = mapa.try_emplace(std::move(nombre), globalId);
        if (!nuevo && it->second != globalId)
            it->second.clear();
    }
    return mapa;
}

void fusionarGlobalIdsUnivocos(MapaGlobalIds& destino, const MapaGlobalIds& nuevos)
{
    for (const auto& [nombre, globalId] : nuevos) {
        const auto [it, nuevo] = destino.try_emplace(nombre, globalId);
        if (!nuevo && it->second != globalId)
            it->second.clear();
    }
}

MapaGlobalIds parsearGlobalIds(const std::filesystem::path& ruta)
{
    try {
        return parsearGlobalIds(leerArchivoSTEP(ruta));
    } catch (const std::bad_alloc&) {
        return {};
    }
}

}  // namespace quelva
