#include "timeline/EstiloNivel.h"

#include "platform/SystemColors.h"

namespace quelva {

QColor colorNivel(NivelAWP nivel)
{
    using platform::SystemColor;
    switch (nivel) {
    case NivelAWP::cwa: return platform::systemColor(SystemColor::blue);
    case NivelAWP::cwp: return platform::systemColor(SystemColor::purple);
    case NivelAWP::iwp: return platform::systemColor(SystemColor::teal);
    case NivelAWP::pwp: return platform::systemColor(SystemColor::orange);
    }
    return platform::systemColor(SystemColor::teal);
}

QString simboloNivel(NivelAWP nivel)
{
    switch (nivel) {
    case NivelAWP::cwa: return QStringLiteral("map");
    case NivelAWP::cwp: return QStringLiteral("folder.fill");
    case NivelAWP::iwp: return QStringLiteral("wrench.and.screwdriver.fill");
    case NivelAWP::pwp: return QStringLiteral("list.clipboard.fill");
    }
    return QStringLiteral("map");
}

}  // namespace quelva
