#include "federation/grid/GridNode.h"

#include <cstdint>
#include <limits>

namespace quelva {

scene::NodePtr crearNodoGrillasIFC(const std::vector<EjeGrilla>& ejes)
{
    std::vector<scene::Vec3f> vertices;
    std::vector<std::int32_t> indices;
    for (const EjeGrilla& eje : ejes) {
        for (size_t k = 0; k + 1 < eje.puntos.size(); ++k) {
            if (vertices.size() + 2 > static_cast<size_t>(std::numeric_limits<std::int32_t>::max()))
                break;
            const auto base = static_cast<std::int32_t>(vertices.size());
            vertices.push_back(eje.puntos[k]);
            vertices.push_back(eje.puntos[k + 1]);
            indices.push_back(base);
            indices.push_back(base + 1);
        }
    }
    if (vertices.empty())
        return nullptr;

    scene::GeometryElement lineas;
    lineas.primitive = scene::GeometryElement::Primitive::Lines;
    lineas.indices = std::move(indices);
    std::vector<scene::GeometrySource> fuentes;
    fuentes.push_back(scene::GeometrySource::vertices(vertices));
    std::vector<scene::GeometryElement> elementos;
    elementos.push_back(std::move(lineas));
    auto geometria = std::make_shared<scene::Geometry>(std::move(fuentes), std::move(elementos));

    auto material = scene::makeMaterial();
    material->doubleSided = true;
    material->diffuse.contents = scene::Color::white(0.55, 0.6);
    geometria->materials.push_back(std::move(material));

    auto nodo = scene::Node::make(std::move(geometria));
    nodo->name = kNombreNodoGrillas;
    return nodo;
}

scene::NodePtr reemplazarNodoGrillasIFC(scene::Node& raiz, const scene::NodePtr& actual,
                                        const std::vector<EjeGrilla>& ejes)
{
    if (actual)
        actual->removeFromParent();
    auto nodo = crearNodoGrillasIFC(ejes);
    if (nodo)
        raiz.addChild(nodo);
    return nodo;
}

}  // namespace quelva
