#pragma once

#include "timeline/FigurasTimeLiner.h"

#include <QWidget>

#include <set>
#include <vector>

class QLabel;
class QProgressBar;
class QScrollArea;
class QStackedWidget;

namespace quelva {

class ControladorTimeLiner;

// The rows of the tree, painted: thousands of packages cost no widgets, and a playback tick
// only repaints the rows on screen.
class ListaPaquetes : public QWidget {
    Q_OBJECT
public:
    ListaPaquetes(ControladorTimeLiner& controlador, QWidget* parent = nullptr);

    // Rows again from the store and the expansion state (not needed for a new date).
    void actualizarFilas();
    const std::vector<FilaVisible>& filas() const { return filas_; }
    QSize sizeHint() const override;

    // Parts of a row that answer a click, in the row's coordinates.
    QRectF chevron(int fila) const;
    QRectF lapiz(int fila) const;
    QRectF rectFila(int fila) const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    int filaEn(QPointF punto) const;

    ControladorTimeLiner& c_;
    std::vector<FilaVisible> filas_;
};

// The left pane: title, the rows (or the empty state) and the IWP summary.
class ArbolPaquetes : public QWidget {
    Q_OBJECT
public:
    ArbolPaquetes(ControladorTimeLiner& controlador, QWidget* parent = nullptr);

    // Rows are built again only when the store or the expansion changed; a new date or
    // selection only repaints.
    void refrescar();
    ListaPaquetes* lista() const { return lista_; }
    QScrollArea* desplazamiento() const { return desplazable_; }
    // Height of the title above the first row.
    static constexpr int altoTitulo = 32;

private:
    void refrescarConfig();

    ControladorTimeLiner& c_;
    quint64 version_ = 0;
    std::set<QString> expandidos_;
    QStackedWidget* pila_;
    QScrollArea* desplazable_;
    ListaPaquetes* lista_;
    QLabel* cuantos_;
    QLabel* presupuesto_;
    QLabel* avance_;
    QProgressBar* barra_;
};

}  // namespace quelva
