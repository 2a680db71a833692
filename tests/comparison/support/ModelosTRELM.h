#pragma once

// Small version models for comparison tests: element nodes whose geometry spans a given box,
// each with its own material, as the OBJ loader makes them.

#include "scene/Geometry.h"
#include "scene/Material.h"
#include "scene/Node.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace pruebas_trelm {

struct Caja {
    std::string nombre;
    scene::Vec3f min;
    scene::Vec3f max;
};

inline scene::NodePtr nodoCaja(const std::string& nombre, scene::Vec3f a, scene::Vec3f b)
{
    const std::vector<scene::Vec3f> p{a, b, {a.x, b.y, a.z}, {b.x, a.y, b.z}};
    scene::GeometryElement t;
    t.indices = {0, 1, 2, 0, 3, 1};
    auto g = std::make_shared<scene::Geometry>(std::vector<scene::GeometrySource>{scene::GeometrySource::vertices(p)},
                                               std::vector<scene::GeometryElement>{t});
    auto m = scene::makeMaterial();
    m->diffuse.contents = scene::Color::white(0.75);
    g->materials.push_back(m);
    auto n = scene::Node::make(g);
    n->name = nombre;
    return n;
}

inline scene::NodePtr modelo(std::initializer_list<Caja> cajas)
{
    auto raiz = scene::Node::make();
    raiz->name = "modelo";
    for (const Caja& c : cajas)
        raiz->addChild(nodoCaja(c.nombre, c.min, c.max));
    return raiz;
}

inline scene::Material& material(const scene::NodePtr& modelo, size_t i)
{
    return *modelo->children().at(i)->geometry->firstMaterial();
}

}  // namespace pruebas_trelm
