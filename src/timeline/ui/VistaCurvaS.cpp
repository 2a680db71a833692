#include "timeline/ui/VistaCurvaS.h"

#include "timeline/ControladorTimeLiner.h"
#include "timeline/TimeLinerStore.h"
#include "timeline/ui/EstiloTimeLiner.h"

#include "platform/NumberFormat.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace quelva {

namespace {

using platform::SystemColor;

QColor blanco(double opacidad)
{
    return QColor::fromRgbF(1, 1, 1, float(opacidad));
}

QColor conOpacidad(QColor c, double opacidad)
{
    c.setAlphaF(float(c.alphaF() * opacidad));
    return c;
}

void textoInicio(QPainter& p, double x, double yCentro, const QString& t)
{
    const QFontMetricsF m(p.font());
    p.drawText(QPointF(x, yCentro + (m.ascent() - m.descent()) / 2), t);
}

void textoFinal(QPainter& p, double x, double yCentro, const QString& t)
{
    textoInicio(p, x - QFontMetricsF(p.font()).horizontalAdvance(t), yCentro, t);
}

void textoCentrado(QPainter& p, double x, double yCentro, const QString& t)
{
    textoInicio(p, x - QFontMetricsF(p.font()).horizontalAdvance(t) / 2, yCentro, t);
}

// A dash pattern in points for a pen of width `ancho` (Qt counts dashes in pen widths).
QVector<qreal> guiones(double encendido, double apagado, double ancho)
{
    return {encendido / ancho, apagado / ancho};
}

}  // namespace

// ---------------------------------------------------------------------------------------------

SuperficieCurvaS::SuperficieCurvaS(ControladorTimeLiner& controlador, QWidget* parent)
    : QWidget(parent), c_(controlador)
{
    setObjectName(QStringLiteral("superficieCurvaS"));
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumHeight(60);
}

void SuperficieCurvaS::preparar()
{
    const int modo = c_.estado().curvasModo;
    if (version_ == c_.store().version() && modo_ == modo && tamano_ == size())
        return;
    version_ = c_.store().version();
    modo_ = modo;
    tamano_ = size();
    // A confirmed import traced it in the background already.
    if (std::optional<TrazadoCurvaS> listo = c_.tomarCurvaPreparada(modo, size()))
        trazado_ = std::move(*listo);
    else
        trazado_ = trazarCurvaS(c_.config(), modo, size());
    meses_ = mesesCurvaS(trazado_.datos, trazado_.geometria, rotulosMes(estilo::fuente(7), true, width()));
    // Background, grid, ticks and curves change only with the store, the mode or the size: the
    // scrubber and the pointer draw over this picture.
    const qreal escala = devicePixelRatioF();
    fijo_ = QImage((QSizeF(size()) * escala).toSize(), QImage::Format_ARGB32_Premultiplied);
    fijo_.setDevicePixelRatio(escala);
    fijo_.fill(Qt::transparent);
    QPainter p(&fijo_);
    pintarFijo(p);
}

void SuperficieCurvaS::pintarFijo(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath fondo;
    fondo.addRoundedRect(QRectF(rect()), 6, 6);
    p.fillPath(fondo, QColor::fromRgbF(0.13f, 0.13f, 0.13f));
    const GeometriaCurvaS& g = trazado_.geometria;
    if (!g.valida())
        return;
    if (trazado_.datos.vacio()) {
        p.setFont(estilo::fuente(10));
        p.setPen(estilo::secundario());
        p.drawText(QRectF(rect()), Qt::AlignCenter | Qt::TextWordWrap,
                   QString::fromUtf8("Sin datos — agrega presupuesto o HH a los IWP"));
        return;
    }
    const double izq = GeometriaCurvaS::izquierda;

    // Percentage grid.
    p.setFont(estilo::fuente(7));
    for (int i = 0; i <= 4; ++i) {
        const double f = i / 4.0;
        const double y = g.y(f);
        p.setPen(QPen(blanco(i == 0 || i == 4 ? 0.15 : 0.06), 0.5));
        p.drawLine(QPointF(izq, y), QPointF(g.r, y));
        p.setPen(blanco(0.4));
        textoFinal(p, 30, y, platform::qformat("%.0f%%", f * 100));
    }
    // Month ticks.
    for (const MesGantt& m : meses_) {
        p.setPen(QPen(blanco(0.2), 0.5));
        p.drawLine(QPointF(m.x, g.b), QPointF(m.x, g.b + 4));
        if (m.conEtiqueta) {
            p.setPen(blanco(0.35));
            textoCentrado(p, m.x, g.b + 11, m.texto);
        }
    }
    // Axes.
    QPainterPath ejes;
    ejes.moveTo(izq, GeometriaCurvaS::arriba);
    ejes.lineTo(izq, g.b);
    ejes.lineTo(g.r, g.b);
    p.setPen(QPen(blanco(0.2), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(ejes);

    auto dibujarSerie = [&](const TrazoSerie& s) {
        if (!s.dibujar)
            return;
        if (s.estilo.relleno)
            p.fillPath(s.area, conOpacidad(s.estilo.color, 0.12));
        QPen pluma(conOpacidad(s.estilo.color, 0.9), s.estilo.ancho, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        if (s.estilo.discontinua)
            pluma.setDashPattern(guiones(5, 4, s.estilo.ancho));
        p.setPen(pluma);
        p.setBrush(Qt::NoBrush);
        p.drawPath(s.trazo);
        if (s.punto) {
            p.setPen(Qt::NoPen);
            p.setBrush(s.estilo.color);
            p.drawEllipse(*s.punto, 3, 3);
        }
    };
    dibujarSerie(trazado_.series[0]);
    dibujarSerie(trazado_.series[1]);
    if (trazado_.datos.fechasReales) {
        p.setFont(estilo::fuente(7));
        p.setPen(conOpacidad(estilo::sistema(SystemColor::green), 0.6));
        textoFinal(p, g.r - 2, 12, QString::fromUtf8("● Fechas reales"));
    }
    dibujarSerie(trazado_.series[2]);
    dibujarSerie(trazado_.series[3]);
}

void SuperficieCurvaS::paintEvent(QPaintEvent*)
{
    preparar();
    QPainter p(this);
    p.drawImage(QPointF(0, 0), fijo_);
    const GeometriaCurvaS& g = trazado_.geometria;
    if (!g.valida() || trazado_.datos.vacio())
        return;
    p.setRenderHint(QPainter::Antialiasing);

    // Scrubber line (its x is clamped to the plot).
    const double xs = g.x(c_.estado().fechaScrubber);
    QPen amarillo(conOpacidad(estilo::sistema(SystemColor::yellow), 0.7), 1.2, Qt::SolidLine, Qt::FlatCap,
                  Qt::MiterJoin);
    amarillo.setDashPattern(guiones(4, 3, 1.2));
    p.setPen(amarillo);
    p.drawLine(QPointF(xs, GeometriaCurvaS::arriba), QPointF(xs, g.b));

    const std::optional<LecturaCurvaS> l = lecturaCurvaS(trazado_.datos, g, c_.estado().sCurveHoverX);
    if (!l)
        return;
    QPen guia(blanco(0.25), 1, Qt::SolidLine, Qt::FlatCap);
    guia.setDashPattern(guiones(3, 3, 1));
    p.setPen(guia);
    p.drawLine(QPointF(l->h, GeometriaCurvaS::arriba), QPointF(l->h, g.b));
    for (const EntradaLectura& e : l->entradas) {
        p.setBrush(e.color);
        p.setPen(QPen(blanco(0.7), 0.8));
        p.drawEllipse(QPointF(l->h, e.y), 3.5, 3.5);
    }
    QPainterPath caja;
    caja.addRoundedRect(l->caja, 4, 4);
    p.fillPath(caja, QColor::fromRgbF(0.15f, 0.15f, 0.15f, 0.95f));
    p.setPen(QPen(blanco(0.12), 0.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(caja);
    p.setFont(estilo::fuente(8, QFont::DemiBold));
    p.setPen(blanco(0.9));
    textoInicio(p, l->caja.left() + 7, l->caja.top() + 8, l->titulo);
    p.setFont(estilo::fuente(8));
    for (std::size_t k = 0; k < l->entradas.size(); ++k) {
        const EntradaLectura& e = l->entradas[k];
        const double centro = l->caja.top() + 16 + 13.0 * double(k) + 6.5;
        QPainterPath muestra;
        muestra.addRoundedRect(QRectF(l->caja.left() + 7, centro - 3, 10, 6), 1, 1);
        p.fillPath(muestra, conOpacidad(e.color, 0.85));
        p.setPen(blanco(0.85));
        textoInicio(p, l->caja.left() + 21, centro, e.texto);
    }
}

void SuperficieCurvaS::mouseMoveEvent(QMouseEvent* event)
{
    c_.setSCurveHoverX(event->position().x());
}

void SuperficieCurvaS::leaveEvent(QEvent* event)
{
    c_.setSCurveHoverX(std::nullopt);
    QWidget::leaveEvent(event);
}

// ---------------------------------------------------------------------------------------------

LeyendaCurvaS::LeyendaCurvaS(ControladorTimeLiner& controlador, QWidget* parent) : QWidget(parent), c_(controlador)
{
    setObjectName(QStringLiteral("leyendaCurvaS"));
    QSizePolicy politica(QSizePolicy::Preferred, QSizePolicy::Preferred);
    politica.setHeightForWidth(true);
    setSizePolicy(politica);
}

std::vector<std::vector<LeyendaCurvaS::Elemento>> LeyendaCurvaS::filas() const
{
    using S = SystemColor;
    const int modo = c_.estado().curvasModo;
    std::vector<std::vector<Elemento>> r(2);
    r[0] = {{estilo::sistema(S::blue), modo == 1 ? QStringLiteral("HH Planificadas") : QStringLiteral("$ Planificado"), false},
            {estilo::sistema(S::green), QStringLiteral("Costo Real / Valor Ganado"), false}};
    if (modo == 2) {
        r[1].push_back({estilo::sistema(S::cyan), QStringLiteral("HH Planificadas"), true});
        r[1].push_back({estilo::sistema(S::mint), QStringLiteral("HH Valor Ganado"), true});
    }
    r[1].push_back({estilo::sistema(S::yellow), QStringLiteral("Fecha scrubber"), true});
    return r;
}

double LeyendaCurvaS::disponer(double ancho, std::vector<std::pair<QPointF, Elemento>>* posiciones) const
{
    const QFontMetricsF m(estilo::fuente(11));
    const double alto = m.height();
    double y = 6;
    bool primeraFila = true;
    for (const std::vector<Elemento>& fila : filas()) {
        if (!primeraFila)
            y += alto + 3;
        primeraFila = false;
        double x = 10;
        for (const Elemento& e : fila) {
            const double w = 18 + 5 + m.horizontalAdvance(e.etiqueta);
            // An item that does not fit starts a new line.
            if (x > 10 && x + w > ancho - 10) {
                x = 10;
                y += alto + 3;
            }
            if (posiciones)
                posiciones->push_back({QPointF(x, y), e});
            x += w + 12;
        }
    }
    return y + alto + 6;
}

int LeyendaCurvaS::heightForWidth(int ancho) const
{
    return int(std::ceil(disponer(ancho, nullptr)));
}

QSize LeyendaCurvaS::sizeHint() const
{
    return {240, heightForWidth(width() > 0 ? width() : 240)};
}

void LeyendaCurvaS::refrescar()
{
    if (modo_ == c_.estado().curvasModo)
        return;
    modo_ = c_.estado().curvasModo;
    setFixedHeight(heightForWidth(width()));
    update();
}

void LeyendaCurvaS::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int alto = heightForWidth(width());
    if (alto != height())
        setFixedHeight(alto);
}

void LeyendaCurvaS::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    std::vector<std::pair<QPointF, Elemento>> posiciones;
    disponer(width(), &posiciones);
    p.setFont(estilo::fuente(11));
    const double alto = QFontMetricsF(p.font()).height();
    for (const auto& [punto, e] : posiciones) {
        const double yc = punto.y() + alto / 2;
        if (e.discontinua) {
            QPen pluma(e.color, 2.5, Qt::SolidLine, Qt::RoundCap);
            pluma.setDashPattern(guiones(4, 3, 2.5));
            p.setPen(pluma);
            p.drawLine(QPointF(punto.x() + 1.25, yc), QPointF(punto.x() + 18 - 1.25, yc));
        } else {
            QPainterPath muestra;
            muestra.addRoundedRect(QRectF(punto.x(), yc - 1.5, 18, 3), 1, 1);
            p.fillPath(muestra, e.color);
        }
        p.setPen(estilo::secundario());
        textoInicio(p, punto.x() + 23, yc, e.etiqueta);
    }
}

// ---------------------------------------------------------------------------------------------

PanelCurvaS::PanelCurvaS(ControladorTimeLiner& controlador, QWidget* parent) : QWidget(parent), c_(controlador)
{
    setObjectName(QStringLiteral("panelCurvaS"));
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);

    auto* cabecera = new QHBoxLayout;
    cabecera->setContentsMargins(10, 8, 10, 8);
    cabecera->setSpacing(6);
    auto* titulo = new QLabel(QStringLiteral("S-CURVE"), this);
    QFont f = estilo::fuente(9, QFont::DemiBold);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    titulo->setFont(f);
    QPalette pal = titulo->palette();
    pal.setColor(QPalette::WindowText, estilo::secundario());
    titulo->setPalette(pal);
    modo_ = new QComboBox(this);
    modo_->setObjectName(QStringLiteral("modoCurvas"));
    modo_->addItems({QStringLiteral("Costo"), QStringLiteral("HH"), QStringLiteral("Costo + HH")});
    modo_->setFont(estilo::fuente(10));
    modo_->setMinimumWidth(100);
    modo_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    modo_->setCurrentIndex(c_.estado().curvasModo);
    cabecera->addWidget(titulo);
    cabecera->addStretch(1);
    cabecera->addWidget(modo_);
    col->addLayout(cabecera);

    auto* marco = new QHBoxLayout;
    marco->setContentsMargins(8, 0, 8, 0);
    superficie_ = new SuperficieCurvaS(controlador, this);
    marco->addWidget(superficie_);
    col->addLayout(marco, 1);
    leyenda_ = new LeyendaCurvaS(controlador, this);
    col->addWidget(leyenda_);

    connect(modo_, &QComboBox::activated, this, [this](int i) { c_.setCurvasModo(i); });
    refrescar();
}

void PanelCurvaS::refrescar()
{
    if (modo_->currentIndex() != c_.estado().curvasModo)
        modo_->setCurrentIndex(c_.estado().curvasModo);
    leyenda_->refrescar();
    superficie_->update();
}

}  // namespace quelva
