#pragma once

#include "render/SceneRenderer.h"
#include "scene/Node.h"
#include "scene/Scene.h"

#include <QImage>
#include <QSize>
#include <memory>

namespace render {

// Draws scenes into images without a window, with its own OpenGL context on an off-screen
// surface. GUI thread only (the surface is a window-system object). Keep one for a series of
// images: its context and GPU buffers are reused.
class OffscreenRenderer {
public:
    OffscreenRenderer();
    ~OffscreenRenderer();

    OffscreenRenderer(const OffscreenRenderer&) = delete;
    OffscreenRenderer& operator=(const OffscreenRenderer&) = delete;

    // False when no OpenGL 3.3 context could be made; render() then returns a null image.
    bool isValid() const;

    // The scene as seen from `pointOfView` (a node with a camera, usually in the scene) at `size`
    // pixels with `samples` multisampling. The scene's own lights light it; a background that is
    // not set stays transparent. Format ARGB32 premultiplied.
    QImage render(const scene::Scene& scene, const scene::Node& pointOfView, QSize size, int samples = 4);

    // What the last render() did, and how many geometries have GPU buffers now.
    FrameStats lastFrame() const;
    int cachedMeshCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// One image with a renderer made for it.
QImage renderSnapshot(const scene::Scene& scene, const scene::Node& pointOfView, QSize size, int samples = 4);

}  // namespace render
