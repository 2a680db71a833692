#include "timeline/editor/EtiquetaValor.h"

namespace quelva {

QFont TextoEstilado::fuente() const
{
    QFont f;
    f.setPointSizeF(puntos);
    f.setWeight(peso);
    return f;
}

EtiquetaValor etiquetaValor(const QString& etiqueta, const QString& valor, double puntosEtiqueta)
{
    return {
        {etiqueta, puntosEtiqueta, QFont::Normal, TonoTexto::terciario},
        {valor, 11, QFont::DemiBold, TonoTexto::normal},
    };
}

}  // namespace quelva
