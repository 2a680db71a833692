#pragma once

// Small double-precision vector and matrix types of the scene layer.
// Transforms stay in double on the CPU: models arrive in world coordinates far from the origin.

#include <array>
#include <cmath>

namespace scene {

struct Vec3 {
    double x = 0, y = 0, z = 0;

    constexpr Vec3() = default;
    constexpr Vec3(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}

    constexpr Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    constexpr Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    constexpr Vec3 operator-() const { return {-x, -y, -z}; }
    constexpr Vec3 operator*(double s) const { return {x * s, y * s, z * s}; }
    constexpr Vec3 operator/(double s) const { return {x / s, y / s, z / s}; }
    constexpr Vec3& operator+=(const Vec3& o) { x += o.x; y += o.y; z += o.z; return *this; }
    constexpr Vec3& operator-=(const Vec3& o) { x -= o.x; y -= o.y; z -= o.z; return *this; }
    constexpr bool operator==(const Vec3&) const = default;
};

// Single-precision point as stored in geometry sources.
struct Vec3f {
    float x = 0, y = 0, z = 0;
    constexpr bool operator==(const Vec3f&) const = default;
};

constexpr double dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
constexpr Vec3 cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(const Vec3& v) { return std::sqrt(dot(v, v)); }
// Zero vector stays zero (never NaN).
Vec3 normalized(const Vec3& v);
inline bool isFinite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
inline Vec3 toDouble(const Vec3f& v) { return {v.x, v.y, v.z}; }
inline Vec3f toFloat(const Vec3& v) { return {float(v.x), float(v.y), float(v.z)}; }

struct Quat {
    double x = 0, y = 0, z = 0, w = 1;  // identity

    static Quat fromAxisAngle(const Vec3& axis, double radians);
    // Rotation order of Euler angles as the scene uses them: roll (z), then yaw (y), then pitch (x),
    // i.e. R = Rz * Ry * Rx applied to column vectors.
    static Quat fromEuler(const Vec3& eulerRadians);
    Vec3 toEuler() const;
    Quat operator*(const Quat& o) const;
    Vec3 rotate(const Vec3& v) const;
    Quat conjugate() const { return {-x, -y, -z, w}; }
    Quat normalized() const;
};

// Column-major 4x4 matrix, m[column][row].
struct Mat4 {
    std::array<std::array<double, 4>, 4> m{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};

    static Mat4 identity() { return {}; }
    static Mat4 translation(const Vec3& t);
    static Mat4 scaling(const Vec3& s);
    static Mat4 rotation(const Quat& q);
    // translation * rotation * scale
    static Mat4 compose(const Vec3& position, const Quat& orientation, const Vec3& scale);

    Mat4 operator*(const Mat4& o) const;
    Vec3 transformPoint(const Vec3& p) const;      // w = 1
    Vec3 transformDirection(const Vec3& d) const;  // w = 0
    Mat4 inverse() const;                          // identity when singular
    Vec3 translationPart() const { return {m[3][0], m[3][1], m[3][2]}; }
    // Nothing but a translation: transformPoint(p) is then exactly p + translationPart().
    bool isTranslation() const
    {
        return m[0] == std::array<double, 4>{1, 0, 0, 0} && m[1] == std::array<double, 4>{0, 1, 0, 0} &&
               m[2] == std::array<double, 4>{0, 0, 1, 0} && m[3][3] == 1;
    }
};

// Axis-aligned box; an empty box is (0,0,0)-(0,0,0) as callers expect.
struct Box {
    Vec3 min, max;
    bool operator==(const Box&) const = default;
    Vec3 center() const { return (min + max) * 0.5; }
    Vec3 size() const { return max - min; }
    bool isZero() const { return min == Vec3{} && max == Vec3{}; }
};

// Calls f with enough corners of `box` carried by `m` to span the carried box: the lowest and
// the highest when `m` only moves it (most scene nodes), otherwise all eight.
template <typename F>
void forEachCarriedCorner(const Box& box, const Mat4& m, F&& f)
{
    if (m.isTranslation()) {
        const Vec3 t = m.translationPart();
        const Vec3 lo = box.min + t, hi = box.max + t;
        if (isFinite(lo) && isFinite(hi)) {
            f(lo);
            f(hi);
            return;
        }
    }
    for (int i = 0; i < 8; ++i)
        f(m.transformPoint({i & 1 ? box.max.x : box.min.x, i & 2 ? box.max.y : box.min.y, i & 4 ? box.max.z : box.min.z}));
}

constexpr double kPi = 3.14159265358979323846;
constexpr double degToRad(double d) { return d * kPi / 180.0; }
constexpr double radToDeg(double r) { return r * 180.0 / kPi; }

}  // namespace scene
