#include "scene/Image.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace scene {

DrawnImage::DrawnImage(QSizeF size, bool flipped, Handler handler)
    : size_(size), flipped_(flipped), handler_(std::move(handler))
{
}

QImage DrawnImage::render(double scale) const
{
    if (!(scale > 0) || !std::isfinite(scale))
        scale = 1.0;
    std::lock_guard lock(mutex_);
    if (cachedScale_ == scale && !cached_.isNull())
        return cached_;

    const double w = std::isfinite(size_.width()) ? size_.width() : 0;
    const double h = std::isfinite(size_.height()) ? size_.height() : 0;
    const int pw = std::max(1, int(std::lround(std::clamp(w * scale, 0.0, 16384.0))));
    const int ph = std::max(1, int(std::lround(std::clamp(h * scale, 0.0, 16384.0))));
    QImage image(pw, ph, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);

    bool ok = false;
    if (handler_) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(scale, scale);
        if (!flipped_) {
            // Bottom-left origin, y up, as the handlers that are not flipped expect.
            painter.translate(0, h);
            painter.scale(1, -1);
        }
        ok = handler_(painter, QRectF(QPointF(0, 0), QSizeF(w, h)));
    }
    if (!ok)
        image.fill(Qt::transparent);

    cached_ = image;
    cachedScale_ = scale;
    return cached_;
}

}  // namespace scene
