// The OBJ loader and the triangle hierarchy built on what it loads: indices in range, finite
// coordinates, the same nodes whether read on one thread or several.

#include "Invariantes.h"

#include "federation/obj/ObjLoader.h"
#include "scene/Bvh.h"

#include <cmath>
#include <cstdint>

using namespace quelva;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo)
{
    const std::string_view texto(reinterpret_cast<const char*>(datos), largo);
    const auto uno = cargarOBJDesdeTexto(texto, 1);
    const auto varios = cargarOBJDesdeTexto(texto, 3);
    EXIGIR(!uno == !varios);
    if (!uno)
        return 0;
    EXIGIR(uno->children().size() == varios->children().size());
    for (std::size_t i = 0; i < uno->children().size(); ++i) {
        const auto& nodo = *uno->children()[i];
        EXIGIR(nodo.name && utf8Valido(*nodo.name) && nodo.geometry);
        const auto& g = *nodo.geometry;
        const auto* posiciones = g.source(scene::GeometrySource::Semantic::Vertex);
        EXIGIR(posiciones && posiciones->vectorCount > 0 && posiciones->vectorCount % 3 == 0);
        const auto* normales = g.source(scene::GeometrySource::Semantic::Normal);
        EXIGIR(!normales || normales->vectorCount == posiciones->vectorCount);
        EXIGIR(g.elements().size() == 1);
        for (const std::int32_t k : g.elements()[0].indices)
            EXIGIR(k >= 0 && k < posiciones->vectorCount);
        for (int k = 0; k < posiciones->vectorCount; ++k) {
            const auto p = posiciones->vectorAt(k);
            EXIGIR(p && std::isfinite(p->x) && std::isfinite(p->y) && std::isfinite(p->z));
        }
        const auto& otro = *varios->children()[i]->geometry->source(scene::GeometrySource::Semantic::Vertex);
        EXIGIR(nodo.name == varios->children()[i]->name && otro.data == posiciones->data);

        const scene::Bvh& bvh = g.bvh();
        EXIGIR(bvh.triangleCount() == posiciones->vectorCount / 3);
        const auto p0 = *posiciones->vectorAt(0);
        const auto hit = bvh.closestHit(scene::Vec3{p0.x + 0.25, p0.y + 0.25, p0.z + 10.0}, scene::Vec3{0, 0, -1}, false);
        EXIGIR(!hit || (hit->triangle >= 0 && hit->triangle < bvh.triangleCount() && std::isfinite(hit->t)));
    }
    return 0;
}
