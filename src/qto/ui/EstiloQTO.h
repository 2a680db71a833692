#pragma once

#include <QColor>
#include <QFont>
#include <QString>

namespace quelva {

struct GrupoQTO;

// Fonts and colours of the take-off window, sizes in pixels as the layout's widths are.
namespace estiloqto {

QFont fuente(int pixeles, QFont::Weight peso = QFont::Normal, bool monoespaciada = false);

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
