#include "viewport/Interruptor.h"

#include <QPainter>

namespace quelva {

Interruptor::Interruptor(QWidget* parent) : QAbstractButton(parent)
{
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(sizeHint());
}

QSize Interruptor::sizeHint() const { return {38, 22}; }

void Interruptor::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF pista = QRectF(rect()).adjusted(1, 1, -1, -1);
    p.setPen(Qt::NoPen);
    p.setBrush(isChecked() ? palette().color(QPalette::Highlight) : QColor(0, 0, 0, 45));
    p.drawRoundedRect(pista, pista.height() / 2, pista.height() / 2);
    const double diametro = pista.height() - 4;
    const double x = isChecked() ? pista.right() - 2 - diametro : pista.left() + 2;
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(x, pista.top() + 2, diametro, diametro));
}

}  // namespace quelva
