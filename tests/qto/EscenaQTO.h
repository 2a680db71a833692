#pragma once

// Small federations for take-off tests: disciplines with root nodes, models and elements of
// given extents. Extents are given as the take-off reads them: width along X, height along the
// scene's Z, length along Y.

#include "federation/EstadoFederacion.h"
#include "qto/ItemQTO.h"
#include "scene/Node.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qtotest {

inline scene::NodePtr elemento(const std::string& nombre, float ancho, float alto, float largo,
                               scene::Vec3f origen = {})
{
    const std::array<scene::Vec3f, 3> puntos = {
        origen, scene::Vec3f{origen.x + ancho, origen.y + largo, origen.z + alto}, origen};
    const std::array<std::int32_t, 3> indices = {0, 1, 2};
    auto n = scene::Node::make(scene::makeTriangleGeometry(puntos, indices));
    n->name = nombre;
    return n;
}

// A discipline whose root holds one unnamed model container with the given elements.
struct Federacion {
    quelva::TablaEspecialidades especialidades;
    QStringList orden;
    quelva::PropiedadesPorEspecialidad propiedades;

    scene::NodePtr modelo(const QString& clave, const QString& nombre)
    {
        quelva::EspecialidadBIM& esp = especialidades[clave];
        if (!orden.contains(clave))
            orden.append(clave);
        esp.nombre = nombre;
        if (!esp.nodoRaiz) {
            esp.nodoRaiz = scene::Node::make();
            esp.nodoRaiz->name = "esp_" + clave.toStdString();
        }
        auto contenedor = scene::Node::make();
        esp.nodoRaiz->addChild(contenedor);
        return contenedor;
    }

    void propiedad(const QString& clave, const std::string& elementoNombre, const std::string& k, const std::string& v)
    {
        propiedades[clave][elementoNombre][k] = v;
    }
    void tipo(const QString& clave, const std::string& elementoNombre, const std::string& t)
    {
        propiedad(clave, elementoNombre, quelva::kClaveTipoIFC, t);
    }
};

// A stand-alone item and group, for tests that need no scene.
inline quelva::ItemQTO item(const QString& nombre, float dx, float dy, float dz, float densidad = 1000,
                            quelva::PropiedadesElementoIFC props = {})
{
    quelva::ItemQTO i;
    i.id = QUuid::createUuid();
    i.nombre = nombre;
    i.dx = dx;
    i.dy = dy;
    i.dz = dz;
    i.densidad = densidad;
    i.propiedades = quelva::PropiedadesQTO::desde(props);
    return i;
}

inline quelva::GrupoQTO grupo(const QString& tipoIFC, const QString& tipoNombre, const QString& especialidad,
                              std::vector<quelva::ItemQTO> items, float densidad = 1000)
{
    quelva::GrupoQTO g;
    g.id = QUuid::createUuid();
    g.tipoIFC = tipoIFC;
    g.tipoNombre = tipoNombre;
    g.especialidad = especialidad;
    g.densidad = densidad;
    for (quelva::ItemQTO& i : items) {
        i.tipoIFC = tipoIFC;
        i.tipoNombre = tipoNombre;
        i.especialidad = especialidad;
        i.densidad = densidad;
    }
    g.items = std::move(items);
    return g;
}

}  // namespace qtotest
