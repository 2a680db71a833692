#pragma once

// Actions of the 3D measuring tool on the main window's measurement state. Drawings are added
// directly under the scene's root node and listed in `nodosMedicion`, so that they can be
// removed together. No dependency on the main window: it calls these and refreshes its views.

#include "scene/Math.h"
#include "scene/Node.h"
#include "viewport/EstadoMedicion.h"
#include "viewport/ModoMedicion3D.h"

namespace quelva {

// One measured world point (a click in the 3D view, snapped or not) for the current mode.
void procesarClicMedicion(EstadoMedicion& estado, scene::Node& raiz, const scene::Vec3& p);

// Removes every drawing and every point; the mode stays.
void limpiarMediciones(EstadoMedicion& estado);

// With at least 3 corners: adds the area drawing and starts a new polygon (markers stay).
void cerrarPoligonoArea(EstadoMedicion& estado, scene::Node& raiz);

// Mode button: the active mode's button switches measuring off, any other changes the mode;
// either way all drawings go.
void accionBotonModo(EstadoMedicion& estado, ModoMedicion3D modo);

// When the toolbar shows its clear and close buttons.
bool muestraBotonLimpiar(const EstadoMedicion& estado);
bool muestraBotonCerrar(const EstadoMedicion& estado);

// A distance with both ends or an angle with all three points: the next click starts anew.
bool medicionCompleta(const EstadoMedicion& estado);

}  // namespace quelva
