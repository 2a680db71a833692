#include "scene/Node.h"

#include <algorithm>
#include <cstddef>
#include <mutex>
#include <limits>

namespace scene {

namespace {

Quat quatFromBasis(const Vec3& c0, const Vec3& c1, const Vec3& c2)
{
    // Columns of a rotation matrix -> quaternion (Shepperd's method).
    const double m00 = c0.x, m10 = c0.y, m20 = c0.z;
    const double m01 = c1.x, m11 = c1.y, m21 = c1.z;
    const double m02 = c2.x, m12 = c2.y, m22 = c2.z;
    const double trace = m00 + m11 + m22;
    Quat q;
    if (trace > 0) {
        const double s = std::sqrt(trace + 1.0) * 2;
        q = {(m21 - m12) / s, (m02 - m20) / s, (m10 - m01) / s, 0.25 * s};
    } else if (m00 > m11 && m00 > m22) {
        const double s = std::sqrt(1.0 + m00 - m11 - m22) * 2;
        q = {0.25 * s, (m01 + m10) / s, (m02 + m20) / s, (m21 - m12) / s};
    } else if (m11 > m22) {
        const double s = std::sqrt(1.0 + m11 - m00 - m22) * 2;
        q = {(m01 + m10) / s, 0.25 * s, (m12 + m21) / s, (m02 - m20) / s};
    } else {
        const double s = std::sqrt(1.0 + m22 - m00 - m11) * 2;
        q = {(m02 + m20) / s, (m12 + m21) / s, 0.25 * s, (m10 - m01) / s};
    }
    return q.normalized();
}

// Some unit vector perpendicular to the unit vector v.
Vec3 anyPerpendicular(const Vec3& v)
{
    const Vec3 axis = std::abs(v.x) < 0.9 ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
    return normalized(cross(v, axis));
}

// Unit vector along `up` with its component along the unit vector `front` removed.
Vec3 orthogonalUp(const Vec3& front, const Vec3& up, const Vec3& fallback)
{
    Vec3 u = normalized(up - front * dot(up, front));
    if (length(u) < 0.5)
        u = normalized(fallback - front * dot(fallback, front));
    if (length(u) < 0.5)
        u = anyPerpendicular(front);
    return u;
}

void unite(Box& box, bool& has, const Vec3& p)
{
    if (!isFinite(p))
        return;
    if (!has) {
        box = {p, p};
        has = true;
        return;
    }
    box.min = {std::min(box.min.x, p.x), std::min(box.min.y, p.y), std::min(box.min.z, p.z)};
    box.max = {std::max(box.max.x, p.x), std::max(box.max.y, p.y), std::max(box.max.z, p.z)};
}

bool contentBox(const Node& node, Box& box)
{
    bool has = false;
    if (node.geometry && node.geometry->hasBounds()) {
        const Box g = node.geometry->localBounds();
        unite(box, has, g.min);
        unite(box, has, g.max);
    }
    for (const auto& child : node.children()) {
        Box cb;
        if (child->fixedScreenSize || !contentBox(*child, cb))
            continue;
        forEachCarriedCorner(cb, child->localTransform(), [&](const Vec3& p) { unite(box, has, p); });
    }
    return has;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPlainAllocation = true;  // let the sanitizer see every node's lifetime
#else
constexpr bool kPlainAllocation = false;
#endif

// Fixed-size slots for nodes in large chunks; freed slots are reused, chunks are kept.
class NodePool {
public:
    static NodePool& instance()
    {
        static NodePool* pool = new NodePool;  // never destroyed: nodes may outlive static destruction
        return *pool;
    }

    void* allocate(std::size_t size)
    {
        if (size != sizeof(Node) || kPlainAllocation)
            return ::operator new(size, std::align_val_t(alignof(Node)));
        std::lock_guard lock(mutex_);
        if (!free_) {
            constexpr std::size_t kSlots = 256;
            auto* chunk = static_cast<std::byte*>(::operator new(kSlots * sizeof(Node), std::align_val_t(alignof(Node))));
            for (std::size_t i = kSlots; i-- > 0;) {
                auto* slot = reinterpret_cast<Slot*>(chunk + i * sizeof(Node));
                slot->next = free_;
                free_ = slot;
            }
        }
        Slot* slot = free_;
        free_ = slot->next;
        return slot;
    }

    void release(void* p, std::size_t size)
    {
        if (!p)
            return;
        if (size != sizeof(Node) || kPlainAllocation) {
            ::operator delete(p, std::align_val_t(alignof(Node)));
            return;
        }
        std::lock_guard lock(mutex_);
        auto* slot = static_cast<Slot*>(p);
        slot->next = free_;
        free_ = slot;
    }

private:
    struct Slot {
        Slot* next;
    };
    std::mutex mutex_;
    Slot* free_ = nullptr;
};

}  // namespace

void* Node::operator new(std::size_t size)
{
    return NodePool::instance().allocate(size);
}

void* Node::operator new(std::size_t size, std::align_val_t)
{
    return NodePool::instance().allocate(size);
}

void Node::operator delete(void* p) noexcept
{
    NodePool::instance().release(p, sizeof(Node));
}

void Node::operator delete(void* p, std::align_val_t) noexcept
{
    NodePool::instance().release(p, sizeof(Node));
}

NodePtr Node::make()
{
    return NodePtr(new Node());
}

NodePtr Node::make(GeometryPtr geometry)
{
    NodePtr n = make();
    n->geometry = std::move(geometry);
    return n;
}

Node::~Node()
{
    for (auto& child : children_)
        child->parent_ = nullptr;
}

void Node::lookAt(const Vec3& worldTarget, const Vec3& worldUp, const Vec3& localFront)
{
    if (!isFinite(worldTarget) || !isFinite(worldUp) || !isFinite(localFront))
        return;
    // Work in the parent's space, where position and orientation live.
    Vec3 target = worldTarget;
    Vec3 up = worldUp;
    if (parent_) {
        const Mat4 parentWorld = parent_->worldTransform();
        const Mat4 inv = parentWorld.inverse();
        target = inv.transformPoint(worldTarget);
        up = inv.transformDirection(worldUp);
    }
    const Vec3 front = normalized(target - position);
    const Vec3 f = normalized(localFront);
    if (length(front) < 0.5 || length(f) < 0.5)
        return;  // target at the node itself, or no front: keep the current orientation

    // Local basis: the front and the local +Y made perpendicular to it.
    const Vec3 lu = orthogonalUp(f, {0, 1, 0}, {0, 0, 1});
    const Vec3 lr = cross(f, lu);
    // Parent-space basis the local one is turned onto.
    const Vec3 pu = orthogonalUp(front, normalized(up), orientation.rotate({0, 1, 0}));
    const Vec3 pr = cross(front, pu);

    // W = [front pu pr] * [f lu lr]^T
    auto column = [&](const Vec3& e) {
        // Image of the unit axis e.
        return front * dot(f, e) + pu * dot(lu, e) + pr * dot(lr, e);
    };
    const Quat q = quatFromBasis(column({1, 0, 0}), column({0, 1, 0}), column({0, 0, 1}));
    orientation = q;
}

Mat4 Node::localTransform() const
{
    return Mat4::compose(position, orientation, scale);
}

Mat4 Node::worldTransform() const
{
    Mat4 m = localTransform();
    for (const Node* p = parent_; p; p = p->parent_) {
        const Mat4 pm = p->localTransform();
        if (!pm.isTranslation() || pm.translationPart() != Vec3{})
            m = pm * m;  // an identity changes nothing
    }
    return m;
}

Vec3 Node::worldPosition() const
{
    return worldTransform().translationPart();
}

Vec3 Node::convertToWorld(const Vec3& local) const
{
    return worldTransform().transformPoint(local);
}

Vec3 Node::convertFromWorld(const Vec3& world) const
{
    return worldTransform().inverse().transformPoint(world);
}

void Node::addChild(const NodePtr& child)
{
    insertChild(child, children_.size());
}

void Node::insertChild(const NodePtr& child, size_t index)
{
    if (!child || child.get() == this || child->isAncestorOf(*this))
        return;  // would make a cycle
    const NodePtr keep = child;
    if (child->parent_ == this) {
        auto it = std::find(children_.begin(), children_.end(), child);
        const size_t old = size_t(it - children_.begin());
        children_.erase(it);
        if (old < index)
            --index;
    } else {
        child->removeFromParent();
    }
    index = std::min(index, children_.size());
    children_.insert(children_.begin() + std::ptrdiff_t(index), keep);
    keep->parent_ = this;
    ++childrenVersion_;
}

void Node::removeFromParent()
{
    if (!parent_)
        return;
    const NodePtr self = shared_from_this();  // the parent may hold the last reference
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), self), siblings.end());
    ++parent_->childrenVersion_;
    parent_ = nullptr;
}

void Node::removeAllChildren()
{
    const std::vector<NodePtr> old = std::move(children_);
    children_.clear();
    ++childrenVersion_;
    for (const auto& child : old)
        child->parent_ = nullptr;
}

NodePtr Node::childNamed(std::string_view n, bool recursive) const
{
    for (const auto& child : children_) {
        if (child->hasName(n))
            return child;
        if (recursive)
            if (NodePtr found = child->childNamed(n, true))
                return found;
    }
    return nullptr;
}

void Node::visit(const std::function<bool(Node&)>& visitor)
{
    // Iterative with a stack of snapshots: the visitor may change the tree.
    std::vector<NodePtr> stack{shared_from_this()};
    while (!stack.empty()) {
        const NodePtr node = std::move(stack.back());
        stack.pop_back();
        if (visitor(*node))
            return;
        for (auto it = node->children_.rbegin(); it != node->children_.rend(); ++it)
            stack.push_back(*it);
    }
}

void Node::visitDescendants(const std::function<bool(Node&)>& visitor)
{
    std::vector<NodePtr> stack(children_.rbegin(), children_.rend());
    while (!stack.empty()) {
        const NodePtr node = std::move(stack.back());
        stack.pop_back();
        if (visitor(*node))
            return;
        for (auto it = node->children_.rbegin(); it != node->children_.rend(); ++it)
            stack.push_back(*it);
    }
}

bool Node::isAncestorOf(const Node& other) const
{
    for (const Node* p = other.parent_; p; p = p->parent_)
        if (p == this)
            return true;
    return false;
}

Box Node::boundingBox() const
{
    Box box;
    if (!contentBox(*this, box))
        return {};
    return box;
}

NodePtr Node::clone(bool copyGeometry) const
{
    NodePtr n = make();
    n->name = name;
    n->geometry = copyGeometry && geometry ? geometry->copy() : geometry;
    n->light = light;
    n->camera = camera;
    n->hidden = hidden;
    n->opacity = opacity;
    n->renderingOrder = renderingOrder;
    n->billboard = billboard;
    n->fixedScreenSize = fixedScreenSize;
    n->position = position;
    n->scale = scale;
    n->orientation = orientation;
    for (const auto& child : children_)
        n->addChild(child->clone(copyGeometry));
    return n;
}

}  // namespace scene
