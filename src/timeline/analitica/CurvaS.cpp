#include "timeline/analitica/CurvaS.h"

#include "platform/NumberFormat.h"
#include "platform/SystemColors.h"
#include "platform/UserDate.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace quelva {

namespace {

using platform::SystemColor;

QColor sistema(SystemColor c)
{
    return platform::systemColor(c);
}

// Milliseconds an instant can move without leaving the calendar (about 3000 years).
constexpr double limiteMs = 1e14;

QDateTime desplazar(const QDateTime& desde, double ms)
{
    if (!std::isfinite(ms))
        return desde;
    return desde.addMSecs(qint64(std::llround(std::clamp(ms, -limiteMs, limiteMs))));
}

}  // namespace

QDateTime fechaAvance(const PaqueteAWP& paquete)
{
    if (paquete.fechaFinReal)
        return *paquete.fechaFinReal;
    const QDateTime s = paquete.fechaInicioReal.value_or(paquete.fechaInicio);
    return desplazar(s, double(s.msecsTo(paquete.fechaFin)) * paquete.progreso);
}

bool terminadoPlanEn(const PaqueteAWP& paquete, const QDateTime& fecha)
{
    return paquete.fechaFin <= fecha;
}

bool avanzadoEn(const PaqueteAWP& paquete, const QDateTime& fecha)
{
    return paquete.progreso > 0 && fechaAvance(paquete) <= fecha;
}

DatosCurvaS datosCurvaS(const TimeLinerConfig& config, int modo)
{
    DatosCurvaS d;
    d.modo = modo;
    d.iwps = config.iwps();
    for (const PaqueteAWP& p : d.iwps) {
        d.bac += p.presupuesto;
        d.hht += p.hh;
    }
    d.costo = (modo == 0 || modo == 2) && d.bac > 0;
    d.horas = (modo == 1 || modo == 2) && d.hht > 0;
    d.fechasReales = d.costo && algunoConFinReal(d.iwps);
    if (d.iwps.empty()) {
        d.inicio = config.fechaInicio;
        d.fin = config.fechaFin;
    } else {
        d.inicio = d.iwps.front().fechaInicio;
        d.fin = d.iwps.front().fechaFin;
        for (const PaqueteAWP& p : d.iwps) {
            d.inicio = std::min(d.inicio, p.fechaInicio);
            d.fin = std::max(d.fin, p.fechaFin);
        }
    }
    return d;
}

double GeometriaCurvaS::x(const QDateTime& fecha) const
{
    const double f = double(diasCompletos(inicio, fecha)) / double(dias);
    return izquierda + pw * std::clamp(f, 0.0, 1.0);
}

double GeometriaCurvaS::y(double fraccion) const
{
    // NaN falls to the axis as well.
    const double f = fraccion > 0 ? std::min(fraccion, 1.0) : 0.0;
    return b - ph * f;
}

QDateTime GeometriaCurvaS::fechaEn(double h) const
{
    const double dia = dias * (h - izquierda) / pw;
    return desplazar(inicio, dia * 86'400'000.0);
}

GeometriaCurvaS geometriaCurvaS(const DatosCurvaS& datos, QSizeF superficie)
{
    GeometriaCurvaS g;
    g.ancho = superficie.width();
    g.alto = superficie.height();
    g.pw = g.ancho - GeometriaCurvaS::izquierda - 10;
    g.ph = g.alto - GeometriaCurvaS::arriba - 22;
    g.b = GeometriaCurvaS::arriba + g.ph;
    g.r = GeometriaCurvaS::izquierda + g.pw;
    g.inicio = datos.inicio;
    g.dias = std::max(1, diasCompletos(datos.inicio, datos.fin));
    return g;
}

EstiloSerie estiloSerie(SerieCurvaS serie, int modo)
{
    const bool ambos = modo == 2;
    switch (serie) {
    case SerieCurvaS::costoPlan: return {sistema(SystemColor::blue), 2.0, false, true};
    case SerieCurvaS::valorGanado: return {sistema(SystemColor::green), 1.8, false, true};
    case SerieCurvaS::hhPlan: return {sistema(ambos ? SystemColor::cyan : SystemColor::blue), 1.6, ambos, !ambos};
    case SerieCurvaS::hhGanadas: return {sistema(ambos ? SystemColor::mint : SystemColor::green), 1.4, ambos, !ambos};
    }
    return {};
}

std::vector<QPointF> puntosSerie(const DatosCurvaS& datos, const GeometriaCurvaS& g, SerieCurvaS serie)
{
    const bool costo = serie == SerieCurvaS::costoPlan || serie == SerieCurvaS::valorGanado;
    const bool ganado = serie == SerieCurvaS::valorGanado || serie == SerieCurvaS::hhGanadas;
    std::vector<QPointF> puntos{{GeometriaCurvaS::izquierda, g.b}};
    if (costo ? !datos.costo : !datos.horas)
        return puntos;
    const double total = costo ? datos.bac : datos.hht;

    // Sorted by keys: a large file has hundreds of thousands of IWPs, and dates compare slowly.
    std::vector<std::pair<qint64, const PaqueteAWP*>> orden;
    orden.reserve(datos.iwps.size());
    for (const PaqueteAWP& p : datos.iwps)
        orden.emplace_back(claveOrdenFecha(p.fechaFin), &p);
    std::stable_sort(orden.begin(), orden.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    struct Paso {
        qint64 clave;
        QDateTime fecha;
        const PaqueteAWP* p;
    };
    std::vector<Paso> fechas;
    fechas.reserve(orden.size());
    for (const auto& [clave, p] : orden) {
        if (!ganado) {
            fechas.push_back({clave, p->fechaFin, p});
        } else if (p->progreso > 0) {
            const QDateTime f = fechaAvance(*p);
            fechas.push_back({claveOrdenFecha(f), f, p});
        }
    }
    if (ganado)
        std::stable_sort(fechas.begin(), fechas.end(), [](const Paso& a, const Paso& b) { return a.clave < b.clave; });

    double suma = 0;
    std::optional<qint64> claveX;
    double x = 0;
    for (const Paso& paso : fechas) {
        const double cantidad = costo ? paso.p->presupuesto : paso.p->hh;
        suma += ganado ? cantidad * paso.p->progreso : cantidad;
        if (claveX != paso.clave) {  // many packages share a day
            claveX = paso.clave;
            x = g.x(paso.fecha);
        }
        puntos.push_back({x, g.y(suma / total)});
    }
    return puntos;
}

std::vector<TramoCurvaS> tramosSuaves(const std::vector<QPointF>& p)
{
    std::vector<TramoCurvaS> tramos;
    const std::size_t n = p.size();
    if (n < 2)
        return tramos;
    tramos.reserve(n - 1);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const QPointF& a = p[i];
        const QPointF& b = p[i + 1];
        TramoCurvaS t;
        t.hasta = b;
        if (std::abs(a.y() - b.y()) < 0.5 || std::abs(a.x() - b.x()) < 2) {
            tramos.push_back(t);
            continue;
        }
        const QPointF& antes = p[i == 0 ? 0 : i - 1];
        const QPointF& despues = p[std::min(i + 2, n - 1)];
        const double xmin = std::min(a.x(), b.x()), xmax = std::max(a.x(), b.x());
        t.curva = true;
        t.c1 = a + 0.3 * (b - antes);
        t.c2 = b - 0.3 * (despues - a);
        t.c1.setX(std::clamp(t.c1.x(), xmin, xmax));
        t.c2.setX(std::clamp(t.c2.x(), xmin, xmax));
        tramos.push_back(t);
    }
    return tramos;
}

std::vector<QPointF> puntosParaTrazo(const std::vector<QPointF>& p)
{
    std::vector<QPointF> r;
    const std::size_t n = p.size();
    for (std::size_t i = 0; i < n;) {
        std::size_t fin = i + 1;
        while (fin < n && p[fin].x() == p[i].x())
            ++fin;
        // The neighbours a curve on either side of the run reads are kept.
        for (std::size_t k = i; k < fin; ++k)
            if (k < i + 2 || k + 2 >= fin)
                r.push_back(p[k]);
        i = fin;
    }
    return r;
}

std::vector<MesGantt> mesesCurvaS(const DatosCurvaS& datos, const GeometriaCurvaS& g, RotulosMes rotulos)
{
    if (!g.valida())
        return {};
    rotulos.limite -= GeometriaCurvaS::izquierda;
    std::vector<MesGantt> meses = mesesEntre(datos.inicio, datos.fin, g.dias, g.pw, rotulos);
    for (MesGantt& m : meses)
        m.x += GeometriaCurvaS::izquierda;
    return meses;
}

std::optional<LecturaCurvaS> lecturaCurvaS(const DatosCurvaS& datos, const GeometriaCurvaS& g,
                                           std::optional<double> hover)
{
    if (!hover || !g.valida() || datos.vacio())
        return std::nullopt;
    const double h = *hover;
    if (!(h >= GeometriaCurvaS::izquierda && h <= g.r))
        return std::nullopt;
    LecturaCurvaS l;
    l.h = h;
    const QDateTime d = g.fechaEn(h);
    l.titulo = platform::formatUserPattern(d, QStringLiteral("MMM yyyy"));

    double plan = 0, ganado = 0, hhPlan = 0, hhGanadas = 0;
    for (const PaqueteAWP& p : datos.iwps) {
        if (terminadoPlanEn(p, d)) {
            plan += p.presupuesto;
            hhPlan += p.hh;
        }
        if (avanzadoEn(p, d)) {
            ganado += p.presupuesto * p.progreso;
            hhGanadas += p.hh * p.progreso;
        }
    }
    auto entrada = [&](const char* etiqueta, QColor color, double ratio) {
        const QString texto = platform::qformat("%.0f%%  ", ratio * 100) + QString::fromUtf8(etiqueta);
        l.entradas.push_back({texto, color, ratio, g.y(ratio)});
    };
    if (datos.costo) {
        entrada("$ Planificado", sistema(SystemColor::blue), plan / datos.bac);
        entrada("Valor Ganado", sistema(SystemColor::green), ganado / datos.bac);
    }
    if (datos.horas) {
        entrada("HH Planificadas", estiloSerie(SerieCurvaS::hhPlan, datos.modo).color, hhPlan / datos.hht);
        entrada("HH Valor Ganado", estiloSerie(SerieCurvaS::hhGanadas, datos.modo).color, hhGanadas / datos.hht);
    }
    const double ancho = 130, alto = 16 + 13.0 * double(l.entradas.size());
    // Right of the line when it fits, else left of it; on a narrow plot the line's left side
    // may not hold it either, and the box then stays inside the plot over the line.
    double izquierda = h + 10 + ancho <= g.r ? h + 6 : h - ancho - 6;
    izquierda = std::max(double(GeometriaCurvaS::izquierda), std::min(izquierda, g.r - ancho));
    const double arriba = std::max(10.0, std::min(g.b - alto, 14.0));
    l.caja = QRectF(izquierda, arriba, ancho, alto);
    return l;
}

}  // namespace quelva
