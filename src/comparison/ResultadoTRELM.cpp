#include "comparison/ResultadoTRELM.h"

namespace quelva {

QString textoTipoCambioTRELM(TipoCambioTRELM tipo)
{
    switch (tipo) {
    case TipoCambioTRELM::agregado: return QStringLiteral("Agregado");
    case TipoCambioTRELM::eliminado: return QStringLiteral("Eliminado");
    case TipoCambioTRELM::modificado: return QStringLiteral("Modificado");
    }
    return QStringLiteral("Agregado");
}

std::optional<TipoCambioTRELM> tipoCambioTRELMDesdeTexto(const QString& texto)
{
    for (TipoCambioTRELM t : todosLosTiposCambioTRELM)
        if (texto == textoTipoCambioTRELM(t))
            return t;
    return std::nullopt;
}

}  // namespace quelva
