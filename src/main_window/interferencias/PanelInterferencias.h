#pragma once

#include "clash/Interferencia.h"

#include <QUuid>
#include <QWidget>

#include <functional>
#include <vector>

class QMenu;

namespace quelva {

class ContentView;

// The content of the "Interferencias" card: the new-detection control (or the run's spinner), then
// one collapsible section per analysis with its clash rows and action bar.
QWidget* panelInterferenciasClash(ContentView& vista, QWidget* padre = nullptr);

// The clash rows of one analysis, painted in one widget (analyses run to thousands of clashes).
// A click focuses a clash, the context menu changes its status; both act by ids.
class FilasInterferencias : public QWidget {
    Q_OBJECT
public:
    FilasInterferencias(ContentView& vista, const AnalisisInterferencias& analisis, QWidget* parent = nullptr);

    static constexpr int kAltoFila = 50;
    int cantidad() const { return int(filas_.size()); }
    QRect rectFila(int fila) const { return QRect(0, fila * kAltoFila, width(), kAltoFila); }
    // The help text of a row: its status and how to change it.
    QString ayudaFila(int fila) const;
    // The status menu of a row, filled into `menu` (its entries act by ids).
    void llenarMenu(QMenu& menu, int fila) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Fila {
        QUuid id;
        QString nombreA, nombreB, especialidades;
        EstadoClash estado;
    };
    int filaEn(QPoint p) const;

    ContentView& vista_;
    QUuid analisis_;
    std::vector<Fila> filas_;
};

}  // namespace quelva
