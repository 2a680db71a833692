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
// the groups. It reports presses; the owner moves the camera. Made as a child of the 3D view's
// column it keeps to that widget's top trailing corner, and only its buttons take clicks: the
// view stays usable between them.
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

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* objeto, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

signals:
    void encuadrarTodoPulsado();
    void presetPulsado(quelva::VistaPreset preset);

private:
    void colocar();
    void actualizarMascara();

    QVBoxLayout* ranuraMedicion_ = nullptr;
    QWidget* grupoMedicion_ = nullptr;
    QToolButton* encuadrar_ = nullptr;
    BotonCorteCamara* corte_ = nullptr;
    QToolButton* presets_[7] = {};
};

}  // namespace quelva
