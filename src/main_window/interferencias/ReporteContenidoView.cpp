#include "main_window/interferencias/ReporteContenidoView.h"

#include "main_window/reportes/PinturaReporte.h"
#include "platform/NumberFormat.h"
#include "platform/Symbols.h"
#include "platform/SystemColors.h"
#include "platform/UserDate.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

namespace quelva {

namespace {

using platform::SystemColor;
using namespace reporte;

// Vertical layout of the page above the table, in pixels.
constexpr int kAltoCabecera = 104;
constexpr int kMargen = 24;
constexpr int kAltoTarjetas = 108;
constexpr int kAltoTitulo = 22;
constexpr int kAltoCabeceraTabla = 26;
constexpr int kAltoPie = 24;

// Fixed column widths and the spacing between columns.
constexpr int kColumnas[7] = {32, 180, -1, 55, -1, 55, 78};
constexpr int kEspacio = 10;
constexpr int kRelleno = 12;

QColor naranja()
{
    return platform::systemColor(SystemColor::orange);
}

// The x and width of each column in a table of `ancho`.
std::array<QRect, 7> columnas(int ancho, int y, int alto)
{
    int fijo = 0;
    for (int c : kColumnas)
        fijo += c > 0 ? c : 0;
    const int flexible = std::max(40, (ancho - 2 * kRelleno - fijo - 6 * kEspacio) / 2);
    std::array<QRect, 7> r;
    int x = kRelleno;
    for (int k = 0; k < 7; ++k) {
        const int w = kColumnas[k] > 0 ? kColumnas[k] : flexible;
        r[size_t(k)] = QRect(x, y, w, alto);
        x += w + kEspacio;
    }
    return r;
}

}  // namespace

ReporteContenidoView::ReporteContenidoView(AnalisisInterferencias analisis, QWidget* parent)
    : QWidget(parent), analisis_(std::move(analisis))
{
    setObjectName(QStringLiteral("reporteContenido"));
    QSizePolicy p(QSizePolicy::Preferred, QSizePolicy::Preferred);
    p.setHeightForWidth(true);
    setSizePolicy(p);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kFondoPagina);
    setPalette(pal);
    // The placeholders' spinners turn while any image is missing.
    giro_ = new QTimer(this);
    giro_->setInterval(120);
    connect(giro_, &QTimer::timeout, this, [this] {
        fase_ = (fase_ + 1) % 8;
        update();
    });
    giro_->start();
}

void ReporteContenidoView::setMiniaturas(const MiniaturasClash* miniaturas)
{
    miniaturas_ = miniaturas;
    if (miniaturas_ && miniaturas_->size() >= analisis_.interferencias.size())
        giro_->stop();
    update();
}

int ReporteContenidoView::inicioTabla() const
{
    return kAltoCabecera + 1 + kMargen + kAltoTarjetas + 20 + kAltoTitulo + 8;
}

int ReporteContenidoView::heightForWidth(int) const
{
    return inicioTabla() + kAltoCabeceraTabla + int(analisis_.interferencias.size()) * kAltoFila + 20 + kAltoPie + kMargen;
}

QSize ReporteContenidoView::sizeHint() const
{
    return {820, heightForWidth(820)};
}

QRect ReporteContenidoView::rectFila(int fila) const
{
    return QRect(kMargen, inicioTabla() + kAltoCabeceraTabla + fila * kAltoFila, width() - 2 * kMargen, kAltoFila);
}

QStringList ReporteContenidoView::textosFila(int fila) const
{
    const Interferencia& i = analisis_.interferencias.at(size_t(fila));
    return {QString::number(fila + 1) + QLatin1Char('.'), i.nombreA, i.especialidadA, i.nombreB, i.especialidadB,
            textoEstadoClash(i.estado)};
}

bool ReporteContenidoView::filaConImagen(int fila) const
{
    if (!miniaturas_ || miniaturas_->empty())
        return false;
    const auto it = miniaturas_->find(analisis_.interferencias.at(size_t(fila)).id);
    return it != miniaturas_->end() && !it->second.vista.isNull();
}

std::array<long long, 5> ReporteContenidoView::numerosTarjetas() const
{
    std::array<long long, 5> n{static_cast<long long>(analisis_.interferencias.size()), 0, 0, 0, 0};
    for (const Interferencia& i : analisis_.interferencias)
        ++n[size_t(i.estado) + 1];
    return n;
}

QStringList ReporteContenidoView::textosCabecera() const
{
    return {QStringLiteral("Informe de Interferencias BIM"), analisis_.nombre,
            platform::qformat("Tolerancia: %.3f m", analisis_.tolerancia),
            QString::number(analisis_.interferencias.size()) + QStringLiteral(" colisiones detectadas"),
            platform::formatUserSkeleton(analisis_.fecha, QStringLiteral("dMMMMy")),
            platform::formatUserDate(analisis_.fecha, platform::DateStyle::none, platform::DateStyle::short_),
            QStringLiteral("QUELVA")};
}

QString ReporteContenidoView::textoRegistros() const
{
    const size_t n = analisis_.interferencias.size();
    return QString::number(n) + QStringLiteral(" registro") + (n == 1 ? QString() : QStringLiteral("s"));
}

QString ReporteContenidoView::textoPie() const
{
    const auto n = numerosTarjetas();
    return QStringLiteral("Total interferencias: ") + QString::number(n[0]) + QStringLiteral("  ·  Resueltas: ") +
           QString::number(n[4]) + QStringLiteral("  ·  Pendientes: ") + QString::number(n[1] + n[2]);
}

void ReporteContenidoView::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect zona = event->rect();
    const int W = width();
    const QColor& primario = kPrimario;
    const QColor& secundario = kSecundario;
    const QColor& terciario = kTerciario;
    const QFont base = font();

    // Header band.
    if (zona.top() < kAltoCabecera + 1) {
        p.fillRect(QRect(0, 0, W, kAltoCabecera), kFondoControl);
        const QStringList t = textosCabecera();
        p.setPen(primario);
        p.setFont(fuente(base, 20, QFont::Bold));
        p.drawText(QRect(24, 16, W - 260, 26), Qt::AlignLeft | Qt::AlignVCenter, t[0]);
        p.setPen(secundario);
        p.setFont(fuente(base, 13));
        p.drawText(QRect(24, 46, W - 260, 18), Qt::AlignLeft | Qt::AlignVCenter,
                   QFontMetrics(p.font()).elidedText(t[1], Qt::ElideRight, W - 260));
        p.setFont(fuente(base, 11));
        int x = 24;
        for (const auto& [simbolo, texto] : {std::pair{QStringLiteral("ruler"), t[2]},
                                              std::pair{QStringLiteral("exclamationmark.triangle.fill"), t[3]}}) {
            platform::paintSymbol(p, QRectF(x, 72, 12, 12), simbolo, secundario);
            p.setPen(secundario);
            const int ancho = QFontMetrics(p.font()).horizontalAdvance(texto);
            p.drawText(QRect(x + 16, 70, ancho + 4, 16), Qt::AlignLeft | Qt::AlignVCenter, texto);
            x += 16 + ancho + 14;
        }
        p.drawText(QRect(W - 260, 18, 236, 16), Qt::AlignRight | Qt::AlignVCenter, t[4]);
        p.setPen(terciario);
        p.setFont(fuente(base, 10));
        p.drawText(QRect(W - 260, 38, 236, 14), Qt::AlignRight | Qt::AlignVCenter, t[5]);
        p.setFont(fuente(base, 11, QFont::Bold));
        p.drawText(QRect(W - 260, 56, 236, 16), Qt::AlignRight | Qt::AlignVCenter, t[6]);
        p.fillRect(QRect(0, kAltoCabecera, W, 1), QColor(255, 255, 255, 30));
    }

    // Cards.
    const int yTarjetas = kAltoCabecera + 1 + kMargen;
    if (zona.top() < yTarjetas + kAltoTarjetas) {
        const auto n = numerosTarjetas();
        const struct { const char* etiqueta; const char* simbolo; QColor color; } tarjetas[5] = {
            {"Total", "exclamationmark.triangle.fill", naranja()},
            {"Abiertos", "exclamationmark.circle.fill", platform::systemColor(SystemColor::red)},
            {"En revisión", "clock.circle.fill", platform::systemColor(SystemColor::orange)},
            {"Aprobados", "checkmark.seal.fill", platform::systemColor(SystemColor::blue)},
            {"Resueltos", "checkmark.circle.fill", platform::systemColor(SystemColor::green)},
        };
        const int ancho = (W - 2 * kMargen - 4 * 12) / 5;
        for (int k = 0; k < 5; ++k)
            pintarTarjeta(p, base, QRectF(kMargen + k * (ancho + 12), yTarjetas, ancho, kAltoTarjetas),
                          {QString::fromUtf8(tarjetas[k].simbolo), tarjetas[k].color, tarjetas[k].color, n[size_t(k)],
                           QString::fromUtf8(tarjetas[k].etiqueta)},
                          26);
    }

    // List title.
    const int yTitulo = yTarjetas + kAltoTarjetas + 20;
    pintarTituloLista(p, base, QRect(kMargen, yTitulo, W - 2 * kMargen, kAltoTitulo), QStringLiteral("list.bullet"),
                      primario, QStringLiteral("Listado de Interferencias"), textoRegistros());

    // Table: header row, then only the rows in view.
    const int yTabla = inicioTabla();
    const int n = int(analisis_.interferencias.size());
    const QRect marco(kMargen, yTabla, W - 2 * kMargen, kAltoCabeceraTabla + n * kAltoFila);
    QPainterPath recorte;
    recorte.addRoundedRect(QRectF(marco).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    p.save();
    p.setClipPath(recorte);
    p.fillRect(QRect(marco.left(), yTabla, marco.width(), kAltoCabeceraTabla), conAlfa(naranja(), 0.1));
    p.setPen(secundario);
    p.setFont(fuente(base, 9, QFont::DemiBold));
    const auto cab = columnas(marco.width(), yTabla, kAltoCabeceraTabla);
    const char* const titulos[7] = {"#", "Vista 3D", "Elemento A", "Esp. A", "Elemento B", "Esp. B", "Estado"};
    const Qt::Alignment alineacion[7] = {Qt::AlignRight, Qt::AlignHCenter, Qt::AlignLeft, Qt::AlignHCenter,
                                         Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignHCenter};
    for (int c = 0; c < 7; ++c)
        p.drawText(cab[size_t(c)].translated(marco.left(), 0), alineacion[c] | Qt::AlignVCenter,
                   QString::fromUtf8(titulos[c]));
    const int primera = std::max(0, (zona.top() - yTabla - kAltoCabeceraTabla) / kAltoFila);
    const int ultima = std::min(n - 1, (zona.bottom() - yTabla - kAltoCabeceraTabla) / kAltoFila);
    const QFont mono10 = fuente(base, 10, QFont::Normal, true);
    const QFontMetrics m10(mono10);
    const QFont f9 = fuente(base, 9);
    const QFont f9m = fuente(base, 9, QFont::Medium);
    for (int k = primera; k <= ultima; ++k) {
        const Interferencia& i = analisis_.interferencias[size_t(k)];
        const QRect fila = rectFila(k);
        if (k % 2 == 0)
            p.fillRect(fila, kFondoControl);
        const auto col = columnas(fila.width(), fila.top(), fila.height());
        auto celda = [&](int c) { return col[size_t(c)].translated(fila.left(), 0).adjusted(0, 6, 0, -6); };
        p.setPen(terciario);
        p.setFont(mono10);
        p.drawText(celda(0), Qt::AlignRight | Qt::AlignVCenter, QString::number(k + 1) + QLatin1Char('.'));

        pintarMiniatura(p, QPoint(celda(1).left(), fila.top() + 6),
                        filaConImagen(k) ? &miniaturas_->at(i.id).vista : nullptr, fase_,
                        QPen(conAlfa(naranja(), 0.3), 0.5));

        p.setPen(primario);
        p.setFont(mono10);
        for (int c : {2, 4}) {
            const QString nombre = c == 2 ? i.nombreA : i.nombreB;
            const QRect r = celda(c);
            p.drawText(QRect(r.left(), r.center().y() - m10.lineSpacing(), r.width(), 2 * m10.lineSpacing()),
                       Qt::AlignLeft | Qt::AlignVCenter, dosLineas(nombre, m10, r.width()));
        }
        p.setPen(secundario);
        p.setFont(f9);
        for (int c : {3, 5}) {
            const QRect r = celda(c);
            p.drawText(r, Qt::AlignCenter, QFontMetrics(f9).elidedText(c == 3 ? i.especialidadA : i.especialidadB,
                                                                       Qt::ElideRight, r.width()));
        }
        // Status badge.
        const QColor color = colorEstadoClash(i.estado);
        const QString texto = textoEstadoClash(i.estado);
        p.setFont(f9m);
        const int anchoTexto = QFontMetrics(f9m).horizontalAdvance(texto);
        const QRect r = celda(6);
        const QRectF insignia(r.center().x() - (anchoTexto + 12) / 2.0, r.center().y() - 8, anchoTexto + 12, 16);
        QPainterPath pastilla;
        pastilla.addRoundedRect(insignia, 4, 4);
        p.fillPath(pastilla, conAlfa(color, 0.15));
        p.setPen(color);
        p.drawText(insignia, Qt::AlignCenter, texto);
    }
    p.restore();
    p.setPen(QPen(conAlfa(naranja(), 0.22), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(recorte);

    // Footer.
    const int yPie = marco.bottom() + 1 + 20 + 4;
    pintarPie(p, base, QRect(kMargen, yPie, W - 2 * kMargen, 18), textoPie(),
              QStringLiteral("Generado por QUELVA · ") +
                  platform::formatUserDate(analisis_.fecha, platform::DateStyle::short_, platform::DateStyle::short_));
}

}  // namespace quelva
