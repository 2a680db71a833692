#pragma once

#include "scene/Image.h"
#include "scene/Scene.h"

namespace quelva {

// Replaces the scene's light rig: every direct child of the root whose name begins with
// "_QUELVA_Luz" and that carries a light goes; a directional light "_QUELVA_LuzDir" with soft
// shadows and an ambient light "_QUELVA_LuzAmb" are added. Other nodes and lights stay.
void configurarIluminacion(scene::Scene& escena);

// Background of the 3D view: a vertical gradient, lilac at the bottom to almost white at the
// top, stretched over the view.
scene::DrawnImagePtr dibujarDegradado();

}  // namespace quelva
