#include "TestHelpers.h"

#include "scene/Geometry.h"

#include <atomic>
#include <cstring>
#include <latch>
#include <thread>
#include <gtest/gtest.h>

using namespace scene;

TEST(GeometrySource, VerticesReadBackRaw)
{
    const std::vector<Vec3f> pts{{1, 2, 3}, {4, 5, 6}};
    const GeometrySource s = GeometrySource::vertices(pts);
    EXPECT_EQ(s.semantic, GeometrySource::Semantic::Vertex);
    EXPECT_EQ(s.vectorCount, 2);
    EXPECT_EQ(s.componentsPerVector, 3);
    EXPECT_EQ(s.bytesPerComponent, 4);
    EXPECT_EQ(s.dataOffset, 0);
    EXPECT_EQ(s.dataStride, 12);
    ASSERT_EQ(s.data.size(), 24u);
    float y;
    std::memcpy(&y, s.data.data() + 12 + 4, 4);
    EXPECT_EQ(y, 5.0f);
    EXPECT_EQ(s.vectorAt(1), (Vec3f{4, 5, 6}));
}

TEST(GeometrySource, BoundsCheckedReadRefusesVectorsOutsideTheData)
{
    GeometrySource s = GeometrySource::vertices(std::vector<Vec3f>{{1, 2, 3}, {4, 5, 6}});
    EXPECT_FALSE(s.vectorAt(-1));
    EXPECT_FALSE(s.vectorAt(2));
    // A count or stride that claims more than the data holds.
    s.vectorCount = 5;
    EXPECT_TRUE(s.vectorAt(1));
    EXPECT_FALSE(s.vectorAt(2));
    s.dataOffset = 4;
    EXPECT_FALSE(s.vectorAt(1));  // bytes 16..28 of 24
    EXPECT_EQ(s.vectorAt(0), (Vec3f{2, 3, 4}));
    s.dataOffset = 0;
    s.bytesPerComponent = 8;
    EXPECT_FALSE(s.vectorAt(0));
}

TEST(Geometry, LocalBoundsCoverOnlyTheVerticesElementsUse)
{
    const std::vector<Vec3f> pts{{0, 0, 0}, {1, 0, 0}, {0, 2, 0}, {100, 100, 100}};
    const std::vector<std::int32_t> idx{0, 1, 2, 7};  // a stray index past the end is ignored
    GeometryPtr g = makeTriangleGeometry(pts, idx);
    EXPECT_EQ(g->localBounds(), (Box{{0, 0, 0}, {1, 2, 0}}));
    EXPECT_TRUE(g->hasBounds());
    EXPECT_EQ(g->elements()[0].primitiveCount(), 1);

    Geometry empty;
    EXPECT_EQ(empty.localBounds(), Box{});
    EXPECT_FALSE(empty.hasBounds());
}

TEST(Geometry, BoundsAskedFromManyThreadsAtOnceAgree)
{
    // Hit tests and the comparison read boxes from worker threads: the first readers of a
    // geometry race to compute its bounds, and each must see the finished box.
    std::vector<GeometryPtr> geometrias;
    for (int k = 0; k < 300; ++k) {
        const float x = float(k);
        const std::vector<Vec3f> pts{{x, 0, 0}, {x + 1, 2, 0}, {x, 0, 3}};
        geometrias.push_back(makeTriangleGeometry(pts, std::vector<std::int32_t>{0, 1, 2}));
    }
    std::latch salida(8);
    std::atomic<int> errores{0};
    std::vector<std::thread> hilos;
    for (int h = 0; h < 8; ++h)
        hilos.emplace_back([&] {
            salida.arrive_and_wait();
            for (size_t k = 0; k < geometrias.size(); ++k) {
                const double x = double(k);
                errores += !geometrias[k]->hasBounds() || geometrias[k]->localBounds() != Box{{x, 0, 0}, {x + 1, 2, 3}};
            }
        });
    for (std::thread& t : hilos)
        t.join();
    EXPECT_EQ(errores, 0);
}

TEST(Geometry, CopyOwnsItsDataAndMaterials)
{
    const std::vector<Vec3f> pts{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const std::vector<Vec3f> nrm{{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    const std::vector<std::int32_t> idx{0, 1, 2};
    GeometryPtr g = makeTriangleGeometry(pts, idx, nrm);
    g->name = "losa";
    g->materials.push_back(makeMaterial());
    GeometryPtr c = g->copy();
    EXPECT_EQ(c->name, "losa");
    ASSERT_EQ(c->materials.size(), 2u);
    EXPECT_NE(c->materials[0], g->materials[0]);
    EXPECT_NE(c->materials[1], g->materials[1]);
    ASSERT_NE(c->source(GeometrySource::Semantic::Normal), nullptr);
    EXPECT_EQ(c->source(GeometrySource::Semantic::Normal)->vectorAt(2), (Vec3f{0, 0, 1}));
    EXPECT_EQ(c->elements()[0].indices, idx);
    EXPECT_EQ(c->source(GeometrySource::Semantic::TexCoord), nullptr);
}

TEST(Geometry, LineGeometryHasOneLineElement)
{
    const std::vector<Vec3f> pts{{0, 0, 0}, {1, 1, 1}};
    const std::vector<std::int32_t> idx{0, 1};
    GeometryPtr g = makeLineGeometry(pts, idx);
    ASSERT_EQ(g->elements().size(), 1u);
    EXPECT_EQ(g->elements()[0].primitive, GeometryElement::Primitive::Lines);
    EXPECT_EQ(g->elements()[0].primitiveCount(), 1);
    EXPECT_EQ(g->localBounds(), (Box{{0, 0, 0}, {1, 1, 1}}));
    EXPECT_NE(g->firstMaterial(), nullptr);
}
