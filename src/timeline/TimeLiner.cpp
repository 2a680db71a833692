#include "timeline/TimeLiner.h"

#include "platform/SystemColors.h"
#include "platform/UserDate.h"

#include <QTimeZone>

#include <algorithm>
#include <limits>
#include <functional>

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

namespace {

// Calendar arithmetic happens on the user's wall clock (a UTC instant plus a day across a clock
// change is not the same time of day); the result keeps the instant's own time representation.
QDateTime comoElOriginal(const QDateTime& local, const QDateTime& original)
{
    switch (original.timeSpec()) {
    case Qt::UTC: return local.toUTC();
    case Qt::OffsetFromUTC: return local.toOffsetFromUtc(original.offsetFromUtc());
    case Qt::TimeZone: return local.toTimeZone(original.timeZone());
    case Qt::LocalTime: break;
    }
    return local;
}

}  // namespace

QDateTime sumarDias(const QDateTime& instante, int dias)
{
    const QDateTime r = instante.toLocalTime().addDays(dias);
    return r.isValid() ? comoElOriginal(r, instante) : instante;
}

QDateTime sumarMeses(const QDateTime& instante, int meses)
{
    // addMonths clamps to the month's last day (31 Jan + 1 month = 28/29 Feb).
    const QDateTime r = instante.toLocalTime().addMonths(meses);
    return r.isValid() ? comoElOriginal(r, instante) : instante;
}

int diasCompletos(const QDateTime& desde, const QDateTime& hasta)
{
    return int(std::clamp<qint64>(platform::wholeDaysBetween(desde, hasta), INT32_MIN, INT32_MAX));
}

const std::array<QColor, 8>& paletaColores()
{
    using platform::SystemColor;
    static const std::array<QColor, 8> paleta = {
        platform::systemColor(SystemColor::blue),   platform::systemColor(SystemColor::purple),
        platform::systemColor(SystemColor::teal),   platform::systemColor(SystemColor::indigo),
        platform::systemColor(SystemColor::cyan),   platform::systemColor(SystemColor::mint),
        platform::systemColor(SystemColor::orange), platform::systemColor(SystemColor::pink),
    };
    return paleta;
}

QColor colorPaleta(int colorIdx)
{
    return paletaColores()[std::size_t(((colorIdx % 8) + 8) % 8)];
}

int PaqueteAWP::duracionDias() const
{
    return std::max(1, diasCompletos(fechaInicio, fechaFin));
}

std::optional<int> PaqueteAWP::desfaseInicioDias() const
{
    if (!fechaInicioReal)
        return std::nullopt;
    return diasCompletos(*fechaInicioReal, fechaInicio);
}

std::optional<int> PaqueteAWP::desfaseFinDias() const
{
    if (!fechaFinReal)
        return std::nullopt;
    return diasCompletos(*fechaFinReal, fechaFin);
}

namespace {

std::vector<PaqueteAWP> filtrarPorInicio(const std::vector<PaqueteAWP>& paquetes,
                                         const std::function<bool(const PaqueteAWP&)>& cumple)
{
    // Sorted by key before anything is copied: dates compare slowly and packages move slowly.
    std::vector<std::pair<qint64, const PaqueteAWP*>> orden;
    for (const PaqueteAWP& p : paquetes)
        if (cumple(p))
            orden.emplace_back(claveOrdenFecha(p.fechaInicio), &p);
    std::stable_sort(orden.begin(), orden.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<PaqueteAWP> r;
    r.reserve(orden.size());
    for (const auto& [clave, p] : orden)
        r.push_back(*p);
    return r;
}

template <class Campo>
double sumar(const std::vector<PaqueteAWP>& alcance, Campo campo)
{
    double total = 0;
    for (const PaqueteAWP& p : alcance)
        total += campo(p);
    return total;
}

}  // namespace

std::vector<PaqueteAWP> TimeLinerConfig::cwas() const
{
    std::vector<PaqueteAWP> r;
    for (const PaqueteAWP& p : paquetes)
        if (p.nivel == NivelAWP::cwa)
            r.push_back(p);
    std::stable_sort(r.begin(), r.end(), [](const PaqueteAWP& a, const PaqueteAWP& b) {
        return a.codigo.toStdU32String() < b.codigo.toStdU32String();  // scalar values, no locale
    });
    return r;
}

std::vector<PaqueteAWP> TimeLinerConfig::iwps() const
{
    return filtrarPorInicio(paquetes, [](const PaqueteAWP& p) { return p.nivel == NivelAWP::iwp; });
}

std::vector<PaqueteAWP> TimeLinerConfig::hijos(const QString& codigo, NivelAWP nivel) const
{
    return filtrarPorInicio(paquetes, [&](const PaqueteAWP& p) {
        return p.nivel == nivel && p.parentCodigo && *p.parentCodigo == codigo;
    });
}

std::vector<PaqueteAWP> TimeLinerConfig::iwpsDeCWA(const QString& codigo) const
{
    QStringList cwps;
    for (const PaqueteAWP& p : paquetes)
        if (p.nivel == NivelAWP::cwp && p.parentCodigo && *p.parentCodigo == codigo)
            cwps.append(p.codigo);
    // A missing parent matches nothing: read as "" it would join every parentless IWP to a CWP
    // whose code is empty.
    return filtrarPorInicio(paquetes, [&](const PaqueteAWP& p) {
        return p.nivel == NivelAWP::iwp && p.parentCodigo &&
               (*p.parentCodigo == codigo || cwps.contains(*p.parentCodigo));
    });
}

std::vector<PaqueteAWP> TimeLinerConfig::alcanceIWP(const PaqueteAWP& paquete) const
{
    switch (paquete.nivel) {
    case NivelAWP::cwa: return iwpsDeCWA(paquete.codigo);
    case NivelAWP::cwp: return hijos(paquete.codigo, NivelAWP::iwp);
    case NivelAWP::iwp:
    case NivelAWP::pwp: break;
    }
    return {paquete};
}

int TimeLinerConfig::duracionDias() const
{
    return std::max(1, diasCompletos(fechaInicio, fechaFin));
}

double TimeLinerConfig::presupuestoAgregado(const PaqueteAWP& paquete) const
{
    return sumar(alcanceIWP(paquete), [](const PaqueteAWP& p) { return p.presupuesto; });
}

double TimeLinerConfig::costoRealAgregado(const PaqueteAWP& paquete) const
{
    return sumar(alcanceIWP(paquete), [](const PaqueteAWP& p) { return p.costoReal; });
}

double TimeLinerConfig::hhAgregadas(const PaqueteAWP& paquete) const
{
    return sumar(alcanceIWP(paquete), [](const PaqueteAWP& p) { return p.hh; });
}

double TimeLinerConfig::hhRealesAgregadas(const PaqueteAWP& paquete) const
{
    return sumar(alcanceIWP(paquete), [](const PaqueteAWP& p) { return p.hhReal; });
}

double TimeLinerConfig::hhGanadasAgregadas(const PaqueteAWP& paquete) const
{
    return sumar(alcanceIWP(paquete), [](const PaqueteAWP& p) { return p.hh * p.progreso; });
}

double TimeLinerConfig::valorGanadoAgregado(const PaqueteAWP& paquete) const
{
    return sumar(alcanceIWP(paquete), [](const PaqueteAWP& p) { return p.presupuesto * p.progreso; });
}

double TimeLinerConfig::progresoAgregado(const PaqueteAWP& paquete) const
{
    const std::vector<PaqueteAWP> alcance = alcanceIWP(paquete);
    if (alcance.empty())
        return paquete.progreso;
    const double presupuesto = sumar(alcance, [](const PaqueteAWP& p) { return p.presupuesto; });
    if (presupuesto > 0)
        return sumar(alcance, [](const PaqueteAWP& p) { return p.progreso * p.presupuesto; }) / presupuesto;
    return sumar(alcance, [](const PaqueteAWP& p) { return p.progreso; }) / double(alcance.size());
}

qint64 claveOrdenFecha(const QDateTime& fecha)
{
    return fecha.isValid() ? fecha.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
}

bool algunoConFinReal(const std::vector<PaqueteAWP>& paquetes)
{
    return std::any_of(paquetes.begin(), paquetes.end(), [](const PaqueteAWP& p) { return p.fechaFinReal.has_value(); });
}

}  // namespace quelva
