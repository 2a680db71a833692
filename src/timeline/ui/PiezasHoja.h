#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QFrame;
class QLabel;
class QWidget;

// Pieces the timeline's light sheets (CSV preview, detector) are built from.
namespace quelva::hoja {

// Sizes are given as the sheet's own points, one pixel each, so texts fit the fixed widths.
QFont fuente(int puntos, QFont::Weight peso = QFont::Normal);
// The window text at 60 %.
QColor secundario();
// A thin horizontal rule.
QFrame* divisor(QWidget* padre);
// A label in a font and, when `color` is valid, a colour.
QLabel* etiqueta(const QString& texto, const QFont& f, const QColor& color, QWidget* padre);

}  // namespace quelva::hoja
