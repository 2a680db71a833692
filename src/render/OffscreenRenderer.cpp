#include "render/OffscreenRenderer.h"

#include "render/SceneRenderer.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QSurfaceFormat>
#include <QtDebug>

namespace render {

struct OffscreenRenderer::Impl {
    QOffscreenSurface surface;
    QOpenGLContext context;
    std::unique_ptr<SceneRenderer> renderer;
    std::unique_ptr<QOpenGLFramebufferObject> target;
    bool valid = false;
};

OffscreenRenderer::OffscreenRenderer() : d(std::make_unique<Impl>())
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    d->context.setFormat(format);
    if (!d->context.create()) {
        qWarning() << "render: no OpenGL context for off-screen drawing";
        return;
    }
    d->surface.setFormat(d->context.format());
    d->surface.create();
    if (!d->surface.isValid() || !d->context.makeCurrent(&d->surface)) {
        qWarning() << "render: no off-screen surface";
        return;
    }
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

OffscreenRenderer::~OffscreenRenderer()
{
    if (d->valid && d->context.makeCurrent(&d->surface)) {
        d->target.reset();
        d->renderer.reset();
        d->context.doneCurrent();
    }
}

bool OffscreenRenderer::isValid() const
{
    return d->valid;
}

QImage OffscreenRenderer::render(const scene::Scene& scene, const scene::Node& pointOfView, QSize size, int samples)
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
    return d->renderer ? d->renderer->lastFrame() : FrameStats{};
}

int OffscreenRenderer::cachedMeshCount() const
{
    return d->renderer ? d->renderer->cachedMeshCount() : 0;
}

QImage renderSnapshot(const scene::Scene& scene, const scene::Node& pointOfView, QSize size, int samples)
{
    OffscreenRenderer renderer;
    return renderer.render(scene, pointOfView, size, samples);
}

}  // namespace render
