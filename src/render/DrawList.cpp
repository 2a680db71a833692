#include "render/DrawList.h"

#include "scene/Material.h"
#include "scene/Projection.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <variant>

namespace render {

namespace {

void mix(std::size_t& h, std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2); }
void mixDouble(std::size_t& h, double d)
{
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    mix(h, std::size_t(bits));
}
void mixPtr(std::size_t& h, const void* p) { mix(h, std::size_t(reinterpret_cast<std::uintptr_t>(p))); }
void mixVec(std::size_t& h, const scene::Vec3& v)
{
    mixDouble(h, v.x);
    mixDouble(h, v.y);
    mixDouble(h, v.z);
}
void mixMat(std::size_t& h, const scene::Mat4& m)
{
    for (const auto& col : m.m)
        for (double d : col)
            mixDouble(h, d);
}
void mixColor(std::size_t& h, const scene::Color& c)
{
    mixDouble(h, c.r);
    mixDouble(h, c.g);
    mixDouble(h, c.b);
    mixDouble(h, c.a);
}
void mixProperty(std::size_t& h, const scene::MaterialProperty& p)
{
    mix(h, p.contents.index());
    if (const auto* c = std::get_if<scene::Color>(&p.contents))
        mixColor(h, *c);
    else if (const auto* d = std::get_if<scene::DrawnImagePtr>(&p.contents))
        mixPtr(h, d->get());
    else if (const auto* i = std::get_if<QImage>(&p.contents))
        mix(h, std::size_t(i->cacheKey()));
    mix(h, std::size_t(p.wrapS) * 3 + std::size_t(p.wrapT));
    mixDouble(h, p.scaleS);
    mixDouble(h, p.scaleT);
}
void mixLight(std::size_t& h, const scene::Light& l)
{
    mix(h, std::size_t(l.type));
    mixDouble(h, l.intensity);
    mixColor(h, l.color);
    mix(h, l.castsShadow);
    mixDouble(h, l.orthographicScale);
    mixDouble(h, l.shadowRadius);
    mix(h, std::size_t(l.shadowSampleCount));
    mixDouble(h, l.shadowBias);
    mixColor(h, l.shadowColor);
}

void collect(const scene::Node& node, const scene::Mat4& parentWorld, double parentOpacity, bool parentBillboard,
             const DrawView& view, DrawList& out)
{
    if (node.hidden)
        return;
    scene::Mat4 world = parentWorld * node.localTransform();
    const bool billboarded = parentBillboard || node.billboard || node.fixedScreenSize;
    if (node.billboard)
        world = scene::billboardTransform(world, view.cameraWorld);
    if (node.fixedScreenSize && view.viewHeight > 0) {
        const double k = unitsPerPoint(view, world.translationPart());
        world = world * scene::Mat4::scaling({k, k, k});
    }
    const double opacity = parentOpacity * node.opacity;

    if (node.light)
        out.lights.push_back({node.light, world});
    if (node.geometry && opacity > 0) {
        out.items.push_back({&node, node.geometry, world, opacity, node.renderingOrder, billboarded});
    }
    for (const scene::NodePtr& child : node.children())
        if (child)
            collect(*child, world, opacity, billboarded, view, out);
}

void signatureOf(const scene::Node& node, std::size_t& h)
{
    mixPtr(h, &node);
    mix(h, node.hidden);
    if (node.hidden)
        return;
    mixDouble(h, node.opacity);
    mix(h, std::size_t(node.renderingOrder));
    mix(h, node.billboard);
    mix(h, node.fixedScreenSize);
    mixVec(h, node.position);
    mixVec(h, node.scale);
    mixDouble(h, node.orientation.x);
    mixDouble(h, node.orientation.y);
    mixDouble(h, node.orientation.z);
    mixDouble(h, node.orientation.w);
    mixPtr(h, node.geometry.get());
    if (node.geometry)
        for (const auto& m : node.geometry->materials) {
            mixPtr(h, m.get());
            if (!m)
                continue;
            mixProperty(h, m->diffuse);
            mixProperty(h, m->emission);
            mixProperty(h, m->transparent);
            mixDouble(h, m->transparency);
            mix(h, std::size_t(m->lightingModel));
            mix(h, std::size_t(m->doubleSided) | std::size_t(m->readsFromDepthBuffer) << 1 |
                       std::size_t(m->writesToDepthBuffer) << 2);
        }
    if (node.light)
        mixLight(h, *node.light);
    mix(h, node.children().size());
    for (const scene::NodePtr& child : node.children())
        if (child)
            signatureOf(*child, h);
}

}  // namespace

scene::Vec3 LightItem::direction() const
{
    return scene::normalized(world.transformDirection({0, 0, -1}));
}

DrawList collectDrawList(const scene::Node& root, const DrawView& view)
{
    DrawList out;
    collect(root, scene::Mat4::identity(), 1.0, false, view, out);
    return out;
}

double unitsPerPoint(const DrawView& view, const scene::Vec3& world)
{
    const scene::Vec3 eye = view.cameraWorld.translationPart();
    const scene::Vec3 forward = scene::normalized(view.cameraWorld.transformDirection({0, 0, -1}));
    // Behind or at the eye it is not drawn anyway; a tiny depth keeps the scale finite.
    const double depth = std::max(scene::dot(world - eye, forward), 1e-6);
    const double k = 2.0 * depth * std::tan(scene::degToRad(view.fieldOfView) / 2) / std::max(view.viewHeight, 1.0);
    return std::isfinite(k) && k > 0 ? k : 1.0;
}

std::size_t sceneSignature(const scene::Scene* scene, const scene::Node* pointOfView)
{
    std::size_t h = 0;
    if (scene) {
        mixProperty(h, scene->background);
        if (scene->rootNode())
            signatureOf(*scene->rootNode(), h);
    }
    if (pointOfView) {
        mixMat(h, pointOfView->worldTransform());
        if (pointOfView->camera) {
            mixDouble(h, pointOfView->camera->fieldOfView);
            mixDouble(h, pointOfView->camera->zNear);
            mixDouble(h, pointOfView->camera->zFar);
        }
    }
    return h;
}

}  // namespace render
