#include "timeline/Gantt.h"

#include "platform/UserDate.h"
#include "platform/SystemColors.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace quelva {

EscalaGantt::EscalaGantt(const TimeLinerConfig& config, double ancho)
    : inicio_(config.fechaInicio), dias_(config.duracionDias()), ancho_(ancho)
{
}

double EscalaGantt::fraccion(const QDateTime& fecha) const
{
    const double f = double(diasCompletos(inicio_, fecha)) / double(dias_);
    return std::max(0.0, std::min(1.0, f));
}

namespace {

std::optional<std::pair<QDateTime, QDateTime>> span(const IndiceAWP::Lista& iwps)
{
    if (iwps.empty())
        return std::nullopt;
    QDateTime desde = iwps.front()->fechaInicio, hasta = iwps.front()->fechaFin;
    for (const PaqueteAWP* p : iwps) {
        desde = std::min(desde, p->fechaInicio);
        hasta = std::max(hasta, p->fechaFin);
    }
    return std::make_pair(desde, hasta);
}

}  // namespace

std::optional<std::pair<QDateTime, QDateTime>> spanResumen(const TimeLinerConfig& config, const PaqueteAWP& paquete)
{
    if (paquete.nivel != NivelAWP::cwa && paquete.nivel != NivelAWP::cwp)
        return std::nullopt;
    std::vector<PaqueteAWP> iwps = config.alcanceIWP(paquete);
    IndiceAWP::Lista punteros;
    for (const PaqueteAWP& p : iwps)
        punteros.push_back(&p);
    return span(punteros);
}

std::optional<std::pair<QDateTime, QDateTime>> spanResumen(const IndiceAWP& indice, const PaqueteAWP& paquete)
{
    if (paquete.nivel != NivelAWP::cwa && paquete.nivel != NivelAWP::cwp)
        return std::nullopt;
    return span(indice.alcanceIWP(paquete));
}

BarraGantt barraGantt(const EscalaGantt& escala, const PaqueteAWP& iwp, int fila, double progresoEfectivo)
{
    using platform::SystemColor;
    BarraGantt b;
    const double izquierda = escala.x(iwp.fechaInicio);
    const double ancho = std::max(4.0, escala.x(iwp.fechaFin) - izquierda);
    b.rect = QRectF(izquierda, fila * double(ROW_H) + 3, ancho, ROW_H - 6);
    b.anchoProgreso = progresoEfectivo > 0 ? ancho * progresoEfectivo : 0;
    b.color = iwp.color();
    if (iwp.progreso >= 1)
        b.colorProgreso = platform::systemColor(SystemColor::green);
    else if (iwp.progreso <= 0)
        b.colorProgreso = QColor::fromRgbF(0.45f, 0.45f, 0.45f);
    else
        b.colorProgreso = platform::systemColor(SystemColor::orange);
    b.conEtiqueta = ancho > 36;
    return b;
}

RotulosMes rotulosMes(const QFont& fuente, bool centrados, double limite, const QPaintDevice* dispositivo)
{
    const QFontMetricsF m = dispositivo ? QFontMetricsF(fuente, dispositivo) : QFontMetricsF(fuente);
    return {[m](const QString& texto) { return m.horizontalAdvance(texto); }, centrados, limite};
}

std::vector<MesGantt> mesesGantt(const TimeLinerConfig& config, const EscalaGantt& escala, const RotulosMes& rotulos)
{
    return mesesEntre(config.fechaInicio, config.fechaFin, escala.dias(), escala.ancho(), rotulos);
}

std::vector<MesGantt> mesesEntre(const QDateTime& desde, const QDateTime& fin, int dias, double ancho,
                                 const RotulosMes& rotulos)
{
    constexpr double separacion = 4;  // least room between two labels
    struct Linea {
        double x;
        QString texto;
        double izquierda;
        double ancho;
    };
    std::vector<Linea> lineas;
    const QDateTime inicio = desde.toLocalTime();
    QDateTime cursor(QDate(inicio.date().year(), inicio.date().month(), 1), QTime(0, 0));
    dias = std::max(1, dias);
    // A window of centuries (a mistyped year) would draw more month lines than the strip has
    // points: step several months at a time then.
    const double mesesTotales = dias / 30.44;
    const int paso = std::max(1, int(std::ceil(mesesTotales / std::max(1.0, ancho))));
    while (cursor.isValid() && cursor <= fin) {
        const double d = std::max(0, diasCompletos(desde, cursor));
        const double x = ancho * std::min(1.0, d / dias);
        QString texto = platform::formatUserPattern(cursor, QStringLiteral("MMM yy"));
        const double w = rotulos.ancho ? rotulos.ancho(texto) : 0;
        lineas.push_back({x, std::move(texto), rotulos.centrados ? x - w / 2 : x + 3, w});
        cursor = cursor.addMonths(paso);
    }

    // The month holding a late start is only a stub at x = 0: when its label would run into the
    // next month's, the stub gives way, so that every month beginning inside the window is named.
    const bool cedeElPrimero = inicio.date().day() > 1 && lineas.size() > 1 &&
                               lineas[0].izquierda + lineas[0].ancho + separacion > lineas[1].izquierda;
    std::vector<MesGantt> meses;
    meses.reserve(lineas.size());
    double finAnterior = -std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < lineas.size(); ++i) {
        Linea& l = lineas[i];
        MesGantt m{l.x, {}, !(i == 0 && cedeElPrimero) && l.izquierda >= finAnterior + separacion &&
                                l.izquierda + l.ancho <= rotulos.limite};
        if (m.conEtiqueta) {
            m.texto = std::move(l.texto);
            finAnterior = l.izquierda + l.ancho;
        }
        meses.push_back(std::move(m));
    }
    return meses;
}

}  // namespace quelva
