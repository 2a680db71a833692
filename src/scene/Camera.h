#pragma once

#include <memory>

namespace scene {

// Perspective camera looking down its node's local -Z with +Y up. Near and far are only ever
// changed by the caller.
struct Camera {
    double fieldOfView = 60;  // degrees, vertical
    double zNear = 1;
    double zFar = 100;
};

using CameraPtr = std::shared_ptr<Camera>;

}  // namespace scene
