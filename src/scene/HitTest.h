#pragma once

#include "scene/Node.h"
#include "scene/Projection.h"

#include <optional>

namespace scene {

struct HitTestOptions {
    bool backFaceCulling = true;  // clicks cull back faces, the hover does not
};

struct HitResult {
    NodePtr node;
    Vec3 worldCoordinates;
    Vec3 localCoordinates;  // in the hit node's space
    Vec3 worldNormal;
    int faceIndex = -1;     // triangle index within the node's geometry
    double distance = 0;    // along the ray, world units
};

// Closest hit of a ray among the triangles under `root`. Hidden nodes and their descendants are
// never hit; line elements are not hit. Boxes per node and a hierarchy per geometry keep it fast.
std::optional<HitResult> rayCast(const Node& root, const Ray& ray, const HitTestOptions& options = {});

// Closest hit at a view point, between the camera's near and far planes: only what is drawn
// can be hit, so a near plane pulled forward lets clicks pass the geometry it cuts away.
std::optional<HitResult> hitTest(const Node& root, const Viewpoint& viewpoint, QPointF point,
                                 const HitTestOptions& options = {});

}  // namespace scene
