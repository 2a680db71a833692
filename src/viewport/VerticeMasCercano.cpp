#include "viewport/VerticeMasCercano.h"

#include "render/SceneView.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace quelva {

std::optional<scene::Vec3> verticeMasCercano(const scene::HitResult& hit, const ProyeccionVista& proyectar,
                                             QPointF posicion)
{
    if (!hit.node || !hit.node->geometry || !proyectar)
        return std::nullopt;
    const scene::GeometrySource* fuente = nullptr;
    for (const auto& s : hit.node->geometry->sources()) {
        if (s.semantic == scene::GeometrySource::Semantic::Vertex) {
            fuente = &s;
            break;
        }
    }
    if (!fuente || fuente->componentsPerVector != 3 || fuente->bytesPerComponent != 4)
        return std::nullopt;

    // Every vertex is converted and projected on its own: the scan is capped to keep hovering smooth.
    const int cuantos = std::min(fuente->vectorCount, kMaxVerticesSnap);
    const std::int64_t tamano = std::int64_t(fuente->data.size());
    const scene::Mat4 aMundo = hit.node->worldTransform();  // the same for every vertex
    double mejor = kRadioSnapPuntos * kRadioSnapPuntos;
    std::optional<scene::Vec3> candidato;
    for (int i = 0; i < cuantos; ++i) {
        const std::int64_t inicio = std::int64_t(fuente->dataOffset) + std::int64_t(i) * fuente->dataStride;
        if (inicio < 0 || inicio + 12 > tamano)
            continue;
        float xyz[3];
        std::memcpy(xyz, fuente->data.data() + inicio, sizeof xyz);
        const scene::Vec3 mundo = aMundo.transformPoint({xyz[0], xyz[1], xyz[2]});
        const scene::Vec3 enVista = proyectar(mundo);
        const double dx = posicion.x() - enVista.x;
        const double dy = posicion.y() - enVista.y;
        const double d2 = dx * dx + dy * dy;
        if (d2 < mejor) {  // NaN never wins; ties keep the earlier vertex
            mejor = d2;
            candidato = mundo;
        }
    }
    return candidato;
}

std::optional<scene::Vec3> verticeMasCercano(const scene::HitResult& hit, const render::SceneView& vista,
                                             QPointF posicion)
{
    return verticeMasCercano(hit, vista.viewpoint(), posicion);
}

std::optional<scene::Vec3> verticeMasCercano(const scene::HitResult& hit, const scene::Viewpoint& vista,
                                             QPointF posicion)
{
    return verticeMasCercano(hit, [&vista](const scene::Vec3& w) { return scene::projectPoint(vista, w); },
                             posicion);
}

}  // namespace quelva
