#include "render/MeshPacking.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

using render::packGeometry;
using render::PackedMesh;
using scene::GeometryElement;
using scene::GeometrySource;
using scene::Vec3f;

namespace {

// Positions interleaved with a padding float, 16 bytes apart, starting 4 bytes in.
GeometrySource stridedVertices(const std::vector<Vec3f>& points)
{
    GeometrySource s;
    s.semantic = GeometrySource::Semantic::Vertex;
    s.vectorCount = int(points.size());
    s.dataOffset = 4;
    s.dataStride = 16;
    s.data.assign(4 + points.size() * 16, 0);
    for (size_t i = 0; i < points.size(); ++i)
        std::memcpy(s.data.data() + 4 + i * 16, &points[i], 12);
    return s;
}

}  // namespace

TEST(MeshPacking, ReadsStridedSourcesAndStoresMissingNormalsAsZero)
{
    const std::vector<Vec3f> pts{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    scene::Geometry g({stridedVertices(pts)}, {GeometryElement{GeometryElement::Primitive::Triangles, {0, 1, 2}}});
    const PackedMesh m = packGeometry(g);
    ASSERT_EQ(m.vertexCount(), 3);
    EXPECT_EQ(m.origin, (scene::Vec3{4, 5, 6}));
    EXPECT_EQ(m.vertices[PackedMesh::kFloatsPerVertex * 2 + 0] + m.origin.x, 7.0);
    EXPECT_EQ(m.vertices[PackedMesh::kFloatsPerVertex * 2 + 2] + m.origin.z, 9.0);
    for (int i = 3; i < 8; ++i)
        EXPECT_EQ(m.vertices[size_t(PackedMesh::kFloatsPerVertex + i)], 0.f);
    ASSERT_EQ(m.elements.size(), 1u);
    EXPECT_EQ(m.elements[0].indexCount, 3);
}

TEST(MeshPacking, DropsPrimitivesThatNameVerticesOutsideTheSource)
{
    const std::vector<Vec3f> pts{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    auto vertices = GeometrySource::vertices(pts);
    vertices.vectorCount = 4;  // claims one more vector than its data holds
    scene::Geometry g({vertices},
                      {GeometryElement{GeometryElement::Primitive::Triangles, {0, 1, 2, 0, 1, 3, 0, -1, 2, 2, 1}},
                       GeometryElement{GeometryElement::Primitive::Lines, {0, 1, 1, 7}}});
    const PackedMesh m = packGeometry(g);
    ASSERT_EQ(m.elements.size(), 2u);
    EXPECT_EQ(m.elements[0].indexCount, 3);  // only 0 1 2; the trailing partial triangle is ignored too
    EXPECT_FALSE(m.elements[0].lines);
    EXPECT_EQ(m.elements[1].indexCount, 2);
    EXPECT_TRUE(m.elements[1].lines);
    EXPECT_EQ(m.elements[1].materialIndex, 1);
    for (std::uint32_t i : m.indices)
        EXPECT_LT(i, 3u);
}

TEST(MeshPacking, GeometryWithoutVerticesPacksToNothing)
{
    scene::Geometry g({}, {GeometryElement{GeometryElement::Primitive::Triangles, {0, 1, 2}}});
    const PackedMesh m = packGeometry(g);
    EXPECT_TRUE(m.elements.empty());
    EXPECT_TRUE(m.indices.empty());
}

TEST(MeshPacking, SiteCoordinatesArePackedRelativeToTheMeshCentre)
{
    // Float vertices at site coordinates: on the GPU they would round to a few centimetres.
    const std::vector<Vec3f> pts{{500000.f, 7000000.f, 10.f}, {500002.f, 7000000.f, 10.f}, {500000.f, 7000003.f, 10.5f}};
    scene::Geometry g({GeometrySource::vertices(pts)},
                      {GeometryElement{GeometryElement::Primitive::Triangles, {0, 1, 2}}});
    const PackedMesh m = packGeometry(g);
    EXPECT_EQ(m.origin, (scene::Vec3{500001, 7000001.5, 10.25}));
    for (int i = 0; i < 3; ++i)
        for (int c = 0; c < 3; ++c) {
            const float v = m.vertices[size_t(i * PackedMesh::kFloatsPerVertex + c)];
            EXPECT_LE(std::abs(v), 1.5f);
        }
    EXPECT_EQ(m.vertices[0], -1.f);
    EXPECT_EQ(m.vertices[1], -1.5f);
}
