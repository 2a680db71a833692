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

// How the point of view sees: its world transform turns billboards; its field of view and the
// view's height in points size the nodes of fixed screen size.
struct DrawView {
    scene::Mat4 cameraWorld;
    double fieldOfView = 60;  // degrees, vertical
    double viewHeight = 0;    // points; 0 leaves fixed-size nodes at one world unit per point
};

// Walks the tree under `root`, skipping hidden nodes and their subtrees.
DrawList collectDrawList(const scene::Node& root, const DrawView& view);
inline DrawList collectDrawList(const scene::Node& root, const scene::Mat4& cameraWorld)
{
    return collectDrawList(root, DrawView{cameraWorld});
}

// World units per view point at `world`'s depth in front of the camera.
double unitsPerPoint(const DrawView& view, const scene::Vec3& world);

// Hash of everything that changes how a scene looks from a point of view: the watchdog of the
// view compares it between frames.
std::size_t sceneSignature(const scene::Scene* scene, const scene::Node* pointOfView);

}  // namespace render
