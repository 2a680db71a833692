#pragma once

#include "timeline/analitica/CurvaS.h"
#include "timeline/analitica/TrazadoCurvaS.h"

#include <QImage>
#include <QPainterPath>
#include <QWidget>

#include <array>

class QComboBox;

namespace quelva {

class ControladorTimeLiner;

// The chart: grid, month ticks, axes, the cumulative curves, the scrubber line and the readout
// under the pointer. The curves are kept per store version, mode and size; the scrubber and
// the pointer only repaint.
class SuperficieCurvaS : public QWidget {
    Q_OBJECT
public:
    SuperficieCurvaS(ControladorTimeLiner& controlador, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void preparar();
    void pintarFijo(QPainter& p);

    ControladorTimeLiner& c_;
    quint64 version_ = ~quint64(0);
    int modo_ = -1;
    QSize tamano_;
    TrazadoCurvaS trazado_;
    std::vector<MesGantt> meses_;
    QImage fijo_;
};

// Solid and dashed swatches with their labels, in two rows that wrap when narrow.
class LeyendaCurvaS : public QWidget {
    Q_OBJECT
public:
    LeyendaCurvaS(ControladorTimeLiner& controlador, QWidget* parent = nullptr);
    void refrescar();
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int ancho) const override;
    QSize sizeHint() const override;

    struct Elemento {
        QColor color;
        QString etiqueta;
        bool discontinua;
    };
    std::vector<std::vector<Elemento>> filas() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Lays the items out across `ancho`; gives each its top-left and the height used.
    double disponer(double ancho, std::vector<std::pair<QPointF, Elemento>>* posiciones) const;

    ControladorTimeLiner& c_;
    int modo_ = -1;
};

// "S-CURVE" with its mode picker, the chart and the legend.
class PanelCurvaS : public QWidget {
    Q_OBJECT
public:
    PanelCurvaS(ControladorTimeLiner& controlador, QWidget* parent = nullptr);
    void refrescar();
    QComboBox* selectorModo() const { return modo_; }
    SuperficieCurvaS* superficie() const { return superficie_; }
    LeyendaCurvaS* leyenda() const { return leyenda_; }

private:
    ControladorTimeLiner& c_;
    QComboBox* modo_;
    SuperficieCurvaS* superficie_;
    LeyendaCurvaS* leyenda_;
};

}  // namespace quelva
