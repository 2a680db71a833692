#include "render/SceneView.h"

#include <QTimer>

namespace render {

class SceneRenderer {};
struct SceneView::Animation {};
struct SceneView::Drag {};

SceneView::SceneView(QWidget* parent) : QOpenGLWidget(parent)
{
    ownCamera_ = scene::Node::make();
    ownCamera_->camera = std::make_shared<scene::Camera>();
    pointOfView_ = ownCamera_;
}

SceneView::~SceneView() = default;

void SceneView::setScene(scene::ScenePtr s) { scene_ = std::move(s); update(); }
void SceneView::setPointOfView(scene::NodePtr node) { pointOfView_ = node ? std::move(node) : ownCamera_; update(); }
void SceneView::setAllowsCameraControl(bool allows) { allowsCameraControl_ = allows; }
scene::Viewpoint SceneView::viewpoint() const { return {pointOfView_.get(), QSizeF(size())}; }
std::optional<scene::HitResult> SceneView::hitTest(QPointF, const scene::HitTestOptions&) const { return std::nullopt; }
scene::Vec3 SceneView::projectPoint(const scene::Vec3&) const { return {}; }
scene::Vec3 SceneView::unprojectPoint(const scene::Vec3&) const { return {}; }
void SceneView::animateCamera(const scene::Vec3& position, const scene::Quat& orientation, double)
{
    pointOfView_->position = position;
    pointOfView_->orientation = orientation;
    update();
}
bool SceneView::isAnimatingCamera() const { return false; }
void SceneView::stopCameraAnimation() {}
void SceneView::setMultisampling(int samples) { samples_ = samples; update(); }
QImage SceneView::snapshot() { return grabFramebuffer(); }
void SceneView::initializeGL() {}
void SceneView::resizeGL(int, int) {}
void SceneView::paintGL() { emit frameRendered(); }
void SceneView::mousePressEvent(QMouseEvent*) {}
void SceneView::mouseMoveEvent(QMouseEvent*) {}
void SceneView::mouseReleaseEvent(QMouseEvent*) {}
void SceneView::wheelEvent(QWheelEvent*) {}
void SceneView::stepAnimation() {}
void SceneView::pollSceneChanges() {}
void SceneView::releaseGL() {}

}  // namespace render
