#pragma once

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <functional>
#include <memory>
#include <mutex>

class QPainter;

namespace scene {

// An image drawn on demand by a handler, in points. Not flipped means a bottom-left origin
// (y grows upwards), flipped a top-left origin. The raster is made once per scale and kept.
class DrawnImage {
public:
    using Handler = std::function<bool(QPainter&, const QRectF&)>;

    DrawnImage(QSizeF size, bool flipped, Handler handler);

    QSizeF size() const { return size_; }
    bool flipped() const { return flipped_; }

    // Raster of the image at `scale` pixels per point, top row first. A handler that reports
    // failure yields a transparent image.
    QImage render(double scale = 1.0) const;

private:
    QSizeF size_;
    bool flipped_;
    Handler handler_;
    mutable std::mutex mutex_;
    mutable double cachedScale_ = 0;
    mutable QImage cached_;
};

using DrawnImagePtr = std::shared_ptr<DrawnImage>;

}  // namespace scene
