#include "timeline/ui/BarraScrubber.h"

#include "timeline/ControladorTimeLiner.h"
#include "timeline/ui/EstiloTimeLiner.h"

#include "platform/UserDate.h"
#include "platform/Symbols.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace quelva {

namespace {

struct Velocidad {
    const char* etiqueta;
    double diasPorSegundo;
};
constexpr std::array<Velocidad, 4> velocidades = {{{"1×", 15}, {"2×", 30}, {"4×", 60}, {"8×", 120}}};

QFrame* divisor(QWidget* padre)
{
    auto* d = new QFrame(padre);
    d->setFrameShape(QFrame::VLine);
    d->setFixedHeight(20);
    d->setStyleSheet(QStringLiteral("color: rgba(255,255,255,40);"));
    return d;
}

QToolButton* botonIcono(const QString& simbolo, int puntos, const QColor& color, const char* nombre, QWidget* padre)
{
    auto* b = new QToolButton(padre);
    b->setObjectName(QString::fromLatin1(nombre));
    b->setAutoRaise(true);
    b->setIcon(platform::symbolIcon(simbolo, color));
    b->setIconSize(QSize(puntos + 4, puntos + 4));
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

QString textoFecha(const QDateTime& fecha)
{
    return platform::formatUserDate(fecha, platform::DateStyle::medium);
}

}  // namespace

PistaScrubber::PistaScrubber(ControladorTimeLiner& controlador, QWidget* parent) : QWidget(parent), c_(controlador)
{
    setObjectName(QStringLiteral("pistaScrubber"));
    setFixedHeight(16);
    setMinimumWidth(60);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
}

void PistaScrubber::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = width();
    const double f = c_.fraccionScrubber();
    const double y = height() / 2.0 - 2;
    QPainterPath rail;
    rail.addRoundedRect(QRectF(0, y, w, 4), 2, 2);
    p.fillPath(rail, QColor(255, 255, 255, 20));
    QColor amarillo = estilo::sistema(platform::SystemColor::yellow);
    QColor progreso = amarillo;
    progreso.setAlphaF(0.7f);
    QPainterPath avance;
    avance.addRoundedRect(QRectF(0, y, w * f, 4), 2, 2);
    p.fillPath(avance, progreso);
    p.setPen(Qt::NoPen);
    p.setBrush(amarillo);
    p.drawEllipse(QRectF(w * f - 6, height() / 2.0 - 6, 12, 12));
}

void PistaScrubber::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        c_.arrastrarScrubber(event->position().x(), width());
}

void PistaScrubber::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        c_.arrastrarScrubber(event->position().x(), width());
}

BarraScrubber::BarraScrubber(ControladorTimeLiner& controlador, QWidget* parent) : QWidget(parent), c_(controlador)
{
    setObjectName(QStringLiteral("barraScrubber"));
    auto* fila = new QHBoxLayout(this);
    fila->setContentsMargins(12, 8, 12, 8);
    fila->setSpacing(10);
    const QString secundario = QStringLiteral("color: %1;").arg(estilo::secundario().name(QColor::HexArgb));
    inicio_ = new QLabel(this);
    inicio_->setObjectName(QStringLiteral("fechaInicio"));
    inicio_->setFont(estilo::fuente(9));
    inicio_->setStyleSheet(secundario);
    fin_ = new QLabel(this);
    fin_->setObjectName(QStringLiteral("fechaFin"));
    fin_->setFont(estilo::fuente(9));
    fin_->setStyleSheet(secundario);
    pista_ = new PistaScrubber(controlador, this);
    fila->addWidget(inicio_);
    fila->addWidget(pista_, 1);
    fila->addWidget(fin_);
    fila->addWidget(divisor(this));

    auto* controles = new QHBoxLayout;
    controles->setSpacing(8);
    auto* atras = botonIcono(QStringLiteral("backward.frame"), 12, estilo::texto(), "retroceder", this);
    connect(atras, &QToolButton::clicked, this, [this] { c_.retrocederScrubber(); });
    reproducir_ = botonIcono(QStringLiteral("play.fill"), 14, estilo::sistema(platform::SystemColor::green),
                             "reproducir", this);
    connect(reproducir_, &QToolButton::clicked, this, [this] { c_.alternarReproduccion(); });
    auto* adelante = botonIcono(QStringLiteral("forward.frame"), 12, estilo::texto(), "avanzar", this);
    connect(adelante, &QToolButton::clicked, this, [this] { c_.avanzarScrubber(); });
    controles->addWidget(atras);
    controles->addWidget(reproducir_);
    controles->addWidget(adelante);

    auto* segmentos = new QWidget(this);
    segmentos->setObjectName(QStringLiteral("velocidad"));
    segmentos->setFixedWidth(120);
    auto* s = new QHBoxLayout(segmentos);
    s->setContentsMargins(0, 0, 0, 0);
    s->setSpacing(0);
    auto* grupo = new QButtonGroup(segmentos);
    for (std::size_t i = 0; i < velocidades.size(); ++i) {
        auto* b = new QToolButton(segmentos);
        b->setText(QString::fromUtf8(velocidades[i].etiqueta));
        b->setCheckable(true);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        b->setStyleSheet(QStringLiteral("QToolButton { border: 1px solid rgba(255,255,255,40); padding: 2px; }"
                                        "QToolButton:checked { background: rgba(255,255,255,60); }"));
        grupo->addButton(b, int(i));
        s->addWidget(b);
        velocidades_[i] = b;
    }
    connect(grupo, &QButtonGroup::idClicked, this,
            [this](int id) { c_.setVelocidad(velocidades[std::size_t(id)].diasPorSegundo); });
    controles->addWidget(segmentos);
    fila->addLayout(controles);
    fila->addWidget(divisor(this));

    fecha_ = new QDateEdit(this);
    fecha_->setObjectName(QStringLiteral("fechaScrubber"));
    fecha_->setCalendarPopup(true);
    fecha_->setDisplayFormat(QStringLiteral("dd-MM-yyyy"));
    connect(fecha_, &QDateEdit::dateChanged, this, [this](QDate d) {
        // The field holds the day; the scrubber keeps its time of day.
        const QDateTime actual = c_.estado().fechaScrubber.toLocalTime();
        if (d.isValid() && d != actual.date())
            c_.setFechaScrubber(QDateTime(d, actual.time()));
    });
    fila->addWidget(fecha_);

    refrescar();
}

void BarraScrubber::refrescar()
{
    const TimeLinerConfig& config = c_.config();
    const QString ini = textoFecha(config.fechaInicio);
    const QString fin = textoFecha(config.fechaFin);
    if (inicio_->text() != ini)
        inicio_->setText(ini);
    if (fin_->text() != fin)
        fin_->setText(fin);
    pista_->update();

    const bool reproduciendo = c_.estado().reproduciendo;
    if (reproduciendo != reproduciendo_ || reproducir_->icon().isNull()) {
        reproduciendo_ = reproduciendo;
        reproducir_->setIcon(platform::symbolIcon(
            reproduciendo ? QStringLiteral("pause.fill") : QStringLiteral("play.fill"),
            estilo::sistema(reproduciendo ? platform::SystemColor::orange : platform::SystemColor::green)));
        reproducir_->setProperty("reproduciendo", reproduciendo);
    }
    for (std::size_t i = 0; i < velocidades.size(); ++i)
        if (velocidades_[i]->isChecked() != (velocidades[i].diasPorSegundo == c_.estado().velocidad))
            velocidades_[i]->setChecked(velocidades[i].diasPorSegundo == c_.estado().velocidad);

    const QSignalBlocker bloqueo(fecha_);
    const QDate desde = config.fechaInicio.toLocalTime().date();
    const QDate hasta = std::max(config.fechaInicio, config.fechaFin).toLocalTime().date();
    if (fecha_->minimumDate() != desde || fecha_->maximumDate() != hasta)
        fecha_->setDateRange(desde, hasta);
    const QDate dia = c_.estado().fechaScrubber.toLocalTime().date();
    if (fecha_->date() != dia)
        fecha_->setDate(dia);
}

}  // namespace quelva
