#pragma once

#include "timeline/TimeLiner.h"

#include "federation/EstadoFederacion.h"

#include <QDialog>

#include <array>
#include <functional>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSplitter;
class QStackedWidget;
class QWidget;

namespace quelva {

class CampoNumerico;
class MuestrasColor;
class PanelElementos;
class TimeLinerStore;

// The sheet that creates or edits one work package on the window's working copy. Every control
// writes into the copy at once; only "Guardar" and "Eliminar" write the store, and "Cancelar"
// leaves it as it was. Rules and messages are read again after every change.
class EditorPaqueteView : public QDialog {
    Q_OBJECT
public:
    EditorPaqueteView(PaqueteAWP& paquete, TimeLinerStore& store, const PropiedadesPorEspecialidad& propiedadesIFC,
                      QWidget* parent = nullptr);

    void guardar();
    void eliminar();

    // Everything shown follows the working copy and the store again.
    void refrescar();

    PanelElementos* panelElementos() const { return panel_; }
    MuestrasColor* muestras() const { return muestras_; }
    QSplitter* division() const { return division_; }

private:
    QWidget* construirFormulario();
    QWidget* construirFechas();
    QWidget* construirCostos();
    QWidget* construirPie();
    void refrescarPadre();
    void refrescarFechas();
    void refrescarCostos();

    PaqueteAWP& paquete_;
    TimeLinerStore& store_;

    QLabel* titulo_ = nullptr;
    QSplitter* division_ = nullptr;
    QButtonGroup* niveles_ = nullptr;
    QLineEdit* codigo_ = nullptr;
    QLineEdit* nombre_ = nullptr;
    QWidget* filaPadre_ = nullptr;
    QComboBox* padre_ = nullptr;
    QStringList codigosPadre_;

    QDateEdit* inicio_ = nullptr;
    QDateEdit* fin_ = nullptr;
    QWidget* aviso_ = nullptr;
    QLabel* textoAviso_ = nullptr;
    struct ColumnaReal {
        QPushButton* registrar = nullptr;
        QWidget* grupo = nullptr;
        QDateEdit* fecha = nullptr;
        QLabel* insignia = nullptr;
    };
    ColumnaReal inicioReal_;
    ColumnaReal finReal_;

    QLabel* avance_ = nullptr;
    QSlider* deslizador_ = nullptr;

    QStackedWidget* costos_ = nullptr;
    QWidget* propios_ = nullptr;
    QWidget* totales_ = nullptr;
    std::vector<CampoNumerico*> campos_;
    QWidget* filaHH_ = nullptr;
    QLabel* hhGanadas_ = nullptr;
    QLabel* factor_ = nullptr;
    QLabel* iconoFactor_ = nullptr;
    QLabel* cabeceraTotales_ = nullptr;
    QLabel* totalPresupuesto_ = nullptr;
    QLabel* totalCosto_ = nullptr;
    QWidget* filaTotalesHH_ = nullptr;
    QLabel* totalHH_ = nullptr;
    QLabel* totalHHReal_ = nullptr;

    MuestrasColor* muestras_ = nullptr;
    PanelElementos* panel_ = nullptr;

    QPushButton* eliminar_ = nullptr;
    QWidget* error_ = nullptr;
    QLabel* textoError_ = nullptr;
    QPushButton* guardar_ = nullptr;
};

// The eight palette swatches with a ring on the chosen one.
class MuestrasColor : public QWidget {
    Q_OBJECT
public:
    MuestrasColor(int& colorIdx, std::function<void()> alCambiar, QWidget* parent = nullptr);
    void elegir(int indice);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* evento) override;

private:
    int& colorIdx_;
    std::function<void()> alCambiar_;
};

// Puts the editor into the timeline window's registry.
void registrarEditorPaquete();

}  // namespace quelva
