#include "timeline/FigurasTimeLiner.h"

#include "platform/NumberFormat.h"

#include <QSet>

#include <algorithm>

namespace quelva {

double progresoEfectivo(const PaqueteAWP& paquete, const ModoAvance& modo)
{
    if (!modo.automatico)
        return paquete.progreso;
    const double duracion = double(paquete.fechaInicio.secsTo(paquete.fechaFin));
    if (duracion > 0) {
        const double r = double(paquete.fechaInicio.msecsTo(modo.fechaScrubber)) / 1000.0 / duracion;
        return std::max(0.0, std::min(1.0, r));
    }
    return modo.fechaScrubber >= paquete.fechaFin ? 1.0 : 0.0;
}

namespace {

// Without automatic progress this sums what TimeLinerConfig::progresoAgregado sums, in the same
// order: the same figure to the last bit.
template <class Alcance, class Paquete>
double progresoPonderado(const Alcance& alcance, Paquete paquete, const PaqueteAWP& propio, const ModoAvance& modo)
{
    if (alcance.empty())
        return progresoEfectivo(propio, modo);
    double presupuesto = 0, ponderado = 0, suma = 0;
    for (const auto& elemento : alcance) {
        const PaqueteAWP& p = paquete(elemento);
        const double e = progresoEfectivo(p, modo);
        presupuesto += p.presupuesto;
        ponderado += e * p.presupuesto;
        suma += e;
    }
    return presupuesto > 0 ? ponderado / presupuesto : suma / double(alcance.size());
}

}  // namespace

double progresoAgregadoEfectivo(const TimeLinerConfig& config, const PaqueteAWP& paquete, const ModoAvance& modo)
{
    if (!modo.automatico)
        return config.progresoAgregado(paquete);
    return progresoPonderado(config.alcanceIWP(paquete), [](const PaqueteAWP& p) -> const PaqueteAWP& { return p; },
                             paquete, modo);
}

double progresoAgregadoEfectivo(const IndiceAWP& indice, const PaqueteAWP& paquete, const ModoAvance& modo)
{
    return progresoPonderado(indice.alcanceIWP(paquete), [](const PaqueteAWP* p) -> const PaqueteAWP& { return *p; },
                             paquete, modo);
}

double valorGanadoTotal(const TimeLinerConfig& config, const ModoAvance& modo)
{
    double total = 0;
    for (const PaqueteAWP& p : config.paquetes)
        if (p.nivel == NivelAWP::iwp)
            total += p.presupuesto * progresoEfectivo(p, modo);
    return total;
}

double hhGanadasTotal(const TimeLinerConfig& config, const ModoAvance& modo)
{
    double total = 0;
    for (const PaqueteAWP& p : config.paquetes)
        if (p.nivel == NivelAWP::iwp)
            total += p.hh * progresoEfectivo(p, modo);
    return total;
}

namespace {

void filasDeCWA(const IndiceAWP& indice, const PaqueteAWP& cwa, std::vector<FilaVisible>& filas)
{
    for (const PaqueteAWP* cwp : indice.hijos(cwa.codigo, NivelAWP::cwp)) {
        filas.push_back({*cwp, 1});
        for (const PaqueteAWP* iwp : indice.hijos(cwp->codigo, NivelAWP::iwp))
            filas.push_back({*iwp, 2});
    }
    for (const PaqueteAWP* iwp : indice.hijos(cwa.codigo, NivelAWP::iwp))
        filas.push_back({*iwp, 1});
}

std::vector<FilaVisible> filas(const IndiceAWP& indice, const std::set<QString>* expandidos)
{
    std::vector<FilaVisible> r;
    std::vector<bool> enAlgunCWA(indice.tamano());  // by position: hashing every IWP's id was slow
    for (const PaqueteAWP* cwa : indice.cwas()) {
        r.push_back({*cwa, 0});
        if (!expandidos || expandidos->count(cwa->codigo))
            filasDeCWA(indice, *cwa, r);
        for (const PaqueteAWP* iwp : indice.iwpsDeCWA(cwa->codigo))
            enAlgunCWA[indice.posicion(iwp)] = true;
    }
    for (const PaqueteAWP* iwp : indice.iwps())
        if (!enAlgunCWA[indice.posicion(iwp)])
            r.push_back({*iwp, 0});
    return r;
}

}  // namespace

std::vector<FilaVisible> filasVisibles(const TimeLinerConfig& config, const std::set<QString>& expandidosCWA)
{
    return filas(IndiceAWP(config), &expandidosCWA);
}

std::vector<FilaVisible> filasVisibles(const IndiceAWP& indice, const std::set<QString>& expandidosCWA)
{
    return filas(indice, &expandidosCWA);
}

std::vector<FilaVisible> filasCompletas(const TimeLinerConfig& config)
{
    return filas(IndiceAWP(config), nullptr);
}

std::vector<PaqueteAWP> paquetesCSVNuevos(const TimeLinerConfig& config, const std::vector<PaqueteAWP>& elegidos)
{
    // Hashed: a large file brings hundreds of thousands of codes.
    QSet<QString> codigos;
    codigos.reserve(qsizetype(config.paquetes.size() + elegidos.size()));
    for (const PaqueteAWP& p : config.paquetes)
        codigos.insert(p.codigo);
    std::vector<PaqueteAWP> nuevos;
    nuevos.reserve(elegidos.size());
    for (const PaqueteAWP& p : elegidos) {
        const qsizetype antes = codigos.size();
        codigos.insert(p.codigo);
        if (codigos.size() != antes)
            nuevos.push_back(p);
    }
    return nuevos;
}

QString formatearHH(double valor, const char* formatoMiles)
{
    // The pattern is the caller's own constant, with one %f.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    if (valor >= 1000)
        return QString::fromStdString(platform::format(formatoMiles, valor / 1000.0));
#pragma GCC diagnostic pop
    return platform::qformat("%.0f HH", valor);
}

ResumenIWP resumenIWP(const TimeLinerConfig& config)
{
    ResumenIWP r;
    double suma = 0;
    for (const PaqueteAWP& p : config.paquetes)
        if (p.nivel == NivelAWP::iwp) {
            ++r.paquetes;
            r.presupuesto += p.presupuesto;
            suma += p.progreso;
        }
    r.avance = r.paquetes > 0 ? suma / r.paquetes : 0;
    return r;
}

}  // namespace quelva
