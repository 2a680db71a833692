#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace quelva {

class ContentView;

// The "Nueva Especialidad" sheet: name, symbol and colour of a new discipline, bound to the
// main window's fields. Closes on "Cancelar" and after "Agregar"; deletes itself when closed.
class HojaNuevaEspecialidad : public QDialog {
    Q_OBJECT
public:
    HojaNuevaEspecialidad(ContentView& vista, QWidget* parent);

    QLineEdit* campoNombre() const { return nombre_; }
    QLineEdit* campoIcono() const { return icono_; }
    QPushButton* botonColor() const { return color_; }
    QPushButton* botonCancelar() const { return cancelar_; }
    QPushButton* botonAgregar() const { return agregar_; }

    void done(int resultado) override;

private:
    void mostrarColor();

    ContentView& vista_;
    QLineEdit* nombre_ = nullptr;
    QLineEdit* icono_ = nullptr;
    QPushButton* color_ = nullptr;
    QPushButton* cancelar_ = nullptr;
    QPushButton* agregar_ = nullptr;
};

}  // namespace quelva
