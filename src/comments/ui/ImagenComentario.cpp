#include "comments/ui/ImagenComentario.h"

#include <QPainter>
#include <QPainterPath>

namespace quelva {

ImagenComentario::ImagenComentario(const QImage& imagen, double radio, QWidget* parent)
    : QWidget(parent), imagen_(imagen), radio_(radio)
{
    QSizePolicy politica(QSizePolicy::Expanding, QSizePolicy::Preferred);
    politica.setHeightForWidth(true);
    setSizePolicy(politica);
    setMinimumSize(80, 50);
}

int ImagenComentario::heightForWidth(int ancho) const
{
    if (imagen_.isNull() || imagen_.width() <= 0)
        return 0;
    return ancho * imagen_.height() / imagen_.width();
}

QSize ImagenComentario::sizeHint() const
{
    return {480, heightForWidth(480)};
}

void ImagenComentario::paintEvent(QPaintEvent*)
{
    if (imagen_.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSizeF ajustado = QSizeF(imagen_.size()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
    const QRectF caja(QPointF((width() - ajustado.width()) / 2, (height() - ajustado.height()) / 2), ajustado);
    QPainterPath forma;
    forma.addRoundedRect(caja, radio_, radio_);
    p.save();
    p.setClipPath(forma);
    p.drawImage(caja, imagen_);
    p.restore();
    p.setPen(QPen(QColor(255, 255, 255, 26), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(forma);
}

}  // namespace quelva
