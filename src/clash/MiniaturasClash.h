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

// The two elements of a clash, A red and B blue. A clash restored from a project holds empty
// nodes: its elements are then looked up by name in `escena` (when given).
std::vector<render::ThumbnailItem> elementosMiniatura(const Interferencia& interferencia, const scene::Scene* escena);
// Close to the clash, looking at its target: 0.45 of its size away, at least 0.15.
render::ThumbnailCamera camaraMiniatura(const Interferencia& interferencia);

// PNG bytes and the cell-sized copy (filled and cropped over the dark cell colour) of a render.
MiniaturaClash miniaturaDesdeImagen(const QImage& imagen);

}  // namespace quelva
