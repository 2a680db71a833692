#include "timeline/ui/VistaGantt.h"

#include "timeline/ControladorTimeLiner.h"
#include "timeline/Gantt.h"
#include "timeline/ui/EstiloTimeLiner.h"

#include "platform/UserDate.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace quelva {

namespace {

QColor conOpacidad(QColor c, double opacidad)
{
    c.setAlphaF(float(c.alphaF() * opacidad));
    return c;
}

void textoAnclado(QPainter& p, double x, double yCentro, const QString& texto)
{
    const QFontMetricsF m(p.font());
    p.drawText(QPointF(x, yCentro + (m.ascent() - m.descent()) / 2), texto);
}

void corchete(QPainter& p, double x1, double y, double t, double x2)
{
    p.drawLine(QPointF(x1, y - t), QPointF(x1, y + t));
    p.drawLine(QPointF(x1, y), QPointF(x2, y));
    p.drawLine(QPointF(x2, y - t), QPointF(x2, y + t));
}

}  // namespace

FranjaMeses::FranjaMeses(ControladorTimeLiner& controlador, QWidget* parent) : QWidget(parent), c_(controlador)
{
    setObjectName(QStringLiteral("franjaMeses"));
    setFixedHeight(16);
}

std::vector<MesGantt> FranjaMeses::meses() const
{
    return mesesGantt(c_.config(), EscalaGantt(c_.config(), width()), rotulosMes(estilo::fuente(8), false, width()));
}

void FranjaMeses::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setFont(estilo::fuente(8));
    for (const MesGantt& m : meses()) {
        p.setPen(QPen(QColor(255, 255, 255, 26), 0.5));
        p.drawLine(QPointF(m.x, 0), QPointF(m.x, height()));
        if (m.conEtiqueta) {
            p.setPen(estilo::secundario());
            textoAnclado(p, m.x + 3, height() / 2.0, m.texto);
        }
    }
}

CuerpoGantt::CuerpoGantt(ControladorTimeLiner& controlador, QWidget* parent) : QWidget(parent), c_(controlador)
{
    setObjectName(QStringLiteral("cuerpoGantt"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor::fromRgbF(0.09f, 0.09f, 0.09f));
    setPalette(pal);
}

void CuerpoGantt::setFilas(int filas)
{
    if (filas_ == filas)
        return;
    filas_ = filas;
    setMinimumHeight(filas * ROW_H);
}

void CuerpoGantt::paintEvent(QPaintEvent* event)
{
    using platform::SystemColor;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const TimeLinerConfig& config = c_.config();
    const EscalaGantt escala(config, width());
    const double w = width(), h = height();
    std::vector<FilaVisible> propias;
    if (!fuente_)
        propias = c_.filasVisibles();
    const std::vector<FilaVisible>& filas = fuente_ ? fuente_() : propias;
    const int primera = std::max(0, event->rect().top() / ROW_H);
    const int ultima = std::min(int(filas.size()) - 1, event->rect().bottom() / ROW_H);
    const std::optional<PaqueteAWP>& sel = c_.estado().seleccionado;
    for (int i = primera; i <= ultima; ++i) {
        const PaqueteAWP& pkg = filas[std::size_t(i)].pkg;
        const double y = i * double(ROW_H);
        if (i % 2 == 1)
            p.fillRect(QRectF(0, y, w, ROW_H), QColor::fromRgbF(1, 1, 1, 0.025f));
        p.setPen(QPen(QColor::fromRgbF(1, 1, 1, 0.05f), 0.5));
        p.drawLine(QPointF(0, y + ROW_H - 0.5), QPointF(w, y + ROW_H - 0.5));
        const double ym = y + ROW_H / 2.0;
        if (pkg.nivel == NivelAWP::cwa || pkg.nivel == NivelAWP::cwp) {
            const auto span = spanResumen(c_.indice(), pkg);
            if (!span)
                continue;
            const bool cwa = pkg.nivel == NivelAWP::cwa;
            QPen pluma(conOpacidad(estilo::sistema(cwa ? SystemColor::blue : SystemColor::purple), 0.7), cwa ? 1.5 : 1.2,
                       Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin);
            if (!cwa)
                pluma.setDashPattern({4 / 1.2, 2 / 1.2});
            p.setPen(pluma);
            corchete(p, escala.x(span->first), ym, cwa ? 5 : 4, escala.x(span->second));
        } else if (pkg.nivel == NivelAWP::iwp) {
            const BarraGantt b = barraGantt(escala, pkg, i, c_.progresoEfectivo(pkg));
            QPainterPath barra;
            barra.addRoundedRect(b.rect, 3, 3);
            p.fillPath(barra, conOpacidad(b.color, 0.15));
            if (b.anchoProgreso > 0) {
                QPainterPath avance;
                avance.addRoundedRect(QRectF(b.rect.left(), b.rect.top(), b.anchoProgreso, b.rect.height()), 3, 3);
                p.fillPath(avance, conOpacidad(b.colorProgreso, 0.7));
            }
            const bool seleccionada = sel && sel->id == pkg.id;
            p.setPen(seleccionada ? QPen(Qt::white, 1.5) : QPen(conOpacidad(b.color, 0.6), 0.8));
            p.setBrush(Qt::NoBrush);
            p.drawPath(barra);
            if (b.conEtiqueta) {
                p.setFont(estilo::fuente(7, QFont::Medium));
                p.setPen(QColor::fromRgbF(1, 1, 1, 0.9f));
                textoAnclado(p, b.rect.left() + 4, ym, pkg.codigo);
            }
        }
    }

    const double xHoy = escala.x(QDateTime::currentDateTime());
    const QColor rojo = estilo::sistema(SystemColor::red);
    p.setPen(QPen(conOpacidad(rojo, 0.5), 1.5));
    p.drawLine(QPointF(xHoy, 0), QPointF(xHoy, h));
    p.setFont(estilo::fuente(7, QFont::Bold));
    p.setPen(conOpacidad(rojo, 0.7));
    textoAnclado(p, xHoy + 2, 4, QStringLiteral("HOY"));

    const QDateTime fecha = c_.estado().fechaScrubber;
    const double xScrubber = escala.x(fecha);
    const QColor amarillo = estilo::sistema(SystemColor::yellow);
    p.setPen(QPen(conOpacidad(amarillo, 0.85), 2));
    p.drawLine(QPointF(xScrubber, 0), QPointF(xScrubber, h));
    p.setFont(estilo::fuente(7, QFont::DemiBold));
    p.setPen(amarillo);
    textoAnclado(p, xScrubber + 3, 4, platform::formatUserPattern(fecha, QStringLiteral("dd-MM-yy")));
}

VistaGantt::VistaGantt(ControladorTimeLiner& controlador, int margenSuperior, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("vistaGantt"));
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, std::max(0, margenSuperior - 16), 0, 0);
    col->setSpacing(0);
    franja_ = new FranjaMeses(controlador, this);
    col->addWidget(franja_);
    desplazable_ = new QScrollArea(this);
    desplazable_->setObjectName(QStringLiteral("desplazamientoGantt"));
    desplazable_->setFrameShape(QFrame::NoFrame);
    desplazable_->setWidgetResizable(true);
    desplazable_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    desplazable_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    cuerpo_ = new CuerpoGantt(controlador);
    desplazable_->setWidget(cuerpo_);
    col->addWidget(desplazable_, 1);
}

void VistaGantt::refrescar(int filas)
{
    cuerpo_->setFilas(filas);
    franja_->update();
    cuerpo_->update();
}

void VistaGantt::acoplar(QScrollBar* barraArbol)
{
    QScrollBar* propia = desplazable_->verticalScrollBar();
    connect(barraArbol, &QScrollBar::valueChanged, propia, &QScrollBar::setValue);
    connect(propia, &QScrollBar::valueChanged, barraArbol, &QScrollBar::setValue);
}

}  // namespace quelva
