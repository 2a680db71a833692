#include "federation/ifc/IfcProperties.h"

#include "federation/ifc/ElementTypes.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

namespace quelva {

TablaPropiedadesIFC parsearPropiedadesIFC(const TablaRegistrosSTEP& tabla)
{
    return parsearPropiedadesIFC(tabla, limiteAsignacionesIFC(tabla));
}

size_t limiteAsignacionesIFC(const TablaRegistrosSTEP& tabla)
{
    return 4'000'000 + 8 * tabla.entradas().size();
}

TablaPropiedadesIFC parsearPropiedadesIFC(const TablaRegistrosSTEP& tabla, size_t limiteAsignaciones)
{
    TablaPropiedadesIFC resultado;
    size_t asignaciones = 0;
    const auto& entradas = tabla.entradas();
    // Entry of each element record, by its index in the table, so that relations
    // find it without splitting the element again. Map values keep their address.
    // 1-based positions into `elementos`, 0 for records that are no named element:
    // half the size of a pointer per record in files of millions of records.
    std::vector<std::uint32_t> porIndice(entradas.size(), 0);
    std::vector<PropiedadesElementoIFC*> elementos;
    std::vector<std::string_view> atributos;

    // Relations are gathered in the same pass and read once every element is known.
    std::vector<size_t> relaciones;
    for (size_t i = 0; i < entradas.size(); ++i) {
        const RegistroSTEP& r = entradas[i].registro;
        if (r.tipo == "IFCRELDEFINESBYPROPERTIES") {
            relaciones.push_back(i);
            continue;
        }
        if (!esTipoElementoIFC(r.tipo) || !tabla.vigente(i))
            continue;
        separarAtributosSTEP(r.argumentos, atributos, 3);
        if (atributos.size() <= 2)
            continue;
        std::string nombre = limpiarCadenaSTEP(atributos[2]);
        if (nombre.empty())
            continue;
        PropiedadesElementoIFC& propiedades = resultado[std::move(nombre)];
        propiedades.insert_or_assign(kClaveTipoIFC, std::string(r.tipo));
        elementos.push_back(&propiedades);
        porIndice[i] = static_cast<std::uint32_t>(elementos.size());
    }

    std::vector<std::pair<std::string, std::string>> pares;
    std::vector<PropiedadesElementoIFC*> destinos;
    std::vector<std::int64_t> referencias;
    for (const size_t i : relaciones) {
        const RegistroSTEP& rel = entradas[i].registro;
        if (!tabla.vigente(i))
            continue;
        separarAtributosSTEP(rel.argumentos, atributos, 6);
        if (atributos.size() < 6)
            continue;
        const std::string_view relacionados = atributos[4];
        const auto refDefinicion = parsearReferenciaSTEP(atributos[5]);
        if (!refDefinicion)
            continue;
        const RegistroSTEP* pset = tabla.buscar(*refDefinicion);
        if (!pset || pset->tipo != "IFCPROPERTYSET")
            continue;

        destinos.clear();
        parsearListaReferenciasSTEP(relacionados, referencias);
        for (const std::int64_t ref : referencias) {
            const auto indice = tabla.indiceDe(ref);
            if (indice && porIndice[*indice] != 0)
                destinos.push_back(elementos[porIndice[*indice] - 1]);
        }
        if (destinos.empty())
            continue;

        // A few records can relate every element to every property, or one large set
        // to many relations: the work is bounded by a budget and the rest left out.
        if (asignaciones >= limiteAsignaciones)
            break;
        separarAtributosSTEP(pset->argumentos, atributos, 5);
        if (atributos.size() < 5)
            continue;
        const std::string prefijo = limpiarCadenaSTEP(atributos[2]) + kSeparadorPropiedad;
        const std::string_view propiedadesPset = atributos[4];

        pares.clear();
        parsearListaReferenciasSTEP(propiedadesPset, referencias);
        asignaciones = std::min(limiteAsignaciones, asignaciones + referencias.size());
        for (const std::int64_t ref : referencias) {
            const RegistroSTEP* prop = tabla.buscar(ref);
            if (!prop || prop->tipo != "IFCPROPERTYSINGLEVALUE")
                continue;
            separarAtributosSTEP(prop->argumentos, atributos, 3);
            if (atributos.size() < 3)
                continue;
            std::string nombreProp = limpiarCadenaSTEP(atributos[0]);
            if (nombreProp.empty())
                continue;
            pares.emplace_back(prefijo + nombreProp, valorNominalSTEP(atributos[2]));
        }

        if (!pares.empty() && destinos.size() > (limiteAsignaciones - asignaciones) / pares.size())
            destinos.resize((limiteAsignaciones - asignaciones) / pares.size());
        asignaciones += destinos.size() * pares.size();

        // Copies for all but the last related element, which takes the texts themselves.
        for (size_t k = 0; k < destinos.size(); ++k) {
            PropiedadesElementoIFC& propiedades = *destinos[k];
            const bool ultimo = k + 1 == destinos.size();
            for (auto& [clave, valor] : pares) {
                if (ultimo)
                    propiedades.insert_or_assign(std::move(clave), std::move(valor));
                else
                    propiedades.insert_or_assign(clave, valor);
            }
        }
    }
    return resultado;
}

TablaPropiedadesIFC parsearPropiedadesIFC(const std::filesystem::path& ruta)
{
    try {
        return parsearPropiedadesIFC(leerArchivoSTEP(ruta));
    } catch (const std::bad_alloc&) {
        return {};
    }
}

}  // namespace quelva
