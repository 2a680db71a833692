#pragma once

#include "scene/Math.h"
#include "scene/Node.h"
#include "viewport/ModoMedicion3D.h"

#include <optional>
#include <vector>

namespace quelva {

// The main window's measurement state (its measurement group of fields).
struct EstadoMedicion {
    ModoMedicion3D modoMedicion3D = ModoMedicion3D::inactivo;
    std::optional<scene::Vec3> medicionPuntoA;
    std::optional<scene::Vec3> medicionPuntoB;
    std::optional<scene::Vec3> medicionPuntoC;
    std::vector<scene::Vec3> medicionPuntosArea;
    std::vector<scene::NodePtr> nodosMedicion;
    scene::NodePtr nodoSnapIndicador;
    scene::NodePtr nodoLineaPreview;
};

// The main window's camera-cut state.
struct EstadoCorteCamara {
    bool modoCorteCamara = false;
    double distanciaCorte = 0.5;  // metres
    bool mostrarPopoverCorte = false;
};

}  // namespace quelva
