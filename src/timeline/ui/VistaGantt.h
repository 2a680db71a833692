#pragma once

#include "timeline/FigurasTimeLiner.h"
#include "timeline/Gantt.h"

#include <QWidget>

#include <functional>
#include <vector>

class QScrollArea;
class QScrollBar;

namespace quelva {

class ControladorTimeLiner;

// The month strip over the chart.
class FranjaMeses : public QWidget {
    Q_OBJECT
public:
    FranjaMeses(ControladorTimeLiner& controlador, QWidget* parent = nullptr);
    // The months as the strip draws them at its width, labels measured in its font.
    std::vector<MesGantt> meses() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ControladorTimeLiner& c_;
};

// One row per visible tree row: stripes, brackets over CWAs and CWPs, IWP bars, and the today
// and scrubber lines. Painted from the state on every redraw; only the rows on screen.
class CuerpoGantt : public QWidget {
    Q_OBJECT
public:
    using FuenteFilas = std::function<const std::vector<FilaVisible>&()>;
    CuerpoGantt(ControladorTimeLiner& controlador, QWidget* parent = nullptr);
    void setFilas(int filas);
    // The rows the tree holds already; without it each paint asks the controller for them.
    void setFuenteFilas(FuenteFilas fuente) { fuente_ = std::move(fuente); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ControladorTimeLiner& c_;
    int filas_ = 0;
    FuenteFilas fuente_;
};

// The chart pane: the strip and the scrolling body, kept level with the tree's rows.
class VistaGantt : public QWidget {
    Q_OBJECT
public:
    // `margenSuperior`: the height above the tree's first row, so that rows line up.
    VistaGantt(ControladorTimeLiner& controlador, int margenSuperior, QWidget* parent = nullptr);
    void refrescar(int filas);
    // Scrolls with the tree (and the tree with it).
    void acoplar(QScrollBar* barraArbol);
    CuerpoGantt* cuerpo() const { return cuerpo_; }

private:
    FranjaMeses* franja_;
    QScrollArea* desplazable_;
    CuerpoGantt* cuerpo_;
};

}  // namespace quelva
