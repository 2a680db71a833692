#include "scene/Projection.h"

#include <algorithm>
#include <cmath>

namespace scene {

namespace {

// Camera values a projection can be built from: positive near, far beyond near, a usable angle.
Camera usableCamera(const Camera* camera)
{
    Camera c = camera ? *camera : Camera{};
    if (!(c.fieldOfView > 0.01 && c.fieldOfView < 179.0))
        c.fieldOfView = std::isfinite(c.fieldOfView) && c.fieldOfView >= 179.0 ? 179.0 : 60.0;
    if (!(c.zNear > 0) || !std::isfinite(c.zNear))
        c.zNear = 1e-4;
    if (!(c.zFar > c.zNear) || !std::isfinite(c.zFar))
        c.zFar = c.zNear * 1e6;
    return c;
}

double usableAspect(double aspect)
{
    return aspect > 0 && std::isfinite(aspect) ? std::clamp(aspect, 1e-6, 1e6) : 1.0;
}

double usableExtent(double v)
{
    return v > 0 && std::isfinite(v) ? v : 0.0;
}

double clampFinite(double v, double limit)
{
    if (std::isnan(v))
        return 0;
    return std::clamp(v, -limit, limit);
}

struct Frame {
    Mat4 world;    // camera -> world
    Mat4 view;     // world -> camera
    Mat4 projection;
    Camera camera;
    double width = 0, height = 0, aspect = 1;
    double sx = 1, sy = 1;  // projection's x and y scale (f / aspect, f)
};

bool sameCamera(const Camera& a, const Camera& b)
{
    return a.fieldOfView == b.fieldOfView && a.zNear == b.zNear && a.zFar == b.zFar;
}

// The frame stays valid until the next call on the same thread.
const Frame& frameOf(const Viewpoint& vp)
{
    // Callers project thousands of points from one viewpoint in a row (vertex snapping): the
    // inverse and the projection are kept while the camera's world transform, lens and the view
    // size stay the same.
    thread_local Frame cached;
    thread_local bool valid = false;

    const Mat4 world = vp.pointOfView ? vp.pointOfView->worldTransform() : Mat4::identity();
    const Camera camera = usableCamera(vp.pointOfView ? vp.pointOfView->camera.get() : nullptr);
    const double width = usableExtent(vp.viewSize.width());
    const double height = usableExtent(vp.viewSize.height());
    if (valid && cached.world.m == world.m && sameCamera(cached.camera, camera) && cached.width == width &&
        cached.height == height)
        return cached;

    Frame& f = cached;
    f.world = world;
    f.view = world.inverse();
    f.camera = camera;
    f.width = width;
    f.height = height;
    f.aspect = height > 0 ? usableAspect(width / height) : 1.0;
    f.projection = projectionMatrix(f.camera, f.aspect);
    f.sx = f.projection.m[0][0];
    f.sy = f.projection.m[1][1];
    valid = true;
    return f;
}

// View point -> normalised device x, y (centre when the view has no size or the point is not a number).
void toNdc(const Frame& f, double x, double y, double& nx, double& ny)
{
    nx = f.width > 0 && std::isfinite(x) ? 2.0 * x / f.width - 1.0 : 0.0;
    ny = f.height > 0 && std::isfinite(y) ? 1.0 - 2.0 * y / f.height : 0.0;
}

}  // namespace

Mat4 viewMatrix(const Node& pointOfView)
{
    return pointOfView.worldTransform().inverse();
}

Mat4 projectionMatrix(const Camera& camera, double aspect)
{
    const Camera c = usableCamera(&camera);
    aspect = usableAspect(aspect);
    const double f = 1.0 / std::tan(degToRad(c.fieldOfView) / 2);
    Mat4 p;
    p.m[0][0] = f / aspect;
    p.m[1][1] = f;
    p.m[2][2] = (c.zFar + c.zNear) / (c.zNear - c.zFar);
    p.m[2][3] = -1;
    p.m[3][2] = 2 * c.zFar * c.zNear / (c.zNear - c.zFar);
    p.m[3][3] = 0;
    return p;
}

Vec3 projectPoint(const Viewpoint& viewpoint, const Vec3& world)
{
    if (!isFinite(world))
        return {};
    const Frame& f = frameOf(viewpoint);
    const Vec3 c = f.view.transformPoint(world);
    const Mat4& p = f.projection;
    double w = -c.z;
    if (std::abs(w) < 1e-300)
        w = 1e-300;  // a point in the camera's own plane: far off screen, but finite
    const double nx = c.x * p.m[0][0] / w;
    const double ny = c.y * p.m[1][1] / w;
    const double nz = (p.m[2][2] * c.z + p.m[3][2]) / w;
    constexpr double limit = 1e12;
    return {clampFinite((nx + 1) / 2 * f.width, limit), clampFinite((1 - ny) / 2 * f.height, limit),
            clampFinite((nz + 1) / 2, limit)};
}

Vec3 unprojectPoint(const Viewpoint& viewpoint, const Vec3& viewPoint)
{
    const Frame& f = frameOf(viewpoint);
    double nx, ny;
    toNdc(f, viewPoint.x, viewPoint.y, nx, ny);
    const double nz = std::isfinite(viewPoint.z) ? 2 * viewPoint.z - 1 : -1.0;
    const Mat4& p = f.projection;
    // nz = (A zc + B) / -zc  =>  zc = -B / (A + nz)
    double denom = p.m[2][2] + nz;
    if (std::abs(denom) < 1e-12)
        denom = std::copysign(1e-12, denom);
    const double zc = std::clamp(-p.m[3][2] / denom, -1e12, 1e12);
    const Vec3 c{nx * -zc / f.sx, ny * -zc / f.sy, zc};
    const Vec3 r = f.world.transformPoint(c);
    return isFinite(r) ? r : f.world.translationPart();
}

Ray rayThrough(const Viewpoint& viewpoint, QPointF point)
{
    const Frame& f = frameOf(viewpoint);
    double nx, ny;
    toNdc(f, point.x(), point.y(), nx, ny);
    Ray ray;
    ray.origin = f.world.translationPart();
    ray.direction = normalized(f.world.transformDirection({nx / f.sx, ny / f.sy, -1}));
    if (ray.direction == Vec3{})
        ray.direction = normalized(f.world.transformDirection({0, 0, -1}));
    if (ray.direction == Vec3{})
        ray.direction = {0, 0, -1};
    if (!isFinite(ray.origin))
        ray.origin = {};
    return ray;
}

Mat4 billboardTransform(const Mat4& world, const Mat4& cameraWorld)
{
    Mat4 out = cameraWorld;
    for (int c = 0; c < 3; ++c) {
        const double s = length(Vec3{world.m[c][0], world.m[c][1], world.m[c][2]});
        const Vec3 a = normalized(Vec3{cameraWorld.m[c][0], cameraWorld.m[c][1], cameraWorld.m[c][2]}) * s;
        out.m[c][0] = a.x;
        out.m[c][1] = a.y;
        out.m[c][2] = a.z;
        out.m[c][3] = 0;
    }
    out.m[3][0] = world.m[3][0];
    out.m[3][1] = world.m[3][1];
    out.m[3][2] = world.m[3][2];
    out.m[3][3] = 1;
    return out;
}

}  // namespace scene
