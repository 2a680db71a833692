#pragma once

// Builders of the scene nodes that show 3D measurements. Each returns a new, unnamed parent node
// (no geometry of its own) that the caller adds under the scene's root node. Points are world
// coordinates in metres. Their texts are labels of fixed screen size on a dark plate
// (EtiquetaPantalla.h), named after the text they show.

#include "scene/Math.h"
#include "scene/Node.h"
#include "viewport/ValoresMedicion.h"

#include <QRectF>
#include <string>
#include <vector>

class QPainter;

namespace quelva {

// Yellow sphere at p with the label text above it.
scene::NodePtr crearMarcadorPunto(const scene::Vec3& p, const std::string& texto);
// Yellow line from a to b with its length ("%.3f m") above the midpoint.
scene::NodePtr crearNodoDistancia(const scene::Vec3& a, const scene::Vec3& b);
// Rays from the vertex v to a and b, the arc between them and the angle in degrees.
scene::NodePtr crearNodoAngulo(const scene::Vec3& v, const scene::Vec3& a, const scene::Vec3& b);
// Sphere, pin and the X/Y/Z label of the point p.
scene::NodePtr crearNodoCoordenadas(const scene::Vec3& p);
// Closed green outline with the area label; an empty parent for fewer than 3 points.
scene::NodePtr crearNodoArea(const std::vector<scene::Vec3>& puntos);
// Hover preview: cyan line from a to b with its length, drawn over the model.
scene::NodePtr nodoMedicion(const scene::Vec3& a, const scene::Vec3& b);

// Drawing handlers of the label images (flipped: origin at the top left).
bool imagenEtiquetaAngulo(QPainter& painter, const QRectF& rect, float grados);
bool imagenEtiquetaCoordenadas(QPainter& painter, const QRectF& rect, double x, double y, double z);

}  // namespace quelva
