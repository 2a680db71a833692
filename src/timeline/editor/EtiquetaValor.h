#pragma once

#include <QFont>
#include <QString>

namespace quelva {

// How a text is drawn, without saying on what: the view maps the tone to its own colours
// (light text on the editor's dark panes, dark text on a printed page).
enum class TonoTexto { normal, secundario, terciario };

struct TextoEstilado {
    QString texto;
    double puntos = 11;
    QFont::Weight peso = QFont::Normal;
    TonoTexto tono = TonoTexto::normal;

    // The system font at this size and weight.
    QFont fuente() const;
    bool operator==(const TextoEstilado&) const = default;
};

// A label over its value, as the editor's totals and the package card show figures: the label
// in `puntosEtiqueta` in the tertiary tone, the value in 11-point semibold in the normal one.
// Stacking them is the caller's.
struct EtiquetaValor {
    TextoEstilado etiqueta;
    TextoEstilado valor;
};

EtiquetaValor etiquetaValor(const QString& etiqueta, const QString& valor, double puntosEtiqueta);

}  // namespace quelva
