#pragma once

#include "scene/Geometry.h"

#include <QFont>
#include <string>

namespace scene {

// Primitive shapes centred on their node's origin, each with one default material.
GeometryPtr makeBox(double width, double height, double length);            // x, y, z extents
GeometryPtr makeSphere(double radius, int segments = 24);
GeometryPtr makeCylinder(double radius, double height, int segments = 24);   // axis +Y
GeometryPtr makeTorus(double ringRadius, double pipeRadius, int ringSegments = 48, int pipeSegments = 16);  // ring in XZ
// Plane in XY facing +Z, texture coordinates 0..1 from the bottom-left corner.
GeometryPtr makePlane(double width, double height, double cornerRadius = 0);

// Flat "3D text": the text drawn into an image on a plane. The geometry spans x 0..width and
// y 0..height of the text in scene units (font size = `fontSize` units) and z 0..extrusionDepth,
// the image on the face at z = extrusionDepth; its first material carries the text colour as
// diffuse colour (the image is used as a mask), so callers colour it like any other material.
GeometryPtr makeText(const std::string& text, double fontSize, double extrusionDepth,
                     const QFont& font = QFont());

}  // namespace scene
