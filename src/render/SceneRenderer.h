#pragma once

#include "scene/Math.h"
#include "scene/Scene.h"

#include <QSize>
#include <memory>
#include <optional>

namespace render {

// What one frame shows.
struct FrameRequest {
    const scene::Scene* scene = nullptr;
    const scene::Node* pointOfView = nullptr;  // a node with a camera; none draws the background only
    QSize pixelSize;
    // Height of the view in points, which sizes the nodes of fixed screen size; 0 takes the
    // pixel height (a frame drawn at reduced resolution keeps its points).
    double viewHeight = 0;
    int samples = 4;                           // multisampling, 0 or 1 = off (see FrameStats::smoothed)
    // Colour under a background that is not opaque (premultiplied RGBA, 0..1).
    scene::Color underlay{0, 0, 0, 0};
    // A frame while the camera moves: the shadow map is kept as it is (drawn again only when
    // there is none), shadows are sampled more coarsely and textures without anisotropic filtering.
    bool moving = false;
    // With `moving`: a frame of a camera move may leave a shadow map that was never drawn for the
    // frame at rest that follows (drawing one for the first time costs a frame of its own).
    bool shadowMapMayWait = false;
    // Fraction of pixelSize actually drawn (0.25..1); the image is scaled up into the target.
    // Below 1 multisampling is off.
    double renderScale = 1.0;
    // Centre of the area the shadow map covers; the centre of the scene's bounds when absent or
    // when it lies more than half that area away from the scene's bounds.
    std::optional<scene::Vec3> shadowCentre;
};

// Statistics of the last frame, for benchmarks and tests.
struct FrameStats {
    int drawCalls = 0;
    int nodesCulled = 0;
    int meshesUploaded = 0;
    bool shadowMapRendered = false;
    bool shadowMapStale = false;  // an older shadow map, or none yet, was used for a frame while moving
    int groupsBuilt = 0;          // merged buffers made again for this frame
    bool smoothed = false;        // edges smoothed after the frame instead of multisampling
};

// Draws scenes with OpenGL 3.3 core into framebuffers of one context. A scene without any light
// is drawn unlit (every material as constant), so that it is never just black. Must be created, used and
// destroyed with that context current. GPU meshes are kept per geometry object, those uploaded in
// one frame in shared buffers that are released once all their geometries are gone; textures per
// image.
class SceneRenderer {
public:
    SceneRenderer();
    ~SceneRenderer();

    SceneRenderer(const SceneRenderer&) = delete;
    SceneRenderer& operator=(const SceneRenderer&) = delete;

    // Draws the frame and resolves it into the framebuffer `target` (of request.pixelSize).
    void render(const FrameRequest& request, unsigned target);

    const FrameStats& lastFrame() const { return stats_; }
    // True on a software rasteriser (Mesa llvmpipe and the like), where multisampling is costly.
    bool isSoftware() const;
    int cachedMeshCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    FrameStats stats_;
};

}  // namespace render
