#include "scene/HitTest.h"

#include "scene/Bvh.h"
#include "scene/SubtreeIndex.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace scene {

namespace {

struct Candidate {
    double tNear;
    const Node* node;
    Vec3 o, d;
    bool mirrored;
};

struct Search {
    bool cullBackFaces = true;
    double tMin = 0;
    double tMax = std::numeric_limits<double>::infinity();
    std::vector<Candidate> candidates;
    std::optional<SubtreeIndex::Result> indexed;  // best hit found through subtree indexes
    // Billboards turn towards this camera (none: they keep their own orientation).
    const Mat4* cameraWorld = nullptr;
    Vec3 worldOrigin, worldDirection;
};

// World transform as drawn: billboards among the node and its ancestors turned to the camera.
Mat4 drawnWorld(const Node& n, const Mat4* cameraWorld)
{
    Mat4 w = n.parent() ? drawnWorld(*n.parent(), cameraWorld) * n.localTransform() : n.localTransform();
    if (cameraWorld && n.billboard)
        w = billboardTransform(w, *cameraWorld);
    return w;
}

double determinant3(const Mat4& m)
{
    return m.m[0][0] * (m.m[1][1] * m.m[2][2] - m.m[2][1] * m.m[1][2]) -
           m.m[1][0] * (m.m[0][1] * m.m[2][2] - m.m[2][1] * m.m[0][2]) +
           m.m[2][0] * (m.m[0][1] * m.m[1][2] - m.m[1][1] * m.m[0][2]);
}

// The world ray in the space of a node as drawn. False when that space is flat.
bool intoDrawnNode(const Node& n, const Search& search, Vec3& o, Vec3& d, bool& mirrored)
{
    const Mat4 world = drawnWorld(n, search.cameraWorld);
    const double det = determinant3(world);
    if (det == 0 || !std::isfinite(det))
        return false;
    const Mat4 inv = world.inverse();
    o = inv.transformPoint(search.worldOrigin);
    d = inv.transformDirection(search.worldDirection);
    mirrored = det < 0;
    return isFinite(o) && isFinite(d);
}


// Entry distance of the ray into the box, or +inf when it misses within (tMin, tMax).
double slab(const Box& box, const Vec3& o, const Vec3& inv, double tMin, double tMax)
{
    double t0 = (box.min.x - o.x) * inv.x, t1 = (box.max.x - o.x) * inv.x;
    if (t0 > t1)
        std::swap(t0, t1);
    tMin = t0 > tMin ? t0 : tMin;
    tMax = t1 < tMax ? t1 : tMax;
    t0 = (box.min.y - o.y) * inv.y, t1 = (box.max.y - o.y) * inv.y;
    if (t0 > t1)
        std::swap(t0, t1);
    tMin = t0 > tMin ? t0 : tMin;
    tMax = t1 < tMax ? t1 : tMax;
    t0 = (box.min.z - o.z) * inv.z, t1 = (box.max.z - o.z) * inv.z;
    if (t0 > t1)
        std::swap(t0, t1);
    tMin = t0 > tMin ? t0 : tMin;
    tMax = t1 < tMax ? t1 : tMax;
    return tMin <= tMax ? tMin : std::numeric_limits<double>::infinity();
}

// Reciprocal direction for slab tests; a zero component becomes tiny so that no 0 * inf occurs.
Vec3 reciprocal(const Vec3& d)
{
    auto r = [](double v) { return 1.0 / (std::abs(v) < 1e-300 ? std::copysign(1e-300, v) : v); };
    return {r(d.x), r(d.y), r(d.z)};
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

void collect(const Node& n, const Vec3& o, const Vec3& d, const Vec3& inv, bool mirrored, Search& search);

// A billboard and what hangs below it, searched in its space as drawn: turned to the camera.
// Without a camera `o`, `d` (the ray in its own, unturned space) are used as they are.
void visitBillboard(const Node& b, Vec3 o, Vec3 d, bool mirrored, Search& search)
{
    if (b.hidden || b.fixedScreenSize || (search.cameraWorld && !intoDrawnNode(b, search, o, d, mirrored)))
        return;
    collect(b, o, d, reciprocal(d), mirrored, search);
}

// First pass: every visible geometry whose box the ray enters, with the ray in its space.
void collect(const Node& n, const Vec3& o, const Vec3& d, const Vec3& inv, bool mirrored, Search& search)
{
    if (n.hidden || n.fixedScreenSize)
        return;
    if (const Geometry* g = n.geometry.get(); g && g->hasBounds()) {
        const double t = slab(g->localBounds(), o, inv, search.tMin, search.tMax);
        if (t < search.tMax)
            search.candidates.push_back({t, &n, o, d, mirrored});
    }
    if (SubtreeIndex::wanted(n)) {
        const auto billboards = [&search](const Node& b, const Vec3& bo, const Vec3& bd, bool bm) {
            visitBillboard(b, bo, bd, bm, search);
        };
        auto hit = SubtreeIndex::of(n).closestHit(n, o, d, search.cullBackFaces, mirrored, search.tMin, search.tMax,
                                                  billboards);
        if (hit && (!search.indexed || hit->t < search.indexed->t))
            search.indexed = hit;
        return;
    }
    for (const auto& child : n.children()) {
        if (child->billboard && search.cameraWorld) {
            visitBillboard(*child, {}, {}, false, search);  // placed from the world ray
            continue;
        }
        if (isIdentity(*child)) {
            collect(*child, o, d, inv, mirrored, search);
            continue;
        }
        Vec3 co = o, cd = d;
        bool cm = mirrored;
        if (intoNode(*child, co, cd, cm))
            collect(*child, co, cd, reciprocal(cd), cm, search);
    }
}

std::optional<HitResult> castRay(const Node& root, const Ray& ray, const HitTestOptions& options, double tMin,
                                 double tMax, const Mat4* cameraWorld)
{
    const Vec3 dir = normalized(ray.direction);
    if (!isFinite(ray.origin) || dir == Vec3{} || std::isnan(tMin) || std::isnan(tMax))
        return std::nullopt;
    for (const Node* p = root.parent(); p; p = p->parent())
        if (p->hidden)
            return std::nullopt;

    // The root's own space: everything under it is searched there and below.
    const Mat4 rootWorld = drawnWorld(root, cameraWorld);
    const Mat4 rootInverse = rootWorld.inverse();
    const Vec3 o = rootInverse.transformPoint(ray.origin);
    const Vec3 d = rootInverse.transformDirection(dir);
    const double det = determinant3(rootWorld);
    if (!isFinite(o) || !isFinite(d) || det == 0)
        return std::nullopt;

    Search search;
    search.cameraWorld = cameraWorld;
    search.worldOrigin = ray.origin;
    search.worldDirection = dir;
    search.cullBackFaces = options.backFaceCulling;
    search.tMin = std::max(0.0, tMin);
    search.tMax = tMax;
    collect(root, o, d, reciprocal(d), det < 0, search);

    // Second pass, nearest box first: a box entered beyond the best hit so far cannot hold a closer one.
    std::sort(search.candidates.begin(), search.candidates.end(),
              [](const Candidate& a, const Candidate& b) { return a.tNear < b.tNear; });
    double best = tMax;
    const Node* winner = nullptr;
    Vec3 winnerOrigin, winnerDirection;
    Bvh::Hit winnerHit;
    if (search.indexed) {
        best = search.indexed->t;
        winner = search.indexed->node;
        winnerOrigin = search.indexed->origin;
        winnerDirection = search.indexed->direction;
        winnerHit = search.indexed->hit;
    }
    for (const Candidate& c : search.candidates) {
        if (c.tNear >= best)
            break;
        Bvh::Query q;
        q.cullBackFaces = search.cullBackFaces;
        q.mirrored = c.mirrored;
        q.tMin = search.tMin;
        q.tMax = best;
        if (auto hit = c.node->geometry->bvh().closestHit(c.o, c.d, q); hit && hit->t < best) {
            best = hit->t;
            winner = c.node;
            winnerOrigin = c.o;
            winnerDirection = c.d;
            winnerHit = *hit;
        }
    }
    if (!winner)
        return std::nullopt;

    HitResult r;
    r.node = std::const_pointer_cast<Node>(winner->shared_from_this());
    r.distance = best;
    r.faceIndex = winnerHit.triangle;
    r.localCoordinates = winnerOrigin + winnerDirection * best;
    const Mat4 world = drawnWorld(*winner, cameraWorld);
    r.worldCoordinates = world.transformPoint(r.localCoordinates);
    // Normals go through the inverse transpose.
    const Mat4 inv = world.inverse();
    const Vec3 n = winnerHit.normal;
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
    return castRay(root, ray, options, 0, std::numeric_limits<double>::infinity(), nullptr);
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
    // Billboards are hit as they are drawn: turned towards this camera.
    const Mat4 cameraWorld = viewpoint.pointOfView ? viewpoint.pointOfView->worldTransform() : Mat4::identity();
    return castRay(root, ray, options, tNear, tFar, &cameraWorld);
}

}  // namespace scene
