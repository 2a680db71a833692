#pragma once

// The large scene of the render benchmarks: 2,000 columns of 500 triangles each (1,000,000
// triangles) far from the origin, a sun with shadows and ambient light as the view's rig has.

#include "scene/Light.h"
#include "scene/Material.h"
#include "scene/Scene.h"

#include <cmath>
#include <vector>

namespace bench {

constexpr int kNodes = 2000;
constexpr int kSegments = 125;  // 250 side + 250 cap triangles per node

inline scene::GeometryPtr column(double radius, double height, scene::Color colour)
{
    std::vector<scene::Vec3f> pts, normals;
    std::vector<std::int32_t> idx;
    for (int i = 0; i < kSegments; ++i) {
        const double a = 2 * scene::kPi * i / kSegments;
        const float c = float(std::cos(a)), s = float(std::sin(a));
        for (float z : {0.f, float(height)}) {
            pts.push_back({float(radius) * c, float(radius) * s, z});
            normals.push_back({c, s, 0});
        }
    }
    const int centreBottom = int(pts.size());
    pts.push_back({0, 0, 0});
    normals.push_back({0, 0, -1});
    const int centreTop = int(pts.size());
    pts.push_back({0, 0, float(height)});
    normals.push_back({0, 0, 1});
    for (int i = 0; i < kSegments; ++i) {
        const int j = (i + 1) % kSegments;
        const int b0 = 2 * i, t0 = 2 * i + 1, b1 = 2 * j, t1 = 2 * j + 1;
        idx.insert(idx.end(), {b0, b1, t1, b0, t1, t0, centreBottom, b1, b0, centreTop, t0, t1});
    }
    auto g = scene::makeTriangleGeometry(pts, idx, normals);
    auto m = scene::makeMaterial();
    m->diffuse.contents = colour;
    m->lightingModel = scene::LightingModel::Phong;
    g->materials = {m};
    return g;
}

struct BigScene {
    scene::ScenePtr scene = scene::makeScene();
    scene::NodePtr camera = scene::Node::make();
    scene::Vec3 centre;
    std::vector<scene::NodePtr> nodes;

    BigScene()
    {
        const scene::Vec3 origin{500000, 7000000, 0};
        scene->background.contents = scene::Color{0.85, 0.85, 0.92, 1};
        for (int i = 0; i < kNodes; ++i) {
            const int x = i % 50, y = i / 50;
            const double h = 2 + (i * 7919 % 13) * 0.5;
            auto n = scene::Node::make(column(0.4, h, {0.5 + 0.01 * (i % 40), 0.6, 0.7, 1}));
            n->position = origin + scene::Vec3{x * 2.0, y * 2.0, 0};
            scene->rootNode()->addChild(n);
            nodes.push_back(n);
        }
        centre = origin + scene::Vec3{49.0, 39.0, 4};
        auto sun = scene::Node::make();
        sun->light = std::make_shared<scene::Light>();
        sun->light->intensity = 900;
        sun->light->castsShadow = true;
        sun->light->shadowRadius = 5;
        sun->light->shadowSampleCount = 16;
        sun->light->shadowColor = {0, 0, 0, 0.45};
        sun->light->orthographicScale = 150;
        sun->lookAt({0.5, 0.5, -0.7}, {0, 0, 1});
        scene->rootNode()->addChild(sun);
        auto ambient = scene::Node::make();
        ambient->light = std::make_shared<scene::Light>();
        ambient->light->type = scene::Light::Type::Ambient;
        ambient->light->intensity = 350;
        scene->rootNode()->addChild(ambient);
        camera->camera = std::make_shared<scene::Camera>();
        camera->camera->zNear = 0.1;
        camera->camera->zFar = 10000;
        orbit(0);
    }

    // The camera on a circle around the centre, looking at it.
    void orbit(double angle)
    {
        camera->position = centre + scene::Vec3{141 * std::cos(angle), 141 * std::sin(angle), 100};
        camera->lookAt(centre, {0, 0, 1});
    }
};

}  // namespace bench
