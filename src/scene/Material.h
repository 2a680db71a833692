#pragma once

#include "scene/Color.h"
#include "scene/Image.h"

#include <QImage>
#include <memory>
#include <variant>

namespace scene {

enum class LightingModel { Constant, Lambert, Blinn, Phong };
enum class WrapMode { Clamp, Repeat };

// What a material slot shows: nothing, a colour or an image.
using Contents = std::variant<std::monostate, Color, DrawnImagePtr, QImage>;

struct MaterialProperty {
    Contents contents;
    WrapMode wrapS = WrapMode::Clamp;
    WrapMode wrapT = WrapMode::Clamp;
    double scaleS = 1.0;  // contents transform: texture coordinates multiplied by these
    double scaleT = 1.0;

    bool isEmpty() const { return std::holds_alternative<std::monostate>(contents); }
    const Color* color() const { return std::get_if<Color>(&contents); }
};

// Reference type: nodes that share a geometry share its materials.
class Material {
public:
    MaterialProperty diffuse{Color::white()};
    MaterialProperty emission{Color::black()};
    // Mask: when it holds an image, the image's alpha multiplies the surface's opacity (text labels).
    MaterialProperty transparent;
    double transparency = 1.0;  // 1 = opaque
    LightingModel lightingModel = LightingModel::Blinn;
    bool doubleSided = false;
    bool readsFromDepthBuffer = true;
    bool writesToDepthBuffer = true;

    std::shared_ptr<Material> copy() const { return std::make_shared<Material>(*this); }
};

using MaterialPtr = std::shared_ptr<Material>;

inline MaterialPtr makeMaterial() { return std::make_shared<Material>(); }

}  // namespace scene
