#include "render/SceneView.h"

#include "render/CameraControl.h"
#include "render/DrawList.h"
#include "render/SceneRenderer.h"

#include <QElapsedTimer>
#include <QOpenGLFunctions>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace render {

namespace {

constexpr double kClickSlop = 4.0;           // pixels a press may move and still be a click
constexpr double kOrbitRadiansPerPixel = 0.008;
constexpr double kZoomPerNotch = 0.85;       // distance factor of one wheel notch towards the focus
constexpr int kPollMilliseconds = 33;
constexpr int kAnimationMilliseconds = 16;
constexpr int kRestMilliseconds = SceneView::kRestDelayMilliseconds;
constexpr double kMovingFrameSeconds = 0.030;  // what a frame while moving may take before it gets smaller
constexpr double kMinRenderScale = 0.5;

CameraPose worldPose(const scene::Node& node)
{
    const scene::Mat4 w = node.worldTransform();
    return {w.translationPart(), rotationOf(w)};
}

// Puts `node` at a world pose, whatever its parent's transform.
void setWorldPose(scene::Node& node, const CameraPose& pose)
{
    if (const scene::Node* parent = node.parent()) {
        const scene::Mat4 pw = parent->worldTransform();
        node.position = pw.inverse().transformPoint(pose.position);
        node.orientation = (rotationOf(pw).conjugate() * pose.orientation).normalized();
    } else {
        node.position = pose.position;
        node.orientation = pose.orientation;
    }
}

}  // namespace

struct SceneView::Animation {
    scene::NodePtr node;
    scene::Vec3 fromPosition, toPosition;
    scene::Quat fromOrientation, toOrientation;
    double duration = 0;
    QElapsedTimer clock;
};

struct SceneView::Drag {
    Qt::MouseButton button = Qt::NoButton;
    bool pan = false;
    QPointF pressPosition;
    QPointF lastPosition;
    bool dragging = false;
};

SceneView::SceneView(QWidget* parent) : QOpenGLWidget(parent)
{
    QSurfaceFormat format = QSurfaceFormat::defaultFormat();
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setSamples(0);  // the renderer multisamples into its own framebuffer
    setFormat(format);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);

    ownCamera_ = scene::Node::make();
    auto camera = std::make_shared<scene::Camera>();
    camera->fieldOfView = 60;
    camera->zNear = 0.1;
    camera->zFar = 1000;
    ownCamera_->camera = camera;
    ownCamera_->position = {15, -15, 10};
    ownCamera_->lookAt({0, 0, 0}, {0, 0, 1}, {0, 0, -1});
    pointOfView_ = ownCamera_;

    animationTimer_ = new QTimer(this);
    animationTimer_->setInterval(kAnimationMilliseconds);
    connect(animationTimer_, &QTimer::timeout, this, &SceneView::stepAnimation);
    pollTimer_ = new QTimer(this);
    pollTimer_->setInterval(kPollMilliseconds);
    connect(pollTimer_, &QTimer::timeout, this, &SceneView::pollSceneChanges);
    pollTimer_->start();
    restTimer_ = new QTimer(this);
    restTimer_->setSingleShot(true);
    restTimer_->setInterval(kRestMilliseconds);
    connect(restTimer_, &QTimer::timeout, this, [this] {
        if (animatingScene_)
            return;
        moving_ = false;
        cameraMoving_ = false;
        if (lastFrameReduced_)
            update();  // the last frame was a cheap one
    });
}

void SceneView::noteMotion()
{
    moving_ = true;
    restTimer_->start();
    update();
}

void SceneView::setAnimatingScene(bool animating)
{
    if (animating == animatingScene_)
        return;
    animatingScene_ = animating;
    noteMotion();
}

void SceneView::noteCameraMotion()
{
    cameraMoving_ = true;
    noteMotion();
    emit cameraMoved();
}

SceneView::~SceneView()
{
    // The base class destroys the context after this destructor: no call back into this class then.
    if (context())
        disconnect(context(), nullptr, this, nullptr);
    releaseGL();
}

void SceneView::releaseGL()
{
    if (!renderer_)
        return;
    makeCurrent();
    renderer_.reset();
    doneCurrent();
}

void SceneView::setScene(scene::ScenePtr s)
{
    scene_ = std::move(s);
    update();
}

void SceneView::setPointOfView(scene::NodePtr node)
{
    stopCameraAnimation();
    pointOfView_ = node ? std::move(node) : ownCamera_;
    update();
}

void SceneView::setAllowsCameraControl(bool allows)
{
    allowsCameraControl_ = allows;
}

scene::Viewpoint SceneView::viewpoint() const
{
    return {pointOfView_.get(), QSizeF(width(), height())};
}

std::optional<scene::HitResult> SceneView::hitTest(QPointF point, const scene::HitTestOptions& options) const
{
    if (!scene_ || !scene_->rootNode() || !pointOfView_->camera || width() <= 0 || height() <= 0)
        return std::nullopt;
    return scene::hitTest(*scene_->rootNode(), viewpoint(), point, options);
}

scene::Vec3 SceneView::projectPoint(const scene::Vec3& world) const
{
    return scene::projectPoint(viewpoint(), world);
}

scene::Vec3 SceneView::unprojectPoint(const scene::Vec3& viewPoint) const
{
    return scene::unprojectPoint(viewpoint(), viewPoint);
}

void SceneView::animateCamera(const scene::Vec3& position, const scene::Quat& orientation, double durationSeconds)
{
    stopCameraAnimation();
    if (!(durationSeconds > 0)) {
        pointOfView_->position = position;
        pointOfView_->orientation = orientation.normalized();
        update();
        emit cameraMoved();
        return;
    }
    animation_ = std::make_unique<Animation>();
    animation_->node = pointOfView_;
    animation_->fromPosition = pointOfView_->position;
    animation_->fromOrientation = pointOfView_->orientation.normalized();
    animation_->toPosition = position;
    animation_->toOrientation = orientation.normalized();
    animation_->duration = durationSeconds;
    animation_->clock.start();
    animationTimer_->start();
    // The frame drawn before the first step belongs to the flight: a full-quality one (a new
    // shadow map, multisampling) would be thrown away at once and hold the flight back.
    cameraMoving_ = true;
    noteMotion();
}

bool SceneView::isAnimatingCamera() const
{
    return animation_ != nullptr;
}

void SceneView::stopCameraAnimation()
{
    animationTimer_->stop();
    animation_.reset();
}

void SceneView::stepAnimation()
{
    if (!animation_) {
        animationTimer_->stop();
        return;
    }
    Animation& a = *animation_;
    const double t = std::min(1.0, double(a.clock.nsecsElapsed()) * 1e-9 / a.duration);
    const double e = easeInEaseOut(t);
    a.node->position = a.fromPosition + (a.toPosition - a.fromPosition) * e;
    a.node->orientation = slerp(a.fromOrientation, a.toOrientation, e);
    if (t >= 1.0) {
        a.node->position = a.toPosition;
        a.node->orientation = a.toOrientation;
        stopCameraAnimation();
    }
    noteCameraMotion();
}

void SceneView::setMultisampling(int samples)
{
    samples_ = std::max(0, samples);
    update();
}

QImage SceneView::snapshot()
{
    fullQuality_ = true;
    QImage image = grabFramebuffer();
    fullQuality_ = false;
    return image;
}

const FrameStats* SceneView::lastFrameStats() const
{
    return renderer_ ? &renderer_->lastFrame() : nullptr;
}

void SceneView::pollSceneChanges()
{
    if (!isVisible())
        return;
    const std::size_t signature = sceneSignature(scene_.get(), pointOfView_.get());
    if (signature != lastSignature_)
        noteMotion();  // hover markers change with every mouse move: treat like camera motion
}

void SceneView::initializeGL()
{
    renderer_ = std::make_unique<SceneRenderer>();
    // A widget moved to another window gets a new context: drop the GPU objects of the old one.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &SceneView::releaseGL, Qt::UniqueConnection);
}

void SceneView::resizeGL(int, int) {}

void SceneView::paintGL()
{
    if (!renderer_)
        renderer_ = std::make_unique<SceneRenderer>();
    QElapsedTimer clock;
    clock.start();
    lastSignature_ = sceneSignature(scene_.get(), pointOfView_.get());
    const double dpr = devicePixelRatioF();
    const bool cheap = moving_ && !fullQuality_;
    FrameRequest request;
    request.scene = scene_.get();
    request.pointOfView = pointOfView_.get();
    request.pixelSize = QSize(int(std::lround(width() * dpr)), int(std::lround(height() * dpr)));
    request.viewHeight = height();
    // While the camera moves: no multisampling on a software rasteriser, the shadow map as it
    // is, and fewer pixels when the last such frame was slow. At rest, everything.
    request.samples = cheap && renderer_->isSoftware() ? 0 : samples_;
    request.moving = cheap;
    // A model shown for the first time as the camera flies to it: its shadows come with the
    // frame at rest rather than make the flight's first frame several frames long.
    request.shadowMapMayWait = cheap && cameraMoving_ && !animatingScene_;
    request.renderScale = cheap ? renderScale_ : 1.0;
    const QColor under = palette().color(QPalette::Window);
    request.underlay = {under.redF(), under.greenF(), under.blueF(), 1.0};
    request.shadowCentre = cameraTarget_;
    renderer_->render(request, defaultFramebufferObject());
    // One frame in flight: the next one starts from what the user did meanwhile, never behind
    // frames queued in the driver.
    if (QOpenGLContext* ctx = QOpenGLContext::currentContext())
        ctx->functions()->glFinish();
    const double seconds = double(clock.nsecsElapsed()) * 1e-9;
    lastFrameReduced_ = cheap && (request.samples != samples_ || request.renderScale < 1.0 ||
                                  renderer_->lastFrame().shadowMapStale);
    if (cheap && seconds > 0) {
        // Pixels scale with the square of the factor; adapt towards the frame time wanted.
        const double wanted = renderScale_ * std::sqrt(kMovingFrameSeconds / seconds);
        renderScale_ = std::clamp(0.5 * renderScale_ + 0.5 * wanted, kMinRenderScale, 1.0);
    }
    lastFrameSeconds_ = seconds;
    emit frameRendered();
}

void SceneView::mousePressEvent(QMouseEvent* event)
{
    drag_ = std::make_unique<Drag>();
    drag_->button = event->button();
    drag_->pan = event->button() == Qt::RightButton || event->button() == Qt::MiddleButton ||
                 (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier));
    drag_->pressPosition = event->position();
    drag_->lastPosition = event->position();
    event->accept();
}

void SceneView::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF p = event->position();
    emit mouseMoved(p);
    if (!drag_)
        return;
    if (!drag_->dragging) {
        const QPointF moved = p - drag_->pressPosition;
        if (std::hypot(moved.x(), moved.y()) < kClickSlop)
            return;
        drag_->dragging = true;
    }
    const QPointF delta = p - drag_->lastPosition;
    drag_->lastPosition = p;
    if (!allowsCameraControl_ || !pointOfView_)
        return;
    stopCameraAnimation();

    CameraPose pose = worldPose(*pointOfView_);
    if (drag_->pan) {
        // World units per pixel at the depth of the orbit target.
        double depth = scene::dot(cameraTarget_ - pose.position, pose.forward());
        if (!(depth > 1e-6))
            depth = std::max(1e-3, scene::length(cameraTarget_ - pose.position));
        const double fov = pointOfView_->camera ? pointOfView_->camera->fieldOfView : 60.0;
        const double perPixel = 2.0 * depth * std::tan(scene::degToRad(fov) / 2) / std::max(1, height());
        const CameraPose moved = pan(pose, -delta.x() * perPixel, delta.y() * perPixel);
        cameraTarget_ += moved.position - pose.position;
        pose = moved;
    } else {
        pose = orbit(pose, cameraTarget_, -delta.x() * kOrbitRadiansPerPixel, -delta.y() * kOrbitRadiansPerPixel);
    }
    setWorldPose(*pointOfView_, pose);
    noteCameraMotion();
}

void SceneView::mouseReleaseEvent(QMouseEvent* event)
{
    if (drag_ && event->button() == drag_->button) {
        const bool click = !drag_->dragging && drag_->button == Qt::LeftButton;
        drag_.reset();
        if (click)
            emit clicked(event->position());
    }
    event->accept();
}

void SceneView::leaveEvent(QEvent* event)
{
    QOpenGLWidget::leaveEvent(event);
    emit mouseLeft();
}

void SceneView::wheelEvent(QWheelEvent* event)
{
    event->accept();
    if (!allowsCameraControl_ || !pointOfView_)
        return;
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0)
        return;
    stopCameraAnimation();
    const CameraPose pose = worldPose(*pointOfView_);
    // Zoom towards what lies under the cursor, else towards the target's depth along the cursor ray.
    scene::Vec3 focus;
    if (auto hit = hitTest(event->position(), scene::HitTestOptions{false})) {
        focus = hit->worldCoordinates;
    } else {
        const scene::Ray ray = scene::rayThrough(viewpoint(), event->position());
        double depth = scene::dot(cameraTarget_ - pose.position, pose.forward());
        if (!(depth > 1e-6))
            depth = std::max(1e-3, scene::length(cameraTarget_ - pose.position));
        const double along = scene::dot(ray.direction, pose.forward());
        focus = ray.origin + ray.direction * (along > 1e-6 ? depth / along : depth);
    }
    const double factor = std::pow(kZoomPerNotch, notches);
    setWorldPose(*pointOfView_, dolly(pose, focus, factor));
    cameraTarget_ = focus + (cameraTarget_ - focus) * factor;
    noteCameraMotion();
}

}  // namespace render
