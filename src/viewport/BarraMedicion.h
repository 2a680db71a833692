#pragma once

// The measurement group of the viewport toolbar: four mode buttons, the clear button and the
// polygon close button. It only shows the state and reports presses; whoever owns the
// EstadoMedicion runs the actions (see Medicion3D.h) and calls actualizar() afterwards.
//
//     auto* barra = new quelva::BarraMedicion(toolbar);
//     connect(barra, &BarraMedicion::modoPulsado, [&](ModoMedicion3D m) { accionBotonModo(estado, m); ... });
//     connect(barra, &BarraMedicion::limpiarPulsado, ...);   // limpiarMediciones
//     connect(barra, &BarraMedicion::cerrarPulsado, ...);    // cerrarPoligonoArea
//     barra->actualizar(estado);

#include "viewport/EstadoMedicion.h"
#include "viewport/ModoMedicion3D.h"

#include <QString>
#include <QWidget>

class QToolButton;

namespace quelva {

class BarraMedicion : public QWidget {
    Q_OBJECT

public:
    explicit BarraMedicion(QWidget* parent = nullptr);

    // Active mode, visibility of the clear and close buttons, help texts.
    void actualizar(const EstadoMedicion& estado);

    // Buttons, for the owner's layout and for tests.
    QToolButton* botonModo(ModoMedicion3D modo) const;
    QToolButton* botonLimpiar() const { return limpiar_; }
    QToolButton* botonCerrar() const { return cerrar_; }

signals:
    void modoPulsado(quelva::ModoMedicion3D modo);
    void limpiarPulsado();
    void cerrarPulsado();

private:
    QToolButton* modos_[4] = {};
    QToolButton* limpiar_ = nullptr;
    QToolButton* cerrar_ = nullptr;
};

// Caption of a mode button ("Dist.", "Área", "Ángulo", "Punto"); empty for inactivo.
QString rotuloModo(ModoMedicion3D modo);
// Help text of a mode button given the current mode.
QString ayudaBotonModo(ModoMedicion3D modo, ModoMedicion3D actual);

}  // namespace quelva
