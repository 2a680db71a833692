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
    // Makes the context on this (GUI) thread, then compiles the shaders and draws `warmScene`
    // once on a thread of its own, so that the first render() here does not stall on them. Where
    // OpenGL cannot be used from other threads, all of it happens here at once.
    OffscreenRenderer(scene::ScenePtr warmScene, scene::NodePtr warmPointOfView, QSize size, int samples);
    ~OffscreenRenderer();

    OffscreenRenderer(const OffscreenRenderer&) = delete;
    OffscreenRenderer& operator=(const OffscreenRenderer&) = delete;

    // False when no OpenGL 3.3 context could be made; render() then returns a null image. Both
    // wait for a preparation still running.
    bool isValid() const;
    // False while the preparation on its own thread runs (render() would wait for it).
    bool isReady() const;

    // The scene as seen from `pointOfView` (a node with a camera, usually in the scene) at `size`
    // pixels with `samples` multisampling. The scene's own lights light it; a background that is
    // not set stays transparent. Format ARGB32 premultiplied.
    QImage render(const scene::Scene& scene, const scene::Node& pointOfView, QSize size, int samples = 4);

    // What the last render() did, and how many geometries have GPU buffers now.
    FrameStats lastFrame() const;
    int cachedMeshCount() const;

private:
    void initialise();
    void finishPreparation() const;
    QImage draw(const scene::Scene& scene, const scene::Node& pointOfView, QSize size, int samples);

    struct Impl;
    std::unique_ptr<Impl> d;
};

// One image with a renderer made for it.
QImage renderSnapshot(const scene::Scene& scene, const scene::Node& pointOfView, QSize size, int samples = 4);

}  // namespace render
