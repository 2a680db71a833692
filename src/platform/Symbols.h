#pragma once

#include <QBrush>
#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QRectF>
#include <QString>

class QPainter;

namespace platform {

// Symbols by name ("folder", "scissors.fill", "xmark.circle", "eye.slash" ...),
// drawn with QPainter at any size. Names without a drawing of their own are
// composed from known parts (container, ".fill", ".slash", a badge) or fall
// back to a neutral mark, so every name gives an icon.

// Draws the symbol into rect, filled with the brush (a colour or a gradient).
void paintSymbol(QPainter& painter, const QRectF& rect, const QString& name, const QBrush& brush);

// An icon that draws itself at every requested size; an invalid colour takes
// the palette's text colour.
QIcon symbolIcon(const QString& name, const QColor& color = QColor());
QPixmap symbolPixmap(const QString& name, int size, const QColor& color);

// True when the name has a drawing of its own or is composed from known parts.
bool hasSymbol(const QString& name);

}  // namespace platform
