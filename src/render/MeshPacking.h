#pragma once

#include "scene/Geometry.h"

#include <cstdint>
#include <vector>

namespace render {

// One element of a packed mesh: a run of indices drawn with one material.
struct PackedElement {
    bool lines = false;
    int firstIndex = 0;
    int indexCount = 0;
    int materialIndex = 0;  // element i uses material i modulo the number of materials
};

// A geometry's sources interleaved for the GPU: per vertex position (3), normal (3) and texture
// coordinate (2) floats. A missing normal is stored as zero and the shader falls back to the
// face normal; a missing texture coordinate as zero.
struct PackedMesh {
    static constexpr int kFloatsPerVertex = 8;

    // Positions are stored relative to this point (the centre of the vertices), so that a model
    // in site coordinates keeps small, precise numbers on the GPU.
    scene::Vec3 origin;
    std::vector<float> vertices;
    std::vector<std::uint32_t> indices;
    std::vector<PackedElement> elements;

    int vertexCount() const { return int(vertices.size() / kFloatsPerVertex); }
};

// Reads the sources whatever their stride, offset and component size (4 or 8 bytes); vectors
// that lie outside the data read as zero. Primitives that name a vertex outside the vertex
// source are dropped, so the GPU never reads past the buffer.
PackedMesh packGeometry(const scene::Geometry& geometry);

}  // namespace render
