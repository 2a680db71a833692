#include "render/SceneRenderer.h"
#include "render/SceneView.h"
#include "scene/Material.h"
#include "scene/Primitives.h"
#include "support/TestScenes.h"
#include "support/Esperar.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace rendertest;
using scene::Color;
using scene::Vec3;

namespace {

struct ViewFixture {
    render::SceneView view;
    scene::ScenePtr scene = scene::makeScene();
    scene::NodePtr red = node(box(1, 1, 1, Color{1, 0, 0, 1}), {0, 0, 0});
    scene::NodePtr blue = node(box(1, 1, 1, Color{0, 0, 1, 1}), {2.5, 0, 0});
    scene::NodePtr green = node(box(1, 1, 1, Color{0, 1, 0, 1}), {-2.5, 0, 0});

    ViewFixture()
    {
        scene->background.contents = Color{1, 1, 1, 1};
        for (const auto& n : {red, blue, green})
            scene->rootNode()->addChild(n);
        view.resize(400, 300);
        view.setScene(scene);
        view.setAllowsCameraControl(true);
        view.pointOfView()->position = {0, -10, 3};
        view.pointOfView()->lookAt({0, 0, 0}, {0, 0, 1});
        view.setCameraTarget({0, 0, 0});
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view, testsupport::kLimiteCuelgue));
    }

    QPoint onScreen(const Vec3& world) const
    {
        const Vec3 p = view.projectPoint(world);
        return QPoint(int(std::lround(p.x)), int(std::lround(p.y)));
    }
};

double distance(const Vec3& a, const Vec3& b) { return scene::length(a - b); }

}  // namespace

TEST(SceneView, StartsWithItsOwnCameraLookingAtTheOriginWithZUp)
{
    render::SceneView view;
    const scene::NodePtr pov = view.pointOfView();
    ASSERT_TRUE(pov && pov->camera);
    EXPECT_EQ(pov->parent(), nullptr);
    EXPECT_GT(scene::length(pov->position), 1.0);
    const Vec3 forward = pov->worldTransform().transformDirection({0, 0, -1});
    EXPECT_NEAR(scene::dot(scene::normalized(forward), scene::normalized(-pov->position)), 1.0, 1e-9);
    EXPECT_GT(pov->worldTransform().transformDirection({0, 1, 0}).z, 0.0);  // screen up is towards +Z
    view.setPointOfView(nullptr);
    EXPECT_EQ(view.pointOfView(), pov);
}

TEST(SceneView, DrawsTheSceneAndSnapshotsTheFrame)
{
    ViewFixture f;
    QSignalSpy frames(&f.view, &render::SceneView::frameRendered);
    const QImage shot = f.view.snapshot();
    ASSERT_FALSE(shot.isNull());
    EXPECT_GE(frames.count(), 1);
    const double dpr = shot.devicePixelRatio();
    auto at = [&](const Vec3& w) {
        const QPoint p = f.onScreen(w);
        return pixel(shot, int(p.x() * dpr), int(p.y() * dpr));
    };
    EXPECT_TRUE(close(at({0, 0, 0}), QColor(255, 0, 0))) << describe(at({0, 0, 0})).toStdString();
    EXPECT_TRUE(close(at({2.5, 0, 0}), QColor(0, 0, 255))) << describe(at({2.5, 0, 0})).toStdString();
    EXPECT_TRUE(close(pixel(shot, 1, 1), QColor(255, 255, 255)));
}

TEST(SceneView, ClickOnABoxReportsItAndItsWorldPointAndEmptySpaceReportsNone)
{
    ViewFixture f;
    QSignalSpy clicks(&f.view, &render::SceneView::clicked);
    const QPoint onBlue = f.onScreen({2.5, -0.5, 0.1});
    QTest::mouseClick(&f.view, Qt::LeftButton, {}, onBlue);
    ASSERT_EQ(clicks.count(), 1);
    const QPointF where = clicks.at(0).at(0).toPointF();
    EXPECT_NEAR(where.x(), onBlue.x(), 0.5);
    EXPECT_NEAR(where.y(), onBlue.y(), 0.5);
    const auto hit = f.view.hitTest(where);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->node, f.blue);
    EXPECT_NEAR(hit->worldCoordinates.y, -0.5, 1e-6);  // the face towards the camera
    EXPECT_NEAR(hit->worldCoordinates.x, 2.5, 0.05);
    EXPECT_NEAR(hit->worldCoordinates.z, 0.1, 0.05);

    QTest::mouseClick(&f.view, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(clicks.count(), 2);
    EXPECT_FALSE(f.view.hitTest(clicks.at(1).at(0).toPointF()));
}

TEST(SceneView, HiddenNodesAreNeitherDrawnNorHit)
{
    ViewFixture f;
    f.red->hidden = true;
    const QPoint p = f.onScreen({0, 0, 0});
    EXPECT_FALSE(f.view.hitTest(p));
    const QImage shot = f.view.snapshot();
    const double dpr = shot.devicePixelRatio();
    EXPECT_TRUE(close(pixel(shot, int(p.x() * dpr), int(p.y() * dpr)), QColor(255, 255, 255)));
}

TEST(SceneView, LeftDragOrbitsAroundTheTargetWithoutAClick)
{
    ViewFixture f;
    QSignalSpy clicks(&f.view, &render::SceneView::clicked);
    QSignalSpy moves(&f.view, &render::SceneView::mouseMoved);
    const Vec3 before = f.view.pointOfView()->position;
    const QPoint start(200, 150);
    QTest::mousePress(&f.view, Qt::LeftButton, {}, start);
    for (int i = 1; i <= 10; ++i)
        QTest::mouseMove(&f.view, start + QPoint(8 * i, 3 * i));
    QTest::mouseRelease(&f.view, Qt::LeftButton, {}, start + QPoint(80, 30));

    EXPECT_EQ(clicks.count(), 0);
    EXPECT_GE(moves.count(), 10);
    const Vec3 after = f.view.pointOfView()->position;
    EXPECT_GT(distance(before, after), 1.0);
    EXPECT_NEAR(distance(after, f.view.cameraTarget()), distance(before, {0, 0, 0}), 1e-6);
    // Still looking at the target, screen up still towards +Z.
    const scene::Mat4 w = f.view.pointOfView()->worldTransform();
    EXPECT_NEAR(scene::dot(scene::normalized(w.transformDirection({0, 0, -1})), scene::normalized(-after)), 1.0, 1e-6);
    EXPECT_GT(w.transformDirection({0, 1, 0}).z, 0.0);
}

TEST(SceneView, AShortWobbleIsStillAClick)
{
    ViewFixture f;
    QSignalSpy clicks(&f.view, &render::SceneView::clicked);
    const Vec3 before = f.view.pointOfView()->position;
    QTest::mousePress(&f.view, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(&f.view, QPoint(102, 101));
    QTest::mouseRelease(&f.view, Qt::LeftButton, {}, QPoint(102, 101));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(f.view.pointOfView()->position, before);
}

TEST(SceneView, WithoutCameraControlADragMovesNothing)
{
    ViewFixture f;
    f.view.setAllowsCameraControl(false);
    const Vec3 before = f.view.pointOfView()->position;
    QTest::mousePress(&f.view, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(&f.view, QPoint(160, 130));
    QTest::mouseRelease(&f.view, Qt::LeftButton, {}, QPoint(160, 130));
    EXPECT_EQ(f.view.pointOfView()->position, before);
}

TEST(SceneView, RightDragPansCameraAndTargetTogether)
{
    ViewFixture f;
    const QPoint redBefore = f.onScreen({0, 0, 0});
    const Vec3 camBefore = f.view.pointOfView()->position;
    QTest::mousePress(&f.view, Qt::RightButton, {}, QPoint(200, 150));
    QTest::mouseMove(&f.view, QPoint(230, 150));
    QTest::mouseMove(&f.view, QPoint(260, 170));
    QTest::mouseRelease(&f.view, Qt::RightButton, {}, QPoint(260, 170));
    const Vec3 moved = f.view.pointOfView()->position - camBefore;
    const Vec3 targetMoved = f.view.cameraTarget();
    EXPECT_NEAR(distance(moved, targetMoved), 0.0, 1e-9);
    // The scene follows the pointer (the red box sat at the target's depth).
    const QPoint redAfter = f.onScreen({0, 0, 0});
    EXPECT_NEAR(redAfter.x() - redBefore.x(), 60, 2);
    EXPECT_NEAR(redAfter.y() - redBefore.y(), 20, 2);
}

TEST(SceneView, WheelZoomsTowardsThePointUnderTheCursor)
{
    ViewFixture f;
    const QPoint cursor = f.onScreen({2.5, -0.5, 0.2});
    const auto hit = f.view.hitTest(cursor);
    ASSERT_TRUE(hit);
    const double before = distance(f.view.pointOfView()->position, hit->worldCoordinates);
    QWheelEvent wheel(QPointF(cursor), f.view.mapToGlobal(QPointF(cursor)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&f.view, &wheel);
    const double after = distance(f.view.pointOfView()->position, hit->worldCoordinates);
    EXPECT_NEAR(after / before, 0.85, 1e-6);
    const Vec3 p = f.view.projectPoint(hit->worldCoordinates);
    EXPECT_NEAR(p.x, cursor.x(), 0.6);  // what was under the cursor stays there
    EXPECT_NEAR(p.y, cursor.y(), 0.6);
}

TEST(SceneView, HoverReportsEveryMoveWithoutAButton)
{
    ViewFixture f;
    QSignalSpy moves(&f.view, &render::SceneView::mouseMoved);
    for (QPoint p : {QPoint(50, 60), QPoint(70, 90)}) {
        QMouseEvent move(QEvent::MouseMove, QPointF(p), f.view.mapToGlobal(QPointF(p)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(&f.view, &move);
    }
    ASSERT_EQ(moves.count(), 2);
    EXPECT_EQ(moves.at(1).at(0).toPointF(), QPointF(70, 90));
}

TEST(SceneView, AnimatedMoveEndsExactlyAtTheRequestedPose)
{
    ViewFixture f;
    scene::NodePtr goal = scene::Node::make();
    goal->position = {6, -6, 6};
    goal->lookAt({0, 0, 0}, {0, 0, 1});
    const double nearBefore = f.view.pointOfView()->camera->zNear;
    const Vec3 start = f.view.pointOfView()->position;
    f.view.animateCamera(goal->position, goal->orientation, 0.8);
    EXPECT_TRUE(f.view.isAnimatingCamera());
    EXPECT_EQ(f.view.pointOfView()->position, start);  // nothing jumps before the timer runs
    ESPERAR_QUE(f.view.pointOfView()->position != start);
    if (f.view.isAnimatingCamera()) {
        EXPECT_NE(f.view.pointOfView()->position, goal->position);
    }
    ESPERAR_QUE(!f.view.isAnimatingCamera());
    EXPECT_EQ(f.view.pointOfView()->position, goal->position);
    const scene::Quat q = f.view.pointOfView()->orientation;
    EXPECT_NEAR(std::abs(q.x * goal->orientation.x + q.y * goal->orientation.y + q.z * goal->orientation.z +
                         q.w * goal->orientation.w),
                1.0, 1e-9);
    EXPECT_EQ(f.view.pointOfView()->camera->zNear, nearBefore);
}

TEST(SceneView, TheFrameBeforeAFlightsFirstStepIsAQuickOne)
{
    ViewFixture f;
    f.view.snapshot();
    ESPERAR_QUE(!f.view.isMoving());
    int frames = 0;
    bool firstMoving = false;
    QObject::connect(&f.view, &render::SceneView::frameRendered, [&] {
        if (frames++ == 0)
            firstMoving = f.view.isMoving();
    });
    // As the viewport moves the camera: the target first (which redraws), then the flight.
    f.view.setCameraTarget({2.5, 0, 0});
    f.view.animateCamera({8, -8, 6}, f.view.pointOfView()->orientation, 0.8);
    ESPERAR_QUE(frames > 0);
    EXPECT_TRUE(firstMoving);
    ESPERAR_QUE(!f.view.isAnimatingCamera() && !f.view.isMoving());
}

TEST(SceneView, ShadowsNeverDrawnBeforeComeWithTheFrameAtRestAfterAFlight)
{
    ViewFixture f;
    f.view.snapshot();
    ESPERAR_QUE(!f.view.isMoving());
    struct Frame {
        bool moving, shadowDrawn;
    };
    std::vector<Frame> frames;
    QObject::connect(&f.view, &render::SceneView::frameRendered, [&] {
        frames.push_back({f.view.isMoving(), f.view.lastFrameStats()->shadowMapRendered});
    });
    // The scene gets its first shadows as the camera starts flying.
    f.scene->rootNode()->addChild(directionalLight({-1, 1, -2}, 1000, true, 20));
    f.view.animateCamera({8, -8, 6}, f.view.pointOfView()->orientation, 0.3);
    ESPERAR_QUE(!f.view.isAnimatingCamera() && !f.view.isMoving() && !frames.empty() && !frames.back().moving);
    ASSERT_TRUE(frames.front().moving);
    EXPECT_FALSE(frames.front().shadowDrawn);
    EXPECT_TRUE(frames.back().shadowDrawn);
}

TEST(SceneView, TexturesLookAtRestAsBeforeTheQuickFramesOfAMove)
{
    ViewFixture f;
    // A checkered floor running to the horizon: where anisotropic filtering shows.
    QImage checker(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            checker.setPixel(x, y, (x / 8 + y / 8) % 2 ? 0xffffffffu : 0xff000000u);
    auto plane = scene::makePlane(400, 400);
    auto material = scene::makeMaterial();
    material->diffuse.contents = checker;
    material->diffuse.wrapS = material->diffuse.wrapT = scene::WrapMode::Repeat;
    material->diffuse.scaleS = material->diffuse.scaleT = 100;
    plane->materials = {material};
    f.scene->rootNode()->addChild(scene::Node::make(plane));
    f.view.pointOfView()->position = {0, -10, 0.6};
    f.view.pointOfView()->lookAt({0, 40, 0}, {0, 0, 1});
    const QImage atRest = f.view.snapshot();

    QSignalSpy frames(&f.view, &render::SceneView::frameRendered);
    f.view.setAnimatingScene(true);
    for (int i = 0; i < 3; ++i) {
        const int before = frames.count();
        f.view.update();
        ESPERAR_QUE(frames.count() > before);
    }
    const int quick = frames.count();
    f.view.setAnimatingScene(false);
    ESPERAR_QUE(!f.view.isMoving() && frames.count() > quick);
    EXPECT_EQ(f.view.snapshot(), atRest);
}

TEST(SceneView, ADragStopsARunningAnimation)
{
    ViewFixture f;
    f.view.animateCamera({20, -20, 20}, f.view.pointOfView()->orientation, 5.0);
    QTest::mousePress(&f.view, Qt::LeftButton, {}, QPoint(200, 150));
    QTest::mouseMove(&f.view, QPoint(240, 150));
    QTest::mouseRelease(&f.view, Qt::LeftButton, {}, QPoint(240, 150));
    EXPECT_FALSE(f.view.isAnimatingCamera());
}

TEST(SceneView, ChangesToTheShownSceneAreRedrawnWithoutBeingAsked)
{
    ViewFixture f;
    f.view.snapshot();
    QSignalSpy frames(&f.view, &render::SceneView::frameRendered);
    testsupport::entregarEventos();
    const int idle = frames.count();
    f.red->position = {0, 0, 1};
    ESPERAR_QUE(frames.count() > idle);
}

// Code that animates the scene (timeline playback) redraws it with update(), which the scene
// poll never sees as motion: the view stays quick because it is told to, and the full-quality
// frame follows the release.
TEST(SceneView, AnimatedSceneStaysQuickUntilReleased)
{
    ViewFixture f;
    QSignalSpy frames(&f.view, &render::SceneView::frameRendered);
    f.view.setAnimatingScene(true);
    QElapsedTimer held;
    held.start();
    while (held.elapsed() < 3 * render::SceneView::kRestDelayMilliseconds) {
        const int before = frames.count();
        f.view.update();
        ESPERAR_QUE(frames.count() > before);
        EXPECT_TRUE(f.view.isMoving());
    }
    const int heldFrames = frames.count();
    f.view.setAnimatingScene(false);
    EXPECT_FALSE(f.view.isAnimatingScene());
    ESPERAR_QUE(!f.view.isMoving() && frames.count() > heldFrames);
}
