#pragma once

#include "scene/Node.h"

#include <QRectF>

class QPainter;

namespace quelva {

// Rebuilds the floor "_QUELVA_Piso" under everything below `raiz` and sizes the shadow area
// of the directional light "_QUELVA_LuzDir" to it. An empty scene gets no floor.
void actualizarPiso(scene::Node& raiz);

// One 128 x 128 tile of the floor texture: violet with a light left and bottom edge, which
// the repetition turns into one-metre squares.
bool dibujarTexturaGrilla(QPainter& pintor, const QRectF& rect);

}  // namespace quelva
