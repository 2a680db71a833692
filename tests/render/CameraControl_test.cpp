#include "render/CameraControl.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace render;
using scene::Quat;
using scene::Vec3;

namespace {

// Camera at `eye` looking at `target`, screen up towards +Z.
CameraPose looking(Vec3 eye, Vec3 target)
{
    const Vec3 f = scene::normalized(target - eye);
    const Vec3 r = scene::normalized(scene::cross(f, {0, 0, 1}));
    const Vec3 u = scene::cross(r, f);
    scene::Mat4 m;
    const Vec3 cols[3] = {r, u, -f};
    for (int c = 0; c < 3; ++c) {
        m.m[c][0] = cols[c].x;
        m.m[c][1] = cols[c].y;
        m.m[c][2] = cols[c].z;
    }
    return {eye, rotationOf(m)};
}

double angleToZ(const CameraPose& p) { return std::acos(std::clamp(p.forward().z, -1.0, 1.0)); }

}  // namespace

TEST(CameraControl, OrbitKeepsTheDistanceAndTheAimAtTheTarget)
{
    const Vec3 target{500000, 7000000, 10};
    CameraPose p = looking(target + Vec3{10, -10, 5}, target);
    const double d = scene::length(p.position - target);
    for (int i = 0; i < 50; ++i)
        p = orbit(p, target, 0.07, -0.03);
    EXPECT_NEAR(scene::length(p.position - target), d, 1e-6);
    EXPECT_NEAR(scene::dot(p.forward(), scene::normalized(target - p.position)), 1.0, 1e-9);
    EXPECT_NEAR(p.right().z, 0.0, 1e-9);  // no roll: the horizon stays level
}

TEST(CameraControl, OrbitStopsShortOfThePoles)
{
    const Vec3 target{0, 0, 0};
    CameraPose p = looking({10, -10, 5}, target);
    for (int i = 0; i < 100; ++i)
        p = orbit(p, target, 0, -0.1);  // keep climbing
    EXPECT_NEAR(angleToZ(p), scene::degToRad(179), 1e-6);
    EXPECT_GT(p.up().z, 0.0);  // not flipped over
    for (int i = 0; i < 100; ++i)
        p = orbit(p, target, 0, 0.1);  // and all the way down
    EXPECT_NEAR(angleToZ(p), scene::degToRad(1), 1e-6);
}

TEST(CameraControl, OrbitFromAStraightDownViewCanOnlyTiltBackUp)
{
    // The top preset looks straight down with screen up towards +Y.
    CameraPose top{{0, 0, 10}, Quat{}};
    const CameraPose further = orbit(top, {0, 0, 0}, 0, -0.2);
    EXPECT_EQ(further.position, top.position);
    const CameraPose back = orbit(top, {0, 0, 0}, 0, 0.2);
    EXPECT_NEAR(angleToZ(back), scene::kPi - 0.2, 1e-9);
}

TEST(CameraControl, DollyScalesTheDistanceToTheFocus)
{
    const CameraPose p = looking({0, -10, 0}, {0, 0, 0});
    const CameraPose q = dolly(p, {1, 0, 0}, 0.5);
    EXPECT_NEAR(scene::length(q.position - Vec3{1, 0, 0}), 0.5 * scene::length(p.position - Vec3{1, 0, 0}), 1e-12);
}

TEST(CameraControl, EaseInEaseOutStartsAndEndsSlowly)
{
    EXPECT_EQ(easeInEaseOut(0), 0);
    EXPECT_NEAR(easeInEaseOut(1), 1, 1e-12);
    EXPECT_NEAR(easeInEaseOut(0.5), 0.5, 1e-9);
    EXPECT_LT(easeInEaseOut(0.1), 0.1 * 0.5);
    EXPECT_GT(easeInEaseOut(0.9), 1 - 0.1 * 0.5);
    double last = 0;
    for (int i = 1; i <= 100; ++i) {
        const double v = easeInEaseOut(i / 100.0);
        EXPECT_GE(v, last);
        last = v;
    }
}

TEST(CameraControl, SlerpTakesTheShortWayAndHitsBothEnds)
{
    const Quat a = Quat::fromAxisAngle({0, 0, 1}, 0.2);
    const Quat b = Quat::fromAxisAngle({0, 0, 1}, 1.0);
    const Quat negB{-b.x, -b.y, -b.z, -b.w};  // same rotation
    const Vec3 x{1, 0, 0};
    const Vec3 mid = slerp(a, negB, 0.5).rotate(x);
    EXPECT_NEAR(std::atan2(mid.y, mid.x), 0.6, 1e-9);
    const Vec3 end = slerp(a, b, 1).rotate(x);
    EXPECT_NEAR(std::atan2(end.y, end.x), 1.0, 1e-9);
}
