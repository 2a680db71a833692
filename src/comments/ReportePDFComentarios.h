#pragma once

#include "comments/ComentarioMarkup.h"

#include <QDateTime>
#include <QImage>
#include <QString>

#include <optional>
#include <vector>

namespace quelva {

// The PDF comments report: a cover and one page per comment, A4 at 72 dpi
// (one unit is one point, y downwards from the top edge).
struct OpcionesPDFComentarios {
    QImage logo;                                      // null: no logos
    QDateTime ahora = QDateTime::currentDateTime();  // cover and footer dates
};

// Writes the document at `destino` through the atomic replace. nullopt on
// success, else the reason.
std::optional<QString> escribirPDFComentarios(const QString& destino, const std::vector<ComentarioMarkup>& comentarios,
                                              const OpcionesPDFComentarios& opciones = {});

// The snapshot box of a comment page, as the page's own (bottom-up) rectangle:
// 523 wide and its height from the image's proportions, at most 340 high.
struct CajaCaptura {
    double x, yInferior, ancho, alto;
};
CajaCaptura cajaCaptura(QSize imagen);

}  // namespace quelva
