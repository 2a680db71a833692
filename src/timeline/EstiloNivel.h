#pragma once

#include "timeline/TimeLiner.h"

#include <QColor>
#include <QString>

namespace quelva {

// How a package level shows wherever packages are listed, on screen or on paper: CWA blue, CWP
// purple, IWP teal, PWP orange, each with its symbol.
QColor colorNivel(NivelAWP nivel);
QString simboloNivel(NivelAWP nivel);

}  // namespace quelva
