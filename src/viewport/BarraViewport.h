#pragma once

#include "viewport/EstadoMedicion.h"
#include "viewport/VistaPreset.h"

#include <QWidget>
#include <functional>

class QToolButton;
class QVBoxLayout;

namespace quelva {

class BotonCorteCamara;

// The toolbar floating at the top trailing corner of the 3D view, top to bottom: "Zoom extents",
// the measurement group, the "Corte" button and the seven preset buttons, with dividers between
// the groups. It reports presses; the owner moves the camera.
class BarraViewport : public QWidget {
    Q_OBJECT

public:
    // `corte` and `alCambiarCorte` go to the "Corte" button (see BotonCorteCamara).
    BarraViewport(EstadoCorteCamara& corte, std::function<void()> alCambiarCorte, QWidget* parent = nullptr);

    // Puts the measurement group in its place (between the first two dividers); the bar takes it.
    void setGrupoMedicion(QWidget* grupo);
    QWidget* grupoMedicion() const { return grupoMedicion_; }

    QToolButton* botonEncuadrar() const { return encuadrar_; }
    BotonCorteCamara* botonCorte() const { return corte_; }
    QToolButton* botonPreset(VistaPreset preset) const;

signals:
    void encuadrarTodoPulsado();
    void presetPulsado(quelva::VistaPreset preset);

private:
    QVBoxLayout* ranuraMedicion_ = nullptr;
    QWidget* grupoMedicion_ = nullptr;
    QToolButton* encuadrar_ = nullptr;
    BotonCorteCamara* corte_ = nullptr;
    QToolButton* presets_[7] = {};
};

}  // namespace quelva
