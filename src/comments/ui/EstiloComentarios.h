#pragma once

#include <QColor>
#include <QString>

class QLabel;
class QWidget;

namespace quelva {

// Colours and small labels shared by the comment views.
QColor colorTag();
QColor colorSecundario();
QColor colorTerciario();

QLabel* etiquetaComentario(const QString& texto, int pixeles, bool negrita, const QColor& color, QWidget* padre);
// The font and colour of etiquetaComentario, for a label made elsewhere.
void estiloEtiquetaComentario(QLabel* l, int pixeles, bool negrita, const QColor& color);
// A symbol followed by a text, in one colour.
QWidget* filaIcono(const QString& simbolo, const QString& texto, int pixeles, const QColor& color, QWidget* padre);

}  // namespace quelva
