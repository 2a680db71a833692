#pragma once

#include "viewport/EstadoMedicion.h"

#include <QWidget>

class QLabel;
class QSlider;

namespace quelva {

class Interruptor;

// The camera cut's settings panel: the switch, an explanation and the cut distance slider
// (0.05 to 5.0 m in steps of 0.05). A popup: a click elsewhere closes it. It shows the state it is
// given and reports the user's changes; it changes no state itself.
class PopoverCorteCamara : public QWidget {
    Q_OBJECT

public:
    explicit PopoverCorteCamara(QWidget* parent = nullptr);

    void actualizar(const EstadoCorteCamara& estado);
    // Beside `ancla` (a widget of the toolbar), on its leading side, vertically centred on it.
    void mostrarJuntoA(const QWidget& ancla);

    Interruptor* interruptor() const { return interruptor_; }
    QSlider* deslizador() const { return deslizador_; }
    QLabel* etiquetaValor() const { return valor_; }
    QWidget* filaAviso() const { return aviso_; }

signals:
    void modoCambiado(bool activo);
    void distanciaCambiada(double metros);
    void cerrado();

protected:
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    Interruptor* interruptor_ = nullptr;
    QSlider* deslizador_ = nullptr;
    QLabel* valor_ = nullptr;
    QWidget* aviso_ = nullptr;
};

}  // namespace quelva
