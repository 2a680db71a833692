#include "federation/ifc/IfcProperties.h"

#include "federation/ifc/ElementTypes.h"
#include "federation/ifc/NombreElemento.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>
#include <unordered_map>
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

TablaPropiedadesIFC parsearPropiedadesIFC(const TablaRegistrosSTEP& tabla, size_t limiteAsignaciones,
                                          EstadisticaPropiedades* estadistica)
{
    TablaPropiedadesIFC resultado;
    size_t asignaciones = 0;
    auto trabajo = [estadistica](size_t bytes) {
        if (estadistica)
            estadistica->bytesLeidos += bytes;
    };
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
        trabajo(r.argumentos.size());
        if (atributos.size() <= 2)
            continue;
        // Keyed exactly as the converter names the element's node.
        std::string nombre = nombreElementoIFC(atributos);
        if (nombre.empty())
            continue;
        PropiedadesElementoIFC& propiedades = resultado[std::move(nombre)];
        propiedades.insert_or_assign(kClaveTipoIFC, std::string(r.tipo));
        elementos.push_back(&propiedades);
        porIndice[i] = static_cast<std::uint32_t>(elementos.size());
    }

    // A property set or a property used once (the common case) is decoded for its one use and
    // moved into place; from its second use on, the decoded form is kept, so however many
    // relations or sets share a record it is split and decoded at most twice.
    using Par = std::pair<std::string, std::string>;
    struct ConjuntoLeido {
        std::vector<Par> pares;
        size_t costeAsignacion = 0;  // work units to set all pairs on one element
    };
    enum : std::uint8_t { kConjuntoVisto = 1, kPropiedadVista = 2 };
    std::vector<std::uint8_t> vistos(entradas.size(), 0);
    std::unordered_map<size_t, ConjuntoLeido> conjuntoDe;       // table index -> set used more than once
    std::unordered_map<size_t, std::optional<Par>> propiedadDe;  // table index -> property used more than once
    auto costePar = [](const std::string& clave, const std::string& valor) {
        // a long key or value costs as much as the bytes it moves, so one huge name cannot multiply
        return 1 + (clave.size() + valor.size()) / 64;
    };
    auto decodificarPropiedad = [&](size_t indice, std::optional<Par>& par) {
        par.reset();
        const RegistroSTEP& prop = entradas[indice].registro;
        if (prop.tipo != "IFCPROPERTYSINGLEVALUE")
            return;
        separarAtributosSTEP(prop.argumentos, atributos, 3);
        trabajo(prop.argumentos.size());
        if (atributos.size() < 3)
            return;
        std::string nombreProp = limpiarCadenaSTEP(atributos[0]);
        if (!nombreProp.empty())
            par.emplace(std::move(nombreProp), valorNominalSTEP(atributos[2]));
    };
    std::optional<Par> propiedadSuelta;
    std::vector<std::int64_t> refs;
    auto leerPropiedad = [&](size_t indice) -> std::optional<Par>& {
        if (const auto it = propiedadDe.find(indice); it != propiedadDe.end())
            return it->second;
        if (!(vistos[indice] & kPropiedadVista)) {
            vistos[indice] |= kPropiedadVista;
            decodificarPropiedad(indice, propiedadSuelta);
            return propiedadSuelta;
        }
        auto& guardada = propiedadDe[indice];
        decodificarPropiedad(indice, guardada);
        return guardada;
    };
    auto decodificarConjunto = [&](size_t indice, ConjuntoLeido& conjunto) {
        conjunto.pares.clear();
        conjunto.costeAsignacion = 0;
        const RegistroSTEP& pset = entradas[indice].registro;
        separarAtributosSTEP(pset.argumentos, atributos, 5);
        trabajo(pset.argumentos.size());
        if (atributos.size() < 5)
            return;
        const std::string prefijo = limpiarCadenaSTEP(atributos[2]) + kSeparadorPropiedad;
        parsearListaReferenciasSTEP(atributos[4], refs);
        asignaciones = std::min(limiteAsignaciones, asignaciones + refs.size());
        for (const std::int64_t ref : refs) {
            const auto i = tabla.indiceDe(ref);
            if (!i)
                continue;
            auto& par = leerPropiedad(*i);
            if (!par)
                continue;
            const size_t coste = costePar(prefijo, par->first) + par->second.size() / 64;
            if (asignaciones + coste > limiteAsignaciones) {
                asignaciones = limiteAsignaciones;
                break;
            }
            asignaciones += coste;
            if (&par == &propiedadSuelta)
                conjunto.pares.emplace_back(prefijo + par->first, std::move(par->second));  // used once: taken
            else
                conjunto.pares.emplace_back(prefijo + par->first, par->second);
            conjunto.costeAsignacion += costePar(conjunto.pares.back().first, conjunto.pares.back().second);
        }
    };
    ConjuntoLeido conjuntoSuelto;

    std::vector<PropiedadesElementoIFC*> destinos;
    std::vector<std::int64_t> referencias;
    for (const size_t i : relaciones) {
        const RegistroSTEP& rel = entradas[i].registro;
        if (!tabla.vigente(i))
            continue;
        separarAtributosSTEP(rel.argumentos, atributos, 6);
        trabajo(rel.argumentos.size());
        if (atributos.size() < 6)
            continue;
        const std::string_view relacionados = atributos[4];
        const auto refDefinicion = parsearReferenciaSTEP(atributos[5]);
        if (!refDefinicion)
            continue;
        const auto indicePset = tabla.indiceDe(*refDefinicion);
        if (!indicePset || entradas[*indicePset].registro.tipo != "IFCPROPERTYSET")
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
        ConjuntoLeido* conjunto = nullptr;
        bool suelto = false;
        if (const auto it = conjuntoDe.find(*indicePset); it != conjuntoDe.end()) {
            conjunto = &it->second;
        } else if (!(vistos[*indicePset] & kConjuntoVisto)) {
            vistos[*indicePset] |= kConjuntoVisto;
            decodificarConjunto(*indicePset, conjuntoSuelto);
            conjunto = &conjuntoSuelto;
            suelto = true;
        } else {
            conjunto = &conjuntoDe[*indicePset];
            decodificarConjunto(*indicePset, *conjunto);
        }
        if (conjunto->pares.empty())
            continue;
        const size_t cabe = (limiteAsignaciones - asignaciones) / conjunto->costeAsignacion;
        if (destinos.size() > cabe)
            destinos.resize(cabe);
        asignaciones += destinos.size() * conjunto->costeAsignacion;
        // Copies for all but the last related element, which takes the texts of a set used once.
        for (size_t k = 0; k < destinos.size(); ++k) {
            const bool mover = suelto && k + 1 == destinos.size();
            for (auto& [clave, valor] : conjunto->pares) {
                if (mover)
                    destinos[k]->insert_or_assign(std::move(clave), std::move(valor));
                else
                    destinos[k]->insert_or_assign(clave, valor);
            }
        }
    }
    if (estadistica)
        estadistica->unidadesTrabajo = asignaciones;
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
