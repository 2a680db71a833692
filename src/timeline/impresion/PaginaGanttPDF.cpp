#include "timeline/impresion/PaginaGanttPDF.h"

#include "timeline/EstiloNivel.h"
#include "timeline/Moneda.h"
#include "timeline/impresion/TextoImpresion.h"

#include "platform/AtomicFile.h"
#include "platform/NumberFormat.h"
#include "platform/SystemColors.h"
#include "platform/UserDate.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <algorithm>

namespace quelva {

namespace {

using platform::SystemColor;

constexpr double kAltoFila = 22;
constexpr double kAltoTitulo = 40;
constexpr double kAltoMeses = 20;
constexpr double kArriba = kAltoTitulo + kAltoMeses;
constexpr double kAltoPie = 28;
constexpr int kFilasPorPagina = int((kAltoMaximoPDF - kArriba - kAltoPie) / kAltoFila);  // 650

QColor sistema(SystemColor c)
{
    return platform::systemColor(c);
}

QPen linea(const QColor& color, double ancho)
{
    QPen pen(color, ancho);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

// The chart's scale: the chart area is everything right of the label column.
EscalaGantt escalaPagina(const TimeLinerConfig& config, double anchoPagina)
{
    return EscalaGantt(config, std::max(0.0, anchoPagina - kInicioGrafico));
}

double xEn(const EscalaGantt& escala, const QDateTime& fecha)
{
    return kInicioGrafico + escala.x(fecha);
}

void bracket(QPainter& p, double x1, double x2, double c, double alto, const QPen& pen)
{
    QPainterPath camino;
    camino.moveTo(x1, c - alto);
    camino.lineTo(x1, c + alto);
    camino.moveTo(x1, c);
    camino.lineTo(x2, c);
    camino.moveTo(x2, c - alto);
    camino.lineTo(x2, c + alto);
    p.strokePath(camino, pen);
}

void cabecera(QPainter& p, const PaginaGantt& g, double W, const std::vector<MesGantt>& meses, const QDateTime& ahora)
{
    p.fillRect(QRectF(0, 0, W, kAltoTitulo), gris(0.07));
    textoEnCaja(p, QRectF(16, 8, 0.6 * W, 22), QStringLiteral("Diagrama Gantt AWP — QUELVA"),
                fuenteImpresion(14, QFont::Bold), Qt::white);
    using platform::DateStyle;
    const QString rango = platform::formatUserDate(g.gCfg.fechaInicio, DateStyle::medium) +
                          QStringLiteral("  →  ") + platform::formatUserDate(g.gCfg.fechaFin, DateStyle::medium);
    textoEnCaja(p, QRectF(0.6 * W, 8, 0.4 * W - 16, 22), rango, fuenteImpresion(9), gris(0.55), Qt::AlignRight);
    const QString info = QStringLiteral("Generado: ") + platform::formatUserDate(ahora, DateStyle::medium) +
                         QStringLiteral("  ·  %1 paquetes  ·  %2 IWP")
                             .arg(g.gCfg.paquetes.size())
                             .arg(g.gCfg.iwps().size());
    textoEnCaja(p, QRectF(16, 24, W - 32, 14), info, fuenteImpresion(8), gris(0.45));

    p.fillRect(QRectF(0, kAltoTitulo, W, kAltoMeses), gris(0.13));
    textoEnCaja(p, QRectF(12, 43, 250, 14), QStringLiteral("Paquete / Descripción"),
                fuenteImpresion(9, QFont::DemiBold), gris(0.45));
    p.fillRect(QRectF(270, kAltoTitulo, 1, kAltoMeses), gris(0.22));
    p.setPen(linea(blancoAlfa(0.15), 0.5));
    const QFont fuenteMes = fuenteImpresion(8);
    for (const MesGantt& m : meses) {
        const double x = kInicioGrafico + m.x;
        p.setPen(linea(blancoAlfa(0.15), 0.5));
        p.drawLine(QPointF(x, kAltoTitulo), QPointF(x, kArriba));
        if (m.conEtiqueta && x + 28 < W)
            textoEnCaja(p, QRectF(x + 3, 42, 40, 16), m.texto, fuenteMes, gris(0.55));
    }
}

void filas(QPainter& p, const PaginaGantt& g, double W, const TramoGantt& tramo, const EscalaGantt& escala,
           const std::vector<MesGantt>& meses)
{
    const double abajo = kArriba + kAltoFila * (tramo.hasta - tramo.desde);
    // Row backgrounds first; the month grid and the label-column separator then run the whole
    // height in one line each, as the per-row pieces would join up to.
    for (int i = tramo.desde; i < tramo.hasta; ++i) {
        const double y = kArriba + kAltoFila * (i - tramo.desde);
        if (i % 2 == 1)
            p.fillRect(QRectF(0, y, W, kAltoFila), blancoAlfa(0.03));
        p.setPen(linea(blancoAlfa(0.06), 0.5));
        p.drawLine(QPointF(0, y + 21.5), QPointF(W, y + 21.5));
    }
    if (abajo > kArriba) {
        p.fillRect(QRectF(270, kArriba, 1, abajo - kArriba), gris(0.22));
        p.setPen(linea(blancoAlfa(0.05), 0.5));
        for (const MesGantt& m : meses)
            p.drawLine(QPointF(kInicioGrafico + m.x, kArriba), QPointF(kInicioGrafico + m.x, abajo));
    }

    const ModoAvance modo{g.gAutoAvance, g.gScrubber};
    const QFont fuenteCWA = fuenteImpresion(9, QFont::DemiBold);
    const QFont fuenteFila = fuenteImpresion(8);
    const QFont fuenteAvance = fuenteImpresion(7);
    const QFont fuenteCodigo = fuenteImpresion(7, QFont::Medium);
    for (int i = tramo.desde; i < tramo.hasta; ++i) {
        const PaqueteAWP& pkg = g.gFilas[size_t(i)].pkg;
        const double y = kArriba + kAltoFila * (i - tramo.desde);
        const double d = 14.0 * g.gFilas[size_t(i)].sangria + 8;
        p.setPen(Qt::NoPen);
        p.setBrush(conAlfa(colorNivel(pkg.nivel), 0.85));
        p.drawEllipse(QRectF(d, y + 8, 6, 6));

        const QString etiqueta = pkg.codigo.isEmpty() ? pkg.nombre : pkg.codigo + QStringLiteral("  ") + pkg.nombre;
        const bool resumen = pkg.nivel == NivelAWP::cwa || pkg.nivel == NivelAWP::cwp;
        textoEnCaja(p, QRectF(d + 10, y + 3, 240 - d, 16), etiqueta,
                    pkg.nivel == NivelAWP::cwa ? fuenteCWA : fuenteFila,
                    pkg.nivel == NivelAWP::cwa ? gris(0.95) : gris(0.8));

        const double avance = resumen ? g.gCfg.progresoAgregado(pkg) : progresoEfectivo(pkg, modo);
        if (avance > 0)
            textoEnCaja(p, QRectF(240, y + 3, 26, 16), platform::qformat("%.0f%%", avance * 100), fuenteAvance,
                        gris(0.45), Qt::AlignRight);

        if (resumen) {
            const auto span = spanResumen(g.gCfg, pkg);
            if (!span)
                continue;
            const double x1 = xEn(escala, span->first), x2 = xEn(escala, span->second), c = y + 11;
            QPen pen(conAlfa(colorNivel(pkg.nivel), 0.75), pkg.nivel == NivelAWP::cwa ? 1.5 : 1.2);
            pen.setCapStyle(Qt::RoundCap);
            if (pkg.nivel == NivelAWP::cwp)
                pen.setDashPattern({4 / 1.2, 2 / 1.2});  // Qt counts dashes in line widths
            p.setBrush(Qt::NoBrush);
            bracket(p, x1, x2, c, pkg.nivel == NivelAWP::cwa ? 5 : 4, pen);
            continue;
        }

        const BarraGantt barra = barraGantt(escala, pkg, 0, progresoEfectivo(pkg, modo));
        const QRectF r(kInicioGrafico + barra.rect.x(), y + 3, barra.rect.width(), 16);
        p.setPen(Qt::NoPen);
        p.setBrush(conAlfa(barra.color, 0.15));
        p.drawRoundedRect(r, 3, 3);
        if (barra.anchoProgreso > 0) {
            p.setBrush(conAlfa(barra.colorProgreso, 0.75));
            p.drawRoundedRect(QRectF(r.x(), r.y(), barra.anchoProgreso, 16), 3, 3);
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(linea(conAlfa(barra.color, 0.6), 0.8));
        p.drawRoundedRect(r, 3, 3);
        if (barra.conEtiqueta)
            textoEnCaja(p, QRectF(r.x() + 4, y + 3, r.width() - 8, 16), pkg.codigo, fuenteCodigo, Qt::white);
    }
}

void marcadores(QPainter& p, const PaginaGantt& g, double W, double abajo, const EscalaGantt& escala,
                const QDateTime& ahora)
{
    const double xHoy = xEn(escala, ahora);
    if (xHoy >= 270 && xHoy <= W) {
        p.setPen(linea(conAlfa(sistema(SystemColor::red), 0.55), 1.5));
        p.drawLine(QPointF(xHoy, kArriba), QPointF(xHoy, abajo));
        textoEnCaja(p, QRectF(xHoy + 2, 62, 24, 12), QStringLiteral("HOY"), fuenteImpresion(7, QFont::Bold),
                    conAlfa(sistema(SystemColor::red), 0.75));
    }
    const double xScrubber = xEn(escala, g.gScrubber);
    if (xScrubber >= 270 && xScrubber <= W) {
        p.setPen(linea(conAlfa(sistema(SystemColor::yellow), 0.85), 2));
        p.drawLine(QPointF(xScrubber, kArriba), QPointF(xScrubber, abajo));
        textoEnCaja(p, QRectF(xScrubber + 3, 62, 50, 12), platform::formatUserPattern(g.gScrubber, "dd-MM-yy"),
                    fuenteImpresion(7, QFont::DemiBold), sistema(SystemColor::yellow));
    }
}

void pie(QPainter& p, const PaginaGantt& g, double W, double B, const QDateTime& ahora)
{
    p.fillRect(QRectF(0, B, W, kAltoPie), gris(0.07));
    const QFont f = fuenteImpresion(8);
    textoEnCaja(p, QRectF(16, B + 7, 0.5 * W, 14),
                QStringLiteral("Generado con QUELVA  ·  ") +
                    platform::formatUserDate(ahora, platform::DateStyle::medium),
                f, gris(0.4));
    const std::vector<PaqueteAWP> iwps = g.gCfg.iwps();
    double presupuesto = 0;
    for (const PaqueteAWP& i : iwps)
        presupuesto += i.presupuesto;
    const QString derecha = QStringLiteral("%1 paquetes  ·  %2 IWP  ·  ").arg(g.gFilas.size()).arg(iwps.size()) +
                            formatoMoneda(presupuesto, g.gCfg.moneda);
    textoEnCaja(p, QRectF(0.5 * W, B + 7, 0.5 * W - 16, 14), derecha, f, gris(0.4), Qt::AlignRight);
}

}  // namespace

double xParaFecha(const TimeLinerConfig& config, const QDateTime& fecha, double anchoPagina)
{
    return xEn(escalaPagina(config, anchoPagina), fecha);
}

std::vector<TramoGantt> tramosGantt(int filas)
{
    std::vector<TramoGantt> tramos;
    int desde = 0;
    do {
        const int hasta = std::min(filas, desde + kFilasPorPagina);
        TramoGantt t{desde, hasta, hasta == filas, 0};
        t.alto = kArriba + kAltoFila * (hasta - desde) + (t.conPie ? kAltoPie : 0);
        tramos.push_back(t);
        desde = hasta;
    } while (desde < filas);
    return tramos;
}

void dibujarPaginaGantt(QPainter& p, const PaginaGantt& g, double W, const TramoGantt& tramo, const QDateTime& ahora)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double B = kArriba + kAltoFila * (tramo.hasta - tramo.desde);
    p.fillRect(QRectF(0, 0, W, tramo.alto), gris(0.09));
    const EscalaGantt escala = escalaPagina(g.gCfg, W);
    // Every month keeps its line; a label is dropped only where it would run into the previous one.
    const std::vector<MesGantt> meses =
        mesesGantt(g.gCfg, escala, rotulosMes(fuenteImpresion(8), false, escala.ancho(), p.device()));
    cabecera(p, g, W, meses, ahora);
    filas(p, g, W, tramo, escala, meses);
    marcadores(p, g, W, B, escala, ahora);
    if (tramo.conPie)
        pie(p, g, W, B, ahora);
    p.restore();
}

std::optional<QString> escribirPDFGantt(const QString& destino, const PaginaGantt& pagina, const QDateTime& ahora)
{
    const std::vector<TramoGantt> tramos = tramosGantt(int(pagina.gFilas.size()));
    // The whole document in memory first: the PDF writer closes its device at the end, which
    // would forget an earlier failed write; the replace then writes and checks every byte.
    QByteArray bytes;
    {
        QBuffer memoria(&bytes);
        memoria.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&memoria);
        pdf.setResolution(72);
        pdf.setCreator(QStringLiteral("QUELVA"));
        pdf.setTitle(QStringLiteral("Diagrama Gantt AWP"));
        auto tamano = [&](const TramoGantt& t) {
            pdf.setPageLayout(QPageLayout(
                QPageSize(QSizeF(kAnchoPaginaGantt, t.alto), QPageSize::Point, QString(), QPageSize::ExactMatch),
                QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        };
        tamano(tramos.front());
        QPainter p;
        if (!p.begin(&pdf))
            return QStringLiteral("No se pudo crear el documento PDF.");
        for (size_t k = 0; k < tramos.size(); ++k) {
            if (k > 0) {
                tamano(tramos[k]);
                pdf.newPage();
            }
            dibujarPaginaGantt(p, pagina, kAnchoPaginaGantt, tramos[k], ahora);
        }
        if (!p.end())
            return QStringLiteral("No se pudo terminar el documento PDF.");
    }
    return platform::replaceFileAtomically(destino, bytes);
}

}  // namespace quelva
