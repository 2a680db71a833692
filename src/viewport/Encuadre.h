#pragma once

#include "scene/Scene.h"
#include "viewport/VistaPreset.h"

namespace quelva {

class ViewportController;

// "Zoom extents": frames everything loaded, the floor left out, in world space. An empty scene
// leaves the camera alone.
void encuadrarTodo(const scene::Scene& escena, ViewportController& viewport);

// A preset button: the same box as encuadrarTodo, seen from the preset.
void aplicarPresetVista(const scene::Scene& escena, ViewportController& viewport, VistaPreset preset);

}  // namespace quelva
