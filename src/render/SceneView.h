#pragma once

#include "scene/HitTest.h"
#include "scene/Math.h"
#include "scene/Node.h"
#include "scene/Projection.h"
#include "scene/Scene.h"

#include <QImage>
#include <QOpenGLWidget>
#include <QPointF>
#include <memory>
#include <optional>

class QTimer;

namespace render {

class SceneRenderer;
struct FrameStats;

// Interactive 3D view of a scene: draws it with OpenGL 3.3 core, lets the user orbit, pan and
// zoom a Z-up scene, and turns mouse input into click and hover signals.
//
// Coordinates of every QPointF here (signals, hitTest, projectPoint) are widget logical pixels
// with a top-left origin, as in mouse events and as scene::Viewpoint uses them.
//
// Changes made to the shown scene (nodes, transforms, materials, lights, camera) are noticed on
// their own (the view compares a fingerprint of the scene about 30 times a second) and redrawn;
// update() redraws at once.
class SceneView : public QOpenGLWidget {
    Q_OBJECT

public:
    explicit SceneView(QWidget* parent = nullptr);
    ~SceneView() override;

    // The scene shown; with none the view shows the window's background colour. A scene
    // background that is not opaque is drawn over that colour too.
    void setScene(scene::ScenePtr scene);
    const scene::ScenePtr& scene() const { return scene_; }

    // The camera node the scene is seen from. From construction this is the view's own camera
    // node (not part of any scene graph) at (15, -15, 10) looking at the origin with Z up,
    // field of view 60, near 0.1, far 1000. setPointOfView(nullptr) returns to that node.
    const scene::NodePtr& pointOfView() const { return pointOfView_; }
    void setPointOfView(scene::NodePtr node);

    // User camera control (orbit: left drag; pan: right or middle drag or shift + left drag;
    // zoom: wheel, towards the point under the cursor). Off by default. Near and far are
    // never changed by the user's control.
    void setAllowsCameraControl(bool allows);
    bool allowsCameraControl() const { return allowsCameraControl_; }

    // Point the user orbits around. Code that moves the camera sets it too; panning moves it
    // with the camera. Starts at the origin.
    void setCameraTarget(const scene::Vec3& target)
    {
        cameraTarget_ = target;
        update();  // the shadow area follows it
    }
    scene::Vec3 cameraTarget() const { return cameraTarget_; }

    // The current point of view with the widget's logical size.
    scene::Viewpoint viewpoint() const;

    // Nearest hit under a widget point; hidden nodes are never hit, line elements neither.
    std::optional<scene::HitResult> hitTest(QPointF point, const scene::HitTestOptions& options = {}) const;
    // World point -> (x, y) in widget logical pixels, z the depth in 0..1 (0 at the near plane).
    scene::Vec3 projectPoint(const scene::Vec3& world) const;
    // (x, y, depth) in widget logical pixels -> world point.
    scene::Vec3 unprojectPoint(const scene::Vec3& viewPoint) const;

    // Moves the point of view to `position` / `orientation` (its node's own position and
    // orientation, as Node stores them) over `durationSeconds` with an ease-in-ease-out curve,
    // driven by a GUI-thread timer. A duration <= 0 jumps at once. The camera's near and far
    // stay as they are. A new move replaces a running one, starting from wherever the camera
    // is at that moment; a user drag or wheel stops it.
    void animateCamera(const scene::Vec3& position, const scene::Quat& orientation, double durationSeconds);
    bool isAnimatingCamera() const;
    void stopCameraAnimation();

    // Antialiasing: number of samples per pixel (0 or 1 = off). 4 by default. On a software
    // rasteriser the frames drawn while the camera or the scene keeps changing skip it (it
    // costs several times the frame there); the frame at rest and snapshots always use it.
    void setMultisampling(int samples);
    int multisampling() const { return samples_; }

    // The current frame (drawn now if needed) at the widget's device-pixel size.
    QImage snapshot();

    // Frames while the camera or the scene keeps changing are drawn cheaply (no multisampling on
    // a software rasteriser, the shadow map kept, fewer pixels when they were slow); this long
    // after the last change one full-quality frame follows.
    static constexpr int kRestDelayMilliseconds = 150;
    bool isMoving() const { return moving_; }
    // Code that changes the scene frame after frame (timeline playback) holds the view in that
    // quality while it runs, so a slow full-quality frame never holds the playback back; the
    // full-quality frame follows kRestDelayMilliseconds after it lets go.
    void setAnimatingScene(bool animating);
    bool isAnimatingScene() const { return animatingScene_; }
    double renderScale() const { return renderScale_; }
    // Wall time of the last frame, finished on the GPU.
    double lastFrameSeconds() const { return lastFrameSeconds_; }
    const FrameStats* lastFrameStats() const;

signals:
    // A press and release of the left button without dragging (movement under a few pixels).
    void clicked(QPointF point);
    // Every mouse move over the view, with or without a button held.
    void mouseMoved(QPointF point);
    // The pointer left the view (to another widget over it or out of the window).
    void mouseLeft();
    // After each frame has been drawn.
    void frameRendered();
    // After the user's control or an animation has moved the point of view.
    void cameraMoved();

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct Animation;
    struct Drag;

    void stepAnimation();
    void noteMotion();
    void noteCameraMotion();
    void pollSceneChanges();
    void releaseGL();

    scene::ScenePtr scene_;
    scene::NodePtr ownCamera_;
    scene::NodePtr pointOfView_;
    scene::Vec3 cameraTarget_;
    bool allowsCameraControl_ = false;
    int samples_ = 4;

    std::unique_ptr<SceneRenderer> renderer_;
    std::unique_ptr<Animation> animation_;
    std::unique_ptr<Drag> drag_;
    QTimer* animationTimer_ = nullptr;
    QTimer* pollTimer_ = nullptr;
    QTimer* restTimer_ = nullptr;
    bool moving_ = false;
    bool animatingScene_ = false;
    bool cameraMoving_ = false;  // the motion is the camera's (a flight or the user's control)
    bool fullQuality_ = false;
    bool lastFrameReduced_ = false;  // drawn cheaply: the frame at rest redraws it
    double renderScale_ = 1.0;       // of the frames while moving, adapted to their time
    double lastFrameSeconds_ = 0;
    std::size_t lastSignature_ = 0;
};

}  // namespace render
