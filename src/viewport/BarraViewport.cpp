#include "viewport/BarraViewport.h"

#include "platform/SystemColors.h"
#include "viewport/BotonCorteCamara.h"
#include "viewport/EstiloViewport.h"
#include "platform/Symbols.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFrame>
#include <QRegion>
#include <QToolButton>
#include <QVBoxLayout>

namespace quelva {

namespace {

QFrame* divisor(QWidget* padre)
{
    auto* linea = new QFrame(padre);
    linea->setFrameShape(QFrame::HLine);
    linea->setFixedWidth(36);
    linea->setFixedHeight(1);
    linea->setStyleSheet(QStringLiteral("background: rgba(0,0,0,50); border: none;"));
    return linea;
}

}  // namespace

BarraViewport::BarraViewport(EstadoCorteCamara& corte, std::function<void()> alCambiarCorte, QWidget* parent)
    : QWidget(parent)
{
    auto* columna = new QVBoxLayout(this);
    columna->setContentsMargins(12, 12, 12, 12);
    columna->setSpacing(6);
    columna->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    const QColor primario = platform::systemColor(platform::SystemColor::primaryLabel);

    encuadrar_ = new QToolButton(this);
    encuadrar_->setIcon(platform::symbolIcon(QStringLiteral("scope"), primario));
    encuadrar_->setIconSize(QSize(22, 22));
    encuadrar_->setToolTip(QStringLiteral("Zoom extents"));
    encuadrar_->setAccessibleName(QStringLiteral("Zoom extents"));
    encuadrar_->setStyleSheet(estiloBotonPlano(colorMaterialFino(), 8, 10));
    connect(encuadrar_, &QToolButton::clicked, this, &BarraViewport::encuadrarTodoPulsado);
    columna->addWidget(encuadrar_, 0, Qt::AlignHCenter);

    columna->addWidget(divisor(this), 0, Qt::AlignHCenter);
    ranuraMedicion_ = new QVBoxLayout;
    ranuraMedicion_->setContentsMargins(0, 0, 0, 0);
    columna->addLayout(ranuraMedicion_);
    columna->addWidget(divisor(this), 0, Qt::AlignHCenter);

    corte_ = new BotonCorteCamara(corte, std::move(alCambiarCorte), this);
    columna->addWidget(corte_, 0, Qt::AlignHCenter);
    columna->addWidget(divisor(this), 0, Qt::AlignHCenter);

    for (size_t i = 0; i < kBotonesPreset.size(); ++i) {
        const BotonPreset& datos = kBotonesPreset[i];
        auto* boton = new QToolButton(this);
        boton->setText(QString::fromUtf8(datos.etiqueta));
        boton->setToolTip(QString::fromUtf8(datos.etiqueta));
        boton->setIcon(platform::symbolIcon(QString::fromUtf8(datos.simbolo), primario));
        boton->setIconSize(QSize(14, 14));
        boton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        boton->setFont(fuenteSistema(6));
        boton->setFixedSize(36, 36);
        boton->setStyleSheet(estiloBotonPlano(colorMaterialFino(), 6));
        const VistaPreset preset = datos.preset;
        connect(boton, &QToolButton::clicked, this, [this, preset] { emit presetPulsado(preset); });
        columna->addWidget(boton, 0, Qt::AlignHCenter);
        presets_[i] = boton;
    }
    if (parent)
        parent->installEventFilter(this);
    colocar();
}

bool BarraViewport::event(QEvent* event)
{
    const bool r = QWidget::event(event);
    if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::ParentChange) {
        if (event->type() == QEvent::ParentChange && parentWidget())
            parentWidget()->installEventFilter(this);
        colocar();
    }
    return r;
}

bool BarraViewport::eventFilter(QObject* objeto, QEvent* event)
{
    if (objeto == parentWidget() && event->type() == QEvent::Resize)
        colocar();
    else if (objeto != parentWidget() && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        actualizarMascara();  // a button of the measurement group came or went in its kept slot
    return QWidget::eventFilter(objeto, event);
}

void BarraViewport::colocar()
{
    resize(sizeHint());
    if (QWidget* padre = parentWidget())
        move(padre->width() - width(), 0);
    actualizarMascara();
}

void BarraViewport::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    actualizarMascara();
}

void BarraViewport::actualizarMascara()
{
    // Clicks between the buttons, and on the empty slots the measurement group keeps for its
    // hidden buttons, go through to the 3D view underneath.
    QRegion zona;
    for (QObject* hijo : children()) {
        auto* w = qobject_cast<QWidget*>(hijo);
        if (!w || w->isHidden() || w->isWindow())
            continue;
        if (w != grupoMedicion_) {
            zona += w->geometry().adjusted(-1, -1, 1, 1);
            continue;
        }
        for (QAbstractButton* b : w->findChildren<QAbstractButton*>())
            if (b->isVisibleTo(this))
                zona += QRect(b->mapTo(this, QPoint(0, 0)), b->size()).adjusted(-1, -1, 1, 1);
    }
    setMask(zona.isEmpty() ? QRegion(rect()) : zona);
}

void BarraViewport::setGrupoMedicion(QWidget* grupo)
{
    if (grupoMedicion_) {
        ranuraMedicion_->removeWidget(grupoMedicion_);
        grupoMedicion_->deleteLater();
    }
    grupoMedicion_ = grupo;
    if (grupo) {
        grupo->setParent(this);
        ranuraMedicion_->addWidget(grupo, 0, Qt::AlignHCenter);
        grupo->show();
        for (QAbstractButton* b : grupo->findChildren<QAbstractButton*>())
            b->installEventFilter(this);
    }
}

QToolButton* BarraViewport::botonPreset(VistaPreset preset) const
{
    for (size_t i = 0; i < kBotonesPreset.size(); ++i)
        if (kBotonesPreset[i].preset == preset)
            return presets_[i];
    return nullptr;
}

}  // namespace quelva
