#include "scene/SubtreeIndex.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>

namespace scene {

struct NodeInternals {
    static std::shared_ptr<void>& hitIndex(const Node& n) { return n.hitIndex_; }
    static std::uint64_t childrenVersion(const Node& n) { return n.childrenVersion_; }
};

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

double slab(const Box& box, const Vec3& o, const Vec3& inv, double tMin, double tMax)
{
    const double lo[3] = {box.min.x, box.min.y, box.min.z}, hi[3] = {box.max.x, box.max.y, box.max.z};
    const double oo[3] = {o.x, o.y, o.z}, ii[3] = {inv.x, inv.y, inv.z};
    for (int a = 0; a < 3; ++a) {
        double t0 = (lo[a] - oo[a]) * ii[a], t1 = (hi[a] - oo[a]) * ii[a];
        if (t0 > t1)
            std::swap(t0, t1);
        tMin = t0 > tMin ? t0 : tMin;
        tMax = t1 < tMax ? t1 : tMax;
        if (tMin > tMax)
            return kInf;
    }
    return tMin;
}

Vec3 reciprocal(const Vec3& d)
{
    auto r = [](double v) { return 1.0 / (std::abs(v) < 1e-300 ? std::copysign(1e-300, v) : v); };
    return {r(d.x), r(d.y), r(d.z)};
}

double determinant3(const Mat4& m)
{
    return m.m[0][0] * (m.m[1][1] * m.m[2][2] - m.m[2][1] * m.m[1][2]) -
           m.m[1][0] * (m.m[0][1] * m.m[2][2] - m.m[2][1] * m.m[0][2]) +
           m.m[2][0] * (m.m[0][1] * m.m[1][2] - m.m[1][1] * m.m[0][2]);
}

bool hasTriangles(const Geometry& g)
{
    for (const auto& e : g.elements())
        if (e.primitive == GeometryElement::Primitive::Triangles && e.indices.size() >= 3)
            return true;
    return false;
}

Box unite(const Box& a, const Box& b)
{
    return {{std::min(a.min.x, b.min.x), std::min(a.min.y, b.min.y), std::min(a.min.z, b.min.z)},
            {std::max(a.max.x, b.max.x), std::max(a.max.y, b.max.y), std::max(a.max.z, b.max.z)}};
}

}  // namespace

SubtreeIndex& SubtreeIndex::of(const Node& owner)
{
    // Made under a process-wide lock once per node; afterwards the node keeps it.
    static std::mutex creation;
    std::lock_guard lock(creation);
    auto& slot = NodeInternals::hitIndex(owner);
    if (!slot)
        slot = std::make_shared<SubtreeIndex>();
    return *static_cast<SubtreeIndex*>(slot.get());
}

bool SubtreeIndex::matches(const Node& owner) const
{
    if (!built_ || entries_.empty() || entries_[0].node != &owner)
        return false;
    // Preorder: a node is only read after its parent's child list was found unchanged (compared
    // exactly), so it is alive. Every field read lies in the node's first two cache lines.
    const size_t n = entries_.size();
    for (size_t i = 0; i < n; ++i) {
        if (i + 8 < n) {
            // Bound by memory latency: fetch the nodes further on now.
            const Node* ahead = entries_[i + 8].node;
            __builtin_prefetch(&ahead->geometry);
            __builtin_prefetch(&ahead->orientation);
        }
        const Entry& e = entries_[i];
        if (NodeInternals::childrenVersion(*e.node) != e.childrenVersion ||
            (i > 0 && fingerprint(*e.node) != e.fingerprint))
            return false;
    }
    return true;
}

std::uint64_t SubtreeIndex::fingerprint(const Node& node)
{
    // A sum of the fields' bits times distinct odd constants: a change in any one field always
    // changes it, and changes in several cancel out only by a 2^-64 chance.
    auto bits = [](double v) {
        std::uint64_t u;
        std::memcpy(&u, &v, 8);
        return u;
    };
    std::uint64_t h = std::uint64_t(reinterpret_cast<std::uintptr_t>(node.geometry.get())) * 0xC2B2AE3D27D4EB4Full;
    h += std::uint64_t(8 + (node.hidden ? 1 : 0) + (node.billboard ? 2 : 0) + (node.fixedScreenSize ? 4 : 0)) *
         0x165667B19E3779F9ull;
    h += bits(node.position.x) * 0xD6E8FEB86659FD93ull + bits(node.position.y) * 0xA0761D6478BD642Full +
         bits(node.position.z) * 0xE7037ED1A0B428DBull;
    h += bits(node.scale.x) * 0x8EBC6AF09C88C6E3ull + bits(node.scale.y) * 0x589965CC75374CC3ull +
         bits(node.scale.z) * 0x1D8E4E27C47D124Full;
    h += bits(node.orientation.x) * 0xFF51AFD7ED558CCDull + bits(node.orientation.y) * 0xC4CEB9FE1A85EC53ull +
         bits(node.orientation.z) * 0x94D049BB133111EBull + bits(node.orientation.w) * 0xBF58476D1CE4E5B9ull;
    return h;
}

void SubtreeIndex::rebuild(const Node& owner)
{
    entries_.clear();
    items_.clear();
    nested_.clear();
    billboards_.clear();
    tree_.clear();

    struct Pending {
        const Node* node;
        Mat4 toOwner;
    };
    std::vector<Pending> stack{{&owner, Mat4::identity()}};
    while (!stack.empty()) {
        const Pending p = stack.back();
        stack.pop_back();
        const Node& node = *p.node;
        const bool isOwner = p.node == &owner;
        // The owner's own fields do not move its subtree within its space.
        entries_.push_back({p.node, isOwner ? 0 : fingerprint(node), NodeInternals::childrenVersion(node)});
        if (!isOwner && (node.hidden || node.fixedScreenSize))
            continue;
        if (!isOwner && node.billboard) {
            const double det = determinant3(p.toOwner);
            if (det != 0 && std::isfinite(det))
                billboards_.push_back({p.node, p.toOwner.inverse(), det < 0});
            continue;
        }

        if (!isOwner && node.geometry && node.geometry->hasBounds() && hasTriangles(*node.geometry)) {
            const double det = determinant3(p.toOwner);
            if (det != 0 && std::isfinite(det)) {
                const Box local = node.geometry->localBounds();
                Box box{{kInf, kInf, kInf}, {-kInf, -kInf, -kInf}};
                for (int i = 0; i < 8; ++i) {
                    const Vec3 c = p.toOwner.transformPoint({i & 1 ? local.max.x : local.min.x,
                                                             i & 2 ? local.max.y : local.min.y,
                                                             i & 4 ? local.max.z : local.min.z});
                    box = unite(box, {c, c});
                }
                if (isFinite(box.min) && isFinite(box.max))
                    items_.push_back({box, p.node, p.toOwner.inverse(), det < 0});
            }
        }
        if (!isOwner && wanted(node)) {
            const double det = determinant3(p.toOwner);
            if (det != 0 && std::isfinite(det))
                nested_.push_back({p.node, p.toOwner.inverse(), det < 0});
            continue;
        }
        // Reverse push keeps the preorder of the children.
        for (auto it = node.children().rbegin(); it != node.children().rend(); ++it)
            stack.push_back({it->get(), p.toOwner * (*it)->localTransform()});
    }

    // Box hierarchy over the items: median splits along the widest axis of the centres.
    if (!items_.empty()) {
        struct Task {
            int node, begin, end;
        };
        tree_.push_back({});
        std::vector<Task> tasks{{0, 0, int(items_.size())}};
        while (!tasks.empty()) {
            const Task t = tasks.back();
            tasks.pop_back();
            Box box = items_[size_t(t.begin)].box;
            Box centres{box.center(), box.center()};
            for (int i = t.begin + 1; i < t.end; ++i) {
                box = unite(box, items_[size_t(i)].box);
                const Vec3 c = items_[size_t(i)].box.center();
                centres = unite(centres, {c, c});
            }
            tree_[size_t(t.node)].box = box;
            if (t.end - t.begin <= 2) {
                tree_[size_t(t.node)].first = t.begin;
                tree_[size_t(t.node)].count = t.end - t.begin;
                continue;
            }
            const Vec3 ext = centres.size();
            const int axis = ext.x >= ext.y && ext.x >= ext.z ? 0 : (ext.y >= ext.z ? 1 : 2);
            const int mid = t.begin + (t.end - t.begin) / 2;
            std::nth_element(items_.begin() + t.begin, items_.begin() + mid, items_.begin() + t.end,
                             [axis](const Item& a, const Item& b) {
                                 const Vec3 ca = a.box.center(), cb = b.box.center();
                                 return axis == 0 ? ca.x < cb.x : axis == 1 ? ca.y < cb.y : ca.z < cb.z;
                             });
            const int left = int(tree_.size());
            tree_.push_back({});
            tree_.push_back({});
            tree_[size_t(t.node)].first = left;
            tree_[size_t(t.node)].count = 0;
            tasks.push_back({left + 1, mid, t.end});
            tasks.push_back({left, t.begin, mid});
        }
    }
    built_ = true;
}

std::optional<SubtreeIndex::Result> SubtreeIndex::closestHit(const Node& owner, const Vec3& origin,
                                                             const Vec3& direction, bool cullBackFaces,
                                                             bool mirrored, double tMin, double tMax,
                                                             const BillboardSearch& billboards)
{
    std::lock_guard lock(mutex_);
    if (!matches(owner))
        rebuild(owner);
    const Vec3 inv = reciprocal(direction);
    double best = tMax;
    std::optional<Result> result;
    if (billboards)
        for (const Nested& b : billboards_)
            billboards(*b.node, b.toLocal.transformPoint(origin), b.toLocal.transformDirection(direction),
                       mirrored != b.mirrored);
    for (const Nested& n : nested_) {
        const Vec3 o = n.toLocal.transformPoint(origin);
        const Vec3 d = n.toLocal.transformDirection(direction);
        auto hit = of(*n.node).closestHit(*n.node, o, d, cullBackFaces, mirrored != n.mirrored, tMin, best,
                                          billboards);
        if (hit && hit->t < best) {
            best = hit->t;
            result = hit;
        }
    }
    std::vector<int> stack;
    stack.reserve(64);
    if (!tree_.empty() && slab(tree_[0].box, origin, inv, tMin, best) != kInf)
        stack.push_back(0);
    while (!stack.empty()) {
        const TreeNode& tn = tree_[size_t(stack.back())];
        stack.pop_back();
        if (tn.count > 0) {
            for (int i = tn.first; i < tn.first + tn.count; ++i) {
                const Item& item = items_[size_t(i)];
                if (slab(item.box, origin, inv, tMin, best) == kInf)
                    continue;
                const Vec3 o = item.toLocal.transformPoint(origin);
                const Vec3 d = item.toLocal.transformDirection(direction);
                Bvh::Query q;
                q.cullBackFaces = cullBackFaces;
                q.mirrored = mirrored != item.mirrored;
                q.tMin = tMin;
                q.tMax = best;
                if (auto hit = item.node->geometry->bvh().closestHit(o, d, q); hit && hit->t < best) {
                    best = hit->t;
                    result = Result{hit->t, item.node, o, d, *hit};
                }
            }
            continue;
        }
        const int l = tn.first, r = tn.first + 1;
        const double tl = slab(tree_[size_t(l)].box, origin, inv, tMin, best);
        const double tr = slab(tree_[size_t(r)].box, origin, inv, tMin, best);
        if (tl != kInf && tr != kInf) {
            stack.push_back(tl < tr ? r : l);
            stack.push_back(tl < tr ? l : r);
        } else if (tl != kInf) {
            stack.push_back(l);
        } else if (tr != kInf) {
            stack.push_back(r);
        }
    }
    return result;
}

}  // namespace scene
