#include "qto/ConstruirGrupos.h"

#include "qto/TablasIFC.h"

#include <algorithm>
#include <cmath>

namespace quelva {

namespace {

// Scale of everything above the node: a model's unit factor sits on its container. The factor
// is uniform, so a rotation above it does not change which extent it scales.
scene::Vec3 escalaSuperior(const scene::Node& nodo)
{
    scene::Vec3 e{1, 1, 1};
    for (const scene::Node* p = nodo.parent(); p; p = p->parent())
        e = {e.x * std::abs(p->scale.x), e.y * std::abs(p->scale.y), e.z * std::abs(p->scale.z)};
    return e;
}

}  // namespace

TablaGruposQTO::TablaGruposQTO() : almacen_(std::make_shared<AlmacenPropiedadesQTO>()) {}

GrupoQTO& TablaGruposQTO::grupo(const std::string& tipoIFC, const QString& especialidad)
{
    if (especialidad != especialidadActual_) {
        especialidadActual_ = especialidad;
        porTipo_.clear();
    }
    if (const auto visto = porTipo_.find(tipoIFC); visto != porTipo_.end())
        return *visto->second;
    auto [it, nuevo] = grupos_.try_emplace({tipoIFC, especialidad});
    GrupoQTO& g = it->second;
    porTipo_.emplace(tipoIFC, &g);
    if (nuevo) {
        g.id = QUuid::createUuid();
        g.tipoIFC = QString::fromStdString(tipoIFC);
        const TipoIFCConocido* conocido = buscarTipoIFC(tipoIFC);
        g.tipoNombre = conocido ? QString::fromUtf8(conocido->nombre) : g.tipoIFC;
        g.densidad = conocido ? conocido->densidad : kDensidadPorDefecto;
        g.especialidad = especialidad;
    }
    return g;
}

PropiedadesQTO TablaGruposQTO::propiedades(const PropiedadesElementoIFC* entrada)
{
    if (!entrada || entrada->empty())
        return {};
    return {almacen_, almacen_->agregar(*entrada), std::uint32_t(entrada->size())};
}

std::vector<GrupoQTO> TablaGruposQTO::lista() &&
{
    std::vector<GrupoQTO> lista;
    lista.reserve(grupos_.size());
    for (auto& [clave, g] : grupos_)
        lista.push_back(std::move(g));
    grupos_.clear();
    porTipo_.clear();
    std::stable_sort(lista.begin(), lista.end(), GrupoQTO::ordenPorDefecto);
    return lista;
}

void agregarNodo(const scene::Node& nodo, const TablaPropiedadesIFC& propiedades, const QString& especialidad,
                 TablaGruposQTO& tabla)
{
    if (!nodo.name || nodo.name->empty())
        return;
    const scene::Box caja = nodo.boundingBox();
    const scene::Vec3 escala = escalaSuperior(nodo);
    // Z is up: the height is the Z extent and the plan takes X and Y.
    const float ancho = std::abs(float((caja.max.x - caja.min.x) * escala.x));
    const float largo = std::abs(float((caja.max.y - caja.min.y) * escala.y));
    const float alto = std::abs(float((caja.max.z - caja.min.z) * escala.z));
    // Compared as stored: vertices are single precision, so a millimetre drawn in the model
    // reads as 0.001f, which must not count as more than a millimetre.
    if (!(ancho > 0.001f || largo > 0.001f || alto > 0.001f))
        return;

    const auto entrada = propiedades.find(*nodo.name);
    const PropiedadesElementoIFC* props = entrada == propiedades.end() ? nullptr : &entrada->second;
    static const std::string tipoPorDefecto = kTipoIFCPorDefecto;
    static const std::string claveTipo = kClaveTipoIFC;
    const std::string* tipo = &tipoPorDefecto;
    if (props)
        if (const auto t = props->find(claveTipo); t != props->end())
            tipo = &t->second;

    GrupoQTO& g = tabla.grupo(*tipo, especialidad);
    ItemQTO item;
    item.id = QUuid::createUuid();
    item.nombre = QString::fromStdString(*nodo.name);
    item.tipoIFC = g.tipoIFC;
    item.tipoNombre = g.tipoNombre;
    item.especialidad = g.especialidad;
    item.dx = ancho;
    item.dy = alto;
    item.dz = largo;
    item.densidad = g.densidad;
    item.propiedades = tabla.propiedades(props);
    g.items.push_back(std::move(item));
}

std::vector<GrupoQTO> construirGrupos(const TablaEspecialidades& especialidades, const QStringList& orden,
                                      const PropiedadesPorEspecialidad& propiedadesIFC)
{
    static const TablaPropiedadesIFC sinTabla;
    TablaGruposQTO tabla;
    for (const QString& clave : orden) {
        const auto esp = especialidades.find(clave);
        if (esp == especialidades.end() || !esp->second.nodoRaiz)
            continue;
        const auto props = propiedadesIFC.find(clave);
        const TablaPropiedadesIFC& tablaEsp = props == propiedadesIFC.end() ? sinTabla : props->second;
        const QString& nombre = esp->second.nombre;
        esp->second.nodoRaiz->visitDescendants([&](scene::Node& n) {
            agregarNodo(n, tablaEsp, nombre, tabla);
            return false;
        });
    }
    return std::move(tabla).lista();
}

}  // namespace quelva
