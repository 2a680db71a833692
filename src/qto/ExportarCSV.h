#pragma once

#include "qto/ItemQTO.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace quelva {

// The take-off as CSV: a header and one line per item of the given groups in their order,
// every field quoted, UTF-8, lines joined by line feeds and no line feed at the end.
QByteArray textoCSV(const std::vector<const GrupoQTO*>& grupos, const QStringList& extras);

// "QUELVA_QTO_<seconds since 1970>.csv"
QString nombreArchivoCSV(qint64 segundosUnix);

// A text taken from a model file, made safe for a spreadsheet: one that it would read as a
// formula gets a leading apostrophe; numbers such as "-0.50" stay as they are.
QString protegerFormula(const QString& texto);

// Replaces the file at `ruta` atomically; none on success, else why it failed.
std::optional<QString> escribirCSV(const QString& ruta, const QByteArray& bytes);

}  // namespace quelva
