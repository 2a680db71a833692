#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

namespace quelva {

// Icon for a symbol name of the toolbar ("scope", "scissors", "view.3d", ...), drawn as a plain
// line figure in `color`, `puntos` logical pixels square. Unknown names give a small circle.
QIcon iconoSimbolo(const QString& nombre, int puntos, const QColor& color);

}  // namespace quelva
