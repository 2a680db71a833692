#include "timeline/TimeLiner.h"

#include <algorithm>

namespace quelva {

QString textoNivelAWP(NivelAWP nivel)
{
    switch (nivel) {
    case NivelAWP::cwa: return QStringLiteral("CWA");
    case NivelAWP::cwp: return QStringLiteral("CWP");
    case NivelAWP::iwp: return QStringLiteral("IWP");
    case NivelAWP::pwp: return QStringLiteral("PWP");
    }
    return QStringLiteral("IWP");
}

std::optional<NivelAWP> nivelAWPDesdeTexto(const QString& texto)
{
    for (NivelAWP n : todosLosNivelesAWP)
        if (texto == textoNivelAWP(n))
            return n;
    return std::nullopt;
}

QDateTime sumarDias(const QDateTime& instante, int dias)
{
    const QDateTime r = instante.addDays(dias);
    return r.isValid() ? r : instante;
}

QDateTime sumarMeses(const QDateTime& instante, int meses)
{
    // addMonths clamps to the month's last day (31 Jan + 1 month = 28/29 Feb).
    const QDateTime r = instante.addMonths(meses);
    return r.isValid() ? r : instante;
}

std::vector<PaqueteAWP> TimeLinerConfig::cwas() const
{
    std::vector<PaqueteAWP> r;
    for (const PaqueteAWP& p : paquetes)
        if (p.nivel == NivelAWP::cwa)
            r.push_back(p);
    std::stable_sort(r.begin(), r.end(), [](const PaqueteAWP& a, const PaqueteAWP& b) {
        return a.codigo.toStdU32String() < b.codigo.toStdU32String();
    });
    return r;
}

std::vector<PaqueteAWP> TimeLinerConfig::iwps() const
{
    std::vector<PaqueteAWP> r;
    for (const PaqueteAWP& p : paquetes)
        if (p.nivel == NivelAWP::iwp)
            r.push_back(p);
    std::stable_sort(r.begin(), r.end(),
                     [](const PaqueteAWP& a, const PaqueteAWP& b) { return a.fechaInicio < b.fechaInicio; });
    return r;
}

}  // namespace quelva
