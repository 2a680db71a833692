#pragma once

// Clash glow in the 3D view (the emission of each node's first material) and the camera flight to
// a clash. GUI thread only.

#include "clash/EncuadreInterferencia.h"
#include "clash/EstadoInterferencias.h"
#include "scene/Color.h"
#include "scene/Math.h"

namespace quelva {

class ViewportController;

// Glow of the nodes of the current clash list, and of the focused pair.
scene::Color colorResaltadoInterferencia();  // orange (1, 0.5, 0)
inline constexpr scene::Color kColorInterferenciaEnfocada{1.0, 0.45, 0.0, 1.0};

// Every node of the current clash list glows orange.
void resaltarInterferencia(const EstadoInterferencias& estado);
// The current clash list loses its glow and is emptied.
void quitarResaltado(EstadoInterferencias& estado);
// The focused pair gets back the glow the current list gives it, and the element made
// see-through its opacity; then no pair is focused.
void limpiarResaltadoInterferencias(EstadoInterferencias& estado);

// Where the camera goes to look at a clash, with Z up, and the clipping planes for its size
// (single precision, as the camera's planes are). With both elements at hand: at the overlap from
// outside both, as near as the smaller element allows (at least 1 m); otherwise from the
// recorded viewpoint towards the recorded target.
struct PoseInterferencia {
    scene::Vec3 posicion;
    scene::Vec3 objetivo;
    scene::Quat orientacion;
    double zNear = 0;
    double zFar = 0;
    // The element that would hide the other (none without both elements).
    scene::NodePtr transparente;
};
inline constexpr double kDistanciaMinimaEnfoque = 1.0;
PoseInterferencia poseInterferencia(const Interferencia& interferencia, double campoVertical = 60,
                                    double aspecto = 1.5);

// Marks the clash's pair, makes the element that would hide the other see-through and flies the
// view's camera to it over 0.6 s. Without a 3D view or camera node it does nothing at all.
void enfocarInterferencia(EstadoInterferencias& estado, ViewportController* viewport,
                          const Interferencia& interferencia);

}  // namespace quelva
