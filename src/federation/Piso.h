#pragma once

#include "scene/Node.h"

#include <QRectF>

class QPainter;

namespace quelva {

// Rebuilds the floor "_QUELVA_Piso" under everything below `raiz` and sizes the shadow area
// of the directional light "_QUELVA_LuzDir" to it. An empty scene gets no floor.
void actualizarPiso(scene::Node& raiz);
// The same in two steps, for work that measures the scene alongside something else: the old
// floor out, then the new one under `caja`, the box of what `raiz` holds without it.
void quitarPiso(scene::Node& raiz);
void ponerPiso(scene::Node& raiz, const scene::Box& caja);

// One 128 x 128 tile of the floor texture: violet with a light left and bottom edge, which
// the repetition turns into one-metre squares.
bool dibujarTexturaGrilla(QPainter& pintor, const QRectF& rect);

}  // namespace quelva
