#include "TestHelpers.h"

#include "scene/Bvh.h"
#include "scene/HitTest.h"
#include "scene/Projection.h"

#include <gtest/gtest.h>
#include <atomic>
#include <random>
#include <thread>

using namespace scene;

namespace {

// Square in the XY plane at height z, facing +Z (counter-clockwise seen from above).
GeometryPtr square(float half, float z = 0)
{
    const std::vector<Vec3f> p{{-half, -half, z}, {half, -half, z}, {half, half, z}, {-half, half, z}};
    const std::vector<std::int32_t> idx{0, 1, 2, 0, 2, 3};
    return makeTriangleGeometry(p, idx);
}

GeometryPtr cube(float h)
{
    const std::vector<Vec3f> p{{-h, -h, -h}, {h, -h, -h}, {h, h, -h}, {-h, h, -h},
                               {-h, -h, h},  {h, -h, h},  {h, h, h},  {-h, h, h}};
    const std::vector<std::int32_t> idx{0, 2, 1, 0, 3, 2, 4, 5, 6, 4, 6, 7, 0, 1, 5, 0, 5, 4,
                                        2, 3, 7, 2, 7, 6, 1, 2, 6, 1, 6, 5, 0, 4, 7, 0, 7, 3};
    return makeTriangleGeometry(p, idx);
}

NodePtr cameraNode(const Vec3& position, const Vec3& target, const Vec3& up = {0, 0, 1})
{
    NodePtr cam = Node::make();
    cam->camera = std::make_shared<Camera>();
    cam->camera->zNear = 0.1;
    cam->camera->zFar = 1e7;
    cam->position = position;
    cam->lookAt(target, up);
    return cam;
}

Ray down(double x, double y, double z = 10) { return {{x, y, z}, {0, 0, -1}}; }

}  // namespace

TEST(RayCast, ReturnsOnlyTheClosestHit)
{
    NodePtr root = Node::make();
    NodePtr low = Node::make(square(1, 0));
    low->name = "low";
    NodePtr high = Node::make(square(1, 2));
    high->name = "high";
    root->addChild(low);
    root->addChild(high);

    auto hit = rayCast(*root, down(0.25, 0.5));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->node, high);
    EXPECT_VEC_NEAR(hit->worldCoordinates, Vec3(0.25, 0.5, 2), 1e-12);
    EXPECT_NEAR(hit->distance, 8, 1e-12);
    EXPECT_VEC_NEAR(hit->worldNormal, Vec3(0, 0, 1), 1e-12);

    // Order of the children does not matter.
    high->removeFromParent();
    root->insertChild(high, 0);
    EXPECT_EQ(rayCast(*root, down(0.25, 0.5))->node, high);
    EXPECT_FALSE(rayCast(*root, down(3, 0)));
}

TEST(RayCast, BackFaceCullingOnAndOff)
{
    NodePtr root = Node::make();
    NodePtr floor = Node::make(square(1, 0));
    root->addChild(floor);
    const Ray fromBelow{{0, 0, -5}, {0, 0, 1}};
    EXPECT_FALSE(rayCast(*root, fromBelow, {.backFaceCulling = true}));
    auto hit = rayCast(*root, fromBelow, {.backFaceCulling = false});
    ASSERT_TRUE(hit);
    EXPECT_VEC_NEAR(hit->worldCoordinates, Vec3(0, 0, 0), 1e-12);

    // Inside a closed cube with culling the near wall is skipped and the far one hit.
    NodePtr box = Node::make(cube(1));
    NodePtr root2 = Node::make();
    root2->addChild(box);
    const Ray through{{-5, 0.1, 0.2}, {1, 0, 0}};
    EXPECT_NEAR(rayCast(*root2, through, {.backFaceCulling = true})->worldCoordinates.x, -1, 1e-12);
    const Ray inside{{0, 0.1, 0.2}, {1, 0, 0}};
    EXPECT_FALSE(rayCast(*root2, inside, {.backFaceCulling = true}));
    EXPECT_NEAR(rayCast(*root2, inside, {.backFaceCulling = false})->worldCoordinates.x, 1, 1e-12);
}

TEST(RayCast, MirroredNodesKeepTheirFrontFaces)
{
    // Mirrored in z, the square at local z = 1 lies at z = -1 with its corners wound as before
    // in world space: it still faces +Z, as it is drawn.
    NodePtr root = Node::make();
    NodePtr flipped = Node::make(square(1, 1));
    flipped->scale = {1, 1, -1};
    root->addChild(flipped);
    auto hit = rayCast(*root, down(0, 0));
    ASSERT_TRUE(hit);
    EXPECT_NEAR(hit->worldCoordinates.z, -1, 1e-12);
    EXPECT_FALSE(rayCast(*root, Ray{{0, 0, -5}, {0, 0, 1}}));
}

TEST(RayCast, HiddenNodesAndTheirSubtreesAreNeverHit)
{
    NodePtr root = Node::make();
    NodePtr top = Node::make(square(1, 5));
    NodePtr group = Node::make();
    NodePtr inGroup = Node::make(square(1, 3));
    NodePtr bottom = Node::make(square(1, 0));
    group->addChild(inGroup);
    root->addChild(top);
    root->addChild(group);
    root->addChild(bottom);

    top->hidden = true;
    EXPECT_EQ(rayCast(*root, down(0, 0))->node, inGroup);
    group->hidden = true;
    EXPECT_EQ(rayCast(*root, down(0, 0))->node, bottom);
    // Casting under a hidden node finds nothing either.
    EXPECT_FALSE(rayCast(*group, down(0, 0)));
    EXPECT_FALSE(rayCast(*inGroup, down(0, 0)));
}

TEST(RayCast, LinesAreNotHit)
{
    NodePtr root = Node::make();
    const std::vector<Vec3f> p{{-1, 0, 0}, {1, 0, 0}};
    const std::vector<std::int32_t> idx{0, 1};
    root->addChild(Node::make(makeLineGeometry(p, idx)));
    EXPECT_FALSE(rayCast(*root, down(0, 0), {.backFaceCulling = false}));
}

TEST(RayCast, TransformedNodesReportLocalAndWorldPoints)
{
    NodePtr root = Node::make();
    NodePtr parent = Node::make();
    parent->position = {10, 0, 0};
    parent->setEulerAngles({0, 0, kPi / 2});
    NodePtr child = Node::make(square(1, 0));
    child->scale = {2, 2, 2};
    child->position = {0, -3, 1};
    parent->addChild(child);
    root->addChild(parent);

    // The child's origin in world: parent turns (0,-3,1) onto (3,0,1), then moves it by 10 in x.
    auto hit = rayCast(*root, down(13.5, 1));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->node, child);
    EXPECT_VEC_NEAR(hit->worldCoordinates, Vec3(13.5, 1, 1), 1e-12);
    EXPECT_VEC_NEAR(child->convertToWorld(hit->localCoordinates), hit->worldCoordinates, 1e-12);
    EXPECT_NEAR(hit->distance, 9, 1e-12);
    EXPECT_VEC_NEAR(hit->worldNormal, Vec3(0, 0, 1), 1e-12);
}

TEST(RayCast, FlattenedNodesAreSkippedAlone)
{
    // A node scaled to nothing cannot be inverted into: it and its subtree are skipped, the
    // rest is still searched, in small trees and in indexed ones alike.
    for (int siblings : {1, 40}) {
        NodePtr root = Node::make();
        NodePtr flat = Node::make(square(1, 5));
        flat->scale = {1, 0, 1};
        flat->addChild(Node::make(square(1, 4)));
        root->addChild(flat);
        for (int i = 0; i < siblings; ++i)
            root->addChild(Node::make(square(1, -double(i))));
        auto hit = rayCast(*root, down(0, 0));
        ASSERT_TRUE(hit) << siblings;
        EXPECT_NEAR(hit->worldCoordinates.z, 0, 1e-12);
    }
}

TEST(RayCast, FaceIndexCountsTrianglesOfEveryTriangleElement)
{
    const std::vector<Vec3f> p{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}};
    GeometryElement lines{GeometryElement::Primitive::Lines, {0, 1}};
    GeometryElement first{GeometryElement::Primitive::Triangles, {0, 1, 2}};
    GeometryElement second{GeometryElement::Primitive::Triangles, {3, 4, 5}};
    auto g = std::make_shared<Geometry>(std::vector<GeometrySource>{GeometrySource::vertices(p)},
                                        std::vector<GeometryElement>{lines, first, second});
    NodePtr root = Node::make();
    root->addChild(Node::make(g));
    auto hit = rayCast(*root, down(0.2, 0.2));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->faceIndex, 1);
    EXPECT_EQ(g->bvh().triangleCount(), 2);
}

TEST(RayCast, BadIndicesAndNonFiniteInputFindNothing)
{
    const std::vector<Vec3f> p{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const std::vector<std::int32_t> idx{0, 1, 9, -4, 1, 2};
    NodePtr root = Node::make();
    root->addChild(Node::make(makeTriangleGeometry(p, idx)));
    EXPECT_FALSE(rayCast(*root, down(0.2, 0.2)));
    EXPECT_FALSE(rayCast(*root, Ray{{std::nan(""), 0, 0}, {0, 0, -1}}));
    EXPECT_FALSE(rayCast(*root, Ray{{0, 0, 1}, {0, 0, 0}}));
}

TEST(Bvh, AgreesWithTestingEveryTriangle)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> pos(-10, 10), size(-1.5f, 1.5f);
    std::vector<Vec3f> pts;
    std::vector<std::int32_t> idx;
    for (int i = 0; i < 3000; ++i) {
        const Vec3f c{pos(rng), pos(rng), pos(rng)};
        for (int k = 0; k < 3; ++k) {
            idx.push_back(std::int32_t(pts.size()));
            pts.push_back({c.x + size(rng), c.y + size(rng), c.z + size(rng)});
        }
    }
    GeometryPtr g = makeTriangleGeometry(pts, idx);
    const Bvh& bvh = g->bvh();

    auto brute = [&](const Vec3& o, const Vec3& d, bool cull) {
        std::optional<double> best;
        for (size_t t = 0; t < idx.size(); t += 3) {
            const Vec3 v0 = toDouble(pts[t]), e1 = toDouble(pts[t + 1]) - v0, e2 = toDouble(pts[t + 2]) - v0;
            const Vec3 pv = cross(d, e2);
            const double det = dot(e1, pv);
            if (det == 0 || (cull && det < 0))
                continue;
            const Vec3 s = o - v0;
            const double u = dot(s, pv) / det;
            const Vec3 q = cross(s, e1);
            const double v = dot(d, q) / det;
            const double tt = dot(e2, q) / det;
            if (u >= 0 && v >= 0 && u + v <= 1 && tt > 0 && (!best || tt < *best))
                best = tt;
        }
        return best;
    };
    std::uniform_real_distribution<double> dir(-1, 1);
    int hits = 0;
    for (int r = 0; r < 300; ++r) {
        const Vec3 o{dir(rng) * 20, dir(rng) * 20, dir(rng) * 20};
        const Vec3 d = normalized(Vec3{dir(rng), dir(rng), dir(rng)} - o * 0.04);
        for (bool cull : {true, false}) {
            const auto expected = brute(o, d, cull);
            const auto got = bvh.closestHit(o, d, cull);
            ASSERT_EQ(expected.has_value(), got.has_value()) << r;
            if (expected) {
                ++hits;
                EXPECT_NEAR(got->t, *expected, 1e-9);
            }
        }
    }
    EXPECT_GT(hits, 100);  // the rays do meet the cloud
}

TEST(Bvh, CoordinatesNearTheFloatLimitBuildAndStillHit)
{
    // centroids of such triangles overflow when both ends are added first
    std::vector<Vec3f> pts;
    std::vector<std::int32_t> idx;
    auto triangle = [&](float x, float y, float z, float s) {
        for (const Vec3f& p : {Vec3f{x, y, z}, Vec3f{x + s, y, z}, Vec3f{x, y + s, z}}) {
            idx.push_back(std::int32_t(pts.size()));
            pts.push_back(p);
        }
    };
    for (int i = 0; i < 40; ++i) {
        const float far = 3.0e38f;
        triangle(i % 2 ? far : -far, far, i % 3 ? far : -far, 1e37f);
        triangle(float(i), 0, 0, 0.5f);
    }
    triangle(-3.4e38f, -3.4e38f, 0, 3.4e38f);
    GeometryPtr g = makeTriangleGeometry(pts, idx);
    const auto hit = g->bvh().closestHit(Vec3{7.1, 0.1, 5}, Vec3{0, 0, -1}, false);
    ASSERT_TRUE(hit);
    EXPECT_NEAR(hit->t, 5, 1e-9);
}

TEST(HitTest, ProjectedVertexHitsBackThatVertex)
{
    NodePtr root = Node::make();
    NodePtr box = Node::make(cube(1));
    box->position = {3, 2, 0.5};
    box->setEulerAngles({0.2, 0.1, 0.7});
    root->addChild(box);
    NodePtr cam = cameraNode({12, -9, 7}, {3, 2, 0.5});
    const Viewpoint vp{cam.get(), QSizeF(800, 600)};

    // Corners of the top face, nudged a hair along the face so the pick is inside it.
    int checked = 0;
    for (const Vec3 corner : {Vec3{1, -1, 1}, Vec3{1, 1, 1}, Vec3{-1, -1, 1}, Vec3{-1, 1, 1}}) {
        const Vec3 world = box->convertToWorld({corner.x * 0.999, corner.y * 0.999, 1});
        const Vec3 view = projectPoint(vp, world);
        ASSERT_GT(view.z, 0);
        ASSERT_LT(view.z, 1);
        auto hit = hitTest(*root, vp, QPointF(view.x, view.y));
        if (!hit)
            continue;  // a vertex on the silhouette
        ++checked;
        EXPECT_EQ(hit->node, box);
        EXPECT_VEC_NEAR(hit->worldCoordinates, world, 1e-6);
        // And back: the hit point projects where we clicked.
        const Vec3 again = projectPoint(vp, hit->worldCoordinates);
        EXPECT_NEAR(again.x, view.x, 1e-6);
        EXPECT_NEAR(again.y, view.y, 1e-6);
    }
    EXPECT_GE(checked, 3);
}

TEST(HitTest, ModelFarFromTheOriginHitsPrecisely)
{
    // Survey coordinates: the offset lives in the node's double position, the vertices are small.
    const Vec3 offset{500000.25, 4000000.75, 30};
    NodePtr root = Node::make();
    NodePtr model = Node::make();
    model->position = offset;
    NodePtr wall = Node::make(cube(0.5f));
    wall->position = {1.5, -2, 0};
    model->addChild(wall);
    root->addChild(model);
    NodePtr cam = cameraNode(offset + Vec3{6, -8, 5}, offset + Vec3{1.5, -2, 0});
    const Viewpoint vp{cam.get(), QSizeF(1280, 720)};

    const Vec3 vertex = wall->convertToWorld({0.5, -0.5, 0.5});
    const Vec3 target = wall->convertToWorld({0.49, -0.49, 0.5});  // on the top face, next to the vertex
    const Vec3 view = projectPoint(vp, target);
    auto hit = hitTest(*root, vp, QPointF(view.x, view.y));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->node, wall);
    EXPECT_VEC_NEAR(hit->worldCoordinates, target, 1e-7);
    EXPECT_VEC_NEAR(hit->localCoordinates, Vec3(0.49, -0.49, 0.5), 1e-7);
    // The vertex projects a few pixels away from the click, not on top of it or off screen.
    const Vec3 v = projectPoint(vp, vertex);
    const double px = std::hypot(v.x - view.x, v.y - view.y);
    EXPECT_GT(px, 0.5);
    EXPECT_LT(px, 20);
}

TEST(HitTest, OnlyWhatLiesBetweenTheClippingPlanesIsHit)
{
    NodePtr root = Node::make();
    NodePtr nearWall = Node::make(square(5, 8));
    NodePtr farFloor = Node::make(square(5, 0));
    root->addChild(nearWall);
    root->addChild(farFloor);
    NodePtr cam = Node::make();
    cam->camera = std::make_shared<Camera>();
    cam->position = {0, 0, 10};  // looking down -Z at both squares
    const Viewpoint vp{cam.get(), QSizeF(400, 400)};

    cam->camera->zNear = 1;
    EXPECT_EQ(hitTest(*root, vp, QPointF(200, 200))->node, nearWall);
    cam->camera->zNear = 5;  // the near plane cuts the wall away
    EXPECT_EQ(hitTest(*root, vp, QPointF(200, 200))->node, farFloor);
    cam->camera->zFar = 9;
    EXPECT_FALSE(hitTest(*root, vp, QPointF(200, 200)));
}

TEST(HitTest, DegenerateViewsGiveNoHitOrAFiniteOne)
{
    NodePtr root = Node::make();
    root->addChild(Node::make(square(100, 0)));
    NodePtr cam = cameraNode({0, 0, 10}, {0, 0, 0}, {0, 1, 0});

    struct Case {
        QSizeF size;
        QPointF point;
    } cases[] = {
        {QSizeF(0, 0), QPointF(10, 10)},
        {QSizeF(-5, 300), QPointF(10, 10)},
        {QSizeF(300, 300), QPointF(std::nan(""), 10)},
        {QSizeF(std::nan(""), 300), QPointF(1e300, -1e300)},
    };
    for (const Case& c : cases) {
        const Viewpoint vp{cam.get(), c.size};
        const Ray ray = rayThrough(vp, c.point);
        EXPECT_TRUE(isFinite(ray.origin) && isFinite(ray.direction));
        EXPECT_NEAR(length(ray.direction), 1, 1e-12);
        if (auto hit = hitTest(*root, vp, c.point)) {
            EXPECT_TRUE(isFinite(hit->worldCoordinates) && isFinite(hit->worldNormal));
        }
    }
    // No point of view at all: the origin looking down -Z.
    const Ray ray = rayThrough(Viewpoint{nullptr, QSizeF(100, 100)}, QPointF(50, 50));
    EXPECT_VEC_NEAR(ray.origin, Vec3(0, 0, 0), 0);
    EXPECT_VEC_NEAR(ray.direction, Vec3(0, 0, -1), 1e-12);
}

class LargeModels : public ::testing::TestWithParam<int> {};

TEST_P(LargeModels, FollowEveryChangeBetweenQueries)
{
    // Enough children for the subtree index; every change must show in the next query. With
    // many nodes beside the model, the model is searched through its own index from the root's.
    NodePtr root = Node::make();
    for (int i = 0; i < GetParam(); ++i) {
        NodePtr marker = Node::make(square(0.1f, -50));
        marker->position = {-100, double(i), 0};
        root->addChild(marker);
    }
    NodePtr model = Node::make();
    root->addChild(model);
    std::vector<NodePtr> tiles;
    for (int i = 0; i < 40; ++i) {
        NodePtr t = Node::make(square(0.4f));
        t->position = {double(i), 0, 0};
        model->addChild(t);
        tiles.push_back(t);
    }
    auto nodeAt = [&](double x) {
        auto hit = rayCast(*root, down(x, 0));
        return hit ? hit->node : nullptr;
    };
    EXPECT_EQ(nodeAt(7), tiles[7]);
    EXPECT_EQ(nodeAt(7.5), nullptr);

    tiles[7]->hidden = true;
    EXPECT_EQ(nodeAt(7), nullptr);
    tiles[7]->hidden = false;
    tiles[7]->position.z = -1;
    tiles[8]->position = {7, 0, 1};  // now above tile 7
    EXPECT_EQ(nodeAt(7), tiles[8]);
    EXPECT_NEAR(rayCast(*root, down(7, 0))->worldCoordinates.z, 1, 1e-12);

    tiles[8]->scale = {3, 3, 3};  // covers x 5.8 .. 8.2
    EXPECT_EQ(nodeAt(5.9), tiles[8]);
    tiles[8]->orientation = Quat::fromAxisAngle({1, 0, 0}, kPi);  // turned face down: culled from above
    EXPECT_EQ(nodeAt(5.9), tiles[6]);
    EXPECT_EQ(nodeAt(7), tiles[7]);

    // Swap one child for another: same child count, other node.
    NodePtr replacement = Node::make(square(0.4f, 2));
    replacement->position = {20, 0, 0};
    tiles[20]->removeFromParent();
    model->insertChild(replacement, 20);
    EXPECT_EQ(nodeAt(20), replacement);
    tiles[20].reset();  // the old node is gone for good

    // Grandchildren and geometry swaps count too.
    NodePtr sub = Node::make(square(0.4f, 3));
    tiles[30]->addChild(sub);
    EXPECT_EQ(nodeAt(30), sub);
    sub->geometry = square(0.1f, 3);
    EXPECT_EQ(nodeAt(30.2), tiles[30]);
    model->position = {0, 100, 0};
    EXPECT_EQ(nodeAt(30), nullptr);
    EXPECT_EQ(rayCast(*root, down(30, 100))->node, sub);
    // A change beside the model, as the hover's marker makes on every move.
    NodePtr ring = Node::make(square(0.2f, 9));
    ring->position = {-100, 0, 0};
    root->addChild(ring);
    EXPECT_EQ(rayCast(*root, down(-100, 0))->node, ring);
    EXPECT_EQ(rayCast(*root, down(30, 100))->node, sub);
    sub->hidden = true;
    EXPECT_EQ(rayCast(*root, down(30, 100))->node, tiles[30]);
    model->removeAllChildren();
    EXPECT_EQ(rayCast(*root, down(30, 100)), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(RayCast, LargeModels, ::testing::Values(0, 20));

TEST(RayCast, ConcurrentQueriesOnAFreshModelAgree)
{
    // Hierarchies and indexes are built on first use, possibly from several threads at once.
    NodePtr root = Node::make();
    NodePtr model = Node::make();
    root->addChild(model);
    for (int i = 0; i < 64; ++i) {
        NodePtr t = Node::make(cube(0.4f));
        t->position = {double(i % 8), double(i / 8), 0};
        model->addChild(t);
    }
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int k = 0; k < 4; ++k)
        threads.emplace_back([&] {
            for (int i = 0; i < 64; ++i) {
                auto hit = rayCast(*root, down(i % 8, i / 8));
                if (!hit || hit->node != model->children()[size_t(i)] || std::abs(hit->worldCoordinates.z - 0.4) > 1e-6)
                    ++wrong;
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
}

class Billboards : public ::testing::TestWithParam<int> {};

TEST_P(Billboards, AreHitAsDrawnTurnedToTheCamera)
{
    // A label facing +Z, seen edge-on from a camera looking along +Y: only once it is turned
    // towards the camera is there anything to click. Its children turn with it.
    NodePtr root = Node::make();
    for (int i = 0; i < GetParam(); ++i) {
        NodePtr other = Node::make(square(0.1f));
        other->position = {50, 0, double(i)};
        root->addChild(other);
    }
    NodePtr label = Node::make(square(0.5f));
    label->position = {2, 0, 1};
    label->billboard = true;
    NodePtr below = Node::make(square(0.25f));
    below->position = {0, 3, 0};  // "up" in the label's turned frame: the camera's up, world +Z
    label->addChild(below);
    root->addChild(label);
    NodePtr cam = cameraNode({2, -10, 1}, {2, 0, 1});
    const Viewpoint vp{cam.get(), QSizeF(600, 400)};

    const Vec3 centre = projectPoint(vp, {2, 0, 1});
    auto hit = hitTest(*root, vp, QPointF(centre.x, centre.y));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->node, label);
    EXPECT_VEC_NEAR(hit->worldCoordinates, Vec3(2, 0, 1), 1e-9);
    EXPECT_VEC_NEAR(hit->worldNormal, Vec3(0, -1, 0), 1e-9);  // towards the camera

    const Vec3 up = projectPoint(vp, {2.1, 0, 4.1});
    hit = hitTest(*root, vp, QPointF(up.x, up.y));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->node, below);
    EXPECT_VEC_NEAR(hit->worldCoordinates, Vec3(2.1, 0, 4.1), 1e-9);

    // A ray with no camera sees the label as it is stored: edge-on, nothing to hit.
    EXPECT_FALSE(rayCast(*root, Ray{{2, -10, 1}, {0, 1, 0}}, {.backFaceCulling = false}));
    auto fromAbove = rayCast(*root, Ray{{2.2, 0.1, 10}, {0, 0, -1}});
    ASSERT_TRUE(fromAbove);
    EXPECT_EQ(fromAbove->node, label);
    EXPECT_VEC_NEAR(fromAbove->worldCoordinates, Vec3(2.2, 0.1, 1), 1e-12);
    label->billboard = false;
    EXPECT_FALSE(hitTest(*root, vp, QPointF(centre.x, centre.y), {.backFaceCulling = false}));
}

INSTANTIATE_TEST_SUITE_P(HitTest, Billboards, ::testing::Values(0, 20));
