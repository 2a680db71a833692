#include "timeline/impresion/FigurasFicha.h"

#include "platform/NumberFormat.h"
#include "platform/SystemColors.h"

#include <algorithm>

namespace quelva {

using platform::SystemColor;
using platform::systemColor;

std::optional<PaqueteAWP> paquetePadre(const TimeLinerConfig& config, const PaqueteAWP& paquete)
{
    if (!paquete.parentCodigo)
        return std::nullopt;
    for (const PaqueteAWP& p : config.paquetes)
        if (p.codigo == *paquete.parentCodigo)
            return p;
    return std::nullopt;
}

std::vector<PaqueteAWP> hijosFicha(const TimeLinerConfig& config, const PaqueteAWP& paquete)
{
    if (paquete.nivel != NivelAWP::cwa)
        return config.hijos(paquete.codigo, NivelAWP::iwp);
    std::vector<PaqueteAWP> lista = config.hijos(paquete.codigo, NivelAWP::cwp);
    const std::vector<PaqueteAWP> iwps = config.iwpsDeCWA(paquete.codigo);
    lista.insert(lista.end(), iwps.begin(), iwps.end());
    return lista;
}

QString tituloHijos(NivelAWP nivel)
{
    return nivel == NivelAWP::cwa ? QStringLiteral("Construction Work Packages / IWPs")
                                  : QStringLiteral("Installation Work Packages");
}

TextoColor textoVariacion(int dias)
{
    if (dias >= 0)
        return {QStringLiteral("+%1 días (adelanto)").arg(dias), systemColor(SystemColor::green)};
    return {QStringLiteral("%1 días (retraso)").arg(dias), systemColor(SystemColor::red)};
}

double cpiFicha(const TimeLinerConfig& config, const PaqueteAWP& paquete)
{
    const double real = config.costoRealAgregado(paquete);
    return real > 0 ? config.valorGanadoAgregado(paquete) / real : 1.0;
}

double factorProductividad(const TimeLinerConfig& config, const PaqueteAWP& paquete)
{
    const double real = config.hhRealesAgregadas(paquete);
    return real > 0 ? config.hhGanadasAgregadas(paquete) / real : 1.0;
}

ChipsElementos chipsElementos(const QStringList& nombres)
{
    constexpr qsizetype kMaximo = 40;
    ChipsElementos c;
    c.visibles = nombres.mid(0, std::min(kMaximo, nombres.size()));
    if (nombres.size() > kMaximo)
        c.desborde = QStringLiteral("+ %1 más…").arg(nombres.size() - kMaximo);
    return c;
}

EstiloFilaHijo estiloFilaHijo(int i, int n)
{
    return {i % 2 == 1, i < n - 1};
}

}  // namespace quelva
