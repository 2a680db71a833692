#include "timeline/impresion/FlowLayout.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

namespace quelva {

QSizeF medirFlujo(const std::vector<QSizeF>& items, double espacio, std::optional<double> ancho)
{
    const double W = ancho.value_or(600);
    double x = 0, y = 0, altoFila = 0;
    for (const QSizeF& s : items) {
        if (x > 0 && x + s.width() > W) {
            y += altoFila + espacio;
            x = 0;
            altoFila = 0;
        }
        altoFila = std::max(altoFila, s.height());
        x += s.width() + espacio;
    }
    return {W, y + altoFila};
}

std::vector<QPointF> colocarFlujo(const std::vector<QSizeF>& items, double espacio, const QRectF& limites)
{
    std::vector<QPointF> posiciones;
    posiciones.reserve(items.size());
    double x = limites.left(), y = limites.top(), altoFila = 0;
    for (const QSizeF& s : items) {
        if (x + s.width() > limites.right() && x > limites.left()) {
            y += espacio + altoFila;
            x = limites.left();
            altoFila = 0;
        }
        posiciones.emplace_back(x, y);
        altoFila = std::max(altoFila, s.height());
        x += s.width() + espacio;
    }
    return posiciones;
}

FlowLayout::FlowLayout(double espacio, QWidget* padre) : QLayout(padre), espacio_(espacio)
{
    setContentsMargins(0, 0, 0, 0);
}

FlowLayout::~FlowLayout()
{
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void FlowLayout::addItem(QLayoutItem* item)
{
    items_.append(item);
}

int FlowLayout::count() const
{
    return int(items_.size());
}

QLayoutItem* FlowLayout::itemAt(int i) const
{
    return i >= 0 && i < items_.size() ? items_.at(i) : nullptr;
}

QLayoutItem* FlowLayout::takeAt(int i)
{
    return i >= 0 && i < items_.size() ? items_.takeAt(i) : nullptr;
}

std::vector<QSizeF> FlowLayout::tamanos() const
{
    std::vector<QSizeF> t;
    t.reserve(size_t(items_.size()));
    for (QLayoutItem* item : items_)
        t.emplace_back(item->sizeHint());
    return t;
}

QSize FlowLayout::sizeHint() const
{
    // Without a width to fit, the rows of 600 points.
    const QSizeF s = medirFlujo(tamanos(), espacio_, std::nullopt);
    const QMargins m = contentsMargins();
    return QSize(int(std::ceil(s.width())), int(std::ceil(s.height()))).grownBy(m);
}

QSize FlowLayout::minimumSize() const
{
    QSize m;
    for (QLayoutItem* item : items_)
        m = m.expandedTo(item->minimumSize());
    return m.grownBy(contentsMargins());
}

int FlowLayout::heightForWidth(int ancho) const
{
    const QMargins m = contentsMargins();
    const double interior = std::max(0, ancho - m.left() - m.right());
    return int(std::ceil(medirFlujo(tamanos(), espacio_, interior).height())) + m.top() + m.bottom();
}

void FlowLayout::setGeometry(const QRect& r)
{
    QLayout::setGeometry(r);
    const std::vector<QSizeF> t = tamanos();
    const std::vector<QPointF> p = colocarFlujo(t, espacio_, QRectF(r.marginsRemoved(contentsMargins())));
    for (qsizetype i = 0; i < items_.size(); ++i)
        items_[i]->setGeometry(QRect(p[size_t(i)].toPoint(), t[size_t(i)].toSize()));
}

}  // namespace quelva
