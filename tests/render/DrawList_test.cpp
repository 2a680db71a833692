#include "render/DrawList.h"

#include <gtest/gtest.h>

using namespace render;
using scene::Vec3;

namespace {

scene::GeometryPtr triangle()
{
    const std::vector<scene::Vec3f> pts{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const std::vector<std::int32_t> idx{0, 1, 2};
    return scene::makeTriangleGeometry(pts, idx);
}

}  // namespace

TEST(DrawList, SkipsHiddenSubtreesAndMultipliesOpacityDownTheTree)
{
    auto root = scene::Node::make();
    auto group = scene::Node::make();
    group->opacity = 0.5;
    group->position = {10, 0, 0};
    auto child = scene::Node::make(triangle());
    child->opacity = 0.4;
    child->position = {0, 2, 0};
    auto hiddenGroup = scene::Node::make();
    hiddenGroup->hidden = true;
    hiddenGroup->addChild(scene::Node::make(triangle()));
    root->addChild(group);
    group->addChild(child);
    root->addChild(hiddenGroup);

    const DrawList list = collectDrawList(*root, scene::Mat4::identity());
    ASSERT_EQ(list.items.size(), 1u);
    EXPECT_EQ(list.items[0].node, child.get());
    EXPECT_NEAR(list.items[0].opacity, 0.2, 1e-12);
    EXPECT_EQ(list.items[0].world.translationPart(), (Vec3{10, 2, 0}));
}

TEST(DrawList, BillboardTakesTheCamerasAxesAndKeepsItsPositionAndScale)
{
    auto root = scene::Node::make();
    auto label = scene::Node::make(triangle());
    label->billboard = true;
    label->position = {3, 4, 5};
    label->scale = {2, 2, 2};
    root->addChild(label);
    auto cam = scene::Node::make();
    cam->position = {3, -10, 5};
    cam->lookAt({3, 4, 5}, {0, 0, 1});

    const DrawList list = collectDrawList(*root, cam->worldTransform());
    ASSERT_EQ(list.items.size(), 1u);
    const scene::Mat4& w = list.items[0].world;
    EXPECT_EQ(w.translationPart(), (Vec3{3, 4, 5}));
    const Vec3 z = w.transformDirection({0, 0, 1});
    EXPECT_NEAR(scene::length(z), 2.0, 1e-9);
    EXPECT_NEAR(scene::dot(scene::normalized(z), Vec3{0, -1, 0}), 1.0, 1e-9);  // +Z back at the camera
    EXPECT_TRUE(list.items[0].billboarded);
}

TEST(DrawList, SignatureChangesWithWhatIsSeenOnly)
{
    auto s = scene::makeScene();
    auto n = scene::Node::make(triangle());
    s->rootNode()->addChild(n);
    auto cam = scene::Node::make();
    cam->camera = std::make_shared<scene::Camera>();
    const std::size_t a = sceneSignature(s.get(), cam.get());
    EXPECT_EQ(sceneSignature(s.get(), cam.get()), a);
    n->geometry->firstMaterial()->emission.contents = scene::Color{1, 0.85, 0, 1};
    const std::size_t b = sceneSignature(s.get(), cam.get());
    EXPECT_NE(b, a);
    cam->camera->zNear = 0.5;
    EXPECT_NE(sceneSignature(s.get(), cam.get()), b);
}
