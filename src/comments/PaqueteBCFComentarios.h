#pragma once

#include "comments/ComentarioMarkup.h"

#include <QByteArray>
#include <QString>
#include <QUuid>

#include <optional>
#include <vector>

namespace quelva {

// The BCF 2.1 package of the comments: one "Comment" topic per comment,
// named by the comment's id, with its snapshot as a PNG when it has an image.

// The path the package is written to: the chosen one when its extension is
// "bcf" in any case, otherwise the chosen one with ".bcf" appended.
QString rutaFinalBCF(const QString& elegida);

// "MRK-004" alone, or "MRK-004: descripción".
QString tituloTopico(const ComentarioMarkup& c);

QByteArray xmlVersionBCF();
QByteArray xmlProyectoComentarios(const QUuid& proyecto);
// `viewpoint` is given only when the topic has a snapshot.
QByteArray xmlMarkupComentario(const ComentarioMarkup& c, const std::optional<QUuid>& viewpoint);

// The JPEG of a comment as PNG bytes; empty when it does not decode.
QByteArray pngDeJPEG(const QByteArray& jpeg);

// Writes the package at `destino` (already final: see rutaFinalBCF) through
// the atomic replace. nullopt on success, else the reason.
std::optional<QString> escribirBCFComentarios(const QString& destino, const std::vector<ComentarioMarkup>& comentarios);

}  // namespace quelva
