#include "timeline/ui/ColumnaEVM.h"

#include "timeline/ControladorTimeLiner.h"
#include "timeline/Indicadores.h"
#include "timeline/Moneda.h"
#include "timeline/TimeLinerStore.h"
#include "timeline/analitica/FigurasAnalitica.h"
#include "timeline/ui/EstiloTimeLiner.h"

#include "platform/NumberFormat.h"
#include "platform/Symbols.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <algorithm>

namespace quelva {

namespace {

using platform::SystemColor;

QColor sistema(SystemColor c)
{
    return estilo::sistema(c);
}

QColor gris(float blanco, float opacidad = 1)
{
    return QColor::fromRgbF(blanco, blanco, blanco, opacidad);
}

// Text with its leading edge at x and its centre on yCentro; elided to `ancho` when given.
double texto(QPainter& p, double x, double yCentro, const QString& t, double ancho = -1)
{
    const QFontMetricsF m(p.font());
    const QString s = ancho >= 0 ? m.elidedText(t, Qt::ElideRight, ancho) : t;
    p.drawText(QPointF(x, yCentro + (m.ascent() - m.descent()) / 2), s);
    return m.horizontalAdvance(s);
}

// Text with its trailing edge at x.
double textoFinal(QPainter& p, double x, double yCentro, const QString& t)
{
    const double ancho = QFontMetricsF(p.font()).horizontalAdvance(t);
    texto(p, x - ancho, yCentro, t);
    return ancho;
}

QLabel* titulo(const QString& t, QWidget* padre)
{
    auto* l = new QLabel(t, padre);
    QFont f = estilo::fuente(9, QFont::DemiBold);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    l->setFont(f);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, estilo::secundario());
    l->setPalette(pal);
    return l;
}

QHBoxLayout* filaIndices(TarjetaIndicador* a, TarjetaIndicador* b)
{
    auto* fila = new QHBoxLayout;
    fila->setSpacing(8);
    fila->addWidget(a, 1);
    fila->addWidget(b, 1);
    return fila;
}

struct Nivel {
    const char* simbolo;
    SystemColor color;
};

Nivel nivel(NivelAWP n)
{
    switch (n) {
    case NivelAWP::cwa: return {"map", SystemColor::blue};
    case NivelAWP::cwp: return {"folder.fill", SystemColor::purple};
    case NivelAWP::iwp: return {"wrench.and.screwdriver.fill", SystemColor::teal};
    case NivelAWP::pwp: return {"list.clipboard.fill", SystemColor::orange};
    }
    return {"map", SystemColor::blue};
}

// Heights of the card's lines.
constexpr double padding = 8, entreLineas = 4, altoCabecera = 16, altoBarra = 4, altoLinea = 12, altoPequena = 11;
constexpr double entreTarjetas = 10;

}  // namespace

// ---------------------------------------------------------------------------------------------

FilaMetrica::FilaMetrica(QColor color, const QString& etiqueta, QWidget* parent)
    : QWidget(parent), color_(color), etiqueta_(etiqueta)
{
    setFixedHeight(16);
}

void FilaMetrica::setValor(const QString& valor)
{
    if (valor_ == valor)
        return;
    valor_ = valor;
    update();
}

void FilaMetrica::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double yc = height() / 2.0;
    p.fillRect(QRectF(0, yc - 3, 6, 6), color_);
    p.setFont(estilo::fuente(10, QFont::DemiBold));
    p.setPen(estilo::texto());
    const double anchoValor = textoFinal(p, width(), yc, valor_);
    p.setFont(estilo::fuente(9));
    p.setPen(estilo::secundario());
    texto(p, 10, yc, etiqueta_, std::max(0.0, width() - anchoValor - 16));
}

TarjetaIndicador::TarjetaIndicador(const QString& etiqueta, QWidget* parent) : QWidget(parent), etiqueta_(etiqueta)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setValor(1);
}

void TarjetaIndicador::setValor(double valor)
{
    const QString t = textoIndice(valor);
    const QColor c = colorIndice(valor);
    if (t == texto_ && c == color_)
        return;
    texto_ = t;
    color_ = c;
    update();
}

QSize TarjetaIndicador::sizeHint() const
{
    const QFontMetricsF etiqueta(estilo::fuente(8));
    const QFontMetricsF valor(estilo::fuente(14, QFont::Bold));
    const int lineas = int(etiqueta_.count(u'\n')) + 1;
    return {60, int(std::ceil(8 + lineas * etiqueta.height() + 2 + valor.height() + 8))};
}

void TarjetaIndicador::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath fondo;
    fondo.addRoundedRect(QRectF(rect()), 6, 6);
    p.fillPath(fondo, gris(0.2f));
    const QFontMetricsF me(estilo::fuente(8));
    const double altoEtiqueta = (int(etiqueta_.count(u'\n')) + 1) * me.height();
    p.setFont(estilo::fuente(8));
    p.setPen(estilo::secundario());
    p.drawText(QRectF(8, 8, width() - 16, altoEtiqueta), Qt::AlignHCenter | Qt::AlignTop, etiqueta_);
    p.setFont(estilo::fuente(14, QFont::Bold));
    p.setPen(color_);
    p.drawText(QRectF(8, 8 + altoEtiqueta + 2, width() - 16, height() - altoEtiqueta - 18), Qt::AlignCenter, texto_);
}

CajaTarjeta::CajaTarjeta(QWidget* parent) : QFrame(parent)
{
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(10, 10, 10, 10);
    col->setSpacing(6);
}

void CajaTarjeta::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath fondo;
    fondo.addRoundedRect(QRectF(rect()), 8, 8);
    p.fillPath(fondo, gris(0.18f));
}

TarjetaValorGanado::TarjetaValorGanado(QWidget* parent) : CajaTarjeta(parent)
{
    setObjectName(QStringLiteral("tarjetaValorGanado"));
    auto* col = static_cast<QVBoxLayout*>(layout());
    col->addWidget(titulo(QString::fromUtf8("VALOR GANADO — COSTO"), this));
    bac = new FilaMetrica(sistema(SystemColor::blue), QStringLiteral("BAC (Presupuesto)"), this);
    ac = new FilaMetrica(sistema(SystemColor::orange), QStringLiteral("AC  (Costo real)"), this);
    ev = new FilaMetrica(sistema(SystemColor::green), QStringLiteral("EV  (Valor ganado)"), this);
    spi = new TarjetaIndicador(QStringLiteral("SPI"), this);
    cpi = new TarjetaIndicador(QStringLiteral("CPI"), this);
    for (QWidget* w : {static_cast<QWidget*>(bac), static_cast<QWidget*>(ac), static_cast<QWidget*>(ev)})
        col->addWidget(w);
    col->addLayout(filaIndices(spi, cpi));
}

void TarjetaValorGanado::refrescar(const FigurasValorGanado& f, const QString& moneda)
{
    bac->setValor(formatoMoneda(f.bac, moneda));
    ac->setValor(formatoMoneda(f.ac, moneda));
    ev->setValor(formatoMoneda(f.ev, moneda));
    spi->setValor(f.spi);
    cpi->setValor(f.cpi);
}

TarjetaHorasHombre::TarjetaHorasHombre(QWidget* parent) : CajaTarjeta(parent)
{
    setObjectName(QStringLiteral("tarjetaHorasHombre"));
    auto* col = static_cast<QVBoxLayout*>(layout());
    auto* cabecera = new QHBoxLayout;
    cabecera->setSpacing(4);
    auto* icono = new QLabel(this);
    icono->setPixmap(platform::symbolPixmap(QStringLiteral("person.fill.clock"), 12, sistema(SystemColor::orange)));
    cabecera->addWidget(icono);
    cabecera->addWidget(titulo(QStringLiteral("HORAS HOMBRE"), this));
    cabecera->addStretch(1);
    col->addLayout(cabecera);
    planificadas = new FilaMetrica(sistema(SystemColor::blue), QStringLiteral("HH Planificadas"), this);
    reales = new FilaMetrica(sistema(SystemColor::orange), QStringLiteral("HH Reales"), this);
    ganadas = new FilaMetrica(sistema(SystemColor::green), QStringLiteral("HH Ganadas (EV)"), this);
    factor = new TarjetaIndicador(QStringLiteral("Factor\nProd."), this);
    porDia = new TarjetaIndicador(QString::fromUtf8("HH/día"), this);
    for (QWidget* w : {static_cast<QWidget*>(planificadas), static_cast<QWidget*>(reales),
                       static_cast<QWidget*>(ganadas)})
        col->addWidget(w);
    col->addLayout(filaIndices(factor, porDia));
}

void TarjetaHorasHombre::refrescar(const FigurasHorasHombre& f)
{
    planificadas->setValor(formatoHH(f.planificadas));
    reales->setValor(formatoHH(f.reales));
    ganadas->setValor(formatoHH(f.ganadas));
    factor->setValor(f.factor);
    porDia->setValor(f.porDia);
}

// ---------------------------------------------------------------------------------------------

ListaTarjetasPaquete::ListaTarjetasPaquete(ControladorTimeLiner& controlador, QWidget* parent)
    : QWidget(parent), c_(controlador)
{
    setObjectName(QStringLiteral("tarjetasPaquete"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
}

QSize ListaTarjetasPaquete::sizeHint() const
{
    return {200, int(std::ceil(alto_))};
}

QRectF ListaTarjetasPaquete::rectTarjeta(std::size_t i) const
{
    const Tarjeta& t = tarjetas_.at(i);
    return {0, t.y, double(width()), t.alto};
}

void ListaTarjetasPaquete::refrescar()
{
    const std::optional<PaqueteAWP>& sel = c_.estado().seleccionado;
    const std::optional<QUuid> seleccion = sel ? std::optional<QUuid>(sel->id) : std::nullopt;
    if (version_ != c_.store().version() || seleccion != seleccion_) {
        version_ = c_.store().version();
        seleccion_ = seleccion;
        disponer();
    }
    update();
}

void ListaTarjetasPaquete::disponer()
{
    tarjetas_.clear();
    double y = 0;
    for (LineasTarjeta& lineas : c_.lineasTarjetas()) {
        Tarjeta t;
        t.dinero = lineas.dinero;
        t.horas = lineas.horas;
        t.desfase = lineas.desfase;
        t.iwps = lineas.iwps;
        t.alto = padding + altoCabecera + entreLineas + altoBarra;
        if (t.dinero)
            t.alto += 2 * (entreLineas + altoLinea);
        if (t.horas)
            t.alto += entreLineas + altoLinea;
        if (t.desfase)
            t.alto += entreLineas + altoPequena;
        if (t.iwps)
            t.alto += entreLineas + altoPequena;
        t.alto += padding;
        if (!tarjetas_.empty())
            y += entreTarjetas;
        t.y = y;
        y += t.alto;
        t.pkg = std::move(lineas.pkg);
        tarjetas_.push_back(std::move(t));
    }
    alto_ = y;
    setFixedHeight(int(std::ceil(alto_)));
    updateGeometry();
}

void ListaTarjetasPaquete::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF expuesto(event->rect());
    // Cards are in order of y: find the first one on screen.
    auto primera = std::lower_bound(tarjetas_.begin(), tarjetas_.end(), expuesto.top(),
                                    [](const Tarjeta& t, double y) { return t.y + t.alto < y; });
    for (auto it = primera; it != tarjetas_.end() && it->y <= expuesto.bottom(); ++it)
        pintarTarjeta(p, *it);
}

void ListaTarjetasPaquete::pintarTarjeta(QPainter& p, const Tarjeta& t)
{
    const TimeLinerConfig& config = c_.config();
    const FigurasPaquete f = figurasPaquete(c_.indice(), t.pkg, c_.modoAvance());
    const QRectF caja(0.25, t.y + 0.25, width() - 0.5, t.alto - 0.5);
    QPainterPath fondo;
    fondo.addRoundedRect(caja, 6, 6);
    p.fillPath(fondo, gris(0.17f));
    p.setPen(QPen(gris(1, 0.06f), 0.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(fondo);

    const double x0 = padding, x1 = width() - padding, ancho = x1 - x0;
    const QColor colorAvance = colorAvanceTarjeta(t.pkg.progreso);
    double y = t.y + padding;

    // Header: level icon, code, name, progress.
    const Nivel n = nivel(t.pkg.nivel);
    double yc = y + altoCabecera / 2;
    platform::paintSymbol(p, QRectF(x0, yc - 5, 10, 10), QString::fromLatin1(n.simbolo), sistema(n.color));
    p.setFont(estilo::fuente(10, QFont::Bold));
    p.setPen(colorAvance);
    const double anchoAvance = textoFinal(p, x1, yc, platform::qformat("%.0f%%", f.progreso * 100));
    p.setFont(estilo::fuente(11, QFont::DemiBold));
    p.setPen(estilo::texto());
    double x = x0 + 14;
    x += texto(p, x, yc, t.pkg.codigo, std::max(0.0, x1 - anchoAvance - 4 - x)) + 4;
    if (!t.pkg.nombre.isEmpty() && t.pkg.nombre != t.pkg.codigo && x < x1 - anchoAvance - 12) {
        p.setFont(estilo::fuente(9));
        p.setPen(estilo::secundario());
        texto(p, x, yc, t.pkg.nombre, x1 - anchoAvance - 4 - x);
    }
    y += altoCabecera + entreLineas;

    // Progress bar: the value out of 1, a full bar from 100 %.
    QPainterPath pista;
    pista.addRoundedRect(QRectF(x0, y, ancho, altoBarra), 2, 2);
    p.fillPath(pista, gris(1, 0.12f));
    const double lleno = std::clamp(f.progreso, 0.0, 1.0) * ancho;
    if (lleno > 0) {
        QPainterPath barra;
        barra.addRoundedRect(QRectF(x0, y, lleno, altoBarra), 2, 2);
        p.fillPath(barra, colorAvance);
    }
    y += altoBarra;

    p.setFont(estilo::fuente(9));
    if (t.dinero) {
        y += entreLineas;
        yc = y + altoLinea / 2;
        p.setPen(estilo::secundario());
        texto(p, x0, yc, QStringLiteral("Pres: ") + formatoMoneda(f.presupuesto, config.moneda));
        textoFinal(p, x1, yc, QStringLiteral("Real: ") + formatoMoneda(f.costoReal, config.moneda));
        y += altoLinea + entreLineas;
        yc = y + altoLinea / 2;
        texto(p, x0, yc, QStringLiteral("EV: ") + formatoMoneda(f.valorGanado, config.moneda));
        p.setPen(colorIndice(f.cpi));
        textoFinal(p, x1, yc, QStringLiteral("CPI ") + textoIndice(f.cpi));
        y += altoLinea;
    }
    if (t.horas) {
        y += entreLineas;
        yc = y + altoLinea / 2;
        QColor naranja = sistema(SystemColor::orange);
        naranja.setAlphaF(0.8f);
        platform::paintSymbol(p, QRectF(x0, yc - 5, 10, 10), QStringLiteral("person.fill.clock"), naranja);
        p.setPen(naranja);
        texto(p, x0 + 13, yc, formatoHH(f.hh));
        p.setPen(colorProductividad(f.productividad));
        textoFinal(p, x1, yc, QStringLiteral("Prod. ") + textoIndice(f.productividad));
        y += altoLinea;
    }
    p.setFont(estilo::fuente(8));
    if (t.desfase) {
        y += entreLineas;
        yc = y + altoPequena / 2;
        double xd = x0;
        auto etiqueta = [&](const char* simbolo, const QString& prefijo, std::optional<int> dias) {
            if (!dias)
                return;
            const QColor color = colorDesfase(*dias);
            platform::paintSymbol(p, QRectF(xd, yc - 4.5, 9, 9), QString::fromLatin1(simbolo), color);
            p.setPen(color);
            xd += 12 + texto(p, xd + 12, yc, textoDesfase(prefijo, *dias)) + 8;
        };
        etiqueta("arrow.right.circle", QStringLiteral("Inicio"), f.desfaseInicio);
        etiqueta("flag.checkered", QStringLiteral("Fin"), f.desfaseFin);
        y += altoPequena;
    }
    if (t.iwps) {
        y += entreLineas;
        p.setPen(estilo::terciario());
        texto(p, x0, y + altoPequena / 2, QString::number(f.iwpsIncluidos.value_or(0)) + QStringLiteral(" IWP(s) incluidos"));
    }
}

void ListaTarjetasPaquete::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const double y = event->position().y();
    for (const Tarjeta& t : tarjetas_)
        if (y >= t.y && y < t.y + t.alto) {
            const PaqueteAWP pkg = t.pkg;  // the selection lays the cards out again
            c_.seleccionarPaquete(pkg);
            return;
        }
}

// ---------------------------------------------------------------------------------------------

ColumnaEVM::ColumnaEVM(ControladorTimeLiner& controlador, QWidget* parent) : QWidget(parent), c_(controlador)
{
    setObjectName(QStringLiteral("columnaEVM"));
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(10, 10, 10, 10);
    col->setSpacing(10);
    valorGanado_ = new TarjetaValorGanado(this);
    horasHombre_ = new TarjetaHorasHombre(this);
    auto* divisor = new QFrame(this);
    divisor->setFrameShape(QFrame::HLine);
    divisor->setStyleSheet(QStringLiteral("color: rgba(255,255,255,30);"));
    tarjetas_ = new ListaTarjetasPaquete(controlador, this);
    col->addWidget(valorGanado_);
    col->addWidget(horasHombre_);
    col->addWidget(divisor);
    col->addWidget(tarjetas_);
    col->addStretch(1);
}

void ColumnaEVM::refrescar()
{
    const FigurasProyecto& f = c_.figurasProyecto();
    valorGanado_->refrescar(f.valorGanado, c_.config().moneda);
    if (f.conHorasHombre)
        horasHombre_->refrescar(f.horasHombre);
    horasHombre_->setVisible(f.conHorasHombre);
    tarjetas_->refrescar();
}

}  // namespace quelva
