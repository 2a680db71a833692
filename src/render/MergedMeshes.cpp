#include "render/MergedMeshes.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

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

// Welds the vertices of a chunk's triangles on a grid of `cell` and appends the triangles that
// keep three distinct corners, with a vertex per occupied cell (mean position and normal).
PackedElement weld(MergedMesh& out, const PackedElement& source, double cell)
{
    constexpr int F = PackedMesh::kFloatsPerVertex;
    struct Sum {
        double p[3] = {0, 0, 0}, n[3] = {0, 0, 0}, uv[2] = {0, 0};
        int count = 0;
        std::uint32_t index = 0;
    };
    std::unordered_map<std::uint64_t, Sum> cells;
    std::unordered_map<std::uint32_t, std::uint64_t> cellOf;
    auto key = [cell](const float* v) {
        auto c = [cell](float x) { return std::uint64_t(std::int64_t(std::floor(double(x) / cell)) & 0x1fffff); };
        return c(v[0]) | c(v[1]) << 21 | c(v[2]) << 42;
    };
    for (int i = source.firstIndex; i < source.firstIndex + source.indexCount; ++i) {
        const std::uint32_t v = out.indices[size_t(i)];
        if (cellOf.count(v))
            continue;
        const float* f = &out.vertices[size_t(v) * F];
        const std::uint64_t k = key(f);
        cellOf.emplace(v, k);
        Sum& s = cells[k];
        for (int c = 0; c < 3; ++c) {
            s.p[c] += f[c];
            s.n[c] += f[3 + c];
        }
        s.uv[0] += f[6];
        s.uv[1] += f[7];
        ++s.count;
    }
    for (auto& [k, s] : cells) {
        s.index = std::uint32_t(out.vertices.size() / F);
        const double w = 1.0 / s.count;
        out.vertices.insert(out.vertices.end(),
                            {float(s.p[0] * w), float(s.p[1] * w), float(s.p[2] * w), float(s.n[0] * w),
                             float(s.n[1] * w), float(s.n[2] * w), float(s.uv[0] * w), float(s.uv[1] * w)});
    }
    PackedElement welded;
    welded.firstIndex = int(out.indices.size());
    for (int i = source.firstIndex; i + 2 < source.firstIndex + source.indexCount; i += 3) {
        const std::uint32_t a = cells[cellOf[out.indices[size_t(i)]]].index;
        const std::uint32_t b = cells[cellOf[out.indices[size_t(i) + 1]]].index;
        const std::uint32_t c = cells[cellOf[out.indices[size_t(i) + 2]]].index;
        if (a == b || b == c || a == c)
            continue;
        out.indices.insert(out.indices.end(), {a, b, c});
    }
    welded.indexCount = int(out.indices.size()) - welded.firstIndex;
    return welded;
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

    // Coarser levels of triangle chunks, kept while each halves the triangles at least.
    for (MergedChunk& c : out.chunks) {
        if (c.element.lines)
            continue;
        const double diagonal = scene::length(c.bounds.size());
        PackedElement previous = c.element;
        for (double fraction : {1.0 / 1024, 1.0 / 256, 1.0 / 64, 1.0 / 16}) {
            const double cell = diagonal * fraction;
            if (!(cell > 0) || !std::isfinite(cell))
                break;
            const size_t vertices = out.vertices.size(), indices = out.indices.size();
            const PackedElement welded = weld(out, c.element, cell);
            if (welded.indexCount * 2 > previous.indexCount) {
                out.vertices.resize(vertices);  // not worth its memory
                out.indices.resize(indices);
                continue;
            }
            c.coarser.push_back(welded);
            c.cells.push_back(cell);
            previous = welded;
        }
    }
    return out;
}

}  // namespace render
