#include "render/MergedMeshes.h"

#include "scene/Geometry.h"
#include "scene/Primitives.h"

#include <gtest/gtest.h>

#include <cmath>

using render::MergeMember;
using render::PackedMesh;
using scene::Mat4;
using scene::Vec3;
using scene::Vec3f;

namespace {

// A unit right triangle in the XY plane facing +Z, plus a line element.
PackedMesh triangle()
{
    const std::vector<Vec3f> p{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const std::vector<Vec3f> n{{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    const std::vector<std::int32_t> idx{0, 1, 2};
    return render::packGeometry(*scene::makeTriangleGeometry(p, idx, n));
}

Vec3 position(const render::MergedMesh& m, std::uint32_t v)
{
    const float* f = &m.vertices[size_t(v) * PackedMesh::kFloatsPerVertex];
    return Vec3{f[0], f[1], f[2]} + m.origin;
}

Vec3 normal(const render::MergedMesh& m, std::uint32_t v)
{
    const float* f = &m.vertices[size_t(v) * PackedMesh::kFloatsPerVertex + 3];
    return scene::normalized({f[0], f[1], f[2]});
}

scene::Box boundsOf(const PackedMesh& mesh, const Mat4& placed)
{
    scene::Box b{{1e300, 1e300, 1e300}, {-1e300, -1e300, -1e300}};
    for (int i = 0; i < mesh.vertexCount(); ++i) {
        const float* f = &mesh.vertices[size_t(i) * PackedMesh::kFloatsPerVertex];
        const Vec3 w = placed.transformPoint({f[0], f[1], f[2]});
        b.min = {std::min(b.min.x, w.x), std::min(b.min.y, w.y), std::min(b.min.z, w.z)};
        b.max = {std::max(b.max.x, w.x), std::max(b.max.y, w.y), std::max(b.max.z, w.z)};
    }
    return b;
}

}  // namespace

// Members far from the origin keep their world places to the millimetre, normals turn with
// their node, and each member's indices point at its own vertices.
TEST(MergedMeshes, PlacesEveryMemberInWorldSpaceAroundOneOrigin)
{
    const PackedMesh mesh = triangle();
    const Mat4 a = Mat4::translation({500000, 7000000, 0}) * Mat4::translation(mesh.origin);
    const Mat4 b = Mat4::compose({500010, 7000000, 5}, scene::Quat::fromAxisAngle({1, 0, 0}, scene::kPi / 2),
                                 {2, 2, 2}) *
                   Mat4::translation(mesh.origin);
    const std::vector<MergeMember> members{{&mesh, 0, a, boundsOf(mesh, a)}, {&mesh, 0, b, boundsOf(mesh, b)}};
    const render::MergedMesh m = render::mergeMembers(members, 1000);

    ASSERT_EQ(m.indices.size(), 6u);
    ASSERT_EQ(m.vertices.size(), 6u * PackedMesh::kFloatsPerVertex);
    ASSERT_EQ(m.chunks.size(), 1u);
    EXPECT_EQ(m.chunks[0].element.indexCount, 6);
    // The two triangles, in whatever order the space-filling curve put them.
    int seenA = 0, seenB = 0;
    for (size_t t = 0; t < 2; ++t) {
        const Vec3 p0 = position(m, m.indices[t * 3]), p1 = position(m, m.indices[t * 3 + 1]);
        const Vec3 n = normal(m, m.indices[t * 3]);
        if (p0.z < 1) {
            ++seenA;
            EXPECT_NEAR(p0.x, 500000, 1e-3);
            EXPECT_NEAR(p1.x, 500001, 1e-3);
            EXPECT_NEAR(n.z, 1, 1e-6);
        } else {
            ++seenB;
            EXPECT_NEAR(p0.x, 500010, 1e-3);
            EXPECT_NEAR(p1.x, 500012, 1e-3);  // scaled by 2
            EXPECT_NEAR(n.y, -1, 1e-6);       // +Z turned a quarter about X
        }
    }
    EXPECT_EQ(seenA, 1);
    EXPECT_EQ(seenB, 1);
}

// Small chunks: every member lands in exactly one chunk, whose bounds hold it.
TEST(MergedMeshes, ChunksCoverTheMembersAndBoundWhatTheyHold)
{
    const PackedMesh mesh = triangle();
    std::vector<MergeMember> members;
    for (int i = 0; i < 10; ++i) {
        const Mat4 placed = Mat4::translation({double(i % 5) * 10, double(i / 5) * 10, 0}) *
                            Mat4::translation(mesh.origin);
        members.push_back({&mesh, 0, placed, boundsOf(mesh, placed)});
    }
    const render::MergedMesh m = render::mergeMembers(members, 6);  // two triangles a chunk
    ASSERT_EQ(m.chunks.size(), 5u);
    int total = 0;
    for (const render::MergedChunk& c : m.chunks) {
        EXPECT_EQ(c.element.firstIndex, total);
        total += c.element.indexCount;
        for (int i = c.element.firstIndex; i < c.element.firstIndex + c.element.indexCount; ++i) {
            const Vec3 p = position(m, m.indices[size_t(i)]) - m.origin;
            EXPECT_GE(p.x, c.bounds.min.x - 1e-4);
            EXPECT_LE(p.x, c.bounds.max.x + 1e-4);
            EXPECT_GE(p.y, c.bounds.min.y - 1e-4);
            EXPECT_LE(p.y, c.bounds.max.y + 1e-4);
        }
    }
    EXPECT_EQ(total, 30);
    EXPECT_TRUE(render::mergeMembers({}, 6).chunks.empty());
}

// A dense mesh gets coarser levels: each has at most half the triangles of the one before, its
// corners stay within a cell of the chunk, and every index names a vertex of the buffer.
TEST(MergedMeshes, DenseChunksGetCoarserLevelsThatStayInPlace)
{
    const PackedMesh sphere = render::packGeometry(*scene::makeSphere(1.0, 96));
    std::vector<MergeMember> members;
    for (int i = 0; i < 2; ++i) {
        const Mat4 placed = Mat4::translation({i * 3.0, 0, 0}) * Mat4::translation(sphere.origin);
        members.push_back({&sphere, 0, placed, boundsOf(sphere, placed)});
    }
    const render::MergedMesh m = render::mergeMembers(members, 1 << 30);
    ASSERT_EQ(m.chunks.size(), 1u);
    const render::MergedChunk& c = m.chunks[0];
    ASSERT_FALSE(c.coarser.empty());
    ASSERT_EQ(c.coarser.size(), c.cells.size());
    int before = c.element.indexCount;
    const size_t vertexCount = m.vertices.size() / PackedMesh::kFloatsPerVertex;
    for (size_t k = 0; k < c.coarser.size(); ++k) {
        const render::PackedElement& e = c.coarser[k];
        EXPECT_LE(e.indexCount * 2, before);
        EXPECT_GT(e.indexCount, 0);
        EXPECT_EQ(e.indexCount % 3, 0);
        before = e.indexCount;
        for (int i = e.firstIndex; i < e.firstIndex + e.indexCount; ++i) {
            ASSERT_LT(m.indices[size_t(i)], vertexCount);
            const Vec3 p = position(m, m.indices[size_t(i)]) - m.origin;
            EXPECT_GE(p.x, c.bounds.min.x - c.cells[k]);
            EXPECT_LE(p.x, c.bounds.max.x + c.cells[k]);
            EXPECT_GE(p.z, c.bounds.min.z - c.cells[k]);
            EXPECT_LE(p.z, c.bounds.max.z + c.cells[k]);
        }
    }
}
