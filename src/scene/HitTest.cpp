#include "scene/HitTest.h"

#include "scene/Bvh.h"

#include <cmath>
#include <limits>

namespace scene {

namespace {

struct Search {
    bool cullBackFaces = true;
    double tMin = 0;
    double best = std::numeric_limits<double>::infinity();
    const Node* node = nullptr;
    Vec3 localOrigin, localDirection;
    Bvh::Hit hit;
};

// Entry distance of the ray into the box, or +inf when it misses within (tMin, tMax).
double slab(const Box& box, const Vec3& o, const Vec3& d, double tMin, double tMax)
{
    const double lo[3] = {box.min.x, box.min.y, box.min.z};
    const double hi[3] = {box.max.x, box.max.y, box.max.z};
    const double oo[3] = {o.x, o.y, o.z};
    const double dd[3] = {d.x, d.y, d.z};
    for (int a = 0; a < 3; ++a) {
        const double da = std::abs(dd[a]) < 1e-300 ? std::copysign(1e-300, dd[a]) : dd[a];
        const double inv = 1.0 / da;
        double t0 = (lo[a] - oo[a]) * inv;
        double t1 = (hi[a] - oo[a]) * inv;
        if (t0 > t1)
            std::swap(t0, t1);
        tMin = t0 > tMin ? t0 : tMin;
        tMax = t1 < tMax ? t1 : tMax;
        if (tMin > tMax)
            return std::numeric_limits<double>::infinity();
    }
    return tMin;
}

bool isIdentity(const Node& n)
{
    return n.position == Vec3{} && n.scale == Vec3{1, 1, 1} && n.orientation.x == 0 && n.orientation.y == 0 &&
           n.orientation.z == 0 && n.orientation.w == 1;
}

// Parent-space ray -> the node's own space. The ray parameter t is kept, so distances compare
// across nodes. False when the transform cannot be inverted.
bool intoNode(const Node& n, Vec3& o, Vec3& d, bool& mirrored)
{
    if (isIdentity(n))
        return true;
    const Vec3 s = n.scale;
    if (s.x == 0 || s.y == 0 || s.z == 0 || !isFinite(s) || !isFinite(n.position))
        return false;
    const Quat inv = n.orientation.normalized().conjugate();
    const Vec3 lo = inv.rotate(o - n.position);
    const Vec3 ld = inv.rotate(d);
    o = {lo.x / s.x, lo.y / s.y, lo.z / s.z};
    d = {ld.x / s.x, ld.y / s.y, ld.z / s.z};
    if (s.x * s.y * s.z < 0)
        mirrored = !mirrored;
    return isFinite(o) && isFinite(d);
}

void searchNode(const Node& n, Vec3 o, Vec3 d, bool mirrored, Search& search)
{
    if (n.hidden)
        return;
    if (const Geometry* g = n.geometry.get(); g && g->hasBounds()) {
        if (slab(g->localBounds(), o, d, search.tMin, search.best) < search.best) {
            const Bvh& bvh = g->bvh();
            Bvh::Query q;
            q.cullBackFaces = search.cullBackFaces;
            q.mirrored = mirrored;
            q.tMin = search.tMin;
            q.tMax = search.best;
            if (auto hit = bvh.closestHit(o, d, q); hit && hit->t < search.best) {
                search.best = hit->t;
                search.node = &n;
                search.localOrigin = o;
                search.localDirection = d;
                search.hit = *hit;
            }
        }
    }
    for (const auto& child : n.children()) {
        Vec3 co = o, cd = d;
        bool cm = mirrored;
        if (intoNode(*child, co, cd, cm))
            searchNode(*child, co, cd, cm, search);
    }
}

std::optional<HitResult> castRay(const Node& root, const Ray& ray, const HitTestOptions& options, double tMin,
                                 double tMax)
{
    const Vec3 dir = normalized(ray.direction);
    if (!isFinite(ray.origin) || dir == Vec3{} || std::isnan(tMin) || std::isnan(tMax))
        return std::nullopt;
    for (const Node* p = root.parent(); p; p = p->parent())
        if (p->hidden)
            return std::nullopt;

    // The root's own space: everything under it is searched there and below.
    const Mat4 rootWorld = root.worldTransform();
    const Mat4 rootInverse = rootWorld.inverse();
    const Vec3 o = rootInverse.transformPoint(ray.origin);
    const Vec3 d = rootInverse.transformDirection(dir);
    const double det = rootWorld.m[0][0] * (rootWorld.m[1][1] * rootWorld.m[2][2] - rootWorld.m[2][1] * rootWorld.m[1][2]) -
                       rootWorld.m[1][0] * (rootWorld.m[0][1] * rootWorld.m[2][2] - rootWorld.m[2][1] * rootWorld.m[0][2]) +
                       rootWorld.m[2][0] * (rootWorld.m[0][1] * rootWorld.m[1][2] - rootWorld.m[1][1] * rootWorld.m[0][2]);
    if (!isFinite(o) || !isFinite(d) || det == 0)
        return std::nullopt;

    Search search;
    search.cullBackFaces = options.backFaceCulling;
    search.tMin = std::max(0.0, tMin);
    search.best = tMax;
    searchNode(root, o, d, det < 0, search);
    if (!search.node)
        return std::nullopt;

    HitResult r;
    r.node = std::const_pointer_cast<Node>(search.node->shared_from_this());
    r.distance = search.best;
    r.faceIndex = search.hit.triangle;
    r.localCoordinates = search.localOrigin + search.localDirection * search.best;
    const Mat4 world = search.node->worldTransform();
    r.worldCoordinates = world.transformPoint(r.localCoordinates);
    // Normals go through the inverse transpose.
    const Mat4 inv = world.inverse();
    const Vec3 n = search.hit.normal;
    r.worldNormal = normalized({inv.m[0][0] * n.x + inv.m[0][1] * n.y + inv.m[0][2] * n.z,
                                inv.m[1][0] * n.x + inv.m[1][1] * n.y + inv.m[1][2] * n.z,
                                inv.m[2][0] * n.x + inv.m[2][1] * n.y + inv.m[2][2] * n.z});
    if (!isFinite(r.worldCoordinates) || !isFinite(r.localCoordinates))
        return std::nullopt;
    return r;
}

}  // namespace

std::optional<HitResult> rayCast(const Node& root, const Ray& ray, const HitTestOptions& options)
{
    return castRay(root, ray, options, 0, std::numeric_limits<double>::infinity());
}

std::optional<HitResult> hitTest(const Node& root, const Viewpoint& viewpoint, QPointF point,
                                 const HitTestOptions& options)
{
    if (!std::isfinite(point.x()) || !std::isfinite(point.y()))
        return std::nullopt;
    const Ray ray = rayThrough(viewpoint, point);
    // Only what lies between the near and far planes is drawn, so only that can be hit: with the
    // near plane pulled forward, a click goes through the walls it cuts away.
    double tNear = 0, tFar = std::numeric_limits<double>::infinity();
    if (viewpoint.pointOfView && viewpoint.pointOfView->camera) {
        const Camera& cam = *viewpoint.pointOfView->camera;
        const Mat4 toCamera = viewpoint.pointOfView->worldTransform().inverse();
        const double dz = -toCamera.transformDirection(ray.direction).z;  // camera depth per unit of t
        if (dz > 0 && std::isfinite(dz)) {
            if (cam.zNear > 0 && std::isfinite(cam.zNear))
                tNear = cam.zNear / dz;
            if (cam.zFar > cam.zNear && std::isfinite(cam.zFar))
                tFar = cam.zFar / dz;
        }
    }
    return castRay(root, ray, options, tNear, tFar);
}

}  // namespace scene
