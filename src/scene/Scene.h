#pragma once

#include "scene/Material.h"
#include "scene/Node.h"

#include <memory>

namespace scene {

// A scene: one root node and the background. Reference type; the view shows one scene object
// and notices when it is handed a different one.
class Scene {
public:
    Scene();

    const NodePtr& rootNode() const { return root_; }
    // Background: a colour or an image stretched over the view.
    MaterialProperty background{Color{0, 0, 0, 0}};

private:
    NodePtr root_;
};

using ScenePtr = std::shared_ptr<Scene>;

inline ScenePtr makeScene() { return std::make_shared<Scene>(); }

}  // namespace scene
