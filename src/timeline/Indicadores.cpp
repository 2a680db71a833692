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

FigurasPaquete figurasPaquete(const TimeLinerConfig& config, const PaqueteAWP& paquete, const ModoAvance& modo)
{
    FigurasPaquete f;
    const std::vector<PaqueteAWP> alcance = config.alcanceIWP(paquete);
    f.progreso = progresoAgregadoEfectivo(config, paquete, modo);
    for (const PaqueteAWP& p : alcance) {
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
    f.desfaseInicio = paquete.desfaseInicioDias();
    f.desfaseFin = paquete.desfaseFinDias();
    if (paquete.nivel == NivelAWP::cwa)
        f.iwpsIncluidos = int(config.iwpsDeCWA(paquete.codigo).size());
    else if (paquete.nivel == NivelAWP::cwp)
        f.iwpsIncluidos = int(config.hijos(paquete.codigo, NivelAWP::iwp).size());
    return f;
}

}  // namespace quelva
