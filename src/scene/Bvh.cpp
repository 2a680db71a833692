#include "scene/Bvh.h"

#include "scene/Geometry.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace scene {

namespace {

struct Aabb {
    float lo[3] = {std::numeric_limits<float>::infinity(), std::numeric_limits<float>::infinity(),
                   std::numeric_limits<float>::infinity()};
    float hi[3] = {-std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                   -std::numeric_limits<float>::infinity()};

    void add(const Vec3f& p)
    {
        const float v[3] = {p.x, p.y, p.z};
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::min(lo[a], v[a]);
            hi[a] = std::max(hi[a], v[a]);
        }
    }
    void add(const Aabb& b)
    {
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::min(lo[a], b.lo[a]);
            hi[a] = std::max(hi[a], b.hi[a]);
        }
    }
    double area() const
    {
        if (lo[0] > hi[0])
            return 0;
        const double dx = double(hi[0]) - lo[0], dy = double(hi[1]) - lo[1], dz = double(hi[2]) - lo[2];
        return 2 * (dx * dy + dy * dz + dz * dx);
    }
};

constexpr int kLeafSize = 4;
constexpr int kBins = 16;
constexpr int kMaxDepth = 60;

struct Prim {
    Aabb box;
    float centroid[3];
    int source;  // index into the corner list
};

// Entry distance of the ray into the box, or +inf when it misses within (tMin, tMax).
inline double slab(const float lo[3], const float hi[3], const double o[3], const double inv[3], double tMin,
                   double tMax)
{
    for (int a = 0; a < 3; ++a) {
        double t0 = (double(lo[a]) - o[a]) * inv[a];
        double t1 = (double(hi[a]) - o[a]) * inv[a];
        if (t0 > t1)
            std::swap(t0, t1);
        tMin = t0 > tMin ? t0 : tMin;
        tMax = t1 < tMax ? t1 : tMax;
        if (tMin > tMax)
            return std::numeric_limits<double>::infinity();
    }
    return tMin;
}

}  // namespace

Bvh::Bvh(const Geometry& geometry)
{
    const GeometrySource* vertices = geometry.source(GeometrySource::Semantic::Vertex);
    std::vector<Vec3f> corners;
    std::vector<int> ids;
    int index = 0;
    for (const auto& element : geometry.elements()) {
        if (element.primitive != GeometryElement::Primitive::Triangles)
            continue;
        const int n = element.primitiveCount();
        for (int i = 0; i < n; ++i, ++index) {
            if (!vertices)
                continue;
            std::optional<Vec3f> v[3];
            bool ok = true;
            for (int k = 0; k < 3 && ok; ++k) {
                v[k] = vertices->vectorAt(element.indices[size_t(i) * 3 + size_t(k)]);
                ok = v[k] && std::isfinite(v[k]->x) && std::isfinite(v[k]->y) && std::isfinite(v[k]->z);
            }
            if (!ok)
                continue;  // a triangle with a bad index cannot be hit, but keeps its number
            corners.insert(corners.end(), {*v[0], *v[1], *v[2]});
            ids.push_back(index);
        }
    }
    triangleCount_ = index;
    build(std::move(corners), std::move(ids));
}

void Bvh::build(std::vector<Vec3f> corners, std::vector<int> ids)
{
    const int n = int(ids.size());
    if (n == 0)
        return;
    std::vector<Prim> prims(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        Prim& p = prims[size_t(i)];
        for (int k = 0; k < 3; ++k)
            p.box.add(corners[size_t(i) * 3 + size_t(k)]);
        for (int a = 0; a < 3; ++a)  // halves first: lo + hi overflows past about 1.7e38
            p.centroid[a] = 0.5f * p.box.lo[a] + 0.5f * p.box.hi[a];
        p.source = i;
    }

    nodes_.reserve(size_t(2 * n / kLeafSize + 1));
    nodes_.push_back({});
    struct Task {
        int node, begin, end, depth;
        bool known = false;  // bounds below already known from the parent's bins
        Aabb bounds, centroids;
    };
    std::vector<Task> tasks(1);
    tasks[0].end = n;
    while (!tasks.empty()) {
        const Task task = tasks.back();
        tasks.pop_back();
        Aabb bounds = task.bounds, centroids = task.centroids;
        if (!task.known) {
            for (int i = task.begin; i < task.end; ++i) {
                const Prim& p = prims[size_t(i)];
                bounds.add(p.box);
                centroids.add(Vec3f{p.centroid[0], p.centroid[1], p.centroid[2]});
            }
        }
        NodeData& node = nodes_[size_t(task.node)];
        std::copy(bounds.lo, bounds.lo + 3, node.lo);
        std::copy(bounds.hi, bounds.hi + 3, node.hi);
        const int count = task.end - task.begin;

        auto makeLeaf = [&] {
            NodeData& leaf = nodes_[size_t(task.node)];
            leaf.first = task.begin;
            leaf.count = count;
        };
        if (count <= kLeafSize || task.depth >= kMaxDepth) {
            makeLeaf();
            continue;
        }

        // Binned surface-area heuristic over the widest centroid axis.
        int axis = 0;
        for (int a = 1; a < 3; ++a)
            if (centroids.hi[a] - centroids.lo[a] > centroids.hi[axis] - centroids.lo[axis])
                axis = a;
        const double cLo = centroids.lo[axis], extent = double(centroids.hi[axis]) - cLo;
        int mid = task.begin;
        Task leftTask, rightTask;
        if (extent > 0) {
            std::array<Aabb, kBins> binBox, binCentroids;
            std::array<int, kBins> binCount{};
            const double scale = kBins / extent;
            auto binOf = [cLo, scale, axis](const Prim& p) {
                // compared before the cast: a tiny extent makes the scale infinite and 0 * inf is NaN
                const double t = (double(p.centroid[axis]) - cLo) * scale;
                return t >= kBins - 1 ? kBins - 1 : (t > 0 ? int(t) : 0);
            };
            for (int i = task.begin; i < task.end; ++i) {
                const Prim& p = prims[size_t(i)];
                const int b = binOf(p);
                binBox[size_t(b)].add(p.box);
                binCentroids[size_t(b)].add(Vec3f{p.centroid[0], p.centroid[1], p.centroid[2]});
                ++binCount[size_t(b)];
            }
            std::array<double, kBins> rightCost{};
            Aabb acc;
            int accCount = 0;
            for (int b = kBins - 1; b > 0; --b) {
                acc.add(binBox[size_t(b)]);
                accCount += binCount[size_t(b)];
                rightCost[size_t(b)] = acc.area() * accCount;
            }
            Aabb left;
            int leftCount = 0, bestSplit = -1;
            double bestCost = bounds.area() * count;  // cost of a leaf
            for (int b = 0; b < kBins - 1; ++b) {
                left.add(binBox[size_t(b)]);
                leftCount += binCount[size_t(b)];
                const double cost = left.area() * leftCount + rightCost[size_t(b + 1)];
                if (leftCount > 0 && leftCount < count && cost < bestCost) {
                    bestCost = cost;
                    bestSplit = b;
                }
            }
            if (bestSplit >= 0) {
                for (int b = 0; b < kBins; ++b) {
                    Task& side = b <= bestSplit ? leftTask : rightTask;
                    side.bounds.add(binBox[size_t(b)]);
                    side.centroids.add(binCentroids[size_t(b)]);
                }
                leftTask.known = rightTask.known = true;
                mid = int(std::partition(prims.begin() + task.begin, prims.begin() + task.end,
                                         [&](const Prim& p) { return binOf(p) <= bestSplit; }) -
                          prims.begin());
            } else if (count > 4 * kLeafSize) {
                mid = task.begin + count / 2;  // too many for one leaf: split at the median
                std::nth_element(prims.begin() + task.begin, prims.begin() + mid, prims.begin() + task.end,
                                 [axis](const Prim& a, const Prim& b) { return a.centroid[axis] < b.centroid[axis]; });
            }
        } else if (count > 4 * kLeafSize) {
            mid = task.begin + count / 2;  // coincident centroids: any halving will do
        }
        if (mid <= task.begin || mid >= task.end) {
            makeLeaf();
            continue;
        }
        const int left0 = int(nodes_.size());
        nodes_.push_back({});
        nodes_.push_back({});
        NodeData& inner = nodes_[size_t(task.node)];
        inner.first = left0;
        inner.count = 0;
        rightTask.node = left0 + 1;
        rightTask.begin = mid;
        rightTask.end = task.end;
        rightTask.depth = task.depth + 1;
        leftTask.node = left0;
        leftTask.begin = task.begin;
        leftTask.end = mid;
        leftTask.depth = task.depth + 1;
        tasks.push_back(rightTask);
        tasks.push_back(leftTask);
    }

    triangles_.resize(size_t(n) * 3);
    order_.resize(size_t(n));
    for (int i = 0; i < n; ++i) {
        const int src = prims[size_t(i)].source;
        for (int k = 0; k < 3; ++k)
            triangles_[size_t(i) * 3 + size_t(k)] = corners[size_t(src) * 3 + size_t(k)];
        order_[size_t(i)] = ids[size_t(src)];
    }
}

std::optional<Bvh::Hit> Bvh::closestHit(const Vec3& origin, const Vec3& direction, bool cullBackFaces) const
{
    Query q;
    q.cullBackFaces = cullBackFaces;
    return closestHit(origin, direction, q);
}

std::optional<Bvh::Hit> Bvh::closestHit(const Vec3& origin, const Vec3& direction, const Query& query) const
{
    if (nodes_.empty() || !isFinite(origin) || !isFinite(direction) || direction == Vec3{})
        return std::nullopt;
    const double o[3] = {origin.x, origin.y, origin.z};
    const double d[3] = {direction.x, direction.y, direction.z};
    double inv[3];
    for (int a = 0; a < 3; ++a) {
        // A zero component becomes tiny so the slab test never multiplies 0 by infinity.
        const double da = std::abs(d[a]) < 1e-300 ? std::copysign(1e-300, d[a]) : d[a];
        inv[a] = 1.0 / da;
    }

    double best = query.tMax;
    int bestLeafIndex = -1;
    Vec3 bestNormal;

    std::array<int, 2 * kMaxDepth + 8> stack;
    int top = 0;
    if (slab(nodes_[0].lo, nodes_[0].hi, o, inv, query.tMin, best) == std::numeric_limits<double>::infinity())
        return std::nullopt;
    stack[size_t(top++)] = 0;
    while (top > 0) {
        const NodeData& node = nodes_[size_t(stack[size_t(--top)])];
        if (node.count > 0) {
            for (int i = node.first; i < node.first + node.count; ++i) {
                const Vec3 v0 = toDouble(triangles_[size_t(i) * 3]);
                const Vec3 e1 = toDouble(triangles_[size_t(i) * 3 + 1]) - v0;
                const Vec3 e2 = toDouble(triangles_[size_t(i) * 3 + 2]) - v0;
                const Vec3 p = cross(direction, e2);
                const double det = dot(e1, p);
                // det > 0: the ray meets the counter-clockwise side (front face).
                const double facing = query.mirrored ? -det : det;
                if (det == 0 || !std::isfinite(det) || (query.cullBackFaces && facing <= 0))
                    continue;
                const double invDet = 1.0 / det;
                const Vec3 s = origin - v0;
                const double u = dot(s, p) * invDet;
                if (u < 0 || u > 1)
                    continue;
                const Vec3 qv = cross(s, e1);
                const double v = dot(direction, qv) * invDet;
                if (v < 0 || u + v > 1)
                    continue;
                const double t = dot(e2, qv) * invDet;
                if (t > query.tMin && t < best && std::isfinite(t)) {
                    best = t;
                    bestLeafIndex = i;
                    bestNormal = cross(e1, e2);
                }
            }
            continue;
        }
        const int l = node.first, r = node.first + 1;
        const double tl = slab(nodes_[size_t(l)].lo, nodes_[size_t(l)].hi, o, inv, query.tMin, best);
        const double tr = slab(nodes_[size_t(r)].lo, nodes_[size_t(r)].hi, o, inv, query.tMin, best);
        const bool hitL = tl != std::numeric_limits<double>::infinity();
        const bool hitR = tr != std::numeric_limits<double>::infinity();
        // Push the farther child first so the nearer one is searched first.
        if (hitL && hitR) {
            if (tl < tr) {
                stack[size_t(top++)] = r;
                stack[size_t(top++)] = l;
            } else {
                stack[size_t(top++)] = l;
                stack[size_t(top++)] = r;
            }
        } else if (hitL) {
            stack[size_t(top++)] = l;
        } else if (hitR) {
            stack[size_t(top++)] = r;
        }
    }
    if (bestLeafIndex < 0)
        return std::nullopt;
    return Hit{best, order_[size_t(bestLeafIndex)], bestNormal};
}

}  // namespace scene
