#pragma once

#include "scene/Math.h"

#include <cstdint>
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
    int triangleCount() const;

private:
    struct NodeData;
    std::vector<NodeData> nodes_;
    std::vector<Vec3f> triangles_;  // three corners per triangle
    std::vector<int> order_;
};

}  // namespace scene
