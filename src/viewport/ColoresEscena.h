#pragma once

#include "platform/SystemColors.h"
#include "scene/Color.h"

#include <QColor>

namespace quelva {

inline scene::Color colorEscena(const QColor& c, double alpha)
{
    return {c.redF(), c.greenF(), c.blueF(), alpha};
}

// A named system colour as the scene stores it, with its own alpha replaced.
inline scene::Color colorSistema(platform::SystemColor color, double alpha = 1.0)
{
    return colorEscena(platform::systemColor(color), alpha);
}

}  // namespace quelva
