#include "timeline/analitica/CurvaS.h"

#include "platform/NumberFormat.h"
#include "platform/SystemColors.h"
#include "platform/UserDate.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <tuple>

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

namespace {

// fechaAvance as an instant, from instants already read: the same sum the dates make.
qint64 claveAvance(const PaqueteAWP& p, qint64 inicioPlan, qint64 fin)
{
    if (p.fechaFinReal)
        return claveOrdenFecha(*p.fechaFinReal);
    const qint64 inicio = p.fechaInicioReal ? claveOrdenFecha(*p.fechaInicioReal) : inicioPlan;
    constexpr qint64 invalida = std::numeric_limits<qint64>::min();
    if (inicio == invalida)
        return invalida;
    const double ms = fin == invalida ? 0.0 : double(fin - inicio) * p.progreso;
    if (!std::isfinite(ms))
        return inicio;
    return inicio + qint64(std::llround(std::clamp(ms, -limiteMs, limiteMs)));
}

}  // namespace

DatosCurvaS datosCurvaS(const TimeLinerConfig& config, int modo)
{
    DatosCurvaS d;
    d.modo = modo;
    struct Leido {
        qint64 inicio;
        std::uint32_t indice;
    };
    std::vector<Leido> porInicio;
    for (std::size_t i = 0; i < config.paquetes.size(); ++i)
        if (config.paquetes[i].nivel == NivelAWP::iwp)
            porInicio.push_back({claveOrdenFecha(config.paquetes[i].fechaInicio), std::uint32_t(i)});
    std::sort(porInicio.begin(), porInicio.end(),
              [](const Leido& a, const Leido& b) { return std::tie(a.inicio, a.indice) < std::tie(b.inicio, b.indice); });

    d.iwps.reserve(porInicio.size());
    for (const Leido& l : porInicio) {
        const PaqueteAWP& p = config.paquetes[l.indice];
        IwpCurvaS c;
        c.fin = claveOrdenFecha(p.fechaFin);
        c.presupuesto = p.presupuesto;
        c.hh = p.hh;
        c.progreso = p.progreso;
        if (p.progreso > 0)
            c.avance = claveAvance(p, l.inicio, c.fin);
        d.bac += p.presupuesto;
        d.hht += p.hh;
        d.fechasReales = d.fechasReales || p.fechaFinReal.has_value();
        d.iwps.push_back(c);
    }
    d.costo = (modo == 0 || modo == 2) && d.bac > 0;
    d.horas = (modo == 1 || modo == 2) && d.hht > 0;
    d.fechasReales = d.costo && d.fechasReales;
    if (d.iwps.empty()) {
        d.inicio = config.fechaInicio;
        d.fin = config.fechaFin;
    } else {
        // The earliest start and the latest end; on a tie the first package by start.
        d.inicio = config.paquetes[porInicio.front().indice].fechaInicio;
        std::size_t ultimo = 0;
        for (std::size_t k = 1; k < d.iwps.size(); ++k)
            if (d.iwps[k].fin > d.iwps[ultimo].fin)
                ultimo = k;
        d.fin = config.paquetes[porInicio[ultimo].indice].fechaFin;
    }

    d.porFin.resize(d.iwps.size());
    for (std::uint32_t k = 0; k < d.porFin.size(); ++k)
        d.porFin[k] = k;
    std::stable_sort(d.porFin.begin(), d.porFin.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return d.iwps[a].fin < d.iwps[b].fin; });
    for (std::uint32_t k : d.porFin)
        if (d.iwps[k].progreso > 0)
            d.porAvance.push_back(k);
    std::stable_sort(d.porAvance.begin(), d.porAvance.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return d.iwps[a].avance < d.iwps[b].avance; });
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

namespace {

// x of instants in ascending order. The whole days from the plot's start change once a day, at
// the start's time of day: one date computation serves every instant until the next change.
class EjeDias {
public:
    explicit EjeDias(const GeometriaCurvaS& g) : g_(g)
    {
        if (g.inicio.isValid()) {
            local_ = g.inicio.toLocalTime();
            origen_ = local_.toMSecsSinceEpoch();
        }
    }

    double x(qint64 clave)
    {
        if (clave >= desde_ && clave < hasta_)
            return x_;
        // Before the start (or without one) no whole day has passed.
        if (clave < origen_)
            return GeometriaCurvaS::izquierda;
        const QDateTime fecha = QDateTime::fromMSecsSinceEpoch(clave);
        const int dias = diasCompletos(g_.inicio, fecha);
        x_ = g_.x(fecha);
        desde_ = claveOrdenFecha(local_.addDays(dias));
        hasta_ = claveOrdenFecha(local_.addDays(qint64(dias) + 1));
        if (!(clave >= desde_ && clave < hasta_))
            desde_ = hasta_ = 0;  // an odd calendar day: no shortcut
        return x_;
    }

private:
    const GeometriaCurvaS& g_;
    QDateTime local_;
    qint64 origen_ = std::numeric_limits<qint64>::max();
    qint64 desde_ = 0, hasta_ = 0;
    double x_ = 0;
};

}  // namespace

std::vector<QPointF> puntosSerie(const DatosCurvaS& datos, const GeometriaCurvaS& g, SerieCurvaS serie)
{
    const bool costo = serie == SerieCurvaS::costoPlan || serie == SerieCurvaS::valorGanado;
    const bool ganado = serie == SerieCurvaS::valorGanado || serie == SerieCurvaS::hhGanadas;
    std::vector<QPointF> puntos{{GeometriaCurvaS::izquierda, g.b}};
    if (costo ? !datos.costo : !datos.horas)
        return puntos;
    const double total = costo ? datos.bac : datos.hht;
    const std::vector<std::uint32_t>& orden = ganado ? datos.porAvance : datos.porFin;
    puntos.reserve(orden.size() + 1);

    EjeDias eje(g);
    double suma = 0;
    std::optional<qint64> claveX;
    double x = 0;
    for (const std::uint32_t k : orden) {
        const IwpCurvaS& p = datos.iwps[k];
        const double cantidad = costo ? p.presupuesto : p.hh;
        suma += ganado ? cantidad * p.progreso : cantidad;
        const qint64 clave = ganado ? p.avance : p.fin;
        if (claveX != clave) {  // many packages share a day
            claveX = clave;
            x = eje.x(clave);
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

    const qint64 clave = claveOrdenFecha(d);
    double plan = 0, ganado = 0, hhPlan = 0, hhGanadas = 0;
    for (const IwpCurvaS& p : datos.iwps) {
        if (p.fin <= clave) {
            plan += p.presupuesto;
            hhPlan += p.hh;
        }
        if (p.progreso > 0 && p.avance <= clave) {
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
