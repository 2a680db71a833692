#include "timeline/editor/FigurasEditor.h"

#include "platform/NumberFormat.h"

namespace quelva {

std::optional<InsigniaDesfase> insigniaDesfase(std::optional<int> dias)
{
    if (!dias)
        return std::nullopt;
    if (*dias == 0)
        return InsigniaDesfase{QStringLiteral("En plazo"), true};
    if (*dias > 0)
        return InsigniaDesfase{platform::qformat("+%lldd adelanto", static_cast<long long>(*dias)), true};
    return InsigniaDesfase{platform::qformat("%lldd retraso", static_cast<long long>(*dias)), false};
}

QString textoAvance(double progreso)
{
    return QStringLiteral("Avance: ") + platform::qformat("%.0f%%", progreso * 100);
}

double factorProductividad(const PaqueteAWP& paquete)
{
    return paquete.hhReal > 0 ? paquete.hh * paquete.progreso / paquete.hhReal : 1.0;
}

BandaFactor bandaFactor(double factor)
{
    if (factor >= 1.0)
        return BandaFactor::buena;
    if (factor >= 0.85)
        return BandaFactor::regular;
    return BandaFactor::mala;
}

}  // namespace quelva

namespace quelva {

QDateTime cambiarDia(const QDateTime& instante, const QDate& dia)
{
    return sumarDias(instante, int(instante.toLocalTime().date().daysTo(dia)));
}

}  // namespace quelva
