#include "timeline/Indicadores.h"

#include "platform/NumberFormat.h"
#include "platform/SystemColors.h"

#include <cmath>

namespace quelva {

double indiceGuardado(double numerador, double divisor)
{
    if (!(divisor > 0))
        return 1;
    const double r = numerador / divisor;
    return std::isfinite(r) ? r : 1;
}

QColor colorIndice(double valor)
{
    using platform::SystemColor;
    if (valor >= 1.0)
        return platform::systemColor(SystemColor::green);
    if (valor >= 0.85)
        return platform::systemColor(SystemColor::orange);
    return platform::systemColor(SystemColor::red);
}

QColor colorProductividad(double valor)
{
    using platform::SystemColor;
    return platform::systemColor(valor >= 1.0 ? SystemColor::green : SystemColor::orange);
}

QString textoIndice(double valor)
{
    return platform::qformat("%.2f", valor);
}

QString formatoHH(double valor)
{
    return formatearHH(valor, "%.1f k HH");
}

namespace {

template <class Alcance, class Paquete>
FigurasPaquete figuras(const Alcance& alcance, Paquete paquete, const PaqueteAWP& propio, double progreso,
                       const ModoAvance& modo)
{
    FigurasPaquete f;
    f.progreso = progreso;
    for (const auto& elemento : alcance) {
        const PaqueteAWP& p = paquete(elemento);
        const double avance = modo.automatico ? progresoEfectivo(p, modo) : p.progreso;
        f.presupuesto += p.presupuesto;
        f.costoReal += p.costoReal;
        f.valorGanado += p.presupuesto * avance;
        f.hh += p.hh;
        f.hhReales += p.hhReal;
        f.hhGanadas += p.hh * avance;
    }
    f.cpi = indiceGuardado(f.valorGanado, f.costoReal);
    f.productividad = indiceGuardado(f.hhGanadas, f.hhReales);
    f.desfaseInicio = propio.desfaseInicioDias();
    f.desfaseFin = propio.desfaseFinDias();
    // A CWA's or CWP's scope is its IWPs.
    if (propio.nivel == NivelAWP::cwa || propio.nivel == NivelAWP::cwp)
        f.iwpsIncluidos = int(alcance.size());
    return f;
}

}  // namespace

FigurasPaquete figurasPaquete(const TimeLinerConfig& config, const PaqueteAWP& paquete, const ModoAvance& modo)
{
    return figuras(config.alcanceIWP(paquete), [](const PaqueteAWP& p) -> const PaqueteAWP& { return p; }, paquete,
                   progresoAgregadoEfectivo(config, paquete, modo), modo);
}

FigurasPaquete figurasPaquete(const IndiceAWP& indice, const PaqueteAWP& paquete, const ModoAvance& modo)
{
    return figuras(indice.alcanceIWP(paquete), [](const PaqueteAWP* p) -> const PaqueteAWP& { return *p; }, paquete,
                   progresoAgregadoEfectivo(indice, paquete, modo), modo);
}

}  // namespace quelva
