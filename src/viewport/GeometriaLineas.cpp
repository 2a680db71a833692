#include "viewport/GeometriaLineas.h"

#include "viewport/ColoresEscena.h"

#include "scene/Geometry.h"

#include <array>

namespace quelva {

namespace {

scene::NodePtr nodoSegmento(const scene::Vec3& a, const scene::Vec3& b)
{
    // Vertices relative to the node at `a`: georeferenced coordinates lose centimetres as floats.
    const std::array<scene::Vec3f, 2> puntos{scene::Vec3f{0, 0, 0}, scene::toFloat(b - a)};
    const std::array<std::int32_t, 2> indices{0, 1};
    auto geometria = scene::makeLineGeometry(puntos, indices);
    auto material = geometria->firstMaterial();
    if (!material) {
        material = scene::makeMaterial();
        geometria->materials = {material};
    }
    const scene::Color verde = colorSistema(platform::SystemColor::green, 0.8);
    material->diffuse.contents = verde;
    material->emission.contents = verde;
    material->lightingModel = scene::LightingModel::Constant;
    material->writesToDepthBuffer = false;
    material->readsFromDepthBuffer = false;

    auto nodo = scene::Node::make(geometria);
    nodo->position = a;
    nodo->renderingOrder = 10;
    return nodo;
}

}  // namespace

scene::NodePtr geometriaLineas(const std::vector<scene::Vec3>& puntos, const scene::Vec3& actual)
{
    auto contenedor = scene::Node::make();
    if (puntos.empty())
        return contenedor;
    std::vector<scene::Vec3> recorrido = puntos;
    recorrido.push_back(actual);
    if (puntos.size() >= 2)
        recorrido.push_back(puntos.front());
    for (size_t i = 0; i + 1 < recorrido.size(); ++i)
        contenedor->addChild(nodoSegmento(recorrido[i], recorrido[i + 1]));
    return contenedor;
}

}  // namespace quelva
