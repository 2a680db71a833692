#pragma once

#include "federation/Especialidad.h"

#include <QDialog>

#include <functional>

class QAbstractButton;
class QButtonGroup;
class QLineEdit;
class QSlider;

namespace quelva {

class ControladorFederacion;

// The sheet "Transformación del modelo": edits a bound TransformacionModelo at once; only
// "Aplicar" (onAplicar) reaches the scene. Any other way of closing it cancels.
class EditorTransformacionDialog : public QDialog {
    Q_OBJECT

public:
    EditorTransformacionDialog(const QString& nombreModelo, TransformacionModelo& transformacion,
                               std::function<void()> onAplicar, std::function<void()> onCancelar,
                               QWidget* parent = nullptr);

    void reject() override;

    QLineEdit* campoEje(char eje) const;
    QLineEdit* campoGiro() const { return campoGiro_; }
    QSlider* deslizadorGiro() const { return deslizador_; }
    QAbstractButton* botonUnidades(TransformacionModelo::Unidades u) const;
    QAbstractButton* botonRestablecer() const { return restablecer_; }
    QAbstractButton* botonCancelar() const { return cancelar_; }
    QAbstractButton* botonAplicar() const { return aplicar_; }

private:
    QWidget* crearCampoEje(char eje, double TransformacionModelo::* campo);
    void mostrarValores();

    TransformacionModelo& t_;
    std::function<void()> onAplicar_;
    std::function<void()> onCancelar_;
    bool cerrado_ = false;

    QButtonGroup* unidades_ = nullptr;
    QLineEdit* campos_[3] = {nullptr, nullptr, nullptr};
    QLineEdit* campoGiro_ = nullptr;
    QSlider* deslizador_ = nullptr;
    QAbstractButton* restablecer_ = nullptr;
    QAbstractButton* cancelar_ = nullptr;
    QAbstractButton* aplicar_ = nullptr;
};

// Opens the sheet for the model named by estado().modeloEditandoTransformacion, bound to
// estado().transformacionEditando; none when no model is being edited. The dialog deletes
// itself when closed.
EditorTransformacionDialog* presentarEditorTransformacion(ControladorFederacion& controlador,
                                                          QWidget* parent);

}  // namespace quelva
