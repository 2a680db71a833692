#include "clash/Interferencia.h"

#include "platform/SystemColors.h"

namespace quelva {

QString textoEstadoClash(EstadoClash estado)
{
    switch (estado) {
    case EstadoClash::abierto: return QStringLiteral("Abierto");
    case EstadoClash::enRevision: return QStringLiteral("En revisión");
    case EstadoClash::aprobado: return QStringLiteral("Aprobado");
    case EstadoClash::resuelto: return QStringLiteral("Resuelto");
    }
    return QStringLiteral("Abierto");
}

std::optional<EstadoClash> estadoClashDesdeTexto(const QString& texto)
{
    for (EstadoClash e : todosLosEstadosClash)
        if (texto == textoEstadoClash(e))
            return e;
    return std::nullopt;
}

QColor colorEstadoClash(EstadoClash estado)
{
    using platform::SystemColor;
    switch (estado) {
    case EstadoClash::abierto: return platform::systemColor(SystemColor::red);
    case EstadoClash::enRevision: return platform::systemColor(SystemColor::orange);
    case EstadoClash::aprobado: return platform::systemColor(SystemColor::blue);
    case EstadoClash::resuelto: return platform::systemColor(SystemColor::green);
    }
    return platform::systemColor(SystemColor::red);
}

}  // namespace quelva
