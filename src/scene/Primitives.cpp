#include "scene/Primitives.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace scene {

namespace {

// Vertices with normals and texture coordinates, and one triangle list.
struct MeshBuilder {
    std::vector<Vec3f> positions, normals;
    std::vector<float> uv;
    std::vector<std::int32_t> indices;

    std::int32_t vertex(const Vec3& p, const Vec3& n, double u, double v)
    {
        positions.push_back(toFloat(p));
        normals.push_back(toFloat(normalized(n)));
        uv.push_back(float(u));
        uv.push_back(float(v));
        return std::int32_t(positions.size() - 1);
    }
    void triangle(std::int32_t a, std::int32_t b, std::int32_t c) { indices.insert(indices.end(), {a, b, c}); }

    GeometryPtr build()
    {
        std::vector<GeometrySource> sources{GeometrySource::vertices(positions), GeometrySource::normals(normals),
                                            GeometrySource::texCoords(uv)};
        GeometryElement element;
        element.primitive = GeometryElement::Primitive::Triangles;
        element.indices = std::move(indices);
        auto g = std::make_shared<Geometry>(std::move(sources), std::vector<GeometryElement>{std::move(element)});
        g->materials.push_back(makeMaterial());
        return g;
    }
};

double extent(double v)
{
    return std::isfinite(v) && v > 0 ? v : 0.0;
}

int segmentsOf(int n, int minimum)
{
    return std::clamp(n, minimum, 1024);
}

}  // namespace

GeometryPtr makeBox(double width, double height, double length)
{
    const Vec3 h{extent(width) / 2, extent(height) / 2, extent(length) / 2};
    MeshBuilder m;
    // Per face: outward normal and two in-face axes with u x v = normal (counter-clockwise outside).
    struct Face {
        Vec3 n, u, v;
    } faces[] = {
        {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},  {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
        {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}}, {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
        {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}}, {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
    };
    auto scaled = [&](const Vec3& a) { return Vec3{a.x * h.x, a.y * h.y, a.z * h.z}; };
    for (const Face& f : faces) {
        const Vec3 c = scaled(f.n), u = scaled(f.u), v = scaled(f.v);
        const auto a = m.vertex(c - u - v, f.n, 0, 0);
        const auto b = m.vertex(c + u - v, f.n, 1, 0);
        const auto cc = m.vertex(c + u + v, f.n, 1, 1);
        const auto d = m.vertex(c - u + v, f.n, 0, 1);
        m.triangle(a, b, cc);
        m.triangle(a, cc, d);
    }
    return m.build();
}

GeometryPtr makeSphere(double radius, int segments)
{
    const double r = extent(radius);
    const int seg = segmentsOf(segments, 3);
    const int rings = std::max(2, seg / 2);
    MeshBuilder m;
    // Poles on the Y axis; theta from the top, phi around Y starting at +Z.
    for (int i = 0; i <= rings; ++i) {
        const double theta = kPi * i / rings;
        for (int j = 0; j <= seg; ++j) {
            const double phi = 2 * kPi * j / seg;
            const Vec3 n{std::sin(theta) * std::sin(phi), std::cos(theta), std::sin(theta) * std::cos(phi)};
            m.vertex(n * r, n, double(j) / seg, 1.0 - double(i) / rings);
        }
    }
    auto at = [&](int i, int j) { return std::int32_t(i * (seg + 1) + j); };
    for (int i = 0; i < rings; ++i)
        for (int j = 0; j < seg; ++j) {
            if (i != rings - 1)
                m.triangle(at(i, j), at(i + 1, j), at(i + 1, j + 1));
            if (i != 0)
                m.triangle(at(i, j), at(i + 1, j + 1), at(i, j + 1));
        }
    return m.build();
}

GeometryPtr makeCylinder(double radius, double height, int segments)
{
    const double r = extent(radius), h = extent(height) / 2;
    const int seg = segmentsOf(segments, 3);
    MeshBuilder m;
    // Side: bottom and top rows, phi around Y starting at +Z.
    for (int j = 0; j <= seg; ++j) {
        const double phi = 2 * kPi * j / seg;
        const Vec3 n{std::sin(phi), 0, std::cos(phi)};
        m.vertex({n.x * r, -h, n.z * r}, n, double(j) / seg, 0);
        m.vertex({n.x * r, h, n.z * r}, n, double(j) / seg, 1);
    }
    for (int j = 0; j < seg; ++j) {
        const std::int32_t a = 2 * j, d = 2 * j + 1, b = 2 * j + 2, c = 2 * j + 3;
        m.triangle(a, b, c);
        m.triangle(a, c, d);
    }
    // Caps.
    for (int side = 0; side < 2; ++side) {
        const double y = side == 0 ? h : -h;
        const Vec3 n{0, side == 0 ? 1.0 : -1.0, 0};
        const auto centre = m.vertex({0, y, 0}, n, 0.5, 0.5);
        const auto first = std::int32_t(m.positions.size());
        for (int j = 0; j <= seg; ++j) {
            const double phi = 2 * kPi * j / seg;
            m.vertex({std::sin(phi) * r, y, std::cos(phi) * r}, n, 0.5 + 0.5 * std::sin(phi), 0.5 + 0.5 * std::cos(phi));
        }
        for (int j = 0; j < seg; ++j) {
            if (side == 0)
                m.triangle(centre, first + j, first + j + 1);
            else
                m.triangle(centre, first + j + 1, first + j);
        }
    }
    return m.build();
}

GeometryPtr makeTorus(double ringRadius, double pipeRadius, int ringSegments, int pipeSegments)
{
    const double R = extent(ringRadius), r = extent(pipeRadius);
    const int nu = segmentsOf(ringSegments, 3), nv = segmentsOf(pipeSegments, 3);
    MeshBuilder m;
    // u around the Y axis (the ring in XZ), v around the pipe.
    for (int j = 0; j <= nu; ++j) {
        const double u = 2 * kPi * j / nu;
        for (int k = 0; k <= nv; ++k) {
            const double v = 2 * kPi * k / nv;
            const Vec3 n{std::cos(v) * std::sin(u), std::sin(v), std::cos(v) * std::cos(u)};
            const Vec3 p{(R + r * std::cos(v)) * std::sin(u), r * std::sin(v), (R + r * std::cos(v)) * std::cos(u)};
            m.vertex(p, n, double(j) / nu, double(k) / nv);
        }
    }
    auto at = [&](int j, int k) { return std::int32_t(j * (nv + 1) + k); };
    for (int j = 0; j < nu; ++j)
        for (int k = 0; k < nv; ++k) {
            m.triangle(at(j, k), at(j + 1, k), at(j + 1, k + 1));
            m.triangle(at(j, k), at(j + 1, k + 1), at(j, k + 1));
        }
    return m.build();
}

GeometryPtr makePlane(double width, double height, double cornerRadius)
{
    const double w = extent(width), h = extent(height);
    const double r = std::min(extent(cornerRadius), std::min(w, h) / 2);
    const Vec3 n{0, 0, 1};
    MeshBuilder m;
    auto vertexAt = [&](double x, double y) {
        return m.vertex({x, y, 0}, n, w > 0 ? x / w + 0.5 : 0.5, h > 0 ? y / h + 0.5 : 0.5);
    };
    if (r <= 0) {
        const auto a = vertexAt(-w / 2, -h / 2), b = vertexAt(w / 2, -h / 2);
        const auto c = vertexAt(w / 2, h / 2), d = vertexAt(-w / 2, h / 2);
        m.triangle(a, b, c);
        m.triangle(a, c, d);
        return m.build();
    }
    // Rounded rectangle: its outline counter-clockwise, fanned from the centre (it is convex).
    constexpr int kArc = 8;
    const double cx = w / 2 - r, cy = h / 2 - r;
    const struct {
        double x, y, start;
    } corners[] = {{cx, -cy, -kPi / 2}, {cx, cy, 0}, {-cx, cy, kPi / 2}, {-cx, -cy, kPi}};
    const auto centre = vertexAt(0, 0);
    const auto first = std::int32_t(m.positions.size());
    for (const auto& c : corners)
        for (int k = 0; k <= kArc; ++k) {
            const double a = c.start + kPi / 2 * k / kArc;
            vertexAt(c.x + r * std::cos(a), c.y + r * std::sin(a));
        }
    const auto count = std::int32_t(m.positions.size()) - first;
    for (std::int32_t k = 0; k < count; ++k)
        m.triangle(centre, first + k, first + (k + 1) % count);
    return m.build();
}

GeometryPtr makeText(const std::string& text, double fontSize, double extrusionDepth, const QFont& font)
{
    const double em = extent(fontSize);
    const double depth = extent(extrusionDepth);
    const QString qtext = QString::fromStdString(text);

    // The text is measured and later drawn with the font at this many pixels per em.
    constexpr int kPixelsPerEm = 64;
    QFont f = font;
    f.setPixelSize(kPixelsPerEm);
    double advance = 0, ascent = 0.928 * kPixelsPerEm, descent = 0.236 * kPixelsPerEm;  // DejaVu Sans
    const bool haveFonts = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    if (haveFonts) {
        const QFontMetricsF metrics(f);
        advance = metrics.horizontalAdvance(qtext);
        ascent = metrics.ascent();
        descent = metrics.descent();
    } else {
        // No font database without a GUI application: an estimate of the same font's size.
        advance = 0.6 * kPixelsPerEm * qtext.size();
    }

    const double w = advance / kPixelsPerEm * em;
    const double h = (ascent + descent) / kPixelsPerEm * em;
    if (qtext.isEmpty() || !(w > 0) || !(h > 0)) {
        auto g = std::make_shared<Geometry>();
        g->materials.push_back(makeMaterial());
        return g;
    }

    // Front face at z = depth facing +Z, back face at z = 0 facing -Z, both showing the mask.
    MeshBuilder m;
    const float z = float(depth);
    const auto a = m.vertex({0, 0, z}, {0, 0, 1}, 0, 0), b = m.vertex({w, 0, z}, {0, 0, 1}, 1, 0);
    const auto c = m.vertex({w, h, z}, {0, 0, 1}, 1, 1), d = m.vertex({0, h, z}, {0, 0, 1}, 0, 1);
    m.triangle(a, b, c);
    m.triangle(a, c, d);
    const auto a2 = m.vertex({0, 0, 0}, {0, 0, -1}, 0, 0), b2 = m.vertex({w, 0, 0}, {0, 0, -1}, 1, 0);
    const auto c2 = m.vertex({w, h, 0}, {0, 0, -1}, 1, 1), d2 = m.vertex({0, h, 0}, {0, 0, -1}, 0, 1);
    m.triangle(a2, c2, b2);
    m.triangle(a2, d2, c2);
    GeometryPtr g = m.build();

    const QSizeF imageSize(std::ceil(advance), std::ceil(ascent + descent));
    auto mask = std::make_shared<DrawnImage>(imageSize, true, [qtext, f, ascent](QPainter& p, const QRectF&) {
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            return false;  // text needs the font database of a GUI application
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QPointF(0, ascent), qtext);
        return true;
    });
    MaterialPtr material = g->firstMaterial();
    material->diffuse.contents = Color::white();
    material->transparent.contents = DrawnImagePtr(mask);
    return g;
}

}  // namespace scene
