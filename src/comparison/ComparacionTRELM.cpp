#include "comparison/ComparacionTRELM.h"

#include "comparison/NombresTRELM.h"
#include "platform/TextOrder.h"
#include "scene/Geometry.h"
#include "scene/Material.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <cstdint>
#include <functional>
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

// Key -> node, keys in the order they first appeared (so that the records of one kind come out
// in the model's order, run after run). The keys view the node names and the GlobalId maps,
// which outlive the comparison. Open addressing over one array: tens of thousands of elements
// go in without an allocation each.
class MapaElementos {
public:
    struct Entrada {
        std::string_view clave;
        size_t hash;
        scene::Node* nodo;
    };

    void poner(std::string_view clave, scene::Node* nodo)
    {
        if (2 * (entradas_.size() + 1) > tabla_.size())
            crecer();
        const size_t h = std::hash<std::string_view>{}(clave);
        std::uint32_t& r = ranura(clave, h);
        if (r == kVacia) {
            r = std::uint32_t(entradas_.size());
            entradas_.push_back({clave, h, nodo});
        } else {
            entradas_[r].nodo = nodo;  // the later duplicate wins
        }
    }
    scene::Node* buscar(std::string_view clave) const
    {
        if (tabla_.empty())
            return nullptr;
        const size_t h = std::hash<std::string_view>{}(clave);
        const std::uint32_t r = const_cast<MapaElementos*>(this)->ranura(clave, h);
        return r == kVacia ? nullptr : entradas_[r].nodo;
    }
    const std::vector<Entrada>& entradas() const { return entradas_; }
    // Room for `n` keys, so that filling it neither copies nor rehashes.
    void reservar(size_t n)
    {
        entradas_.reserve(n);
        size_t c = 64;
        while (c < 2 * n)
            c *= 2;
        if (c > tabla_.size())
            tabla_.assign(c, kVacia);
    }

private:
    static constexpr std::uint32_t kVacia = 0xFFFFFFFFu;

    std::uint32_t& ranura(std::string_view clave, size_t h)
    {
        const size_t mascara = tabla_.size() - 1;
        for (size_t i = h & mascara;; i = (i + 1) & mascara) {
            std::uint32_t& r = tabla_[i];
            if (r == kVacia || (entradas_[r].hash == h && entradas_[r].clave == clave))
                return r;
        }
    }
    void crecer()
    {
        tabla_.assign(std::max<size_t>(64, 2 * tabla_.size()), kVacia);
        const size_t mascara = tabla_.size() - 1;
        for (std::uint32_t k = 0; k < entradas_.size(); ++k) {
            size_t i = entradas_[k].hash & mascara;
            while (tabla_[i] != kVacia)
                i = (i + 1) & mascara;
            tabla_[i] = k;
        }
    }

    std::vector<Entrada> entradas_;
    std::vector<std::uint32_t> tabla_;
};

MapaElementos mapaElementos(scene::Node& modelo, const MapaGlobalIds& globalIds, bool usarGlobalIds)
{
    size_t elementos = 0;
    modelo.visitDescendants([&](scene::Node& n) {
        elementos += n.geometry ? 1 : 0;
        return false;
    });
    MapaElementos mapa;
    mapa.reservar(elementos);
    std::string busqueda;
    modelo.visitDescendants([&](scene::Node& n) {
        if (n.geometry)
            mapa.poner(vistaClaveElementoTRELM(n, globalIds, usarGlobalIds, busqueda), &n);
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
    for (const MapaElementos::Entrada& e : base.entradas()) {
        scene::Node* b = e.nodo;
        scene::Node* n = nuevo.buscar(e.clave);
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
    for (const MapaElementos::Entrada& e : nuevo.entradas()) {
        if (base.buscar(e.clave))
            continue;
        scene::Node* n = e.nodo;
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
