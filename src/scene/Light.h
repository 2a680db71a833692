#pragma once

#include "scene/Color.h"

#include <memory>

namespace scene {

struct Light {
    enum class Type { Directional, Ambient };

    Type type = Type::Directional;
    double intensity = 1000;  // 1000 = full strength
    Color color = Color::white();
    bool castsShadow = false;
    double orthographicScale = 1;  // side of the area the shadow map covers, scene units
    double shadowRadius = 3;
    int shadowSampleCount = 1;
    double shadowBias = 1;
    Color shadowColor{0, 0, 0, 0.5};
};

using LightPtr = std::shared_ptr<Light>;

}  // namespace scene
