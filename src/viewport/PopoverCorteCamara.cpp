#include "viewport/PopoverCorteCamara.h"

#include "platform/NumberFormat.h"
#include "platform/SystemColors.h"
#include "viewport/EstiloViewport.h"
#include "platform/Symbols.h"
#include "viewport/Interruptor.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

namespace quelva {

namespace {

constexpr int kPasosDeslizador = 100;  // 0.05 m each

QLabel* etiqueta(const QString& texto, const QFont& fuente, const QColor& color, QWidget* padre)
{
    auto* l = new QLabel(texto, padre);
    l->setFont(fuente);
    QPalette paleta = l->palette();
    paleta.setColor(QPalette::WindowText, color);
    l->setPalette(paleta);
    return l;
}

QLabel* icono(const QString& simbolo, int puntos, const QColor& color, QWidget* padre)
{
    auto* l = new QLabel(padre);
    l->setPixmap(platform::symbolPixmap(simbolo, puntos, color));
    return l;
}

}  // namespace

PopoverCorteCamara::PopoverCorteCamara(QWidget* parent) : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint)
{
    // A click on the toolbar button closes the popup and must not reopen it at once.
    setAttribute(Qt::WA_NoMouseReplay);
    setFixedWidth(300);

    const QColor primario = platform::systemColor(platform::SystemColor::primaryLabel);
    const QColor secundario = platform::systemColor(platform::SystemColor::secondaryLabel);
    const QColor terciario = platform::systemColor(platform::SystemColor::tertiaryLabel);

    auto* columna = new QVBoxLayout(this);
    columna->setContentsMargins(16, 16, 16, 16);
    columna->setSpacing(14);

    auto* cabecera = new QHBoxLayout;
    cabecera->addWidget(icono(QStringLiteral("scissors.fill"), 15, primario, this));
    cabecera->addWidget(etiqueta(QStringLiteral("Corte de cámara"), fuenteSistema(11, true), primario, this));
    cabecera->addStretch(1);
    interruptor_ = new Interruptor(this);
    interruptor_->setAccessibleName(QStringLiteral("Corte de cámara"));
    cabecera->addWidget(interruptor_);
    columna->addLayout(cabecera);

    auto* explicacion = etiqueta(QStringLiteral("Recorta la geometría frente a la cámara según la distancia "
                                                "indicada. Útil para navegar en interiores sin modificar la "
                                                "sección permanente de la escena."),
                                 fuenteSistema(8.5), secundario, this);
    explicacion->setWordWrap(true);
    columna->addWidget(explicacion);

    auto* bloque = new QVBoxLayout;
    bloque->setSpacing(6);
    auto* filaTitulo = new QHBoxLayout;
    filaTitulo->addWidget(etiqueta(QStringLiteral("Distancia de corte"), fuenteSistema(8.5, true), primario, this));
    filaTitulo->addStretch(1);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSizeF(9);
    valor_ = etiqueta(QString(), mono, palette().color(QPalette::Highlight), this);
    filaTitulo->addWidget(valor_);
    bloque->addLayout(filaTitulo);

    auto* filaDeslizador = new QHBoxLayout;
    filaDeslizador->setSpacing(8);
    filaDeslizador->addWidget(etiqueta(QStringLiteral("0.05"), fuenteSistema(7), terciario, this));
    deslizador_ = new QSlider(Qt::Horizontal, this);
    deslizador_->setRange(1, kPasosDeslizador);
    deslizador_->setSingleStep(1);
    deslizador_->setPageStep(2);
    filaDeslizador->addWidget(deslizador_, 1);
    filaDeslizador->addWidget(etiqueta(QStringLiteral("5.0 m"), fuenteSistema(7), terciario, this));
    bloque->addLayout(filaDeslizador);
    columna->addLayout(bloque);

    aviso_ = new QWidget(this);
    auto* filaAviso = new QHBoxLayout(aviso_);
    filaAviso->setContentsMargins(0, 0, 0, 0);
    filaAviso->setSpacing(4);
    filaAviso->addWidget(icono(QStringLiteral("info.circle"), 11, terciario, aviso_));
    filaAviso->addWidget(etiqueta(QStringLiteral("Acércate a una pared para ver el efecto del corte."),
                                  fuenteSistema(7), terciario, aviso_),
                         1);
    columna->addWidget(aviso_);

    connect(interruptor_, &Interruptor::toggled, this, [this](bool activo) { emit modoCambiado(activo); });
    connect(deslizador_, &QSlider::valueChanged, this, [this](int pasos) { emit distanciaCambiada(pasos / 20.0); });
}

void PopoverCorteCamara::actualizar(const EstadoCorteCamara& estado)
{
    const QSignalBlocker bloqueoInterruptor(interruptor_);
    const QSignalBlocker bloqueoDeslizador(deslizador_);
    interruptor_->setChecked(estado.modoCorteCamara);
    deslizador_->setValue(int(std::lround(estado.distanciaCorte * 20.0)));
    valor_->setText(platform::qformat("%.2f m", estado.distanciaCorte));
    aviso_->setVisible(estado.modoCorteCamara);
    adjustSize();
}

void PopoverCorteCamara::mostrarJuntoA(const QWidget& ancla)
{
    adjustSize();
    const QPoint esquina = ancla.mapToGlobal(QPoint(0, ancla.height() / 2));
    QPoint destino(esquina.x() - width() - 6, esquina.y() - height() / 2);
    if (const QScreen* pantalla = ancla.screen()) {
        const QRect zona = pantalla->availableGeometry();
        destino.setX(std::clamp(destino.x(), zona.left(), std::max(zona.left(), zona.right() - width())));
        destino.setY(std::clamp(destino.y(), zona.top(), std::max(zona.top(), zona.bottom() - height())));
    }
    move(destino);
    show();
}

void PopoverCorteCamara::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    emit cerrado();
}

void PopoverCorteCamara::paintEvent(QPaintEvent*)
{
    // A window without a compositor cannot be translucent: an opaque panel with a thin edge.
    QPainter p(this);
    p.fillRect(rect(), QColor(246, 244, 250));
    p.setPen(QPen(QColor(0, 0, 0, 60), 1));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace quelva
