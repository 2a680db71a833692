#pragma once

#include "federation/Especialidad.h"
#include "scene/Math.h"
#include "scene/Node.h"

#include <array>
#include <optional>

namespace quelva {

// Metres per unit, indexed by the unit's place in todasLasUnidades.
inline constexpr std::array<float, 4> factorEscalaUnidades = {0.001f, 1.0f, 0.3048f, 0.0254f};

float factorEscala(TransformacionModelo::Unidades unidades);
// Exactly the four display texts; anything else gives none.
std::optional<TransformacionModelo::Unidades> unidadesDesdeTexto(const QString& texto);

// Sets the container node's scale, position and Z angle outright from the transformation;
// the X and Y angles stay as they were.
void aplicarTransformacionANodo(scene::Node& nodo, const TransformacionModelo& t);

// The node's bounding box after every transformation above it (a model's unit scale, offset
// and rotation included), in world space. For a node with no transformation above it this is
// its own bounding box unchanged. Framing a model and the sizes shown for an element use it.
scene::Box cajaTransformada(const scene::Node& nodo);

}  // namespace quelva
