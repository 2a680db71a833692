#include "render/MergedMeshes.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace render {

namespace {

using scene::Box;
using scene::Vec3;

// Spreads the low 21 bits of v over every third bit.
std::uint64_t spread(std::uint64_t v)
{
    v &= 0x1fffff;
    v = (v | v << 32) & 0x1f00000000ffffull;
    v = (v | v << 16) & 0x1f0000ff0000ffull;
    v = (v | v << 8) & 0x100f00f00f00f00full;
    v = (v | v << 4) & 0x10c30c30c30c30c3ull;
    v = (v | v << 2) & 0x1249249249249249ull;
    return v;
}

Box unite(const Box& a, const Box& b, bool aEmpty)
{
    if (aEmpty)
        return b;
    return {{std::min(a.min.x, b.min.x), std::min(a.min.y, b.min.y), std::min(a.min.z, b.min.z)},
            {std::max(a.max.x, b.max.x), std::max(a.max.y, b.max.y), std::max(a.max.z, b.max.z)}};
}

}  // namespace

MergedMesh mergeMembers(std::span<const MergeMember> members, int chunkIndices)
{
    MergedMesh out;
    if (members.empty())
        return out;
    Box all = members[0].worldBounds;
    for (const MergeMember& m : members)
        all = unite(all, m.worldBounds, false);
    out.origin = all.center();

    // Morton order of the members' centres.
    const Vec3 size = all.size();
    auto cell = [](double t) { return std::uint64_t(std::clamp(t, 0.0, 1.0) * 2097151.0); };
    std::vector<std::uint64_t> code(members.size());
    for (size_t i = 0; i < members.size(); ++i) {
        const Vec3 c = members[i].worldBounds.center() - all.min;
        code[i] = spread(cell(size.x > 0 ? c.x / size.x : 0)) | spread(cell(size.y > 0 ? c.y / size.y : 0)) << 1 |
                  spread(cell(size.z > 0 ? c.z / size.z : 0)) << 2;
    }
    std::vector<size_t> order(members.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return code[a] < code[b]; });

    constexpr int F = PackedMesh::kFloatsPerVertex;
    MergedChunk chunk;
    bool chunkEmpty = true;
    auto closeChunk = [&] {
        chunk.element.indexCount = int(out.indices.size()) - chunk.element.firstIndex;
        if (chunk.element.indexCount > 0)
            out.chunks.push_back(chunk);
        chunk = MergedChunk{};
        chunk.element.firstIndex = int(out.indices.size());
        chunkEmpty = true;
    };
    chunk.element.firstIndex = 0;
    for (size_t k : order) {
        const MergeMember& m = members[k];
        const PackedMesh& mesh = *m.mesh;
        const PackedElement& e = mesh.elements[size_t(m.element)];
        chunk.element.lines = e.lines;
        // The rotation and scale part's inverse transpose turns normals; the shader normalises.
        const scene::Mat4 inv = m.placed.inverse();
        auto normal = [&inv](const Vec3& n) {
            return Vec3{inv.m[0][0] * n.x + inv.m[0][1] * n.y + inv.m[0][2] * n.z,
                        inv.m[1][0] * n.x + inv.m[1][1] * n.y + inv.m[1][2] * n.z,
                        inv.m[2][0] * n.x + inv.m[2][1] * n.y + inv.m[2][2] * n.z};
        };
        // Only the vertices this element uses, each once.
        std::vector<std::int64_t> remap(size_t(mesh.vertexCount()), -1);
        for (int i = e.firstIndex; i < e.firstIndex + e.indexCount; ++i) {
            const std::uint32_t v = mesh.indices[size_t(i)];
            if (remap[v] < 0) {
                remap[v] = std::int64_t(out.vertices.size() / F);
                const float* src = &mesh.vertices[size_t(v) * F];
                const Vec3 p = m.placed.transformPoint({src[0], src[1], src[2]}) - out.origin;
                const Vec3 n = normal({src[3], src[4], src[5]});
                out.vertices.insert(out.vertices.end(), {float(p.x), float(p.y), float(p.z), float(n.x), float(n.y),
                                                         float(n.z), src[6], src[7]});
            }
            out.indices.push_back(std::uint32_t(remap[v]));
        }
        chunk.bounds = unite(chunk.bounds, {m.worldBounds.min - out.origin, m.worldBounds.max - out.origin},
                             chunkEmpty);
        chunkEmpty = false;
        if (int(out.indices.size()) - chunk.element.firstIndex >= chunkIndices)
            closeChunk();
    }
    closeChunk();
    return out;
}

}  // namespace render
