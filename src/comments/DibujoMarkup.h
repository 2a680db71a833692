#pragma once

#include "comments/ComentarioMarkup.h"

#include <QImage>
#include <QSize>

#include <optional>
#include <vector>

class QPainter;

namespace quelva {

// The one drawing of markup, for the canvas on screen and for a comment's
// image: strokes (the one being drawn last), then texts on top. Nothing else
// is painted, so an empty markup leaves the target untouched. Coordinates are
// the canvas's: points, origin top-left.
void dibujarMarkup(QPainter& p, const std::vector<TrazadoMarkup>& trazados, const std::vector<TextoMarkup>& textos,
                   const std::optional<TrazadoMarkup>& trazadoActual = std::nullopt);

// The markup alone on a transparent image of the canvas's size (device pixel ratio 1).
QImage imagenMarkup(QSize tamanoCanvas, const std::vector<TrazadoMarkup>& trazados,
                    const std::vector<TextoMarkup>& textos);

// The snapshot with the markup image scaled over it, encoded as JPEG at quality
// 85. Empty when the snapshot is null or cannot be encoded.
QByteArray componerImagenComentario(const QImage& snapshot, const QImage& markup);

}  // namespace quelva
