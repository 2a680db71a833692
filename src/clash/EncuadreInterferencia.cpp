#include "clash/EncuadreInterferencia.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

namespace quelva {

namespace {

bool finita(const scene::Box& c)
{
    return scene::isFinite(c.min) && scene::isFinite(c.max);
}

// Flat elements count as 1 cm thick, so a sheet is still smaller than a wall.
double volumen(const scene::Box& c)
{
    const scene::Vec3 s = c.size();
    return std::max(s.x, 0.01) * std::max(s.y, 0.01) * std::max(s.z, 0.01);
}

// The stretch [entrada, salida] of the ray from `origen` along `u` inside the box; salida < entrada
// when the ray misses it.
std::pair<double, double> tramoEnCaja(const scene::Vec3& origen, const scene::Vec3& u, const scene::Box& c)
{
    double entrada = -std::numeric_limits<double>::infinity();
    double salida = std::numeric_limits<double>::infinity();
    const std::array<double, 3> o{origen.x, origen.y, origen.z}, d{u.x, u.y, u.z};
    const std::array<double, 3> lo{c.min.x, c.min.y, c.min.z}, hi{c.max.x, c.max.y, c.max.z};
    for (int k = 0; k < 3; ++k) {
        if (std::abs(d[k]) < 1e-12) {
            if (o[k] < lo[k] || o[k] > hi[k])
                return {1, 0};
            continue;
        }
        double t0 = (lo[k] - o[k]) / d[k];
        double t1 = (hi[k] - o[k]) / d[k];
        if (t0 > t1)
            std::swap(t0, t1);
        entrada = std::max(entrada, t0);
        salida = std::min(salida, t1);
    }
    return {entrada, salida};
}

scene::Vec3 direccion(double azimutGrados, double elevacionGrados)
{
    const double az = scene::degToRad(azimutGrados);
    const double el = scene::degToRad(elevacionGrados);
    return {std::cos(el) * std::cos(az), std::cos(el) * std::sin(az), std::sin(el)};
}

}  // namespace

std::optional<EncuadreInterferencia> encuadrarInterferencia(const scene::Box& a, const scene::Box& b,
                                                           const OpcionesEncuadre& opciones)
{
    if (!finita(a) || !finita(b))
        return std::nullopt;
    EncuadreInterferencia e;
    e.transparenteA = volumen(a) >= volumen(b);
    const scene::Box& menor = e.transparenteA ? b : a;
    const scene::Box& mayor = e.transparenteA ? a : b;

    const scene::Box solape{{std::max(a.min.x, b.min.x), std::max(a.min.y, b.min.y), std::max(a.min.z, b.min.z)},
                            {std::min(a.max.x, b.max.x), std::min(a.max.y, b.max.y), std::min(a.max.z, b.max.z)}};
    const bool haySolape = solape.min.x <= solape.max.x && solape.min.y <= solape.max.y && solape.min.z <= solape.max.z;
    e.objetivo = haySolape ? solape.center() : menor.center();

    // All of the smaller element (which holds the overlap) seen from the target.
    double radio = 0;
    for (int i = 0; i < 8; ++i) {
        const scene::Vec3 esquina{(i & 1) ? menor.max.x : menor.min.x, (i & 2) ? menor.max.y : menor.min.y,
                                  (i & 4) ? menor.max.z : menor.min.z};
        radio = std::max(radio, scene::length(esquina - e.objetivo));
    }
    const double medioVertical = scene::degToRad(std::clamp(opciones.campoVertical, 1.0, 170.0)) / 2;
    const double medioHorizontal = std::atan(std::tan(medioVertical) * std::max(opciones.aspecto, 0.01));
    const double medio = std::min(medioVertical, medioHorizontal);
    const double ajuste = std::max(opciones.distanciaMinima, opciones.margen * radio / std::sin(medio));
    const double holgura = 0.01 + 0.05 * ajuste;

    // Where the smaller element sticks out of the larger one: that side is open.
    auto sobresale = [](double menorMin, double menorMax, double mayorMin, double mayorMax) {
        return std::max(0.0, menorMax - mayorMax) - std::max(0.0, mayorMin - menorMin);
    };
    const scene::Vec3 lado{sobresale(menor.min.x, menor.max.x, mayor.min.x, mayor.max.x),
                           sobresale(menor.min.y, menor.max.y, mayor.min.y, mayor.max.y),
                           sobresale(menor.min.z, menor.max.z, mayor.min.z, mayor.max.z)};

    // A long element (a beam, a pipe) is better seen across than end-on.
    const scene::Vec3 tam = menor.size();
    scene::Vec3 eje;
    const double largo = std::max({tam.x, tam.y, tam.z});
    const double segundo = tam.x + tam.y + tam.z - largo - std::min({tam.x, tam.y, tam.z});
    if (largo > 2 * segundo)
        eje = largo == tam.x ? scene::Vec3{1, 0, 0} : largo == tam.y ? scene::Vec3{0, 1, 0} : scene::Vec3{0, 0, 1};

    // Two elements of about one size: across the line between their centres, so that neither
    // stands behind the other.
    const double proporcion = volumen(mayor) / volumen(menor);
    const scene::Vec3 entreCentros =
        proporcion < 4 ? scene::normalized(a.center() - b.center()) : scene::Vec3{};
    const scene::Vec3 luz = scene::normalized(opciones.haciaLaLuz);

    // Low views first (from inside a storey, not through its roof), then steeper ones for slabs;
    // from below only when that side is the open one or the only way out.
    static constexpr double elevaciones[] = {30, 60, -30, -60};
    double mejorCoste = std::numeric_limits<double>::infinity();
    for (const double elevacion : elevaciones) {
        for (int k = 0; k < 8; ++k) {
            const scene::Vec3 u = direccion(45.0 + 45.0 * k, elevacion);
            // Out of both boxes: a camera inside an element sees nothing of the clash.
            double d = ajuste;
            for (int vuelta = 0; vuelta < 3; ++vuelta)
                for (const scene::Box* c : {&a, &b}) {
                    const auto [entrada, salida] = tramoEnCaja(e.objetivo, u, *c);
                    if (entrada <= salida && d >= entrada - holgura && d <= salida + holgura)
                        d = salida + holgura;
                }
            const double salidaMayor = std::max(0.0, tramoEnCaja(e.objetivo, u, mayor).second);
            double penalizacion = 0;
            if (scene::dot(u, lado) < -1e-9)
                penalizacion += 0.2;
            if (elevacion < 0)
                penalizacion += opciones.costeDesdeAbajo;
            if (std::abs(elevacion) > 45)
                penalizacion += 0.05;
            penalizacion += 0.3 * scene::dot(u, eje) * scene::dot(u, eje);
            penalizacion += 0.3 * scene::dot(u, entreCentros) * scene::dot(u, entreCentros);
            penalizacion += 0.3 * std::max(0.0, -scene::dot(u, luz));
            // Across the larger element's thinnest side, by a short way out of it.
            const double coste = d * (1 + penalizacion) + 0.5 * std::min(salidaMayor, d);
            if (coste < mejorCoste) {
                mejorCoste = coste;
                e.posicion = e.objetivo + u * d;
            }
        }
    }
    return e;
}

}  // namespace quelva
