#pragma once

#include <QWidget>

class QPushButton;
class QScrollArea;
class QStackedWidget;

namespace quelva {

class ColumnaEVM;
class ControladorTimeLiner;
class PanelCurvaS;

// The analytics pane: "EVM / Costo" | "S-Curve" over the scrolling earned-value column or the
// S-curve panel. Only the face on show is refreshed.
class PanelAnalitica : public QWidget {
    Q_OBJECT
public:
    PanelAnalitica(ControladorTimeLiner& controlador, QWidget* parent = nullptr);
    void refrescar();
    // The pointer moved over the S-curve: only its surface repaints.
    void refrescarLectura();

    QPushButton* segmentoEVM() const { return evm_; }
    QPushButton* segmentoCurvaS() const { return curvaS_; }
    QStackedWidget* caras() const { return caras_; }
    QScrollArea* desplazamiento() const { return desplazable_; }
    ColumnaEVM* columnaEVM() const { return columna_; }
    PanelCurvaS* panelCurvaS() const { return panelCurvaS_; }

private:
    ControladorTimeLiner& c_;
    QPushButton* evm_;
    QPushButton* curvaS_;
    QStackedWidget* caras_;
    QScrollArea* desplazable_;
    ColumnaEVM* columna_;
    PanelCurvaS* panelCurvaS_;
};

}  // namespace quelva
