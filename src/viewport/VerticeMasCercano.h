#pragma once

// Vertex snap of the measurement tool: the vertex of the hit node nearest to the cursor on
// screen, when one lies strictly closer than 20 view points.
// The view overload is the one the 3D view adapter uses; the others take the projection
// directly (tests, off-screen use).

#include "scene/HitTest.h"
#include "scene/Math.h"
#include "scene/Projection.h"

#include <QPointF>
#include <functional>
#include <optional>

namespace render {
class SceneView;
}

namespace quelva {

// World point -> view point (x, y in view points, top-left origin; z is ignored).
using ProyeccionVista = std::function<scene::Vec3(const scene::Vec3&)>;

// Only the first 8000 vectors of the hit node's first vertex source are examined.
inline constexpr int kMaxVerticesSnap = 8000;
inline constexpr double kRadioSnapPuntos = 20.0;

// `posicion` is in the view's coordinates, the same in which the hit test was made.
std::optional<scene::Vec3> verticeMasCercano(const scene::HitResult& hit, const render::SceneView& vista,
                                             QPointF posicion);
std::optional<scene::Vec3> verticeMasCercano(const scene::HitResult& hit, const ProyeccionVista& proyectar,
                                             QPointF posicion);
std::optional<scene::Vec3> verticeMasCercano(const scene::HitResult& hit, const scene::Viewpoint& vista,
                                             QPointF posicion);

}  // namespace quelva
