#include "TestHelpers.h"

#include "scene/Node.h"
#include "scene/Primitives.h"

#include <gtest/gtest.h>

using namespace scene;

namespace {

// Axis-aligned cube of side 2 around the origin, as one triangle geometry.
GeometryPtr cube(double half = 1.0)
{
    const float h = float(half);
    const std::vector<Vec3f> p{{-h, -h, -h}, {h, -h, -h}, {h, h, -h}, {-h, h, -h},
                               {-h, -h, h},  {h, -h, h},  {h, h, h},  {-h, h, h}};
    const std::vector<std::int32_t> idx{0, 2, 1, 0, 3, 2, 4, 5, 6, 4, 6, 7, 0, 1, 5, 0, 5, 4,
                                        2, 3, 7, 2, 7, 6, 1, 2, 6, 1, 6, 5, 0, 4, 7, 0, 7, 3};
    return makeTriangleGeometry(p, idx);
}

NodePtr named(const char* n)
{
    NodePtr node = Node::make();
    node->name = n;
    return node;
}

}  // namespace

TEST(Node, NoNameDiffersFromEmptyName)
{
    NodePtr root = Node::make();
    NodePtr unnamed = Node::make();
    NodePtr empty = named("");
    root->addChild(unnamed);
    root->addChild(empty);
    EXPECT_FALSE(unnamed->hasName(""));
    EXPECT_TRUE(empty->hasName(""));
    EXPECT_EQ(root->childNamed("", false), empty);
}

TEST(Node, AddChildMovesItFromItsOldParentAndKeepsOrder)
{
    NodePtr a = named("a"), b = named("b"), c = named("c"), d = named("d");
    a->addChild(c);
    a->addChild(d);
    b->addChild(c);
    ASSERT_EQ(a->children().size(), 1u);
    EXPECT_EQ(a->children()[0], d);
    EXPECT_EQ(c->parent(), b.get());

    a->insertChild(c, 0);
    ASSERT_EQ(a->children().size(), 2u);
    EXPECT_EQ(a->children()[0], c);
    EXPECT_TRUE(b->children().empty());

    // Re-adding an existing child moves it to the end.
    a->addChild(c);
    EXPECT_EQ(a->children()[1], c);
    EXPECT_EQ(a->children().size(), 2u);
}

TEST(Node, RefusesToBecomeItsOwnDescendant)
{
    NodePtr a = named("a"), b = named("b");
    a->addChild(b);
    b->addChild(a);
    a->addChild(a);
    EXPECT_EQ(a->parent(), nullptr);
    EXPECT_EQ(b->parent(), a.get());
    EXPECT_TRUE(b->children().empty());
}

TEST(Node, RemoveFromParentWhenTheParentHeldTheLastReference)
{
    NodePtr root = Node::make();
    std::weak_ptr<Node> weak;
    {
        NodePtr child = named("x");
        weak = child;
        root->addChild(child);
    }
    weak.lock()->removeFromParent();
    EXPECT_TRUE(root->children().empty());
    EXPECT_TRUE(weak.expired());
}

TEST(Node, FindsChildrenByNameDirectOrRecursive)
{
    NodePtr root = named("root");
    NodePtr group = named("group");
    NodePtr deep = named("target");
    root->addChild(group);
    group->addChild(deep);
    EXPECT_EQ(root->childNamed("target", false), nullptr);
    EXPECT_EQ(root->childNamed("target", true), deep);
    EXPECT_EQ(root->childNamed("root", true), nullptr);  // the node itself is not its child
}

TEST(Node, VisitsDepthFirstAndStopsWhenAsked)
{
    NodePtr root = named("r");
    NodePtr a = named("a"), a1 = named("a1"), b = named("b");
    root->addChild(a);
    a->addChild(a1);
    root->addChild(b);
    std::string order;
    root->visit([&](Node& n) { order += *n.name + " "; return false; });
    EXPECT_EQ(order, "r a a1 b ");

    order.clear();
    root->visitDescendants([&](Node& n) { order += *n.name + " "; return n.hasName("a1"); });
    EXPECT_EQ(order, "a a1 ");
}

TEST(Node, VisitSurvivesTheVisitorDetachingNodes)
{
    NodePtr root = named("r");
    for (int i = 0; i < 5; ++i)
        root->addChild(named("c"));
    int seen = 0;
    root->visitDescendants([&](Node& n) { ++seen; n.removeFromParent(); return false; });
    EXPECT_EQ(seen, 5);
    EXPECT_TRUE(root->children().empty());
}

TEST(Node, WorldTransformComposesParentsInDouble)
{
    NodePtr root = Node::make();
    NodePtr model = Node::make();
    model->position = {500000, 4000000, 100};
    model->setEulerAngles({0, 0, kPi / 2});
    NodePtr part = Node::make();
    part->position = {1, 0, 0};
    part->scale = {2, 2, 2};
    root->addChild(model);
    model->addChild(part);

    EXPECT_VEC_NEAR(part->worldPosition(), Vec3(500000, 4000001, 100), 1e-9);
    // Local (1,0,0) of the part: scaled to 2, then turned onto +Y.
    const Vec3 w = part->convertToWorld({1, 0, 0.25});
    EXPECT_VEC_NEAR(w, Vec3(500000, 4000003, 100.5), 1e-9);
    EXPECT_VEC_NEAR(part->convertFromWorld(w), Vec3(1, 0, 0.25), 1e-9);
}

TEST(Node, EulerAnglesRoundTrip)
{
    const Vec3 cases[] = {{0.3, -0.7, 1.2}, {-1.0, 0.2, -2.5}, {0, 0, kPi / 2}, {kPi / 2 - 0.01, 0.4, 0.1},
                          {0.2, 1.5, -0.3}};
    for (const Vec3& e : cases) {
        NodePtr n = Node::make();
        n->setEulerAngles(e);
        EXPECT_VEC_NEAR(n->eulerAngles(), e, 1e-9);
    }
}

TEST(Node, EulerAnglesApplyRollThenYawThenPitch)
{
    // R = Rz * Ry * Rx: x = pi/2 then z = pi/2 takes +Y to +Z, then +Z stays.
    NodePtr n = Node::make();
    n->setEulerAngles({kPi / 2, 0, kPi / 2});
    EXPECT_VEC_NEAR(n->orientation.rotate({0, 1, 0}), Vec3(0, 0, 1), 1e-12);
    EXPECT_VEC_NEAR(n->orientation.rotate({1, 0, 0}), Vec3(0, 1, 0), 1e-12);
    // A single angle: x = -pi/2 lays the Y axis onto -Z.
    n->setEulerAngles({-kPi / 2, 0, 0});
    EXPECT_VEC_NEAR(n->orientation.rotate({0, 1, 0}), Vec3(0, 0, -1), 1e-12);
}

TEST(Node, LookAtTurnsTheLocalFrontToTheTargetWithUpUp)
{
    struct Case {
        Vec3 position, target, up, front;
    } cases[] = {
        {{10, -10, 10}, {0, 0, 0}, {0, 0, 1}, {0, 0, -1}},
        {{0, 0, 0}, {0.5, 0.5, -0.7}, {0, 0, 1}, {0, 0, -1}},
        {{3, 4, 5}, {3, 4, 50}, {0, 1, 0}, {0, 0, -1}},  // looking straight up the Z axis
        {{1, 2, 3}, {-4, 2, 3}, {0, 1, 0}, {1, 0, 0}},
    };
    for (const Case& c : cases) {
        NodePtr n = Node::make();
        n->position = c.position;
        n->lookAt(c.target, c.up, c.front);
        const Vec3 dir = normalized(c.target - c.position);
        EXPECT_VEC_NEAR(n->orientation.rotate(normalized(c.front)), dir, 1e-9);
        // Local +Y leans towards the world up as far as the front allows.
        const Vec3 upWorld = n->orientation.rotate({0, 1, 0});
        const Vec3 expectedUp = normalized(c.up - dir * dot(c.up, dir));
        if (c.front == Vec3{0, 0, -1})
            EXPECT_VEC_NEAR(upWorld, expectedUp, 1e-9);
        EXPECT_NEAR(length(upWorld), 1.0, 1e-12);
    }
}

TEST(Node, LookAtUnderATurnedParentAndDegenerateTargets)
{
    NodePtr parent = Node::make();
    parent->position = {100, 0, 0};
    parent->setEulerAngles({0, 0, 1.0});
    NodePtr cam = Node::make();
    cam->position = {5, 5, 5};
    parent->addChild(cam);
    cam->lookAt({0, 0, 0}, {0, 0, 1});
    const Vec3 front = normalized(cam->worldTransform().transformDirection({0, 0, -1}));
    EXPECT_VEC_NEAR(front, normalized(Vec3{0, 0, 0} - cam->worldPosition()), 1e-9);

    // Target at the node itself, or up along the view direction: no NaN, still a rotation.
    const Quat before = cam->orientation;
    cam->lookAt(cam->worldPosition());
    EXPECT_EQ(cam->orientation.w, before.w);
    NodePtr n = Node::make();
    n->lookAt({0, 0, 10}, {0, 0, 1});
    const Quat q = n->orientation;
    EXPECT_TRUE(std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w));
    EXPECT_VEC_NEAR(n->orientation.rotate({0, 0, -1}), Vec3(0, 0, 1), 1e-9);
    n->lookAt({std::nan(""), 0, 0});
    EXPECT_TRUE(std::isfinite(n->orientation.w));
}

TEST(BoundingBox, EmptyNodeIsTheZeroBox)
{
    NodePtr root = Node::make();
    root->position = {5, 5, 5};
    root->addChild(Node::make());
    NodePtr withLight = Node::make();
    withLight->light = std::make_shared<Light>();
    withLight->position = {100, 100, 100};
    root->addChild(withLight);
    EXPECT_EQ(root->boundingBox(), Box{});
    EXPECT_TRUE(root->boundingBox().isZero());
}

TEST(BoundingBox, CoversGeometryAndTransformedDescendantsIncludingHiddenOnes)
{
    NodePtr root = Node::make();
    root->position = {1000, 0, 0};  // the node's own transform does not count
    NodePtr a = Node::make(cube());
    a->position = {10, 0, 0};
    a->scale = {1, 3, 1};
    NodePtr b = Node::make(cube(0.5));
    b->position = {0, 0, -5};
    b->hidden = true;
    NodePtr inner = Node::make();
    inner->position = {0, 0, 20};
    NodePtr leaf = Node::make(cube());
    leaf->setEulerAngles({0, 0, kPi / 4});
    inner->addChild(leaf);
    root->addChild(a);
    root->addChild(b);
    root->addChild(inner);

    const double r = std::sqrt(2.0);  // the turned cube's box corners
    EXPECT_BOX_NEAR(root->boundingBox(), (Box{{-r, -3, -5.5}, {11, 3, 21}}), 1e-6);
    EXPECT_BOX_NEAR(a->boundingBox(), (Box{{-1, -1, -1}, {1, 1, 1}}), 1e-12);
}

TEST(BoundingBox, SinglePointAtTheOriginStillCounts)
{
    // A geometry whose only vertex is the origin is content: it widens a box elsewhere.
    NodePtr root = Node::make();
    const std::vector<Vec3f> pts{{0, 0, 0}, {0, 0, 0}};
    const std::vector<std::int32_t> idx{0, 1};
    NodePtr dot = Node::make(makeLineGeometry(pts, idx));
    NodePtr far = Node::make(cube());
    far->position = {10, 10, 10};
    root->addChild(dot);
    root->addChild(far);
    EXPECT_BOX_NEAR(root->boundingBox(), (Box{{0, 0, 0}, {11, 11, 11}}), 1e-12);
}

TEST(Clone, SharesGeometryUnlessAskedToCopy)
{
    NodePtr original = named("muro");
    original->geometry = cube();
    original->geometry->name = "geo";
    original->position = {1, 2, 3};
    original->scale = {2, 2, 2};
    original->setEulerAngles({0.1, 0.2, 0.3});
    original->renderingOrder = 4;
    original->hidden = true;
    original->light = std::make_shared<Light>();
    NodePtr child = Node::make(cube());
    child->position = {0, 5, 0};
    original->addChild(child);

    NodePtr shared = original->clone();
    EXPECT_NE(shared, original);
    EXPECT_EQ(shared->name, original->name);
    EXPECT_EQ(shared->geometry, original->geometry);
    EXPECT_EQ(shared->light, original->light);
    EXPECT_EQ(shared->position, original->position);
    EXPECT_EQ(shared->scale, original->scale);
    EXPECT_VEC_NEAR(shared->eulerAngles(), original->eulerAngles(), 1e-12);
    EXPECT_EQ(shared->renderingOrder, 4);
    EXPECT_TRUE(shared->hidden);
    EXPECT_EQ(shared->parent(), nullptr);
    ASSERT_EQ(shared->children().size(), 1u);
    EXPECT_NE(shared->children()[0], child);
    EXPECT_EQ(shared->children()[0]->geometry, child->geometry);
    EXPECT_FALSE(shared->children()[0]->name.has_value());

    NodePtr copied = original->clone(true);
    ASSERT_NE(copied->geometry, original->geometry);
    EXPECT_EQ(copied->geometry->name, "geo");
    ASSERT_EQ(copied->geometry->materials.size(), 1u);
    EXPECT_NE(copied->geometry->firstMaterial(), original->geometry->firstMaterial());
    copied->geometry->firstMaterial()->diffuse.contents = Color{1, 0, 0, 1};
    EXPECT_EQ(*original->geometry->firstMaterial()->diffuse.color(), Color::white());
    EXPECT_NE(copied->children()[0]->geometry, child->geometry);
    EXPECT_EQ(copied->boundingBox(), original->boundingBox());
}
