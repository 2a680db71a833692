#include "scene/Geometry.h"

#include "scene/Bvh.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace scene {

namespace {

GeometrySource packFloats(GeometrySource::Semantic semantic, const float* data, size_t floatCount, int components)
{
    GeometrySource s;
    s.semantic = semantic;
    s.componentsPerVector = components;
    s.bytesPerComponent = 4;
    s.dataOffset = 0;
    s.dataStride = components * 4;
    s.vectorCount = int(floatCount / size_t(components));
    s.data.resize(size_t(s.vectorCount) * size_t(components) * 4);
    if (!s.data.empty())
        std::memcpy(s.data.data(), data, s.data.size());
    return s;
}

}  // namespace

GeometrySource GeometrySource::vertices(std::span<const Vec3f> points)
{
    static_assert(sizeof(Vec3f) == 12);
    return packFloats(Semantic::Vertex, reinterpret_cast<const float*>(points.data()), points.size() * 3, 3);
}

GeometrySource GeometrySource::normals(std::span<const Vec3f> normals)
{
    return packFloats(Semantic::Normal, reinterpret_cast<const float*>(normals.data()), normals.size() * 3, 3);
}

GeometrySource GeometrySource::texCoords(std::span<const float> uv)
{
    return packFloats(Semantic::TexCoord, uv.data(), uv.size() - uv.size() % 2, 2);
}

std::optional<Vec3f> GeometrySource::vectorAt(int i) const
{
    if (i < 0 || i >= vectorCount || componentsPerVector < 3 || bytesPerComponent != 4 || dataOffset < 0 ||
        dataStride < 0)
        return std::nullopt;
    const std::uint64_t start = std::uint64_t(dataOffset) + std::uint64_t(i) * std::uint64_t(dataStride);
    if (start + 12 > data.size())
        return std::nullopt;
    Vec3f v;
    std::memcpy(&v.x, data.data() + start, 4);
    std::memcpy(&v.y, data.data() + start + 4, 4);
    std::memcpy(&v.z, data.data() + start + 8, 4);
    return v;
}

int GeometryElement::primitiveCount() const
{
    return primitive == Primitive::Triangles ? int(indices.size() / 3) : int(indices.size() / 2);
}

Geometry::Geometry(std::vector<GeometrySource> sources, std::vector<GeometryElement> elements)
    : sources_(std::move(sources)), elements_(std::move(elements))
{
}

Geometry::Geometry() = default;
Geometry::~Geometry() = default;

const GeometrySource* Geometry::source(GeometrySource::Semantic semantic) const
{
    for (const auto& s : sources_)
        if (s.semantic == semantic)
            return &s;
    return nullptr;
}

Box Geometry::localBounds() const
{
    if (boundsState_.load(std::memory_order_acquire) == 2)
        return bounds_;
    return ensureBounds().box;
}

bool Geometry::hasBounds() const
{
    if (boundsState_.load(std::memory_order_acquire) == 2)
        return hasBounds_;
    return ensureBounds().any;
}

Geometry::Bounds Geometry::ensureBounds() const
{
    int estado = 0;
    if (boundsState_.compare_exchange_strong(estado, 1, std::memory_order_acq_rel)) {
        const Bounds b = measureBounds();
        bounds_ = b.box;
        hasBounds_ = b.any;
        boundsState_.store(2, std::memory_order_release);
        return b;
    }
    if (estado == 2)
        return {bounds_, hasBounds_};
    // Another thread is storing them: measuring here costs less than waiting for it.
    return measureBounds();
}

Geometry::Bounds Geometry::measureBounds() const
{
    const GeometrySource* vertices = source(GeometrySource::Semantic::Vertex);
    if (!vertices)
        return {};
    constexpr double inf = std::numeric_limits<double>::infinity();
    Vec3 lo{inf, inf, inf}, hi{-inf, -inf, -inf};
    bool any = false;
    for (const auto& element : elements_) {
        const size_t used = element.primitive == GeometryElement::Primitive::Triangles
                                ? element.indices.size() - element.indices.size() % 3
                                : element.indices.size() - element.indices.size() % 2;
        for (size_t k = 0; k < used; ++k) {
            const auto v = vertices->vectorAt(element.indices[k]);
            if (!v || !std::isfinite(v->x) || !std::isfinite(v->y) || !std::isfinite(v->z))
                continue;
            any = true;
            lo = {std::min(lo.x, double(v->x)), std::min(lo.y, double(v->y)), std::min(lo.z, double(v->z))};
            hi = {std::max(hi.x, double(v->x)), std::max(hi.y, double(v->y)), std::max(hi.z, double(v->z))};
        }
    }
    return any ? Bounds{{lo, hi}, true} : Bounds{};
}

std::shared_ptr<Geometry> Geometry::copy() const
{
    auto g = std::make_shared<Geometry>(sources_, elements_);
    g->name = name;
    g->materials.reserve(materials.size());
    for (const auto& m : materials)
        g->materials.push_back(m ? m->copy() : nullptr);
    return g;
}

const Bvh& Geometry::bvh() const
{
    std::call_once(bvhOnce_, [this] { bvh_ = std::make_unique<Bvh>(*this); });
    return *bvh_;
}

GeometryPtr makeTriangleGeometry(std::span<const Vec3f> points, std::span<const std::int32_t> indices,
                                 std::span<const Vec3f> normals)
{
    std::vector<GeometrySource> sources{GeometrySource::vertices(points)};
    if (!normals.empty())
        sources.push_back(GeometrySource::normals(normals));
    GeometryElement element;
    element.primitive = GeometryElement::Primitive::Triangles;
    element.indices.assign(indices.begin(), indices.end());
    auto g = std::make_shared<Geometry>(std::move(sources), std::vector<GeometryElement>{std::move(element)});
    g->materials.push_back(makeMaterial());
    return g;
}

GeometryPtr makeLineGeometry(std::span<const Vec3f> points, std::span<const std::int32_t> indices)
{
    GeometryElement element;
    element.primitive = GeometryElement::Primitive::Lines;
    element.indices.assign(indices.begin(), indices.end());
    auto g = std::make_shared<Geometry>(std::vector<GeometrySource>{GeometrySource::vertices(points)},
                                        std::vector<GeometryElement>{std::move(element)});
    g->materials.push_back(makeMaterial());
    return g;
}

}  // namespace scene
