#pragma once

#include "scene/Camera.h"
#include "scene/Geometry.h"
#include "scene/Light.h"
#include "scene/Math.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scene {

class Node;
using NodePtr = std::shared_ptr<Node>;

// A scene graph node. Reference type: identity is the object itself. A node tree that is not
// attached to a shown scene may be built and changed on any one thread.
class alignas(64) Node : public std::enable_shared_from_this<Node> {
public:
    static NodePtr make();
    static NodePtr make(GeometryPtr geometry);
    ~Node();

    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    // Nodes come from a pool of their own, packed together: hit tests read every node of a model.
    static void* operator new(std::size_t size);
    static void* operator new(std::size_t size, std::align_val_t);
    static void operator delete(void* p) noexcept;
    static void operator delete(void* p, std::align_val_t) noexcept;

    // The fields every hit test reads come first, together in two cache lines.
    GeometryPtr geometry;
    bool hidden = false;
    // Its local unit spans one view point on screen at its origin's depth, so it keeps its size
    // at any distance (labels over the model). Such a subtree has no size in the world: it is
    // never hit and adds nothing to bounding boxes.
    bool fixedScreenSize = false;

private:
    std::uint64_t childrenVersion_ = 0;  // changes with every change of the child list

public:
    // Local transform.
    Vec3 position;
    Vec3 scale{1, 1, 1};
    Quat orientation;

    // "no name" (nullopt) differs from "".
    std::optional<std::string> name;
    bool hasName(std::string_view n) const { return name && *name == n; }

    LightPtr light;
    CameraPtr camera;

    double opacity = 1.0;          // multiplies the materials' transparency
    int renderingOrder = 0;        // larger draws later
    bool billboard = false;        // always turns its +Z towards the camera

    Vec3 eulerAngles() const { return orientation.toEuler(); }
    void setEulerAngles(const Vec3& radians) { orientation = Quat::fromEuler(radians); }
    // Turns the node so that `localFront` points at `worldTarget` with `worldUp` up.
    void lookAt(const Vec3& worldTarget, const Vec3& worldUp = {0, 1, 0}, const Vec3& localFront = {0, 0, -1});

    Mat4 localTransform() const;
    Mat4 worldTransform() const;
    Vec3 worldPosition() const;
    // Point of this node's space in world space.
    Vec3 convertToWorld(const Vec3& local) const;
    Vec3 convertFromWorld(const Vec3& world) const;

    // Hierarchy.
    Node* parent() const { return parent_; }
    const std::vector<NodePtr>& children() const { return children_; }
    void addChild(const NodePtr& child);  // moves it from its old parent
    void insertChild(const NodePtr& child, size_t index);
    void removeFromParent();
    void removeAllChildren();
    NodePtr childNamed(std::string_view n, bool recursive) const;
    // Depth-first, this node first; returning true from the visitor stops the walk.
    void visit(const std::function<bool(Node&)>& visitor);
    // Depth-first over the descendants only, this node left out.
    void visitDescendants(const std::function<bool(Node&)>& visitor);
    bool isAncestorOf(const Node& other) const;

    // Bounds in this node's own space: its geometry and every descendant transformed into this
    // space; hidden nodes count, lights and cameras do not. (0,0,0)-(0,0,0) when there is nothing.
    Box boundingBox() const;

    // New node tree with the same names, transforms, lights and cameras. Geometry is shared
    // unless `copyGeometry`, in which case each node gets geometry->copy().
    NodePtr clone(bool copyGeometry = false) const;

private:
    friend struct NodeInternals;
    Node() = default;

    Node* parent_ = nullptr;
    std::vector<NodePtr> children_;
    // Hit-test index of the subtree, kept and checked by the hit test itself.
    mutable std::shared_ptr<void> hitIndex_;
};

}  // namespace scene
