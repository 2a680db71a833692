#include "federation/Transformacion.h"

#include <algorithm>

namespace quelva {

float factorEscala(TransformacionModelo::Unidades unidades)
{
    const auto it = std::find(todasLasUnidades.begin(), todasLasUnidades.end(), unidades);
    return factorEscalaUnidades[static_cast<size_t>(it - todasLasUnidades.begin()) % 4];
}

std::optional<TransformacionModelo::Unidades> unidadesDesdeTexto(const QString& texto)
{
    for (TransformacionModelo::Unidades u : todasLasUnidades)
        if (textoUnidades(u) == texto)
            return u;
    return std::nullopt;
}

void aplicarTransformacionANodo(scene::Node& nodo, const TransformacionModelo& t)
{
    const double f = factorEscala(t.unidades);
    nodo.scale = {f, f, f};
    nodo.position = {double(float(t.offsetX)), double(float(t.offsetY)), double(float(t.offsetZ))};
    scene::Vec3 angulos = nodo.eulerAngles();
    angulos.z = double(float(t.giroZ * scene::kPi / 180.0));
    nodo.setEulerAngles(angulos);
}

scene::Box cajaTransformada(const scene::Node& nodo)
{
    const scene::Box local = nodo.boundingBox();
    const scene::Mat4 m = nodo.worldTransform();
    if (m.m == scene::Mat4::identity().m)
        return local;
    const scene::Vec3 esquinas[8] = {
        {local.min.x, local.min.y, local.min.z}, {local.max.x, local.min.y, local.min.z},
        {local.min.x, local.max.y, local.min.z}, {local.max.x, local.max.y, local.min.z},
        {local.min.x, local.min.y, local.max.z}, {local.max.x, local.min.y, local.max.z},
        {local.min.x, local.max.y, local.max.z}, {local.max.x, local.max.y, local.max.z},
    };
    scene::Box caja{m.transformPoint(esquinas[0]), m.transformPoint(esquinas[0])};
    for (const scene::Vec3& e : esquinas) {
        const scene::Vec3 p = m.transformPoint(e);
        caja.min = {std::min(caja.min.x, p.x), std::min(caja.min.y, p.y), std::min(caja.min.z, p.z)};
        caja.max = {std::max(caja.max.x, p.x), std::max(caja.max.y, p.y), std::max(caja.max.z, p.z)};
    }
    return caja;
}

}  // namespace quelva
