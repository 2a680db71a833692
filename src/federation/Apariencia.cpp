#include "federation/Apariencia.h"

namespace quelva {

namespace {

scene::Material* primerMaterial(scene::Node& nodo)
{
    if (!nodo.geometry)
        return nullptr;
    return nodo.geometry->firstMaterial().get();
}

}  // namespace

std::optional<scene::Color> colorEspecialidadSRGB(const QColor& color)
{
    if (!color.isValid())
        return std::nullopt;
    const QColor srgb = color.toRgb();
    if (!srgb.isValid())
        return std::nullopt;
    return scene::Color{srgb.redF(), srgb.greenF(), srgb.blueF(), srgb.alphaF()};
}

void fijarTransparenciaModelo(scene::Node& nodo, const scene::Color& color)
{
    if (scene::Material* m = primerMaterial(nodo)) {
        m->diffuse.contents = color;
        m->transparency = 1.0;
    }
}

void fijarVisibilidadModelo(scene::Node& nodo, const scene::Color& color, double opacidad,
                            const ModeloVinculado& modelo)
{
    if (scene::Material* m = primerMaterial(nodo)) {
        m->diffuse.contents = color;
        m->transparency = opacidad;
        nodo.hidden = !modelo.isVisible;
    }
}

void aplicarMaterialRestaurado(scene::Node& nodo, const scene::Color& color, double opacidad)
{
    if (scene::Material* m = primerMaterial(nodo)) {
        m->diffuse.contents = color;
        m->transparency = opacidad;
    }
}

void aplicarColoresModelos(const std::map<QString, EspecialidadBIM>& especialidades,
                           const std::function<void(scene::Node&, const QColor&)>& alColorear)
{
    for (const auto& [key, esp] : especialidades) {
        const std::optional<scene::Color> color = colorEspecialidadSRGB(esp.colorOriginal);
        if (!color || esp.modelos.empty())
            continue;
        const QColor colorQt = QColor::fromRgbF(float(color->r), float(color->g), float(color->b),
                                                float(color->a));
        for (const ModeloVinculado& modelo : esp.modelos) {
            if (!modelo.nodo)
                continue;
            modelo.nodo->hidden = !modelo.isVisible;
            const double opacidad = 1.0 - modelo.transparencia;
            modelo.nodo->visitDescendants([&](scene::Node& n) {
                if (primerMaterial(n)) {
                    fijarVisibilidadModelo(n, *color, opacidad, modelo);
                    if (alColorear)
                        alColorear(n, colorQt);
                }
                return false;
            });
        }
    }
}

}  // namespace quelva
