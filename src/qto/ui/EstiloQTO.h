#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QToolButton;

namespace quelva {

struct GrupoQTO;

// Fonts and colours of the take-off window, sizes in pixels as the layout's widths are.
namespace estiloqto {

QFont fuente(int pixeles, QFont::Weight peso = QFont::Normal, bool monoespaciada = false);

// A label in a font and colour, and a borderless text button, as the window and its sheet use them.
QLabel* etiqueta(const QString& texto, const QFont& fuente, const QColor& color);
QToolButton* botonPlano(const QString& texto);

QColor primario();
QColor secundario();
QColor terciario();
QColor acento();
QColor naranja();
QColor fondoControl();

// Per cell of the table: the row kind (ModeloTablaQTO::TipoFila) and the column.
QFont fuenteCelda(int tipoFila, int columna);
QColor colorCelda(int tipoFila, int columna, const GrupoQTO* grupo, const QString& textoExtra);

}  // namespace estiloqto

}  // namespace quelva
