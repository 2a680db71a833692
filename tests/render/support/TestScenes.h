#pragma once

#include "scene/Geometry.h"
#include "scene/Light.h"
#include "scene/Material.h"
#include "scene/Node.h"
#include "scene/Scene.h"

#include <QColor>
#include <QImage>

namespace rendertest {

// Closed box centred on its node, one material, outward normals per face.
scene::GeometryPtr box(double sx, double sy, double sz, scene::Color colour,
                       scene::LightingModel model = scene::LightingModel::Constant);
// Square in the XY plane facing +Z, texture coordinates 0..1, one material.
scene::GeometryPtr quad(double side, scene::Color colour, scene::LightingModel model = scene::LightingModel::Constant);
scene::NodePtr node(scene::GeometryPtr geometry, scene::Vec3 position = {});

// A camera node at `eye` looking at `target` with Z up.
scene::NodePtr camera(scene::Vec3 eye, scene::Vec3 target, double fieldOfView = 40, double zNear = 0.1,
                      double zFar = 1000);
scene::NodePtr directionalLight(scene::Vec3 direction, double intensity = 900, bool shadows = false,
                                double orthographicScale = 50);
scene::NodePtr ambientLight(double intensity = 350);

// Straight (non-premultiplied) colour of a pixel.
QColor pixel(const QImage& image, int x, int y);
bool close(const QColor& a, const QColor& b, int tolerance = 6);
QString describe(const QColor& c);

}  // namespace rendertest
