#include "viewport/VerticeMasCercano.h"

#include "render/SceneView.h"

namespace quelva {

std::optional<scene::Vec3> verticeMasCercano(const scene::HitResult&, const ProyeccionVista&, QPointF)
{
    return std::nullopt;
}

std::optional<scene::Vec3> verticeMasCercano(const scene::HitResult& hit, const render::SceneView& vista,
                                             QPointF posicion)
{
    return verticeMasCercano(hit, [&vista](const scene::Vec3& w) { return vista.projectPoint(w); }, posicion);
}

std::optional<scene::Vec3> verticeMasCercano(const scene::HitResult& hit, const scene::Viewpoint& vista,
                                             QPointF posicion)
{
    return verticeMasCercano(hit, [&vista](const scene::Vec3& w) { return scene::projectPoint(vista, w); },
                             posicion);
}

}  // namespace quelva
