#include "scene/Primitives.h"

#include <QFontMetricsF>
#include <gtest/gtest.h>

using namespace scene;

TEST(Text, SpansItsTextInSceneUnits)
{
    QFont bold;
    bold.setBold(true);
    GeometryPtr g = makeText("6.000 m²", 0.22, 0.01, bold);
    const Box b = g->localBounds();
    EXPECT_NEAR(b.min.x, 0, 1e-9);
    EXPECT_NEAR(b.min.y, 0, 1e-9);
    EXPECT_NEAR(b.min.z, 0, 1e-9);
    EXPECT_NEAR(b.max.z, 0.01, 1e-6);
    // Width as the font measures it, scaled from pixels per em to scene units.
    QFont f = bold;
    f.setPixelSize(100);
    const double expected = QFontMetricsF(f).horizontalAdvance(QString::fromUtf8("6.000 m²")) / 100 * 0.22;
    EXPECT_NEAR(b.max.x, expected, 0.01);
    EXPECT_GT(b.max.y, 0.22);  // ascent plus descent is more than the em
    EXPECT_LT(b.max.y, 0.22 * 1.5);

    // Twice the size, twice the box.
    const Box big = makeText("6.000 m²", 0.44, 0.01, bold)->localBounds();
    EXPECT_NEAR(big.max.x, 2 * b.max.x, 1e-6);
    EXPECT_FALSE(g->name.has_value());  // the text is no element name
}

TEST(Text, ColourIsTheDiffuseAndTheImageAMask)
{
    GeometryPtr g = makeText("A", 1, 0.1);
    MaterialPtr m = g->firstMaterial();
    ASSERT_TRUE(m);
    ASSERT_TRUE(m->diffuse.color());
    const auto* mask = std::get_if<DrawnImagePtr>(&m->transparent.contents);
    ASSERT_TRUE(mask && *mask);
    const QImage image = (*mask)->render();
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            opaque += image.pixelColor(x, y).alpha() > 128;
    EXPECT_GT(opaque, 20);
    EXPECT_LT(opaque, image.width() * image.height());
}
