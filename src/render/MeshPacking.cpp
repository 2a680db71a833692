#include "render/MeshPacking.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace render {

namespace {

// Reads `count` components of vector i into out; false (out untouched) when it does not fit.
bool readVector(const scene::GeometrySource& s, long long i, int count, float* out)
{
    if (s.bytesPerComponent != 4 && s.bytesPerComponent != 8)
        return false;
    if (s.dataOffset < 0 || s.dataStride < 0 || s.componentsPerVector <= 0)
        return false;
    const int n = std::min(count, s.componentsPerVector);
    const long long start = (long long)s.dataOffset + i * (long long)s.dataStride;
    const long long end = start + (long long)n * s.bytesPerComponent;
    if (start < 0 || end > (long long)s.data.size())
        return false;
    const std::uint8_t* p = s.data.data() + start;
    for (int c = 0; c < n; ++c) {
        if (s.bytesPerComponent == 4) {
            float f;
            std::memcpy(&f, p + c * 4, 4);
            out[c] = f;
        } else {
            double d;
            std::memcpy(&d, p + c * 8, 8);
            out[c] = float(d);
        }
    }
    for (int c = n; c < count; ++c)
        out[c] = 0;
    return true;
}

}  // namespace

PackedMesh packGeometry(const scene::Geometry& geometry)
{
    PackedMesh mesh;
    const scene::GeometrySource* pos = geometry.source(scene::GeometrySource::Semantic::Vertex);
    if (!pos || pos->vectorCount <= 0)
        return mesh;
    const scene::GeometrySource* nor = geometry.source(scene::GeometrySource::Semantic::Normal);
    const scene::GeometrySource* uv = geometry.source(scene::GeometrySource::Semantic::TexCoord);

    const int count = pos->vectorCount;
    constexpr int F = PackedMesh::kFloatsPerVertex;
    mesh.vertices.assign(size_t(count) * F, 0.0f);
    std::vector<bool> valid(size_t(count), false);
    for (int i = 0; i < count; ++i) {
        float* v = &mesh.vertices[size_t(i) * F];
        if (!readVector(*pos, i, 3, v))
            continue;
        valid[size_t(i)] = std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
        if (nor && i < nor->vectorCount && !readVector(*nor, i, 3, v + 3))
            v[3] = v[4] = v[5] = 0;
        if (uv && i < uv->vectorCount && !readVector(*uv, i, 2, v + 6))
            v[6] = v[7] = 0;
    }

    bool any = false;
    scene::Vec3 lo, hi;
    for (int i = 0; i < count; ++i) {
        if (!valid[size_t(i)])
            continue;
        const float* v = &mesh.vertices[size_t(i) * F];
        const scene::Vec3 p{v[0], v[1], v[2]};
        lo = any ? scene::Vec3{std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)} : p;
        hi = any ? scene::Vec3{std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)} : p;
        any = true;
    }
    if (any) {
        mesh.origin = (lo + hi) * 0.5;
        for (int i = 0; i < count; ++i) {
            float* v = &mesh.vertices[size_t(i) * F];
            v[0] = float(double(v[0]) - mesh.origin.x);
            v[1] = float(double(v[1]) - mesh.origin.y);
            v[2] = float(double(v[2]) - mesh.origin.z);
        }
    }

    int elementIndex = 0;
    for (const scene::GeometryElement& e : geometry.elements()) {
        PackedElement packed;
        packed.lines = e.primitive == scene::GeometryElement::Primitive::Lines;
        packed.firstIndex = int(mesh.indices.size());
        packed.materialIndex = elementIndex++;
        const size_t corners = packed.lines ? 2 : 3;
        for (size_t p = 0; p + corners <= e.indices.size(); p += corners) {
            bool ok = true;
            for (size_t c = 0; c < corners; ++c) {
                const std::int32_t idx = e.indices[p + c];
                ok = ok && idx >= 0 && idx < count && valid[size_t(idx)];
            }
            if (!ok)
                continue;
            for (size_t c = 0; c < corners; ++c)
                mesh.indices.push_back(std::uint32_t(e.indices[p + c]));
        }
        packed.indexCount = int(mesh.indices.size()) - packed.firstIndex;
        if (packed.indexCount > 0)
            mesh.elements.push_back(packed);
    }
    return mesh;
}

}  // namespace render
