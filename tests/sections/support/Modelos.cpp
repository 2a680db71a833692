#include "Modelos.h"

#include <vector>

namespace seccionestest {

scene::NodePtr caja(const std::string& nombre, scene::Vec3f a, scene::Vec3f b)
{
    const std::vector<scene::Vec3f> v = {{a.x, a.y, a.z}, {b.x, a.y, a.z}, {b.x, b.y, a.z}, {a.x, b.y, a.z},
                                         {a.x, a.y, b.z}, {b.x, a.y, b.z}, {b.x, b.y, b.z}, {a.x, b.y, b.z}};
    const std::vector<std::int32_t> i = {0, 2, 1, 0, 3, 2,   // bottom
                                         4, 5, 6, 4, 6, 7,   // top
                                         0, 1, 5, 0, 5, 4,   // y min
                                         1, 2, 6, 1, 6, 5,   // x max
                                         2, 3, 7, 2, 7, 6,   // y max
                                         3, 0, 4, 3, 4, 7};  // x min
    auto n = scene::Node::make(scene::makeTriangleGeometry(v, i));
    if (!nombre.empty())
        n->name = nombre;
    return n;
}

Disciplina disciplina(const QString& nombre, QColor color)
{
    Disciplina d;
    d.esp.nombre = nombre;
    d.esp.colorOriginal = color;
    d.esp.nodoRaiz = scene::Node::make();
    d.esp.nodoRaiz->name = nombre.toStdString();
    d.modelo = scene::Node::make();
    d.modelo->name = "modelo.ifc";
    d.esp.nodoRaiz->addChild(d.modelo);
    return d;
}

quelva::TablaEspecialidades tablaCon(const Disciplina& d, const QString& key)
{
    quelva::TablaEspecialidades t;
    t[key] = d.esp;
    return t;
}

}  // namespace seccionestest
