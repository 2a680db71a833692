#pragma once

// Small scenes for the section tests: disciplines holding boxes made of 12 triangles.

#include "federation/EstadoFederacion.h"
#include "scene/Node.h"

#include <string>

namespace seccionestest {

// An element node: an axis-aligned box from `min` to `max`, 8 vertices and 12 triangles.
scene::NodePtr caja(const std::string& nombre, scene::Vec3f min, scene::Vec3f max);

// A discipline with a root node and one model container under it.
struct Disciplina {
    quelva::EspecialidadBIM esp;
    scene::NodePtr modelo;
};
Disciplina disciplina(const QString& nombre, QColor color);

// A table holding one discipline "ARQ".
quelva::TablaEspecialidades tablaCon(const Disciplina& d, const QString& key = QStringLiteral("ARQ"));

}  // namespace seccionestest
