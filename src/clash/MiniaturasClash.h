#pragma once

#include "clash/Interferencia.h"
#include "render/Thumbnails.h"
#include "scene/Scene.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QUuid>

#include <map>
#include <vector>

namespace quelva {

// A clash thumbnail as a report keeps it: the PNG bytes (for the page file and the BCF package)
// and a small copy for the screen, so thousands of them fit in memory.
struct MiniaturaClash {
    QByteArray png;
    QImage vista;  // the table cell's size, filled and cropped
};

// Clash id -> thumbnail.
using MiniaturasClash = std::map<QUuid, MiniaturaClash>;

// Size of a thumbnail cell in the report table.
inline constexpr QSize kCeldaMiniatura{180, 118};

// The first node named `nombre` that has a geometry, the root first, then depth first.
const scene::Node* buscarNodo(const QString& nombre, const scene::Node& raiz);

// What a clash thumbnail shows and from where.
struct VistaMiniatura {
    std::vector<render::ThumbnailItem> elementos;
    render::ThumbnailCamera camara;
};

// The two elements of a clash, A red and B blue, the smaller one also drawn through the larger
// one (which then looks see-through where it hides it); the camera outside both, holding the overlap and the smaller element. A clash
// restored from a project holds empty nodes: its elements are then looked up by name in `escena`
// (when given). Without both boxes the camera looks at the recorded target from 0.45 of the
// clash's size, at least 0.15.
VistaMiniatura vistaMiniatura(const Interferencia& interferencia, const scene::Scene* escena);

// PNG bytes and the cell-sized copy (filled and cropped over the dark cell colour) of a render.
MiniaturaClash miniaturaDesdeImagen(const QImage& imagen);

}  // namespace quelva
