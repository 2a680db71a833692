#pragma once

// Items left to right, wrapping to a new row when the next would pass the right edge, like
// words in a paragraph. Measuring and placing follow one rule, so the rows placed in a width
// are the rows measured for it. Every item keeps its own size; rows are top-aligned.

#include <QLayout>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <optional>
#include <vector>

namespace quelva {

// Size the rows need in `ancho` (600 when none is proposed); the width is `ancho` itself.
QSizeF medirFlujo(const std::vector<QSizeF>& items, double espacio, std::optional<double> ancho);
// Top-left corners of the items inside `limites`.
std::vector<QPointF> colocarFlujo(const std::vector<QSizeF>& items, double espacio, const QRectF& limites);

class FlowLayout : public QLayout {
public:
    explicit FlowLayout(double espacio, QWidget* padre = nullptr);
    ~FlowLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int i) const override;
    QLayoutItem* takeAt(int i) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int ancho) const override;
    void setGeometry(const QRect& r) override;

private:
    std::vector<QSizeF> tamanos() const;

    QList<QLayoutItem*> items_;
    double espacio_;
};

}  // namespace quelva
