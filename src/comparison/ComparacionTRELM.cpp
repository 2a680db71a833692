#include "comparison/ComparacionTRELM.h"

#include "comparison/NombresTRELM.h"
#include "comparison/TablaClavesTRELM.h"
#include "platform/TextOrder.h"
#include "scene/Geometry.h"
#include "scene/Material.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <cstdint>
#include <future>
#include <string_view>
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

// Key -> element node, keys in the order they first appeared (so that the records of one kind
// come out in the model's order, run after run); of two nodes with one key the later one.
using MapaElementos = TablaClavesTRELM<scene::Node*>;

// The element nodes (descendants with geometry), depth-first, each node before its children.
// Plain pointers: nothing changes the tree while the comparison reads it.
std::vector<scene::Node*> nodosElemento(scene::Node& modelo)
{
    std::vector<scene::Node*> elementos;
    std::vector<scene::Node*> pila;
    for (auto it = modelo.children().rbegin(); it != modelo.children().rend(); ++it)
        pila.push_back(it->get());
    while (!pila.empty()) {
        scene::Node* n = pila.back();
        pila.pop_back();
        if (n->geometry)
            elementos.push_back(n);
        for (auto it = n->children().rbegin(); it != n->children().rend(); ++it)
            pila.push_back(it->get());
    }
    return elementos;
}

// A thread of its own, or (when none can be had) the caller's thread at get().
constexpr auto kEnOtroHilo = std::launch::async | std::launch::deferred;

// Runs trabajo(desde, hasta) over [0, n) in `partes` slices, the first on the calling thread.
// The comparison's reading is bound by memory latency: slices overlap the waits.
template <typename Trabajo>
void enPartes(size_t n, size_t partes, const Trabajo& trabajo)
{
    partes = std::clamp<size_t>(partes, 1, std::max<size_t>(1, n / 2048));
    std::vector<std::future<void>> otras;
    for (size_t k = 1; k < partes; ++k)
        otras.push_back(std::async(kEnOtroHilo, [&, k] { trabajo(n * k / partes, n * (k + 1) / partes); }));
    trabajo(0, n / partes);
    for (std::future<void>& f : otras)
        f.get();
}

constexpr size_t kPartesPorModelo = 2;

// Keys the elements of one model. It only reads the tree and the map: any thread.
MapaElementos mapaElementos(scene::Node& modelo, const MapaGlobalIds& globalIds, bool usarGlobalIds)
{
    const std::vector<scene::Node*> elementos = nodosElemento(modelo);
    std::vector<std::pair<std::string_view, size_t>> claves(elementos.size());
    enPartes(elementos.size(), kPartesPorModelo, [&](size_t desde, size_t hasta) {
        std::string busqueda;
        for (size_t i = desde; i < hasta; ++i) {
            const std::string_view clave = vistaClaveElementoTRELM(*elementos[i], globalIds, usarGlobalIds, busqueda);
            claves[i] = {clave, MapaElementos::hashDe(clave)};
        }
    });
    MapaElementos mapa;
    mapa.reservar(elementos.size());
    for (size_t i = 0; i < elementos.size(); ++i)
        mapa.poner(claves[i].first, claves[i].second, elementos[i]);
    return mapa;
}

// The material a comparison paints: the node's first one.
scene::Material* materialDe(const scene::Node& nodo)
{
    return nodo.geometry && !nodo.geometry->materials.empty() ? nodo.geometry->materials.front().get() : nullptr;
}

void pintar(scene::Material* m, const scene::Color& color, double transparencia)
{
    if (m) {
        m->diffuse.contents = color;
        m->transparency = transparencia;
    }
}

// A base element, its counterpart in the new model if any, and what painting them needs.
struct Pareja {
    size_t nuevo = MapaElementos::kNinguna;
    DeltasTRELM deltas;
    scene::Material* materialBase = nullptr;
    scene::Material* materialNuevo = nullptr;
};

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

    // The two keyings only read the trees and the maps: the base one on a thread of its own.
    std::future<MapaElementos> enCurso =
        std::async(kEnOtroHilo, [&] { return mapaElementos(*entrada.base, gBase, usarGlobalIds); });
    const MapaElementos nuevo = mapaElementos(*entrada.nuevo, gNuevo, usarGlobalIds);
    const MapaElementos base = enCurso.get();

    std::vector<ElementoCambioTRELM> agregados, eliminados, modificados;
    // Pairing and measuring only read; painting and the records stay on this thread, in order.
    std::vector<Pareja> parejas(base.entradas().size());
    enPartes(parejas.size(), 2 * kPartesPorModelo, [&](size_t desde, size_t hasta) {
        for (size_t k = desde; k < hasta; ++k) {
            const MapaElementos::Entrada& e = base.entradas()[k];
            Pareja& p = parejas[k];
            p.materialBase = materialDe(*e.valor);
            p.nuevo = nuevo.indice(e.clave, e.hash);
            if (p.nuevo == MapaElementos::kNinguna)
                continue;
            const scene::Node& n = *nuevo.entradas()[p.nuevo].valor;
            p.materialNuevo = materialDe(n);
            p.deltas = deltasCajasTRELM(e.valor->boundingBox(), n.boundingBox());
        }
    });
    std::vector<bool> enBase(nuevo.entradas().size(), false);
    std::int64_t comunes = 0;
    constexpr size_t kAdelanto = 8;  // materials are scattered: ask for the next ones early
    for (size_t k = 0; k < parejas.size(); ++k) {
        if (k + kAdelanto < parejas.size()) {
            __builtin_prefetch(parejas[k + kAdelanto].materialBase, 1);
            __builtin_prefetch(parejas[k + kAdelanto].materialNuevo, 1);
        }
        const Pareja& p = parejas[k];
        if (p.nuevo == MapaElementos::kNinguna) {
            pintar(p.materialBase, coloresTRELM::eliminado, 1.0);
            eliminados.push_back(registro(*base.entradas()[k].valor, TipoCambioTRELM::eliminado));
            continue;
        }
        enBase[p.nuevo] = true;
        ++comunes;
        if (p.deltas.modificado()) {
            pintar(p.materialBase, coloresTRELM::modificadoBase, 1.0);
            pintar(p.materialNuevo, coloresTRELM::modificadoNuevo, 1.0);
            modificados.push_back(registro(*base.entradas()[k].valor, TipoCambioTRELM::modificado, p.deltas));
        } else {
            pintar(p.materialBase, coloresTRELM::igual, coloresTRELM::transparenciaIgualBase);
            pintar(p.materialNuevo, coloresTRELM::igual, coloresTRELM::transparenciaIgualNuevo);
        }
    }
    for (size_t i = 0; i < nuevo.entradas().size(); ++i) {
        if (enBase[i])
            continue;
        scene::Node* n = nuevo.entradas()[i].valor;
        pintar(materialDe(*n), coloresTRELM::agregado, 1.0);
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
