#pragma once

#include <QColor>
#include <QString>

#include <optional>

namespace platform {

// The named colours of the interface, fixed RGB values (light appearance).
enum class SystemColor {
    red, orange, yellow, green, mint, teal, cyan, blue, indigo, purple, pink, brown, gray,
    // text styles
    primaryLabel, secondaryLabel, tertiaryLabel,
};

QColor systemColor(SystemColor color);
// By lower-case name ("teal", "gray"/"grey", "secondary"...); none when unknown.
std::optional<QColor> systemColor(const QString& name);

}  // namespace platform
