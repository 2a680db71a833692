#pragma once

#include "qto/EstadoQTO.h"
#include "qto/ui/ModeloTablaQTO.h"

#include <QHeaderView>
#include <QTableView>

namespace quelva {

// Column titles: up to two lines, aligned to their column's side, with the sort chevron
// after the title of the sort column.
class EncabezadoQTO : public QHeaderView {
    Q_OBJECT
public:
    EncabezadoQTO(const EstadoQTO& estado, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    const EstadoQTO& estado_;
};

// The take-off table: uniform rows drawn by one delegate, fixed column widths and a type
// column that takes the room left over.
class TablaQTO : public QTableView {
    Q_OBJECT
public:
    static constexpr int kAltoFila = 22;
    static constexpr int kMargen = 12;  // leading and trailing margin of every row

    TablaQTO(const EstadoQTO& estado, QWidget* parent = nullptr);

    ModeloTablaQTO* modelo() const { return modelo_; }
    // Rebuilds rows and columns from the state.
    void reconstruir();
    // The type column's width for the current width and extra columns.
    double anchoTipo() const;
    // The view's width at which every column, and every group's type name, is whole.
    int anchoNecesario() const;

signals:
    void grupoPulsado(const QUuid& id);
    void columnaPulsada(int columna);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ajustarAnchos();

    const EstadoQTO& estado_;
    ModeloTablaQTO* modelo_;
    EncabezadoQTO* encabezado_;
};

}  // namespace quelva
