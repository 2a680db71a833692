#pragma once

#include "render/MeshPacking.h"
#include "scene/Math.h"

#include <cstdint>
#include <span>
#include <vector>

namespace render {

// One element of a drawn node, to be drawn merged with others that look the same.
struct MergeMember {
    const PackedMesh* mesh = nullptr;
    int element = 0;        // index into mesh->elements
    scene::Mat4 placed;     // world transform of the packed positions
    scene::Box worldBounds;
};

// A run of the merged indices drawn with one call, with its bounds for culling.
struct MergedChunk {
    PackedElement element;  // materialIndex unused
    scene::Box bounds;      // relative to the merged mesh's origin
    // Coarser versions of the same triangles, their vertices welded on grids of growing cells
    // (`cells`, in scene units): what a frame while moving draws when a cell is below a pixel.
    std::vector<PackedElement> coarser;
    std::vector<double> cells;
};

// Many elements in one vertex and index buffer, positions in world space relative to `origin`
// (kept small for single precision), normals turned with their node. The members are ordered
// along a space-filling curve and cut into chunks of about `chunkIndices` indices, so that the
// chunks stay compact in space and the frustum still culls most of what is off screen.
struct MergedMesh {
    scene::Vec3 origin;
    std::vector<float> vertices;  // PackedMesh::kFloatsPerVertex per vertex
    std::vector<std::uint32_t> indices;
    std::vector<MergedChunk> chunks;
};

// All members must be of one primitive (all lines or all triangles).
MergedMesh mergeMembers(std::span<const MergeMember> members, int chunkIndices);

}  // namespace render
