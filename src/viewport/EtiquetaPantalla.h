#pragma once

// Labels of the measurement drawings that keep their size on screen: a dark rounded plate with
// the text in the label's colour, turned to the camera and drawn over the model, so that it
// reads the same near and far and on white, grey or dark faces.

#include "scene/Color.h"
#include "scene/Image.h"
#include "scene/Node.h"

#include <QSizeF>
#include <string>

namespace quelva {

// Where the plate sits relative to the anchor point, on screen.
enum class PosicionEtiqueta {
    centrada,  // centred on the point
    encima,    // above the point, clear of a marker drawn there
};

// Pixel size of the label text; the plate adds its margins around it.
inline constexpr double kAltoTextoEtiqueta = 14.0;

// One-line text label at `ancla`; the node's geometry is named after the text.
scene::NodePtr etiquetaPantalla(const scene::Vec3& ancla, const std::string& texto, const scene::Color& color,
                                PosicionEtiqueta posicion, int orden);

// A label that `dibujo` draws for an image of `tamanoImagen` points (flipped), shown
// `tamanoPantalla` points large on screen; named `nombre`.
scene::NodePtr etiquetaImagenPantalla(const scene::Vec3& ancla, QSizeF tamanoImagen, QSizeF tamanoPantalla,
                                      scene::DrawnImage::Handler dibujo, const std::string& nombre,
                                      PosicionEtiqueta posicion, int orden);

}  // namespace quelva
