#include "scene/Scene.h"

namespace scene {

Scene::Scene() : root_(Node::make()) {}

}  // namespace scene
