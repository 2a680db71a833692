#pragma once

#include "scene/Scene.h"

namespace rendertest {

// A small building of a few hundred boxes (slabs, columns, beams, walls, glass) far from the
// origin, on a translucent gridded floor, lit by a shadow-casting sun and ambient light, under a
// gradient background, with an overlay line drawn over everything.
struct Showcase {
    scene::ScenePtr scene;
    scene::NodePtr camera;
    scene::Vec3 centre;        // centre of the building
    scene::NodePtr overlay;    // the overlay line's node
    scene::NodePtr glass;      // one glass panel
    scene::NodePtr sun;        // the directional light's node
    int boxCount = 0;
};

Showcase makeShowcase(scene::Vec3 origin);

}  // namespace rendertest
