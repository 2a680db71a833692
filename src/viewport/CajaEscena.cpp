#include "viewport/CajaEscena.h"

#include "viewport/NombresEscena.h"

#include <algorithm>
#include <cmath>

namespace quelva {

namespace {

bool geometriaVacia(const scene::Geometry& g)
{
    const auto* vertices = g.source(scene::GeometrySource::Semantic::Vertex);
    return g.elements().empty() || !vertices || vertices->vectorCount == 0;
}

void unir(std::optional<scene::Box>& caja, const scene::Vec3& p)
{
    if (!scene::isFinite(p))
        return;
    if (!caja) {
        caja = scene::Box{p, p};
        return;
    }
    caja->min = {std::min(caja->min.x, p.x), std::min(caja->min.y, p.y), std::min(caja->min.z, p.z)};
    caja->max = {std::max(caja->max.x, p.x), std::max(caja->max.y, p.y), std::max(caja->max.z, p.z)};
}

void acumular(const scene::Node& nodo, std::optional<scene::Box>& caja)
{
    if (nodo.hasName(kNombrePiso))
        return;
    if (nodo.geometry && !geometriaVacia(*nodo.geometry))
        scene::forEachCarriedCorner(nodo.geometry->localBounds(), nodo.worldTransform(),
                                    [&](const scene::Vec3& p) { unir(caja, p); });
    for (const auto& hijo : nodo.children())
        acumular(*hijo, caja);
}

}  // namespace

std::optional<scene::Box> cajaMundoSinPiso(const scene::Node& raiz)
{
    std::optional<scene::Box> caja;
    acumular(raiz, caja);
    return caja;
}

double ladoMayor(const scene::Box& caja)
{
    const scene::Vec3 lado = caja.size();
    const double s = std::max({lado.x, lado.y, lado.z});
    return std::isfinite(s) ? s : 0.0;
}

double distanciaNearAutomatica(const scene::Node* raiz)
{
    if (!raiz)
        return 0.01;
    const auto caja = cajaMundoSinPiso(*raiz);
    const float s = caja ? float(ladoMayor(*caja)) : 0.0f;
    if (!(s > 0) || !std::isfinite(s))
        return 0.01;
    return std::max(double(s * 0.001f), 0.01);
}

}  // namespace quelva
