#pragma once

#include "timeline/impresion/ContenidoFicha.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace quelva {

inline constexpr double kAnchoPaginaFicha = 732;
inline constexpr double kAltoPaginaFicha = 1200;
// Pages after the first start this far down.
inline constexpr double kMargenContinuacion = 24;

// Where each page of a content `alto` tall begins: a page ends at the last break point that
// fits on it (a section, a table row, a row of chips), or at its edge when none does. The first
// page holds 1200 points, the others 1200 less their top margin.
std::vector<double> iniciosPaginasFicha(double alto, std::vector<double> cortes);

// The card's sections, each padded 24 in a 732-point frame, on 732 × 1200 pages: the first as
// the sheet's content starts, the rest continued on further pages. Written through the atomic
// replace: nullopt on success, else the reason.
std::optional<QString> escribirPDFFicha(const QString& destino, const DatosFicha& datos,
                                        const QDateTime& preparado = QDateTime::currentDateTime());

}  // namespace quelva
