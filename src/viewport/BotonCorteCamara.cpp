#include "viewport/BotonCorteCamara.h"

#include "platform/SystemColors.h"
#include "viewport/CorteCamara.h"
#include "viewport/EstiloViewport.h"
#include "platform/Symbols.h"
#include "viewport/PopoverCorteCamara.h"

namespace quelva {

BotonCorteCamara::BotonCorteCamara(EstadoCorteCamara& estado, std::function<void()> alCambiar, QWidget* parent)
    : QToolButton(parent), estado_(estado), alCambiar_(std::move(alCambiar))
{
    setText(QStringLiteral("Corte"));
    setFont(fuenteSistema(6));
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIconSize(QSize(15, 15));
    setFixedSize(36, 36);
    setAutoRaise(true);

    popover_ = new PopoverCorteCamara(this);
    connect(this, &QToolButton::clicked, this, [this] {
        pulsarBotonCorte(estado_);
        cambiado();
    });
    connect(popover_, &PopoverCorteCamara::modoCambiado, this, [this](bool activo) {
        cambiarModoCorte(estado_, activo);
        cambiado();
    });
    connect(popover_, &PopoverCorteCamara::distanciaCambiada, this, [this](double metros) {
        cambiarDistanciaCorte(estado_, metros);
        cambiado();
    });
    // Closed by a click elsewhere.
    connect(popover_, &PopoverCorteCamara::cerrado, this, [this] {
        if (!estado_.mostrarPopoverCorte)
            return;
        estado_.mostrarPopoverCorte = false;
        cambiado();
    });
    actualizar();
}

void BotonCorteCamara::cambiado()
{
    actualizar();
    if (alCambiar_)
        alCambiar_();
}

void BotonCorteCamara::actualizar()
{
    const bool activo = estado_.modoCorteCamara;
    const QColor cian = platform::systemColor(platform::SystemColor::cyan);
    const QColor primario = platform::systemColor(platform::SystemColor::primaryLabel);
    setIcon(platform::symbolIcon(activo ? QStringLiteral("scissors.fill") : QStringLiteral("scissors"),
                                 activo ? cian : primario));
    QColor fondo = activo ? cian : colorFondoControl();
    if (activo)
        fondo.setAlphaF(0.18f);
    setStyleSheet(estiloBotonPlano(fondo, 6));
    setToolTip(ayudaBotonCorte(estado_));

    popover_->actualizar(estado_);
    if (estado_.mostrarPopoverCorte && !popover_->isVisible())
        popover_->mostrarJuntoA(*this);
    else if (!estado_.mostrarPopoverCorte && popover_->isVisible())
        popover_->hide();
}

}  // namespace quelva
