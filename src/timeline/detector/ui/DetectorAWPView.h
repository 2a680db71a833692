#pragma once

#include "timeline/detector/ControladorDetectorAWP.h"

#include <QDialog>

#include <memory>

class QLabel;
class QListView;
class QPushButton;
class QStackedWidget;

namespace quelva {

class ModeloDetectorAWP;

// The detector sheet: start a scan, review the codes found, tick and import.
class DetectorAWPView : public QDialog {
    Q_OBJECT
public:
    DetectorAWPView(std::shared_ptr<const PropiedadesPorEspecialidad> propiedadesIFC, TimeLinerStore& store,
                    QWidget* parent = nullptr);

    ControladorDetectorAWP& controlador() { return *controlador_; }
    QListView* lista() const { return lista_; }
    // The tick box of a row, in the list's viewport coordinates.
    QRect rectMarca(int fila) const;

    // Which of the three middle states shows: 0 scanning, 1 nothing found yet, 2 the results.
    int estadoVisible() const;

private:
    void refrescar();

    ControladorDetectorAWP* controlador_ = nullptr;
    ModeloDetectorAWP* modelo_ = nullptr;
    QStackedWidget* centro_ = nullptr;
    QListView* lista_ = nullptr;
    QLabel* cuentas_ = nullptr;
    QPushButton* detectarDeNuevo_ = nullptr;
    QPushButton* importar_ = nullptr;
    quint64 versionMostrada_ = 0;
};

// Puts the detector sheet in the timeline's registry.
void registrarDetectorAWP();

}  // namespace quelva
