#include "render/OffscreenRenderer.h"
#include "render/SceneView.h"
#include "support/Showcase.h"
#include "support/TestScenes.h"
#include "support/Esperar.h"

#include <QDir>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace rendertest;

namespace {

// QUELVA_RENDER_SHOTS=<folder> keeps the images for a look by eye.
void keep(const QImage& image, const QString& name)
{
    const QString dir = qEnvironmentVariable("QUELVA_RENDER_SHOTS");
    if (!dir.isEmpty() && QDir().mkpath(dir))
        image.save(QDir(dir).filePath(name));
}

}  // namespace

TEST(Showcase, BuildingFarFromTheOriginIsLitShadedAndOverlaid)
{
    Showcase s = makeShowcase({500000, 7000000, 0});
    render::OffscreenRenderer r;
    ASSERT_TRUE(r.isValid());
    const QImage img = r.render(*s.scene, *s.camera, QSize(1280, 800), 4);
    keep(img, "showcase.png");
    s.camera->position = s.centre + scene::Vec3{-14, -12, 12};
    s.camera->lookAt(s.centre + scene::Vec3{0, 0, 3}, {0, 0, 1});
    keep(r.render(*s.scene, *s.camera, QSize(1280, 800), 4), "closeup.png");
    ASSERT_FALSE(img.isNull());
}

TEST(Showcase, ViewWidgetShowsTheBuildingAndPicksItsElements)
{
    Showcase s = makeShowcase({500000, 7000000, 0});
    render::SceneView view;
    view.resize(960, 600);
    view.setScene(s.scene);
    view.setPointOfView(s.camera);
    view.setCameraTarget(s.centre);
    view.setAllowsCameraControl(true);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view, testsupport::kLimiteCuelgue));
    const QImage shot = view.snapshot();
    keep(shot, "view.png");
    // The element under the centre of the view is part of the building, not the floor.
    const auto hit = view.hitTest(QPointF(480, 300));
    ASSERT_TRUE(hit);
    EXPECT_FALSE(hit->node->hasName("_QUELVA_Piso"));
    EXPECT_LT(scene::length(hit->worldCoordinates - s.centre), 30.0);

    // Orbit round to the other side and zoom in a little: the building stays in view.
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(480, 300));
    for (int i = 1; i <= 20; ++i)
        QTest::mouseMove(&view, QPoint(480 - 12 * i, 300 + 2 * i));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(240, 340));
    QWheelEvent wheel(QPointF(480, 300), view.mapToGlobal(QPointF(480, 300)), QPoint(), QPoint(0, 240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&view, &wheel);
    keep(view.snapshot(), "view-orbited.png");
    EXPECT_TRUE(view.hitTest(QPointF(480, 300)));
}
