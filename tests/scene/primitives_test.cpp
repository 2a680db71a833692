#include "TestHelpers.h"

#include "scene/HitTest.h"
#include "scene/Primitives.h"

#include <cstring>
#include <functional>
#include <gtest/gtest.h>

using namespace scene;

namespace {

struct Triangle {
    Vec3 a, b, c;
    Vec3 normal() const { return cross(b - a, c - a); }
    Vec3 centroid() const { return (a + b + c) / 3.0; }
};

std::vector<Triangle> triangles(const Geometry& g)
{
    const GeometrySource* v = g.source(GeometrySource::Semantic::Vertex);
    std::vector<Triangle> out;
    for (const auto& e : g.elements())
        for (size_t i = 0; i + 2 < e.indices.size(); i += 3)
            out.push_back({toDouble(*v->vectorAt(e.indices[i])), toDouble(*v->vectorAt(e.indices[i + 1])),
                           toDouble(*v->vectorAt(e.indices[i + 2]))});
    return out;
}

// Every face of a closed shape turns its front outwards, away from `inside(point)`.
void expectOutward(const Geometry& g, const std::function<Vec3(const Vec3&)>& inside)
{
    int faces = 0;
    for (const Triangle& t : triangles(g)) {
        const Vec3 n = t.normal();
        if (length(n) < 1e-12)
            continue;
        ++faces;
        EXPECT_GT(dot(n, t.centroid() - inside(t.centroid())), 0);
    }
    EXPECT_GT(faces, 0);
}

}  // namespace

TEST(Primitives, BoxIsCentredWithItsSidesOnXYZ)
{
    GeometryPtr g = makeBox(2, 4, 6);
    EXPECT_EQ(g->localBounds(), (Box{{-1, -2, -3}, {1, 2, 3}}));
    EXPECT_EQ(triangles(*g).size(), 12u);
    expectOutward(*g, [](const Vec3&) { return Vec3{}; });
    ASSERT_NE(g->source(GeometrySource::Semantic::Normal), nullptr);
    EXPECT_EQ(g->materials.size(), 1u);
}

TEST(Primitives, SphereHasItsRadiusAndFacesOut)
{
    GeometryPtr g = makeSphere(0.08);
    EXPECT_BOX_NEAR(g->localBounds(), (Box{{-0.08, -0.08, -0.08}, {0.08, 0.08, 0.08}}), 1e-6);
    expectOutward(*g, [](const Vec3&) { return Vec3{}; });
}

TEST(Primitives, CylinderStandsOnTheYAxis)
{
    GeometryPtr g = makeCylinder(0.012, 0.55);
    EXPECT_BOX_NEAR(g->localBounds(), (Box{{-0.012, -0.275, -0.012}, {0.012, 0.275, 0.012}}), 1e-6);
    expectOutward(*g, [](const Vec3&) { return Vec3{}; });
    // A ray down the axis meets the top cap at +h/2.
    NodePtr root = Node::make();
    root->addChild(Node::make(makeCylinder(1, 2)));
    auto hit = rayCast(*root, Ray{{0, 10, 0}, {0, -1, 0}});
    ASSERT_TRUE(hit);
    EXPECT_NEAR(hit->worldCoordinates.y, 1, 1e-6);
}

TEST(Primitives, TorusRingLiesInTheXZPlane)
{
    const double R = 0.5, r = 0.09;
    GeometryPtr g = makeTorus(R, r);
    EXPECT_BOX_NEAR(g->localBounds(), (Box{{-(R + r), -r, -(R + r)}, {R + r, r, R + r}}), 1e-3);
    // The hole is along Y: a ray down the axis passes, one down through the pipe hits.
    NodePtr root = Node::make();
    root->addChild(Node::make(g));
    EXPECT_FALSE(rayCast(*root, Ray{{0, 5, 0}, {0, -1, 0}}, {.backFaceCulling = false}));
    auto hit = rayCast(*root, Ray{{R, 5, 0}, {0, -1, 0}});
    ASSERT_TRUE(hit);
    EXPECT_NEAR(hit->worldCoordinates.y, r, 1e-3);
    expectOutward(*g, [R](const Vec3& p) {
        const double d = std::hypot(p.x, p.z);
        return d > 0 ? Vec3{p.x / d * R, 0, p.z / d * R} : Vec3{};
    });
}

TEST(Primitives, PlaneFacesPlusZInTheXYPlane)
{
    for (double radius : {0.0, 0.05, 10.0}) {
        GeometryPtr g = makePlane(1.5, 0.62, radius);
        EXPECT_BOX_NEAR(g->localBounds(), (Box{{-0.75, -0.31, 0}, {0.75, 0.31, 0}}), 1e-6);
        double area = 0;
        for (const Triangle& t : triangles(*g)) {
            const Vec3 n = t.normal();
            EXPECT_GE(n.z, 0);
            EXPECT_NEAR(n.x, 0, 1e-12);
            area += length(n) / 2;
        }
        const double r = std::min(radius, 0.31);
        EXPECT_NEAR(area, 1.5 * 0.62 - (4 - kPi) * r * r, 0.002) << radius;
        // Seen from +Z it is hit with culling, from -Z not.
        NodePtr root = Node::make();
        root->addChild(Node::make(g));
        EXPECT_TRUE(rayCast(*root, Ray{{0, 0, 1}, {0, 0, -1}}));
        EXPECT_FALSE(rayCast(*root, Ray{{0, 0, -1}, {0, 0, 1}}));
    }
}

TEST(Primitives, PlaneTextureCoordinatesStartAtTheBottomLeft)
{
    GeometryPtr g = makePlane(2, 1);
    const GeometrySource* v = g->source(GeometrySource::Semantic::Vertex);
    const GeometrySource* uv = g->source(GeometrySource::Semantic::TexCoord);
    ASSERT_TRUE(uv);
    EXPECT_EQ(uv->componentsPerVector, 2);
    for (int i = 0; i < v->vectorCount; ++i) {
        const Vec3f p = *v->vectorAt(i);
        float st[2];
        std::memcpy(st, uv->data.data() + size_t(i) * 8, 8);
        EXPECT_FLOAT_EQ(st[0], p.x / 2 + 0.5f);
        EXPECT_FLOAT_EQ(st[1], p.y + 0.5f);
    }
}

TEST(Primitives, DegenerateSizesGiveFiniteGeometry)
{
    for (GeometryPtr g : {makeBox(0, -1, std::nan("")), makeSphere(-1, 0), makeCylinder(1, 0, 1),
                          makeTorus(0, 0, -5, 2), makePlane(0, 0, 5)}) {
        const Box b = g->localBounds();
        EXPECT_TRUE(isFinite(b.min) && isFinite(b.max));
    }
}

TEST(Text, WithoutAGuiApplicationItStillHasASize)
{
    // Headless callers get a label of about the right size, not a crash.
    GeometryPtr g = makeText("2.500 m", 0.18, 0.01);
    const Box b = g->localBounds();
    EXPECT_NEAR(b.min.x, 0, 1e-9);
    EXPECT_GT(b.max.x, 0.18 * 3);
    EXPECT_NEAR(b.max.z - b.min.z, 0.01, 1e-6);
    EXPECT_EQ(makeText("", 1, 0.1)->localBounds(), Box{});
}
