#pragma once

// Values the measuring tool shows and their label texts.

#include "scene/Math.h"

#include <string>
#include <vector>

namespace quelva {

double distanciaMedicion(const scene::Vec3& a, const scene::Vec3& b);
// Angle at v between the rays to a and b, in degrees (single precision); 0 when a ray has no length.
float anguloMedicion(const scene::Vec3& v, const scene::Vec3& a, const scene::Vec3& b);
// Vector area of the polygon (exact for a planar polygon in any orientation); 0 below 3 points.
double areaMedicion(const std::vector<scene::Vec3>& puntos);

// Label texts, always with a full stop as decimal separator.
std::string textoDistancia(double metros);          // "2.500 m"
std::string textoAngulo(float grados);              // "90.00°"
std::string textoArea(double metrosCuadrados);      // "6.000 m²"
std::string textoCoordenada(char eje, double valor);  // "X  +1.5000 m"

}  // namespace quelva
