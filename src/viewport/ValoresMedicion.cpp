#include "viewport/ValoresMedicion.h"

#include "platform/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace quelva {

namespace {

using scene::Vec3;
using scene::Vec3f;

Vec3f unitario(const Vec3& d)
{
    const Vec3f f = scene::toFloat(d);
    const float l = std::sqrt(f.x * f.x + f.y * f.y + f.z * f.z);
    if (!(l > 0.0f) || !std::isfinite(l))
        return {};
    return {f.x / l, f.y / l, f.z / l};
}

}  // namespace

double distanciaMedicion(const Vec3& a, const Vec3& b) { return scene::length(b - a); }

float anguloMedicion(const Vec3& v, const Vec3& a, const Vec3& b)
{
    const Vec3f u = unitario(a - v);
    const Vec3f w = unitario(b - v);
    const float coseno = u.x * w.x + u.y * w.y + u.z * w.z;
    if (u == Vec3f{} || w == Vec3f{})
        return 0.0f;  // a ray of no length has no direction
    const float theta = std::acos(std::clamp(coseno, -1.0f, 1.0f));
    return theta * 180.0f / 3.1415925f;
}

double areaMedicion(const std::vector<Vec3>& puntos)
{
    const size_t n = puntos.size();
    if (n < 3)
        return 0.0;
    // Relative to the first corner, in double: absolute coordinates of a georeferenced site
    // (10^5..10^6 m) would drown the area in rounding noise.
    const Vec3 origen = puntos.front();
    Vec3 s;
    for (size_t i = 0; i < n; ++i)
        s += scene::cross(puntos[i] - origen, puntos[(i + 1) % n] - origen);
    return scene::length(s) / 2.0;
}

std::string textoDistancia(double metros) { return platform::format("%.3f m", metros); }
std::string textoAngulo(float grados) { return platform::format("%.2f°", double(grados)); }
std::string textoArea(double metrosCuadrados) { return platform::format("%.3f m²", metrosCuadrados); }
std::string textoCoordenada(char eje, double valor) { return platform::format("%c  %+.4f m", eje, valor); }

}  // namespace quelva
