#include "timeline/analitica/FigurasAnalitica.h"

#include "timeline/Indicadores.h"

#include "platform/NumberFormat.h"
#include "platform/SystemColors.h"

namespace quelva {

FigurasValorGanado figurasValorGanado(const TimeLinerConfig& config, const ModoAvance& modo)
{
    FigurasValorGanado f;
    bool hayIWP = false;
    for (const PaqueteAWP& p : config.paquetes)
        if (p.nivel == NivelAWP::iwp) {
            hayIWP = true;
            f.bac += p.presupuesto;
            f.ac += p.costoReal;
        }
    f.ev = valorGanadoTotal(config, modo);
    if (hayIWP) {
        f.spi = indiceGuardado(f.ev, f.bac);
        f.cpi = indiceGuardado(f.ev, f.ac);
    }
    return f;
}

FigurasHorasHombre figurasHorasHombre(const TimeLinerConfig& config, const ModoAvance& modo)
{
    FigurasHorasHombre f;
    bool hayIWP = false;
    for (const PaqueteAWP& p : config.paquetes)
        if (p.nivel == NivelAWP::iwp) {
            hayIWP = true;
            f.planificadas += p.hh;
            f.reales += p.hhReal;
        }
    f.ganadas = hhGanadasTotal(config, modo);
    if (hayIWP)
        f.factor = indiceGuardado(f.ganadas, f.reales);
    f.porDia = f.planificadas / double(config.duracionDias());
    return f;
}

bool conTarjetaHorasHombre(const TimeLinerConfig& config)
{
    double hh = 0;
    for (const PaqueteAWP& p : config.paquetes)
        if (p.nivel == NivelAWP::iwp)
            hh += p.hh;
    return hh > 0;
}

std::vector<PaqueteAWP> paquetesTarjetas(const TimeLinerConfig& config, const std::optional<PaqueteAWP>& seleccionado)
{
    if (seleccionado)
        return {*seleccionado};
    std::vector<PaqueteAWP> cwas = config.cwas();
    if (!cwas.empty())
        return cwas;
    return config.iwps();
}

FigurasProyecto figurasProyecto(const TimeLinerConfig& config, const ModoAvance& modo)
{
    FigurasProyecto f;
    f.valorGanado = figurasValorGanado(config, modo);
    f.conHorasHombre = conTarjetaHorasHombre(config);
    if (f.conHorasHombre)
        f.horasHombre = figurasHorasHombre(config, modo);
    return f;
}

std::vector<LineasTarjeta> lineasTarjetas(const TimeLinerConfig& config, const IndiceAWP& indice,
                                          const std::optional<PaqueteAWP>& seleccionado)
{
    std::vector<LineasTarjeta> r;
    for (PaqueteAWP& pkg : paquetesTarjetas(config, seleccionado)) {
        const FigurasPaquete f = figurasPaquete(indice, pkg, {});
        LineasTarjeta t;
        t.dinero = f.presupuesto > 0;
        t.horas = f.hh > 0;
        t.desfase = pkg.fechaInicioReal || pkg.fechaFinReal;
        t.iwps = f.iwpsIncluidos.has_value();
        t.pkg = std::move(pkg);
        r.push_back(std::move(t));
    }
    return r;
}

QString textoDesfase(const QString& prefijo, int dias)
{
    if (dias == 0)
        return prefijo + QStringLiteral(" en plazo");
    if (dias > 0)
        return prefijo + platform::qformat(" +%dd", dias);
    return prefijo + platform::qformat(" %dd", dias);
}

QColor colorDesfase(int dias)
{
    using platform::SystemColor;
    return platform::systemColor(dias < 0 ? SystemColor::red : SystemColor::green);
}

QColor colorAvanceTarjeta(double progresoGuardado)
{
    using platform::SystemColor;
    if (progresoGuardado >= 1)
        return platform::systemColor(SystemColor::green);
    if (progresoGuardado <= 0)
        return QColor::fromRgbF(0.45f, 0.45f, 0.45f);
    return platform::systemColor(SystemColor::orange);
}

}  // namespace quelva
