#include "TestHelpers.h"

#include "scene/Projection.h"

#include <gtest/gtest.h>

using namespace scene;

namespace {

NodePtr cameraAt(const Vec3& position, const Vec3& target)
{
    NodePtr cam = Node::make();
    cam->camera = std::make_shared<Camera>();
    cam->camera->zNear = 0.5;
    cam->camera->zFar = 500;
    cam->position = position;
    cam->lookAt(target, {0, 0, 1});
    return cam;
}

}  // namespace

TEST(Projection, ViewCoordinatesHaveATopLeftOriginAndYDown)
{
    NodePtr cam = Node::make();
    cam->camera = std::make_shared<Camera>();
    cam->camera->fieldOfView = 90;
    const Viewpoint vp{cam.get(), QSizeF(800, 400)};
    // Looking down -Z with +Y up: the centre, then up and right of it.
    const Vec3 centre = projectPoint(vp, {0, 0, -10});
    EXPECT_NEAR(centre.x, 400, 1e-9);
    EXPECT_NEAR(centre.y, 200, 1e-9);
    const Vec3 upper = projectPoint(vp, {0, 10, -10});  // 45 degrees up: the top edge
    EXPECT_NEAR(upper.y, 0, 1e-9);
    EXPECT_NEAR(upper.x, 400, 1e-9);
    const Vec3 right = projectPoint(vp, {10, 0, -10});  // horizontal extent widened by the aspect
    EXPECT_NEAR(right.x, 400 + 200, 1e-9);
    // Depth: 0 on the near plane, 1 on the far one.
    EXPECT_NEAR(projectPoint(vp, {0, 0, -1}).z, 0, 1e-12);
    EXPECT_NEAR(projectPoint(vp, {0, 0, -100}).z, 1, 1e-12);
}

TEST(Projection, UnprojectInvertsProject)
{
    NodePtr cam = cameraAt({500010, 4000020, 15}, {500000, 4000000, 0});
    const Viewpoint vp{cam.get(), QSizeF(1024, 768)};
    for (const Vec3 p : {Vec3{500000, 4000000, 0}, Vec3{500003.5, 4000001.25, 2}, Vec3{499990, 3999995, -4}}) {
        const Vec3 v = projectPoint(vp, p);
        EXPECT_VEC_NEAR(unprojectPoint(vp, v), p, 1e-4);
    }
}

TEST(Projection, RayThroughAProjectedPointPassesThroughIt)
{
    NodePtr cam = cameraAt({20, -30, 12}, {0, 0, 0});
    const Viewpoint vp{cam.get(), QSizeF(640, 480)};
    const Vec3 p{3, -4, 2};
    const Vec3 v = projectPoint(vp, p);
    const Ray ray = rayThrough(vp, QPointF(v.x, v.y));
    EXPECT_VEC_NEAR(ray.origin, cam->worldPosition(), 1e-12);
    const Vec3 toP = p - ray.origin;
    EXPECT_NEAR(length(cross(toP, ray.direction)), 0, 1e-9);
    EXPECT_GT(dot(toP, ray.direction), 0);
}

TEST(Projection, ProjectionMatrixFollowsOpenGLConventions)
{
    Camera c;
    c.fieldOfView = 90;
    c.zNear = 1;
    c.zFar = 11;
    const Mat4 p = projectionMatrix(c, 2.0);
    EXPECT_NEAR(p.m[0][0], 0.5, 1e-12);
    EXPECT_NEAR(p.m[1][1], 1, 1e-12);
    EXPECT_NEAR(p.m[2][2], -1.2, 1e-12);
    EXPECT_NEAR(p.m[3][2], -2.2, 1e-12);
    EXPECT_EQ(p.m[2][3], -1);
    EXPECT_EQ(p.m[3][3], 0);
}

TEST(Projection, DegenerateInputStaysFinite)
{
    NodePtr atTarget = cameraAt({1, 1, 1}, {1, 1, 1});  // look-at its own position
    NodePtr scaledAway = Node::make();
    scaledAway->camera = std::make_shared<Camera>();
    scaledAway->scale = {0, 0, 0};
    NodePtr badCamera = Node::make();
    badCamera->camera = std::make_shared<Camera>(Camera{std::nan(""), -1, -5});
    const NodePtr povs[] = {atTarget, scaledAway, badCamera, nullptr};
    const QSizeF sizes[] = {QSizeF(0, 0), QSizeF(300, 0), QSizeF(300, 200)};
    const Vec3 points[] = {{1, 1, 1}, {1, 1, 0}, {std::nan(""), 0, 0}, {1e308, -1e308, 1e308}, {0, 0, 0}};
    for (const NodePtr& pov : povs)
        for (const QSizeF& size : sizes) {
            const Viewpoint vp{pov.get(), size};
            for (const Vec3& p : points) {
                EXPECT_TRUE(isFinite(projectPoint(vp, p)));
                EXPECT_TRUE(isFinite(unprojectPoint(vp, p)));
            }
            const Ray r = rayThrough(vp, QPointF(5, 5));
            EXPECT_TRUE(isFinite(r.origin) && isFinite(r.direction));
            EXPECT_NEAR(length(r.direction), 1, 1e-9);
            const Mat4 m = projectionMatrix(pov && pov->camera ? *pov->camera : Camera{}, 0);
            for (const auto& col : m.m)
                for (double v : col)
                    EXPECT_TRUE(std::isfinite(v));
        }
}

TEST(Projection, FollowsEveryChangeOfCameraAndView)
{
    // The same viewpoint object, changed between calls: each call sees the change.
    NodePtr parent = Node::make();
    NodePtr cam = cameraAt({0, -10, 0}, {0, 0, 0});
    parent->addChild(cam);
    Viewpoint vp{cam.get(), QSizeF(400, 300)};
    const Vec3 p{1, 0, 0.5};
    const Vec3 first = projectPoint(vp, p);
    EXPECT_VEC_NEAR(projectPoint(vp, p), first, 0);

    cam->position.x = 0.5;
    EXPECT_GT(std::abs(projectPoint(vp, p).x - first.x), 1);
    cam->position.x = 0;
    parent->position = {0, 0, 0.25};  // the camera's parent moves it too
    EXPECT_GT(std::abs(projectPoint(vp, p).y - first.y), 1);
    parent->position = {};
    cam->camera->fieldOfView = 30;
    EXPECT_GT(std::abs(projectPoint(vp, p).x - first.x), 1);
    cam->camera->fieldOfView = 60;
    cam->camera->zNear = 2;
    EXPECT_GT(std::abs(projectPoint(vp, p).z - first.z), 1e-3);
    cam->camera->zNear = 0.5;
    vp.viewSize = QSizeF(800, 600);
    EXPECT_NEAR(projectPoint(vp, p).x, 2 * first.x, 1e-9);
    vp.viewSize = QSizeF(400, 300);
    EXPECT_VEC_NEAR(projectPoint(vp, p), first, 1e-12);

    // Another camera node in the same state projects the same.
    NodePtr twin = cameraAt({0, -10, 0}, {0, 0, 0});
    EXPECT_VEC_NEAR(projectPoint(Viewpoint{twin.get(), QSizeF(400, 300)}, p), first, 1e-12);
}
