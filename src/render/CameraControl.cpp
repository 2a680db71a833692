#include "render/CameraControl.h"

#include <algorithm>
#include <cmath>

namespace render {

using scene::Quat;
using scene::Vec3;

CameraPose orbit(const CameraPose& pose, const Vec3& target, double yaw, double pitch)
{
    // Limit the pitch so the angle between the view direction and +Z stays within (1°, 179°).
    const Vec3 f = pose.forward();
    const double theta = std::acos(std::clamp(f.z, -1.0, 1.0));
    const double lo = scene::degToRad(1.0), hi = scene::degToRad(179.0);
    // A positive pitch about the right axis raises the view direction (theta shrinks).
    if (theta > hi)  // already looking (nearly) straight down: only back towards the horizon
        pitch = std::clamp(pitch, 0.0, theta - lo);
    else if (theta < lo)
        pitch = std::clamp(pitch, theta - hi, 0.0);
    else
        pitch = std::clamp(pitch, theta - hi, theta - lo);

    const Quat qPitch = Quat::fromAxisAngle(pose.right(), pitch);
    const Quat qYaw = Quat::fromAxisAngle({0, 0, 1}, yaw);
    const Quat q = (qYaw * qPitch).normalized();
    CameraPose out;
    out.position = target + q.rotate(pose.position - target);
    out.orientation = (q * pose.orientation).normalized();
    return out;
}

CameraPose pan(const CameraPose& pose, double right, double up)
{
    CameraPose out = pose;
    out.position += pose.right() * right + pose.up() * up;
    return out;
}

CameraPose dolly(const CameraPose& pose, const Vec3& focus, double factor)
{
    CameraPose out = pose;
    out.position = focus + (pose.position - focus) * factor;
    return out;
}

double easeInEaseOut(double t)
{
    if (!(t > 0))
        return 0;
    if (t >= 1)
        return 1;
    // x(s) = 3(1-s)^2 s x1 + 3(1-s) s^2 x2 + s^3, y likewise; solve x(s) = t by bisection.
    constexpr double x1 = 0.42, x2 = 0.58, y1 = 0.0, y2 = 1.0;
    auto bez = [](double s, double p1, double p2) {
        const double u = 1 - s;
        return 3 * u * u * s * p1 + 3 * u * s * s * p2 + s * s * s;
    };
    double lo = 0, hi = 1, s = t;
    for (int i = 0; i < 40; ++i) {
        s = (lo + hi) / 2;
        if (bez(s, x1, x2) < t)
            lo = s;
        else
            hi = s;
    }
    return bez(s, y1, y2);
}

Quat slerp(const Quat& a, const Quat& bIn, double t)
{
    Quat b = bIn;
    double cosom = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    if (cosom < 0) {  // the short way round
        cosom = -cosom;
        b = {-b.x, -b.y, -b.z, -b.w};
    }
    double k0 = 1 - t, k1 = t;
    if (cosom < 0.9995) {
        const double omega = std::acos(std::clamp(cosom, -1.0, 1.0));
        const double sinom = std::sin(omega);
        k0 = std::sin((1 - t) * omega) / sinom;
        k1 = std::sin(t * omega) / sinom;
    }
    return Quat{k0 * a.x + k1 * b.x, k0 * a.y + k1 * b.y, k0 * a.z + k1 * b.z, k0 * a.w + k1 * b.w}.normalized();
}

Quat rotationOf(const scene::Mat4& mat)
{
    double r[3][3];  // r[row][col]
    for (int c = 0; c < 3; ++c) {
        const Vec3 axis = scene::normalized({mat.m[c][0], mat.m[c][1], mat.m[c][2]});
        r[0][c] = axis.x;
        r[1][c] = axis.y;
        r[2][c] = axis.z;
    }
    Quat q;
    const double trace = r[0][0] + r[1][1] + r[2][2];
    if (trace > 0) {
        const double s = std::sqrt(trace + 1.0) * 2;
        q = {(r[2][1] - r[1][2]) / s, (r[0][2] - r[2][0]) / s, (r[1][0] - r[0][1]) / s, 0.25 * s};
    } else if (r[0][0] > r[1][1] && r[0][0] > r[2][2]) {
        const double s = std::sqrt(1.0 + r[0][0] - r[1][1] - r[2][2]) * 2;
        q = {0.25 * s, (r[0][1] + r[1][0]) / s, (r[0][2] + r[2][0]) / s, (r[2][1] - r[1][2]) / s};
    } else if (r[1][1] > r[2][2]) {
        const double s = std::sqrt(1.0 + r[1][1] - r[0][0] - r[2][2]) * 2;
        q = {(r[0][1] + r[1][0]) / s, 0.25 * s, (r[1][2] + r[2][1]) / s, (r[0][2] - r[2][0]) / s};
    } else {
        const double s = std::sqrt(1.0 + r[2][2] - r[0][0] - r[1][1]) * 2;
        q = {(r[0][2] + r[2][0]) / s, (r[1][2] + r[2][1]) / s, 0.25 * s, (r[1][0] - r[0][1]) / s};
    }
    return q.normalized();
}

}  // namespace render
