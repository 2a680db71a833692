#include "render/OffscreenRenderer.h"
#include "support/TestScenes.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace rendertest;
using scene::Color;
using scene::Vec3;

namespace {

constexpr QSize kSize(160, 120);

struct Fixture {
    scene::ScenePtr scene = scene::makeScene();
    scene::NodePtr eye = camera({0, -6, 0}, {0, 0, 0});
    Fixture()
    {
        scene->background.contents = Color{0.2, 0.3, 0.4, 1};
        scene->rootNode()->addChild(eye);
    }
    QImage draw(render::OffscreenRenderer& r, int samples = 4) { return r.render(*scene, *eye, kSize, samples); }
};

const QColor kBackground(51, 77, 102);

}  // namespace

TEST(OffscreenRenderer, ConstantRedBoxIsRedAtTheCentreWithTheBackgroundInTheCorners)
{
    Fixture f;
    f.scene->rootNode()->addChild(node(box(1, 1, 1, Color{1, 0, 0, 1})));
    f.eye->position = {4, -4, 3};
    f.eye->lookAt({0, 0, 0}, {0, 0, 1});
    render::OffscreenRenderer r;
    ASSERT_TRUE(r.isValid());
    const QImage img = f.draw(r);
    ASSERT_EQ(img.size(), kSize);
    EXPECT_TRUE(close(pixel(img, 80, 60), QColor(255, 0, 0))) << describe(pixel(img, 80, 60)).toStdString();
    for (QPoint p : {QPoint(0, 0), QPoint(159, 0), QPoint(0, 119), QPoint(159, 119)})
        EXPECT_TRUE(close(pixel(img, p.x(), p.y()), kBackground)) << describe(pixel(img, p.x(), p.y())).toStdString();
}

TEST(OffscreenRenderer, UnsetBackgroundStaysTransparent)
{
    Fixture f;
    f.scene->background.contents = Color::clear();
    f.scene->rootNode()->addChild(node(box(1, 1, 1, Color{0, 1, 0, 1})));
    render::OffscreenRenderer r;
    const QImage img = f.draw(r);
    EXPECT_EQ(pixel(img, 2, 2).alpha(), 0);
    EXPECT_TRUE(close(pixel(img, 80, 60), QColor(0, 255, 0)));
}
