#pragma once

#include "federation/Especialidad.h"
#include "scene/Color.h"
#include "scene/Node.h"

#include <QColor>

#include <functional>
#include <map>
#include <optional>

namespace quelva {

// The discipline colour as the scene receives it: converted to sRGB, opacity kept.
// None when the colour cannot be expressed in sRGB (an invalid colour).
std::optional<scene::Color> colorEspecialidadSRGB(const QColor& color);

// Node steps applied to every descendant of a model's container node; nodes without a
// geometry or without a first material are left alone.
void fijarTransparenciaModelo(scene::Node& nodo, const scene::Color& color);
void fijarVisibilidadModelo(scene::Node& nodo, const scene::Color& color, double opacidad,
                            const ModeloVinculado& modelo);
void aplicarMaterialRestaurado(scene::Node& nodo, const scene::Color& color, double opacidad);

// Puts every discipline's colour, and each model's transparency and visibility, on the
// element nodes of its linked models. Calls `alColorear` for every element node that got a
// colour, with the colour it got.
void aplicarColoresModelos(const std::map<QString, EspecialidadBIM>& especialidades,
                           const std::function<void(scene::Node&, const QColor&)>& alColorear = {});

}  // namespace quelva
