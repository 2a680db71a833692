#pragma once

// Small off-screen pictures of a few elements: copies of them, each in one colour, in a scene of
// their own with two lights and a camera. The shown scene is never touched. GUI thread only.

#include "render/OffscreenRenderer.h"
#include "scene/Color.h"
#include "scene/Math.h"
#include "scene/Node.h"
#include "scene/Scene.h"

#include <QImage>
#include <QSize>

#include <memory>
#include <vector>

namespace render {

inline constexpr QSize kThumbnailSize{460, 310};
inline constexpr int kThumbnailSamples = 4;
// Where the thumbnails' directional light comes from (it shines the other way): the faces turned
// this way are the lit ones.
inline constexpr scene::Vec3 kThumbnailTowardsLight{0.5, 0.7071067811865476, 0.5};

struct ThumbnailItem {
    const scene::Node* node = nullptr;
    scene::Color color;
    // Above 0: also drawn over whatever hides it, with this opacity, so that what stands in
    // front of it looks see-through.
    double drawnThrough = 0;
};

struct ThumbnailCamera {
    scene::Vec3 position;
    scene::Vec3 target;
    double zNear = 0.01;
    double zFar = 100;
};

// A copy of `node` with copied geometry (its descendants' too) whose own geometry has one new
// Phong, double-sided material of `color`; the copies of the descendants keep their materials.
// The source is left untouched.
scene::NodePtr highlightedCopy(const scene::Node& node, const scene::Color& color);

// The thumbnail scene: each item's copy placed where its node is in its world (its ancestors'
// transforms copied too), a directional light of 900 and an ambient light of 380, and a camera
// looking at the target with Z up. The camera node is returned through `cameraNode`.
scene::ScenePtr thumbnailScene(const std::vector<ThumbnailItem>& items, const ThumbnailCamera& camera,
                               scene::NodePtr& cameraNode);

// Keeps one off-screen renderer (context, shaders, targets) for a series of thumbnails.
class Thumbnailer {
public:
    enum class Preparation { now, inBackground };
    // In the background: the shaders are compiled and a first picture drawn on a thread of its
    // own; isReady() tells when a render() will not wait for that.
    explicit Thumbnailer(Preparation preparation = Preparation::now);

    bool isValid() const { return renderer_->isValid(); }
    bool isReady() const { return renderer_->isReady(); }
    // A kThumbnailSize image with 4x multisampling; null when no OpenGL context could be made.
    QImage render(const std::vector<ThumbnailItem>& items, const ThumbnailCamera& camera);

private:
    std::unique_ptr<OffscreenRenderer> renderer_;
};

// The one thumbnailer of the process, made on first use (prepared in the background) and kept:
// every report renders with it, so no report pays for a context and shaders of its own. Callers
// that must not stall check isReady() and come back later. Released with the application
// object. GUI thread only.
Thumbnailer& sharedThumbnailer();

// One thumbnail with a renderer made for it (for comparison with the kept renderer).
QImage renderThumbnailOnce(const std::vector<ThumbnailItem>& items, const ThumbnailCamera& camera);

}  // namespace render
