#pragma once

#include "viewport/EstadoMedicion.h"

#include <QToolButton>
#include <functional>

namespace quelva {

class PopoverCorteCamara;

// The "Corte" button of the viewport toolbar with its settings panel. It works on the main
// window's camera-cut state and calls `alCambiar` after every change it makes, so that the
// window can hand the new near distance to the 3D view.
class BotonCorteCamara : public QToolButton {
    Q_OBJECT

public:
    BotonCorteCamara(EstadoCorteCamara& estado, std::function<void()> alCambiar, QWidget* parent = nullptr);

    // Look, help text and panel after a change of the state made elsewhere.
    void actualizar();

    PopoverCorteCamara* popover() const { return popover_; }

private:
    void cambiado();

    EstadoCorteCamara& estado_;
    std::function<void()> alCambiar_;
    PopoverCorteCamara* popover_ = nullptr;
};

}  // namespace quelva
