#include "scene/Image.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace scene;

namespace {

// Handler that paints the band y 0..10 red and counts its calls.
DrawnImagePtr band(bool flipped, int& calls, bool result = true)
{
    return std::make_shared<DrawnImage>(QSizeF(4, 40), flipped, [&calls, result](QPainter& p, const QRectF& r) {
        ++calls;
        EXPECT_EQ(r, QRectF(0, 0, 4, 40));
        p.fillRect(QRectF(0, 0, 4, 10), Qt::red);
        return result;
    });
}

}  // namespace

TEST(DrawnImage, FlippedDrawsFromTheTopAndNotFlippedFromTheBottom)
{
    int calls = 0;
    const QImage top = band(true, calls)->render();
    ASSERT_EQ(top.size(), QSize(4, 40));
    EXPECT_EQ(top.pixelColor(1, 2), QColor(Qt::red));
    EXPECT_EQ(top.pixelColor(1, 37).alpha(), 0);

    const QImage bottom = band(false, calls)->render();
    EXPECT_EQ(bottom.pixelColor(1, 37), QColor(Qt::red));
    EXPECT_EQ(bottom.pixelColor(1, 2).alpha(), 0);
}

TEST(DrawnImage, RendersOncePerScaleAndFailureIsTransparent)
{
    int calls = 0;
    DrawnImagePtr img = band(true, calls);
    img->render();
    img->render();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(img->render(2).size(), QSize(8, 80));
    EXPECT_EQ(calls, 2);

    int failed = 0;
    const QImage none = band(true, failed, false)->render();
    EXPECT_EQ(none.pixelColor(1, 2).alpha(), 0);
}
