#include "render/OffscreenRenderer.h"

#include "render/SceneRenderer.h"

#include <QCoreApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QSurfaceFormat>
#include <QThread>
#include <QtDebug>

#include <atomic>

namespace render {

struct OffscreenRenderer::Impl {
    QOffscreenSurface surface;
    QOpenGLContext context;
    std::unique_ptr<SceneRenderer> renderer;
    std::unique_ptr<QOpenGLFramebufferObject> target;
    bool valid = false;
    bool created = false;  // context and surface made
    std::unique_ptr<QThread> preparation;
    std::atomic<bool> prepared{true};
};

namespace {

bool makeContextAndSurface(QOpenGLContext& context, QOffscreenSurface& surface)
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    context.setFormat(format);
    if (!context.create()) {
        qWarning() << "render: no OpenGL context for off-screen drawing";
        return false;
    }
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid()) {
        qWarning() << "render: no off-screen surface";
        return false;
    }
    return true;
}

}  // namespace

OffscreenRenderer::OffscreenRenderer() : d(std::make_unique<Impl>())
{
    d->created = makeContextAndSurface(d->context, d->surface);
    initialise();
}

OffscreenRenderer::OffscreenRenderer(scene::ScenePtr warmScene, scene::NodePtr warmPointOfView, QSize size,
                                     int samples)
    : d(std::make_unique<Impl>())
{
    d->created = makeContextAndSurface(d->context, d->surface);
    if (!d->created || !QOpenGLContext::supportsThreadedOpenGL() || !QCoreApplication::instance()) {
        initialise();
        return;
    }
    d->prepared = false;
    QThread* gui = QCoreApplication::instance()->thread();
    d->preparation.reset(QThread::create([this, gui, warmScene, warmPointOfView, size, samples] {
        initialise();
        if (d->valid && warmScene && warmPointOfView)
            draw(*warmScene, *warmPointOfView, size, samples);
        // Back to the GUI thread, where every later render() happens.
        d->context.moveToThread(gui);
        d->prepared = true;
    }));
    d->context.moveToThread(d->preparation.get());
    d->preparation->start();
}

void OffscreenRenderer::initialise()
{
    if (!d->created || !d->context.makeCurrent(&d->surface))
        return;
    const auto version = d->context.format().version();
    if (version < qMakePair(3, 3)) {
        qWarning() << "render: OpenGL" << version.first << version.second << "is too old";
        d->context.doneCurrent();
        return;
    }
    d->renderer = std::make_unique<SceneRenderer>();
    d->context.doneCurrent();
    d->valid = true;
}

void OffscreenRenderer::finishPreparation() const
{
    if (d->preparation) {
        d->preparation->wait();
        d->preparation.reset();
    }
}

bool OffscreenRenderer::isReady() const
{
    return d->prepared;
}

OffscreenRenderer::~OffscreenRenderer()
{
    finishPreparation();
    if (d->valid && d->context.makeCurrent(&d->surface)) {
        d->target.reset();
        d->renderer.reset();
        d->context.doneCurrent();
    }
}

bool OffscreenRenderer::isValid() const
{
    finishPreparation();
    return d->valid;
}

QImage OffscreenRenderer::render(const scene::Scene& scene, const scene::Node& pointOfView, QSize size, int samples)
{
    finishPreparation();
    return draw(scene, pointOfView, size, samples);
}

QImage OffscreenRenderer::draw(const scene::Scene& scene, const scene::Node& pointOfView, QSize size, int samples)
{
    if (!d->valid || size.isEmpty() || !d->context.makeCurrent(&d->surface))
        return {};
    if (!d->target || d->target->size() != size) {
        d->target.reset();
        d->target = std::make_unique<QOpenGLFramebufferObject>(size, QOpenGLFramebufferObject::NoAttachment,
                                                               GL_TEXTURE_2D, GL_RGBA8);
    }
    FrameRequest request;
    request.scene = &scene;
    request.pointOfView = &pointOfView;
    request.pixelSize = size;
    request.samples = samples;
    d->renderer->render(request, d->target->handle());
    QImage image = d->target->toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    d->context.doneCurrent();
    return image;
}

FrameStats OffscreenRenderer::lastFrame() const
{
    finishPreparation();
    return d->renderer ? d->renderer->lastFrame() : FrameStats{};
}

int OffscreenRenderer::cachedMeshCount() const
{
    finishPreparation();
    return d->renderer ? d->renderer->cachedMeshCount() : 0;
}

QImage renderSnapshot(const scene::Scene& scene, const scene::Node& pointOfView, QSize size, int samples)
{
    OffscreenRenderer renderer;
    return renderer.render(scene, pointOfView, size, samples);
}

}  // namespace render
