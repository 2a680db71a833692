#include "viewport/AnilloSnap.h"

#include "viewport/ColoresEscena.h"

#include "scene/Primitives.h"

#include <algorithm>
#include <cmath>

namespace quelva {

double radioAnilloSnap(float distanciaCamara)
{
    const float r = std::max(0.012f * distanciaCamara, float(kRadioMinimoAnillo));
    // A camera at a non-finite distance must not give the scene an infinite ring.
    return std::isfinite(r) ? r : kRadioMinimoAnillo;
}

scene::NodePtr nodoAnilloSnap(const scene::Vec3& punto, float distanciaCamara)
{
    const double r = radioAnilloSnap(distanciaCamara);
    auto geometria = scene::makeTorus(r, 0.18 * r);
    auto material = geometria->firstMaterial();
    if (!material) {
        material = scene::makeMaterial();
        geometria->materials = {material};
    }
    const scene::Color amarillo = colorSistema(platform::SystemColor::yellow);
    material->diffuse.contents = amarillo;
    material->emission.contents = amarillo;
    material->lightingModel = scene::LightingModel::Constant;
    material->writesToDepthBuffer = false;
    material->readsFromDepthBuffer = false;

    auto nodo = scene::Node::make(geometria);
    nodo->position = punto;
    nodo->renderingOrder = 10;
    return nodo;
}

}  // namespace quelva
