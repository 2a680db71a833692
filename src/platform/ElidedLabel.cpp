#include "platform/ElidedLabel.h"

#include <QPainter>

namespace platform {

ElidedLabel::ElidedLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setToolTip(text);
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

QSize ElidedLabel::minimumSizeHint() const
{
    return {fontMetrics().horizontalAdvance(QChar(0x2026)) * 3, QLabel::minimumSizeHint().height()};
}

QString ElidedLabel::shownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

void ElidedLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setFont(font());
    p.setPen(palette().color(foregroundRole()));
    p.drawText(contentsRect(), (int(alignment()) & ~int(Qt::AlignJustify)) | Qt::TextSingleLine, shownText());
}

}  // namespace platform
