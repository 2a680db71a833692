#pragma once

#include "scene/Light.h"
#include "scene/Math.h"
#include "scene/Node.h"
#include "scene/Scene.h"

#include <cstddef>
#include <vector>

namespace render {

// A visible node with geometry, its world transform resolved (billboards turned to the camera).
struct DrawItem {
    const scene::Node* node = nullptr;
    scene::GeometryPtr geometry;  // held for the frame
    scene::Mat4 world;
    double opacity = 1;           // product of the node's and its ancestors' opacity
    int renderingOrder = 0;
    bool billboarded = false;     // it or an ancestor is a billboard: depends on the camera
};

struct LightItem {
    scene::LightPtr light;
    scene::Mat4 world;
    scene::Vec3 direction() const;  // where a directional light shines (its node's -Z), unit length
};

struct DrawList {
    std::vector<DrawItem> items;
    std::vector<LightItem> lights;
};

// Walks the tree under `root`, skipping hidden nodes and their subtrees. `cameraWorld` is the
// point of view's world transform, used to turn billboards.
DrawList collectDrawList(const scene::Node& root, const scene::Mat4& cameraWorld);

// Hash of everything that changes how a scene looks from a point of view: the watchdog of the
// view compares it between frames.
std::size_t sceneSignature(const scene::Scene* scene, const scene::Node* pointOfView);

}  // namespace render
