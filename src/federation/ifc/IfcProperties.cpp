#include "federation/ifc/IfcProperties.h"

#include "federation/ifc/ElementTypes.h"

#include <utility>
#include <vector>

namespace quelva {

TablaPropiedadesIFC parsearPropiedadesIFC(const TablaRegistrosSTEP& tabla)
{
    TablaPropiedadesIFC resultado;
    const auto& entradas = tabla.entradas();
    // Entry of each element record, by its index in the table, so that relations
    // find it without splitting the element again. Map values keep their address.
    std::vector<PropiedadesElementoIFC*> porIndice(entradas.size(), nullptr);

    for (size_t i = 0; i < entradas.size(); ++i) {
        const RegistroSTEP& r = entradas[i].registro;
        if (!esTipoElementoIFC(r.tipo) || !tabla.vigente(i))
            continue;
        const auto atributos = separarAtributosSTEP(r.argumentos);
        if (atributos.size() <= 2)
            continue;
        std::string nombre = limpiarCadenaSTEP(atributos[2]);
        if (nombre.empty())
            continue;
        PropiedadesElementoIFC& propiedades = resultado[std::move(nombre)];
        propiedades[kClaveTipoIFC] = std::string(r.tipo);
        porIndice[i] = &propiedades;
    }

    std::vector<std::pair<std::string, std::string>> pares;
    for (size_t i = 0; i < entradas.size(); ++i) {
        const RegistroSTEP& rel = entradas[i].registro;
        if (rel.tipo != "IFCRELDEFINESBYPROPERTIES" || !tabla.vigente(i))
            continue;
        const auto atributosRel = separarAtributosSTEP(rel.argumentos);
        if (atributosRel.size() < 6)
            continue;
        const auto refDefinicion = parsearReferenciaSTEP(atributosRel[5]);
        if (!refDefinicion)
            continue;
        const RegistroSTEP* pset = tabla.buscar(*refDefinicion);
        if (!pset || pset->tipo != "IFCPROPERTYSET")
            continue;
        const auto atributosPset = separarAtributosSTEP(pset->argumentos);
        if (atributosPset.size() < 5)
            continue;
        const std::string prefijo = limpiarCadenaSTEP(atributosPset[2]) + kSeparadorPropiedad;

        pares.clear();
        for (const std::int64_t ref : parsearListaReferenciasSTEP(atributosPset[4])) {
            const RegistroSTEP* prop = tabla.buscar(ref);
            if (!prop || prop->tipo != "IFCPROPERTYSINGLEVALUE")
                continue;
            const auto atributosProp = separarAtributosSTEP(prop->argumentos);
            if (atributosProp.size() < 3)
                continue;
            std::string nombreProp = limpiarCadenaSTEP(atributosProp[0]);
            if (nombreProp.empty())
                continue;
            pares.emplace_back(prefijo + nombreProp, valorNominalSTEP(atributosProp[2]));
        }

        for (const std::int64_t ref : parsearListaReferenciasSTEP(atributosRel[4])) {
            const auto indice = tabla.indiceDe(ref);
            if (!indice || !porIndice[*indice])
                continue;
            PropiedadesElementoIFC& propiedades = *porIndice[*indice];
            for (const auto& [clave, valor] : pares)
                propiedades.insert_or_assign(clave, valor);
        }
    }
    return resultado;
}

TablaPropiedadesIFC parsearPropiedadesIFC(const std::filesystem::path& ruta)
{
    return parsearPropiedadesIFC(leerArchivoSTEP(ruta));
}

}  // namespace quelva
