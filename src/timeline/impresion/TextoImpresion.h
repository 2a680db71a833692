#pragma once

// Fonts and one-line texts of the printable timeline pages. The pages name DejaVu Sans, which
// setup installs, so a PDF always carries an embedded font with its text.

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

class QPainter;

namespace quelva {

QFont fuenteImpresion(double puntos, QFont::Weight peso = QFont::Normal);
// The same for the card's widgets: sized so that one point is one pixel, on screen and on the
// 72-dpi page alike.
QFont fuenteFicha(double puntos, QFont::Weight peso = QFont::Normal);

// `texto` on one line from the top of `caja`, cut with an ellipsis when wider.
void textoEnCaja(QPainter& p, const QRectF& caja, const QString& texto, const QFont& fuente, const QColor& color,
                 Qt::Alignment alineacion = Qt::AlignLeft);

// Grey g, or white at an opacity.
QColor gris(double g);
QColor blancoAlfa(double alfa);
QColor conAlfa(QColor color, double alfa);

}  // namespace quelva
