#pragma once

#include "scene/Math.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace scene {

class Geometry;

// Bounding-volume hierarchy over the triangles of one geometry, in the geometry's own space.
class Bvh {
public:
    explicit Bvh(const Geometry& geometry);

    struct Hit {
        double t = 0;       // distance along the ray in units of its direction
        int triangle = -1;  // index among the geometry's triangles, all triangle elements in order
        Vec3 normal;        // geometric normal of the triangle, not normalised
    };

    // Closest hit with t > 0; back faces are skipped when `cullBackFaces`.
    std::optional<Hit> closestHit(const Vec3& origin, const Vec3& direction, bool cullBackFaces) const;

    struct Query {
        bool cullBackFaces = true;
        bool mirrored = false;  // the node's transform flips handedness: front faces wind the other way
        double tMin = 0;        // hits must lie in (tMin, tMax)
        double tMax = std::numeric_limits<double>::infinity();
    };
    std::optional<Hit> closestHit(const Vec3& origin, const Vec3& direction, const Query& query) const;

    int triangleCount() const { return triangleCount_; }
    bool empty() const { return nodes_.empty(); }

private:
    struct NodeData {
        float lo[3];
        float hi[3];
        std::int32_t first;  // leaf: first triangle in `triangles_`; inner: index of the left child (right = +1)
        std::int32_t count;  // triangles in a leaf, 0 for an inner node
    };
    void build(std::vector<Vec3f> corners, std::vector<int> ids);

    std::vector<NodeData> nodes_;
    std::vector<Vec3f> triangles_;  // three corners per triangle, in leaf order
    std::vector<int> order_;        // leaf order -> triangle index
    int triangleCount_ = 0;
};

}  // namespace scene
