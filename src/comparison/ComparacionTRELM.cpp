#include "comparison/ComparacionTRELM.h"

#include "comparison/NombresTRELM.h"
#include "platform/TextOrder.h"
#include "scene/Geometry.h"
#include "scene/Material.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_map>
#include <vector>

namespace quelva {

DeltasTRELM deltasCajasTRELM(const scene::Box& base, const scene::Box& nuevo)
{
    const scene::Vec3 cb = base.center();
    const scene::Vec3 cn = nuevo.center();
    const scene::Vec3 sb = base.size();
    const scene::Vec3 sn = nuevo.size();
    DeltasTRELM d;
    d.posicion = std::sqrt((cb.x - cn.x) * (cb.x - cn.x) + (cb.y - cn.y) * (cb.y - cn.y) + (cb.z - cn.z) * (cb.z - cn.z));
    d.tamano = std::max({std::abs(sb.x - sn.x), std::abs(sb.y - sn.y), std::abs(sb.z - sn.z)});
    return d;
}

namespace {

// Key -> node, keys in the order they first appeared (so that the records of one kind come out
// in the model's order, run after run).
struct MapaElementos {
    std::unordered_map<std::string, scene::Node*> nodos;
    std::vector<const std::string*> orden;

    void poner(std::string clave, scene::Node* nodo)
    {
        auto [it, nuevo] = nodos.try_emplace(std::move(clave), nodo);
        if (nuevo)
            orden.push_back(&it->first);
        else
            it->second = nodo;  // the later duplicate wins
    }
    scene::Node* buscar(const std::string& clave) const
    {
        const auto it = nodos.find(clave);
        return it == nodos.end() ? nullptr : it->second;
    }
};

MapaElementos mapaElementos(scene::Node& modelo, const MapaGlobalIds& globalIds, bool usarGlobalIds)
{
    MapaElementos mapa;
    modelo.visitDescendants([&](scene::Node& n) {
        if (n.geometry)
            mapa.poner(claveElementoTRELM(n, globalIds, usarGlobalIds), &n);
        return false;
    });
    return mapa;
}

void pintar(scene::Node& nodo, const scene::Color& color, double transparencia)
{
    if (scene::Material* m = nodo.geometry ? nodo.geometry->firstMaterial().get() : nullptr) {
        m->diffuse.contents = color;
        m->transparency = transparencia;
    }
}

ElementoCambioTRELM registro(const scene::Node& nodo, TipoCambioTRELM tipo, const DeltasTRELM& d = {})
{
    ElementoCambioTRELM e;
    NombreYTipoTRELM n = tipoYNombreDeNodo(nodo);
    e.nombre = std::move(n.nombre);
    e.tipoIFC = std::move(n.tipoIFC);
    e.tipoCambio = tipo;
    e.deltaPosicion = float(d.posicion);
    e.deltaTamano = float(d.tamano);
    return e;
}

// Stable by name: NFC forms compared by code point, each name normalised once.
void ordenarPorNombre(std::vector<ElementoCambioTRELM>& elementos)
{
    std::vector<std::pair<QString, size_t>> claves;
    claves.reserve(elementos.size());
    for (size_t i = 0; i < elementos.size(); ++i)
        claves.emplace_back(platform::nfc(elementos[i].nombre), i);
    std::stable_sort(claves.begin(), claves.end(), [](const auto& a, const auto& b) {
        return platform::compareNormalizedCodePoints(a.first, b.first) < 0;
    });
    std::vector<ElementoCambioTRELM> ordenados;
    ordenados.reserve(elementos.size());
    for (const auto& [clave, i] : claves)
        ordenados.push_back(std::move(elementos[i]));
    elementos = std::move(ordenados);
}

}  // namespace

SalidaComparacionTRELM compararModelosTRELM(const EntradaComparacionTRELM& entrada)
{
    SalidaComparacionTRELM salida;
    salida.resultado.archivoBase = entrada.archivoBase;
    salida.resultado.archivoNuevo = entrada.archivoNuevo;
    if (!entrada.base || !entrada.nuevo) {
        salida.resultado.fecha = QDateTime::currentDateTime();
        return salida;
    }
    static const MapaGlobalIds vacio;
    const MapaGlobalIds& gBase = entrada.globalIdsBase ? *entrada.globalIdsBase : vacio;
    const MapaGlobalIds& gNuevo = entrada.globalIdsNuevo ? *entrada.globalIdsNuevo : vacio;
    const bool usarGlobalIds = !gBase.empty() && !gNuevo.empty();

    const MapaElementos base = mapaElementos(*entrada.base, gBase, usarGlobalIds);
    const MapaElementos nuevo = mapaElementos(*entrada.nuevo, gNuevo, usarGlobalIds);

    std::vector<ElementoCambioTRELM> agregados, eliminados, modificados;
    std::int64_t comunes = 0;
    for (const std::string* clave : base.orden) {
        scene::Node* b = base.buscar(*clave);
        scene::Node* n = nuevo.buscar(*clave);
        if (!n) {
            pintar(*b, coloresTRELM::eliminado, 1.0);
            eliminados.push_back(registro(*b, TipoCambioTRELM::eliminado));
            continue;
        }
        ++comunes;
        const DeltasTRELM d = deltasCajasTRELM(b->boundingBox(), n->boundingBox());
        if (d.modificado()) {
            pintar(*b, coloresTRELM::modificadoBase, 1.0);
            pintar(*n, coloresTRELM::modificadoNuevo, 1.0);
            modificados.push_back(registro(*b, TipoCambioTRELM::modificado, d));
        } else {
            pintar(*b, coloresTRELM::igual, coloresTRELM::transparenciaIgualBase);
            pintar(*n, coloresTRELM::igual, coloresTRELM::transparenciaIgualNuevo);
        }
    }
    for (const std::string* clave : nuevo.orden) {
        if (base.buscar(*clave))
            continue;
        scene::Node* n = nuevo.buscar(*clave);
        pintar(*n, coloresTRELM::agregado, 1.0);
        agregados.push_back(registro(*n, TipoCambioTRELM::agregado));
    }

    salida.stats.agregados = std::int64_t(agregados.size());
    salida.stats.eliminados = std::int64_t(eliminados.size());
    salida.stats.modificados = std::int64_t(modificados.size());
    salida.stats.iguales = comunes - salida.stats.modificados;

    std::vector<ElementoCambioTRELM>& elementos = salida.resultado.elementos;
    elementos.reserve(agregados.size() + eliminados.size() + modificados.size());
    for (auto* grupo : {&agregados, &eliminados, &modificados})
        std::move(grupo->begin(), grupo->end(), std::back_inserter(elementos));
    ordenarPorNombre(elementos);
    salida.resultado.iguales = salida.stats.iguales;
    salida.resultado.fecha = QDateTime::currentDateTime();
    return salida;
}

}  // namespace quelva
