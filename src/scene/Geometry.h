#pragma once

#include "scene/Material.h"
#include "scene/Math.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace scene {

class Bvh;

// A vertex attribute readable back raw, as tools that snap to vertices read it.
struct GeometrySource {
    enum class Semantic { Vertex, Normal, TexCoord };

    Semantic semantic = Semantic::Vertex;
    std::vector<std::uint8_t> data;
    int vectorCount = 0;
    int componentsPerVector = 3;
    int bytesPerComponent = 4;
    int dataOffset = 0;
    int dataStride = 12;  // bytes from one vector to the next

    static GeometrySource vertices(std::span<const Vec3f> points);
    static GeometrySource normals(std::span<const Vec3f> normals);
    static GeometrySource texCoords(std::span<const float> uv);  // two floats per vector

    // Bounds-checked read of vector i as three floats; nullopt when it lies outside `data`.
    std::optional<Vec3f> vectorAt(int i) const;
};

struct GeometryElement {
    enum class Primitive { Triangles, Lines };

    Primitive primitive = Primitive::Triangles;
    std::vector<std::int32_t> indices;

    int primitiveCount() const;
};

// Reference type, shared between clones of a node.
class Geometry {
public:
    Geometry();
    Geometry(std::vector<GeometrySource> sources, std::vector<GeometryElement> elements);
    ~Geometry();

    std::optional<std::string> name;
    std::vector<MaterialPtr> materials;

    const std::vector<GeometrySource>& sources() const { return sources_; }
    const std::vector<GeometryElement>& elements() const { return elements_; }
    const GeometrySource* source(GeometrySource::Semantic semantic) const;

    MaterialPtr firstMaterial() const { return materials.empty() ? nullptr : materials.front(); }

    // Bounds of the vertices that the elements use, in the geometry's own space.
    Box localBounds() const;
    // True when the elements use at least one finite vertex (a zero box may still be content).
    bool hasBounds() const;

    // Copy with its own sources and elements and copies of its materials.
    std::shared_ptr<Geometry> copy() const;

    // Triangle hierarchy for ray queries, built on first use (thread-safe).
    const Bvh& bvh() const;

private:
    std::vector<GeometrySource> sources_;
    std::vector<GeometryElement> elements_;
    mutable Box bounds_;
    mutable bool hasBounds_ = false;
    // 0 not measured, 1 being stored, 2 stored. Hit tests and comparisons ask for every node's
    // box, from several threads: no system call or wait per geometry (as a once flag has).
    mutable std::atomic<int> boundsState_{0};
    struct Bounds {
        Box box;
        bool any = false;
    };
    Bounds ensureBounds() const;
    Bounds measureBounds() const;
    mutable std::once_flag bvhOnce_;
    mutable std::unique_ptr<Bvh> bvh_;
};

using GeometryPtr = std::shared_ptr<Geometry>;

// Convenience: triangles or lines from points and indices, one material.
GeometryPtr makeTriangleGeometry(std::span<const Vec3f> points, std::span<const std::int32_t> indices,
                                 std::span<const Vec3f> normals = {});
GeometryPtr makeLineGeometry(std::span<const Vec3f> points, std::span<const std::int32_t> indices);

}  // namespace scene
