#pragma once

#include <QColor>
#include <QDialog>

#include <functional>

class QAbstractButton;
class QLabel;
class QPushButton;

namespace quelva {

class ControladorFederacion;

// The sheet "Color de <nombre>": a colour well bound to a colour (opacity included) and the
// button row. Only "Aplicar" (onAplicar) changes anything; any other way of closing cancels.
class SelectorColorDialog : public QDialog {
    Q_OBJECT

public:
    SelectorColorDialog(const QString& nombreEspecialidad, QColor& color, std::function<void()> onAplicar,
                        std::function<void()> onCancelar, QWidget* parent = nullptr);

    void reject() override;

    QLabel* titulo() const { return titulo_; }
    QPushButton* pozoColor() const { return pozo_; }
    QAbstractButton* botonCancelar() const { return cancelar_; }
    QAbstractButton* botonAplicar() const { return aplicar_; }
    // What the well shows after a choice in the colour dialog.
    void elegirColor(const QColor& color);

private:
    void mostrarColor();

    QColor& color_;
    std::function<void()> onAplicar_;
    std::function<void()> onCancelar_;
    bool cerrado_ = false;
    QLabel* titulo_ = nullptr;
    QPushButton* pozo_ = nullptr;
    QAbstractButton* cancelar_ = nullptr;
    QAbstractButton* aplicar_ = nullptr;
};

// Opens the picker for estado().colorPickerKey, bound to estado().colorPickerColor; none while
// no key is set. The dialog deletes itself when closed.
SelectorColorDialog* presentarSelectorColor(ControladorFederacion& controlador, QWidget* parent);

}  // namespace quelva
