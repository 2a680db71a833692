#pragma once

#include "scene/Math.h"

namespace render {

// Position and orientation of a camera in world space.
struct CameraPose {
    scene::Vec3 position;
    scene::Quat orientation;

    scene::Vec3 forward() const { return orientation.rotate({0, 0, -1}); }
    scene::Vec3 right() const { return orientation.rotate({1, 0, 0}); }
    scene::Vec3 up() const { return orientation.rotate({0, 1, 0}); }
};

// Turntable orbit around `target` in a Z-up world: `yaw` turns about the world Z axis, `pitch`
// about the camera's right axis. The pitch stops short of looking straight up or down so the
// camera never flips over the pole.
CameraPose orbit(const CameraPose& pose, const scene::Vec3& target, double yaw, double pitch);

// Slides the camera (and the target with it) in its own image plane by `right` and `up` world units.
CameraPose pan(const CameraPose& pose, double right, double up);

// Moves the camera towards (factor < 1) or away from (factor > 1) `focus`, scaling its distance.
CameraPose dolly(const CameraPose& pose, const scene::Vec3& focus, double factor);

// Ease-in-ease-out timing: the cubic Bezier curve (0.42, 0), (0.58, 1) at t in 0..1.
double easeInEaseOut(double t);

scene::Quat slerp(const scene::Quat& a, const scene::Quat& b, double t);

// Rotation of a transform whose axes may be scaled (scale removed), as a unit quaternion.
scene::Quat rotationOf(const scene::Mat4& m);

}  // namespace render
