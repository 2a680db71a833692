#include "platform/SystemColors.h"

namespace platform {

QColor systemColor(SystemColor color)
{
    switch (color) {
    case SystemColor::red: return QColor(255, 59, 48);
    case SystemColor::orange: return QColor(255, 149, 0);
    case SystemColor::yellow: return QColor(255, 204, 0);
    case SystemColor::green: return QColor(40, 205, 65);
    case SystemColor::mint: return QColor(0, 199, 190);
    case SystemColor::teal: return QColor(48, 176, 199);
    case SystemColor::cyan: return QColor(50, 173, 230);
    case SystemColor::blue: return QColor(0, 122, 255);
    case SystemColor::indigo: return QColor(88, 86, 214);
    case SystemColor::purple: return QColor(175, 82, 222);
    case SystemColor::pink: return QColor(255, 45, 85);
    case SystemColor::brown: return QColor(162, 132, 94);
    case SystemColor::gray: return QColor(142, 142, 147);
    case SystemColor::primaryLabel: return QColor(0, 0, 0, 217);
    case SystemColor::secondaryLabel: return QColor(0, 0, 0, 128);
    case SystemColor::tertiaryLabel: return QColor(0, 0, 0, 66);
    }
    return QColor(142, 142, 147);
}

std::optional<QColor> systemColor(const QString& name)
{
    static const struct { const char* name; SystemColor color; } table[] = {
        {"red", SystemColor::red}, {"orange", SystemColor::orange}, {"yellow", SystemColor::yellow},
        {"green", SystemColor::green}, {"mint", SystemColor::mint}, {"teal", SystemColor::teal},
        {"cyan", SystemColor::cyan}, {"blue", SystemColor::blue}, {"indigo", SystemColor::indigo},
        {"purple", SystemColor::purple}, {"pink", SystemColor::pink}, {"brown", SystemColor::brown},
        {"gray", SystemColor::gray}, {"grey", SystemColor::gray}, {"primary", SystemColor::primaryLabel},
        {"secondary", SystemColor::secondaryLabel}, {"tertiary", SystemColor::tertiaryLabel},
    };
    const QString key = name.trimmed().toLower();
    for (const auto& entry : table)
        if (key == QLatin1String(entry.name))
            return systemColor(entry.color);
    return std::nullopt;
}

}  // namespace platform
