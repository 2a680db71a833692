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
    std::vector<MesGantt> meses;
    const QDateTime inicio = desde.toLocalTime();
    QDateTime cursor(QDate(inicio.date().year(), inicio.date().month(), 1), QTime(0, 0));
    dias = std::max(1, dias);
    // A window of centuries (a mistyped year) would draw more month lines than the strip has
    // points: step several months at a time then.
    const double mesesTotales = dias / 30.44;
    const int paso = std::max(1, int(std::ceil(mesesTotales / std::max(1.0, ancho))));
    double finAnterior = -std::numeric_limits<double>::infinity();
    while (cursor.isValid() && cursor <= fin) {
        const double d = std::max(0, diasCompletos(desde, cursor));
        const double x = ancho * std::min(1.0, d / dias);
        QString texto = platform::formatUserPattern(cursor, QStringLiteral("MMM yy"));
        const double w = rotulos.ancho ? rotulos.ancho(texto) : 0;
        const double izquierda = rotulos.centrados ? x - w / 2 : x + 3;
        MesGantt m{x, {}, izquierda >= finAnterior + separacion && izquierda + w <= rotulos.limite};
        if (m.conEtiqueta) {
            m.texto = std::move(texto);
            finAnterior = izquierda + w;
        }
        meses.push_back(std::move(m));
        cursor = cursor.addMonths(paso);
    }
    return meses;
}

}  // namespace quelva
