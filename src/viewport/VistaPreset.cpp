#include "viewport/VistaPreset.h"

#include "viewport/CajaEscena.h"

#include <algorithm>
#include <cmath>

namespace quelva {

const std::array<BotonPreset, 7> kBotonesPreset{{
    {VistaPreset::arriba, "Top", "arrow.up.square"},
    {VistaPreset::frontal, "Front", "rectangle.portrait"},
    {VistaPreset::posterior, "Back", "rectangle.portrait.fill"},
    {VistaPreset::izquierda, "Left", "arrow.left.square"},
    {VistaPreset::derecha, "Right", "arrow.right.square"},
    {VistaPreset::isoIzquierda, "ISO L", "view.3d"},
    {VistaPreset::isoDerecha, "ISO R", "view.3d"},
}};

namespace {

bool finito(double v) { return std::isfinite(v); }

// Single precision as the camera moves compute them; none when it overflows.
std::optional<std::pair<double, double>> recorte(float r, float factorFar)
{
    const float lejos = r * factorFar;
    // The floor is the exact 0.01: as a float it would come out a hair nearer.
    const double cerca = std::max(double(r * 0.001f), 0.01);
    if (!std::isfinite(lejos) || !std::isfinite(cerca))
        return std::nullopt;
    return std::pair<double, double>{cerca, double(lejos)};
}

std::optional<float> radioValido(double x, double y, double z, float r)
{
    if (!finito(x) || !finito(y) || !finito(z) || !std::isfinite(r))
        return std::nullopt;
    return r > 0 ? r : 10.0f;
}

bool poseFinita(const PoseCamara& p)
{
    return scene::isFinite(p.posicion) && scene::isFinite(p.objetivo) && p.posicion != p.objetivo;
}

}  // namespace

std::optional<PoseCamara> poseEnfoque(double x, double y, double z, float r)
{
    const auto radio = radioValido(x, y, z, r);
    if (!radio)
        return std::nullopt;
    const auto planos = recorte(*radio, 100.0f);
    if (!planos)
        return std::nullopt;
    const double d = *radio;
    PoseCamara pose{{x + d, y - d, z + d}, {x, y, z}, {0, 0, 1}, planos->first, planos->second};
    return poseFinita(pose) ? std::optional(pose) : std::nullopt;
}

std::optional<PoseCamara> poseVista(VistaPreset preset, double x, double y, double z, float r)
{
    const auto radio = radioValido(x, y, z, r);
    if (!radio)
        return std::nullopt;
    const auto planos = recorte(*radio, 200.0f);
    if (!planos)
        return std::nullopt;
    const double d = 2.5 * double(*radio);
    PoseCamara pose{{}, {x, y, z}, {0, 0, 1}, planos->first, planos->second};
    switch (preset) {
    case VistaPreset::arriba: pose.posicion = {x, y, z + d}; pose.arriba = {0, 1, 0}; break;
    case VistaPreset::frontal: pose.posicion = {x, y - d, z}; break;
    case VistaPreset::posterior: pose.posicion = {x, y + d, z}; break;
    case VistaPreset::izquierda: pose.posicion = {x - d, y, z}; break;
    case VistaPreset::derecha: pose.posicion = {x + d, y, z}; break;
    case VistaPreset::isoIzquierda: pose.posicion = {x - d, y - d, z + 0.7 * d}; break;
    case VistaPreset::isoDerecha: pose.posicion = {x + d, y - d, z + 0.7 * d}; break;
    }
    return poseFinita(pose) ? std::optional(pose) : std::nullopt;
}

std::optional<Encuadre> encuadreDeCaja(const std::optional<scene::Box>& caja)
{
    if (!caja || caja->min == caja->max)
        return std::nullopt;
    if (!scene::isFinite(caja->min) || !scene::isFinite(caja->max))
        return std::nullopt;
    const double s = ladoMayor(*caja);
    return Encuadre{caja->center(), s > 0 ? float(s) : 10.0f};
}

}  // namespace quelva
