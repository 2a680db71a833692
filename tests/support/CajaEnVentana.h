#pragma once

// A box element placed in the main window's scene, for tests that need something to frame, cut
// or pick without converting a model.

#include "main_window/ContentView.h"
#include "scene/Primitives.h"

#include <string>
#include <vector>

namespace testsupport {

// An element box from `min` to `max` under a model container of the discipline ARQ.
inline scene::NodePtr agregarCaja(quelva::ContentView& v, const std::string& nombre, scene::Vec3 min, scene::Vec3 max)
{
    auto& esp = v.federacion.especialidades[QStringLiteral("ARQ")];
    if (!esp.nodoRaiz) {
        esp.nodoRaiz = scene::Node::make();
        auto modelo = scene::Node::make();
        modelo->name = "modelo.ifc";
        esp.nodoRaiz->addChild(modelo);
        v.escena.scene->rootNode()->addChild(esp.nodoRaiz);
    }
    // The box primitive is centred on its node: its points are moved so the element's own box
    // is in place.
    auto elemento = scene::Node::make();
    elemento->name = nombre;
    auto geo = scene::makeBox(max.x - min.x, max.y - min.y, max.z - min.z);
    std::vector<scene::Vec3f> puntos;
    const auto* src = geo->source(scene::GeometrySource::Semantic::Vertex);
    const scene::Vec3 centro = (min + max) * 0.5;
    for (int i = 0; i < src->vectorCount; ++i)
        puntos.push_back(scene::toFloat(scene::toDouble(*src->vectorAt(i)) + centro));
    elemento->geometry = scene::makeTriangleGeometry(puntos, geo->elements().front().indices);
    esp.nodoRaiz->children().front()->addChild(elemento);
    return elemento;
}

}  // namespace testsupport
