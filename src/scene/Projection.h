#pragma once

#include "scene/Math.h"
#include "scene/Node.h"

#include <QPointF>
#include <QSizeF>

namespace scene {

// A camera node seen in a view of a given size. View coordinates are points with a top-left
// origin and y downwards: the same as mouse events.
struct Viewpoint {
    const Node* pointOfView = nullptr;  // a node with a camera
    QSizeF viewSize;
};

struct Ray {
    Vec3 origin;
    Vec3 direction;  // unit length
};

Mat4 viewMatrix(const Node& pointOfView);                       // world -> camera
Mat4 projectionMatrix(const Camera& camera, double aspect);     // camera -> clip (OpenGL conventions)

// World point -> (x, y) in view points, z the depth in 0..1 (0 at the near plane).
Vec3 projectPoint(const Viewpoint& viewpoint, const Vec3& world);
// (x, y, depth) -> world point; the inverse of projectPoint.
Vec3 unprojectPoint(const Viewpoint& viewpoint, const Vec3& viewPoint);
// Ray from the camera through a view point.
Ray rayThrough(const Viewpoint& viewpoint, QPointF point);

// World transform of a billboard node seen from a camera: its position and scale kept, its axes
// those of the camera, so its +Z points back at the viewer.
Mat4 billboardTransform(const Mat4& world, const Mat4& cameraWorld);

}  // namespace scene
