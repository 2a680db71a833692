#pragma once

// Hit-test index of a node's descendants: a box hierarchy over the triangle geometries of the
// subtree in the node's own space. Node fields are plain data that change without notice, so
// each query first compares fingerprints of the subtree's nodes with those taken when the index
// was built (a linear pass) and rebuilds on any difference. Internal to the hit test.

#include "scene/Bvh.h"
#include "scene/Node.h"

#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace scene {

class SubtreeIndex {
public:
    struct Result {
        double t = 0;
        const Node* node = nullptr;
        Vec3 origin, direction;  // the ray in the hit node's space
        Bvh::Hit hit;
    };

    // Nodes with many children (a loaded model) search their subtree through an index.
    static bool wanted(const Node& node) { return node.children().size() >= 16; }
    // The index of `owner`, made on first use.
    static SubtreeIndex& of(const Node& owner);

    // Billboards turn with the camera, so the index leaves them (and what hangs below them) to the
    // caller: it is handed each visible one with the ray in the node's unturned space.
    using BillboardSearch = std::function<void(const Node& billboard, const Vec3& origin, const Vec3& direction,
                                               bool mirrored)>;

    // Closest hit among the descendants; the ray is in the owner's space.
    std::optional<Result> closestHit(const Node& owner, const Vec3& origin, const Vec3& direction, bool cullBackFaces,
                                     bool mirrored, double tMin, double tMax,
                                     const BillboardSearch& billboards = {});

private:
    struct Entry {
        const Node* node;
        std::uint64_t fingerprint;  // of the node's fields a hit test depends on
        std::uint64_t childrenVersion;
    };
    struct Item {
        Box box;  // in the owner's space
        const Node* node;
        Mat4 toLocal;  // owner space -> node space
        bool mirrored;
    };
    // Descendants with an index of their own: searched through it, so that a change next to a
    // large model does not make this index walk the model again.
    struct Nested {
        const Node* node;
        Mat4 toLocal;
        bool mirrored;
    };
    struct TreeNode {
        Box box;
        int first, count;  // leaf: items [first, first + count); inner: children first, first + 1
    };

    static std::uint64_t fingerprint(const Node& node);
    bool matches(const Node& owner) const;
    void rebuild(const Node& owner);

    std::mutex mutex_;
    bool built_ = false;
    std::vector<Entry> entries_;
    std::vector<Item> items_;
    std::vector<Nested> nested_;
    std::vector<Nested> billboards_;
    std::vector<TreeNode> tree_;
};

}  // namespace scene
