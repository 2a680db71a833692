#include "timeline/editor/ReglasPaquete.h"

#include "platform/UserDate.h"

#include <algorithm>

namespace quelva {

std::vector<NivelAWP> nivelesPadre(NivelAWP nivel)
{
    switch (nivel) {
    case NivelAWP::cwa: return {};
    case NivelAWP::cwp: return {NivelAWP::cwa};
    case NivelAWP::iwp: return {NivelAWP::cwa, NivelAWP::cwp};
    case NivelAWP::pwp: return {NivelAWP::iwp};
    }
    return {};
}

std::vector<const PaqueteAWP*> candidatosPadre(const PaqueteAWP& paquete, const TimeLinerConfig& config)
{
    const std::vector<NivelAWP> niveles = nivelesPadre(paquete.nivel);
    std::vector<const PaqueteAWP*> r;
    for (const PaqueteAWP& p : config.paquetes)
        if (std::find(niveles.begin(), niveles.end(), p.nivel) != niveles.end())
            r.push_back(&p);
    return r;
}

bool estaGuardado(const PaqueteAWP& paquete, const TimeLinerConfig& config)
{
    return std::any_of(config.paquetes.begin(), config.paquetes.end(),
                       [&](const PaqueteAWP& p) { return p.id == paquete.id; });
}

bool puedeGuardar(const PaqueteAWP& paquete)
{
    if (paquete.codigo.isEmpty())
        return false;
    return paquete.nivel == NivelAWP::cwa || paquete.parentCodigo.has_value();
}

namespace {

QString mensajeSinCandidatos(NivelAWP nivel)
{
    switch (nivel) {
    case NivelAWP::cwa: break;
    case NivelAWP::cwp: return QStringLiteral("Crea primero un CWA para asignarlo como padre");
    case NivelAWP::iwp: return QStringLiteral("Crea primero un CWP (o CWA) para asignarlo como padre");
    case NivelAWP::pwp: return QStringLiteral("Crea primero un IWP para asignarlo como padre");
    }
    return {};
}

}  // namespace

std::optional<QString> errorValidacion(const PaqueteAWP& paquete, const TimeLinerConfig& config)
{
    if (puedeGuardar(paquete))
        return std::nullopt;
    if (paquete.codigo.isEmpty())
        return QStringLiteral("El código es obligatorio");
    if (!candidatosPadre(paquete, config).empty())
        return QStringLiteral("Selecciona un paquete padre");
    return mensajeSinCandidatos(paquete.nivel);
}

std::optional<QString> advertenciaFechas(const PaqueteAWP& paquete, const TimeLinerConfig& config)
{
    if (paquete.fechaInicio < config.fechaInicio || paquete.fechaFin > config.fechaFin) {
        using platform::DateStyle;
        return QStringLiteral("Las fechas quedan fuera del rango del proyecto (%1 \u2013 %2)")
            .arg(platform::formatUserDate(config.fechaInicio, DateStyle::short_),
                 platform::formatUserDate(config.fechaFin, DateStyle::short_));
    }
    if (paquete.fechaInicioReal && paquete.fechaFinReal && *paquete.fechaFinReal < *paquete.fechaInicioReal)
        return QStringLiteral("La fecha de fin real no puede ser anterior al inicio real.");
    return std::nullopt;
}

}  // namespace quelva
