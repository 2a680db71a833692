#pragma once

#include <QDialog>

#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace quelva {

class ContentView;

// "Configurar Análisis de Interferencias": name, tolerance, discipline pairs and the exclusion
// choice, every control bound to the main window's clash fields. Closes on "Cancelar" and on
// "Iniciar análisis" (which starts the run); deletes itself when closed.
class HojaConfigAnalisis : public QDialog {
    Q_OBJECT
public:
    HojaConfigAnalisis(ContentView& vista, QWidget* parent);

    QLineEdit* campoNombre() const { return nombre_; }
    QSlider* deslizadorTolerancia() const { return tolerancia_; }
    QLabel* etiquetaTolerancia() const { return valorTolerancia_; }
    const std::vector<QCheckBox*>& casillasPares() const { return pares_; }
    QPushButton* botonTodos() const { return todos_; }
    QPushButton* botonNinguno() const { return ninguno_; }
    QCheckBox* casillaExcluir() const { return excluir_; }
    QPushButton* botonCancelar() const { return cancelar_; }
    QPushButton* botonIniciar() const { return iniciar_; }

    void done(int resultado) override;

private:
    void actualizar();

    ContentView& vista_;
    QLineEdit* nombre_ = nullptr;
    QSlider* tolerancia_ = nullptr;
    QLabel* valorTolerancia_ = nullptr;
    std::vector<QCheckBox*> pares_;
    QPushButton* todos_ = nullptr;
    QPushButton* ninguno_ = nullptr;
    QCheckBox* excluir_ = nullptr;
    QPushButton* cancelar_ = nullptr;
    QPushButton* iniciar_ = nullptr;
};

}  // namespace quelva
