#include "federation/NodoGrillas.h"

#include "scene/Geometry.h"

#include <cstdint>

namespace quelva {

scene::NodePtr crearNodoGrillas(const std::vector<EjeGrilla>& ejes)
{
    std::vector<scene::Vec3f> vertices;
    std::vector<std::int32_t> indices;
    for (const EjeGrilla& eje : ejes) {
        for (size_t i = 1; i < eje.puntos.size(); ++i) {
            const auto k = static_cast<std::int32_t>(vertices.size());
            vertices.push_back(eje.puntos[i - 1]);
            vertices.push_back(eje.puntos[i]);
            indices.push_back(k);
            indices.push_back(k + 1);
        }
    }
    if (vertices.empty())
        return nullptr;

    scene::GeometryPtr geometria = scene::makeLineGeometry(vertices, indices);
    auto material = scene::makeMaterial();
    material->doubleSided = true;
    material->diffuse.contents = scene::Color::white(0.55, 0.6);
    geometria->materials = {material};

    scene::NodePtr nodo = scene::Node::make(geometria);
    nodo->name = kNombreNodoGrillas;
    return nodo;
}

}  // namespace quelva
