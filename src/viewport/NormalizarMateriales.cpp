#include "viewport/NormalizarMateriales.h"

#include "scene/Material.h"

namespace quelva {

void normalizarMateriales(scene::Node& nodo)
{
    if (!nodo.geometry)
        return;
    auto& materiales = nodo.geometry->materials;
    if (materiales.empty()) {
        auto material = scene::makeMaterial();
        material->diffuse.contents = scene::Color::white(0.75);
        material->lightingModel = scene::LightingModel::Phong;
        materiales.push_back(material);
        return;
    }
    for (const auto& material : materiales) {
        if (!material)
            continue;
        if (material->diffuse.isEmpty())
            material->diffuse.contents = scene::Color::white(0.75);
        material->lightingModel = scene::LightingModel::Phong;
    }
}

}  // namespace quelva
