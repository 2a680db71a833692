#pragma once

// The sections of the package card as widgets, for the sheet and for its PDF alike: summary
// band, 3D image, objective, dates, resources, linked elements, children.

#include "timeline/TimeLiner.h"

#include <QDateTime>
#include <QImage>

#include <optional>
#include <vector>

class QWidget;

namespace quelva {

// What one card shows; the card keeps its own copy.
struct DatosFicha {
    PaqueteAWP paquete;
    TimeLinerConfig config;
    std::optional<QImage> imagen;
};

// The sections in their order, each with its bottom padding; `preparado` is the date the card
// is built. Widgets a page may break before carry the property "cortePagina".
std::vector<QWidget*> seccionesFicha(const DatosFicha& datos, const QDateTime& preparado);

// The card's background.
QColor fondoFicha();

}  // namespace quelva
