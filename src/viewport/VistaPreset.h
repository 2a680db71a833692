#pragma once

#include "scene/Math.h"

#include <array>
#include <optional>

namespace quelva {

enum class VistaPreset { arriba, frontal, posterior, izquierda, derecha, isoIzquierda, isoDerecha };

struct BotonPreset {
    VistaPreset preset;
    const char* etiqueta;  // also the help text
    const char* simbolo;
};

// The preset buttons, in the order the toolbar shows them.
extern const std::array<BotonPreset, 7> kBotonesPreset;

// Where a camera move leaves the camera: position, what it looks at, its up vector and its
// clipping distances.
struct PoseCamara {
    scene::Vec3 posicion;
    scene::Vec3 objetivo;
    scene::Vec3 arriba;
    double zNear = 0;
    double zFar = 0;
};

// Camera that frames a point with a given size, seen from +x, -y, +z. None when the input is not
// finite or the result would not be (a camera must never receive NaN or infinity); a size that is
// not positive frames 10 m.
std::optional<PoseCamara> poseEnfoque(double x, double y, double z, float r);
// Camera at a preset around a point, 2.5 sizes away. Same guards as poseEnfoque.
std::optional<PoseCamara> poseVista(VistaPreset preset, double x, double y, double z, float r);

// Centre and size with which the whole model is framed: the centre of its box and its largest
// side (10 when the box is flat in every axis). None for an empty or degenerate box.
struct Encuadre {
    scene::Vec3 centro;
    float radio = 10;
};
std::optional<Encuadre> encuadreDeCaja(const std::optional<scene::Box>& caja);

}  // namespace quelva
