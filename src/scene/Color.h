#pragma once

namespace scene {

// Linear RGBA in 0..1, as the scene stores colours.
struct Color {
    double r = 0, g = 0, b = 0, a = 1;
    bool operator==(const Color&) const = default;

    static constexpr Color white(double w = 1.0, double alpha = 1.0) { return {w, w, w, alpha}; }
    static constexpr Color black() { return {0, 0, 0, 1}; }
    static constexpr Color clear() { return {0, 0, 0, 0}; }
};

}  // namespace scene
