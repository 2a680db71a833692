#include "scene/Math.h"

#include <algorithm>

namespace scene {

Vec3 normalized(const Vec3& v)
{
    const double len = length(v);
    if (!(len > 0) || !std::isfinite(len))
        return {};
    return v / len;
}

Quat Quat::fromAxisAngle(const Vec3& axis, double radians)
{
    const Vec3 a = scene::normalized(axis);
    if (a == Vec3{} || !std::isfinite(radians))
        return {};
    const double s = std::sin(radians / 2);
    return {a.x * s, a.y * s, a.z * s, std::cos(radians / 2)};
}

Quat Quat::fromEuler(const Vec3& e)
{
    const Quat qx = fromAxisAngle({1, 0, 0}, e.x);
    const Quat qy = fromAxisAngle({0, 1, 0}, e.y);
    const Quat qz = fromAxisAngle({0, 0, 1}, e.z);
    return (qz * qy * qx).normalized();
}

Vec3 Quat::toEuler() const
{
    // Decompose R = Rz(c) * Ry(b) * Rx(a); r[row][col].
    const Mat4 m = Mat4::rotation(normalized());
    auto r = [&](int row, int col) { return m.m[col][row]; };
    const double sb = std::clamp(-r(2, 0), -1.0, 1.0);
    const double b = std::asin(sb);
    if (std::abs(sb) < 1.0 - 1e-12) {
        const double a = std::atan2(r(2, 1), r(2, 2));
        const double c = std::atan2(r(1, 0), r(0, 0));
        return {a, b, c};
    }
    // Gimbal lock: roll folds into pitch.
    return {std::atan2(-r(1, 2), r(1, 1)), b, 0};
}

Quat Quat::operator*(const Quat& o) const
{
    return {w * o.x + x * o.w + y * o.z - z * o.y,
            w * o.y - x * o.z + y * o.w + z * o.x,
            w * o.z + x * o.y - y * o.x + z * o.w,
            w * o.w - x * o.x - y * o.y - z * o.z};
}

Vec3 Quat::rotate(const Vec3& v) const
{
    const Vec3 u{x, y, z};
    const Vec3 t = cross(u, v) * 2.0;
    return v + t * w + cross(u, t);
}

Quat Quat::normalized() const
{
    const double n = std::sqrt(x * x + y * y + z * z + w * w);
    if (!(n > 0) || !std::isfinite(n))
        return {};
    return {x / n, y / n, z / n, w / n};
}

Mat4 Mat4::translation(const Vec3& t)
{
    Mat4 r;
    r.m[3][0] = t.x;
    r.m[3][1] = t.y;
    r.m[3][2] = t.z;
    return r;
}

Mat4 Mat4::scaling(const Vec3& s)
{
    Mat4 r;
    r.m[0][0] = s.x;
    r.m[1][1] = s.y;
    r.m[2][2] = s.z;
    return r;
}

Mat4 Mat4::rotation(const Quat& q)
{
    const double x = q.x, y = q.y, z = q.z, w = q.w;
    Mat4 r;
    r.m[0][0] = 1 - 2 * (y * y + z * z);
    r.m[0][1] = 2 * (x * y + z * w);
    r.m[0][2] = 2 * (x * z - y * w);
    r.m[1][0] = 2 * (x * y - z * w);
    r.m[1][1] = 1 - 2 * (x * x + z * z);
    r.m[1][2] = 2 * (y * z + x * w);
    r.m[2][0] = 2 * (x * z + y * w);
    r.m[2][1] = 2 * (y * z - x * w);
    r.m[2][2] = 1 - 2 * (x * x + y * y);
    return r;
}

Mat4 Mat4::compose(const Vec3& position, const Quat& orientation, const Vec3& scale)
{
    // Most nodes are neither turned nor scaled: the product below would give exactly this.
    if (orientation.x == 0 && orientation.y == 0 && orientation.z == 0 && orientation.w == 1 && scale == Vec3{1, 1, 1})
        return translation(position);
    Mat4 r = rotation(orientation.normalized());
    const double s[3] = {scale.x, scale.y, scale.z};
    for (int c = 0; c < 3; ++c)
        for (int row = 0; row < 3; ++row)
            r.m[c][row] *= s[c];
    r.m[3][0] = position.x;
    r.m[3][1] = position.y;
    r.m[3][2] = position.z;
    return r;
}

Mat4 Mat4::operator*(const Mat4& o) const
{
    Mat4 r;
    for (int c = 0; c < 4; ++c)
        for (int row = 0; row < 4; ++row) {
            double s = 0;
            for (int k = 0; k < 4; ++k)
                s += m[k][row] * o.m[c][k];
            r.m[c][row] = s;
        }
    return r;
}

Vec3 Mat4::transformPoint(const Vec3& p) const
{
    const double x = m[0][0] * p.x + m[1][0] * p.y + m[2][0] * p.z + m[3][0];
    const double y = m[0][1] * p.x + m[1][1] * p.y + m[2][1] * p.z + m[3][1];
    const double z = m[0][2] * p.x + m[1][2] * p.y + m[2][2] * p.z + m[3][2];
    const double w = m[0][3] * p.x + m[1][3] * p.y + m[2][3] * p.z + m[3][3];
    if (w != 1.0 && w != 0.0 && std::isfinite(w))
        return {x / w, y / w, z / w};
    return {x, y, z};
}

Vec3 Mat4::transformDirection(const Vec3& d) const
{
    return {m[0][0] * d.x + m[1][0] * d.y + m[2][0] * d.z,
            m[0][1] * d.x + m[1][1] * d.y + m[2][1] * d.z,
            m[0][2] * d.x + m[1][2] * d.y + m[2][2] * d.z};
}

Mat4 Mat4::inverse() const
{
    // Cofactor expansion on the flattened column-major array.
    double a[16], inv[16];
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            a[c * 4 + r] = m[c][r];

    inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] + a[9] * a[7] * a[14] +
             a[13] * a[6] * a[11] - a[13] * a[7] * a[10];
    inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] - a[8] * a[7] * a[14] -
             a[12] * a[6] * a[11] + a[12] * a[7] * a[10];
    inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] + a[8] * a[7] * a[13] +
             a[12] * a[5] * a[11] - a[12] * a[7] * a[9];
    inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] - a[8] * a[6] * a[13] -
              a[12] * a[5] * a[10] + a[12] * a[6] * a[9];
    inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] - a[9] * a[3] * a[14] -
             a[13] * a[2] * a[11] + a[13] * a[3] * a[10];
    inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] + a[8] * a[3] * a[14] +
             a[12] * a[2] * a[11] - a[12] * a[3] * a[10];
    inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] - a[8] * a[3] * a[13] -
             a[12] * a[1] * a[11] + a[12] * a[3] * a[9];
    inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] + a[8] * a[2] * a[13] +
              a[12] * a[1] * a[10] - a[12] * a[2] * a[9];
    inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] + a[5] * a[3] * a[14] +
             a[13] * a[2] * a[7] - a[13] * a[3] * a[6];
    inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] - a[4] * a[3] * a[14] -
             a[12] * a[2] * a[7] + a[12] * a[3] * a[6];
    inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] + a[4] * a[3] * a[13] +
              a[12] * a[1] * a[7] - a[12] * a[3] * a[5];
    inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] - a[4] * a[2] * a[13] -
              a[12] * a[1] * a[6] + a[12] * a[2] * a[5];
    inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] - a[5] * a[3] * a[10] -
             a[9] * a[2] * a[7] + a[9] * a[3] * a[6];
    inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] + a[4] * a[3] * a[10] +
             a[8] * a[2] * a[7] - a[8] * a[3] * a[6];
    inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] - a[4] * a[3] * a[9] -
              a[8] * a[1] * a[7] + a[8] * a[3] * a[5];
    inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] + a[4] * a[2] * a[9] +
              a[8] * a[1] * a[6] - a[8] * a[2] * a[5];

    const double det = a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
    if (det == 0 || !std::isfinite(det))
        return identity();
    Mat4 r;
    for (int c = 0; c < 4; ++c)
        for (int row = 0; row < 4; ++row) {
            const double v = inv[c * 4 + row] / det;
            if (!std::isfinite(v))
                return identity();
            r.m[c][row] = v;
        }
    return r;
}

}  // namespace scene
