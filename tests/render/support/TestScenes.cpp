#include "TestScenes.h"

#include <cstdlib>
#include <vector>

namespace rendertest {

using scene::Vec3f;

namespace {

scene::GeometryPtr withMaterial(scene::GeometryPtr g, scene::Color colour, scene::LightingModel model)
{
    auto m = scene::makeMaterial();
    m->diffuse.contents = colour;
    m->lightingModel = model;
    g->materials = {m};
    return g;
}

}  // namespace

scene::GeometryPtr box(double sx, double sy, double sz, scene::Color colour, scene::LightingModel model)
{
    const float x = float(sx / 2), y = float(sy / 2), z = float(sz / 2);
    struct Face {
        Vec3f n, u, v;  // normal and the two in-plane half axes (u x v = n)
    };
    const Face faces[6] = {
        {{1, 0, 0}, {0, y, 0}, {0, 0, z}},  {{-1, 0, 0}, {0, 0, z}, {0, y, 0}},
        {{0, 1, 0}, {0, 0, z}, {x, 0, 0}},  {{0, -1, 0}, {x, 0, 0}, {0, 0, z}},
        {{0, 0, 1}, {x, 0, 0}, {0, y, 0}},  {{0, 0, -1}, {0, y, 0}, {x, 0, 0}},
    };
    std::vector<Vec3f> points, normals;
    std::vector<std::int32_t> indices;
    for (const Face& f : faces) {
        const Vec3f c{f.n.x * x, f.n.y * y, f.n.z * z};
        const int base = int(points.size());
        for (int k = 0; k < 4; ++k) {
            const float su = (k == 1 || k == 2) ? 1.f : -1.f;
            const float sv = (k >= 2) ? 1.f : -1.f;
            points.push_back({c.x + su * f.u.x + sv * f.v.x, c.y + su * f.u.y + sv * f.v.y,
                              c.z + su * f.u.z + sv * f.v.z});
            normals.push_back(f.n);
        }
        for (int i : {0, 1, 2, 0, 2, 3})
            indices.push_back(base + i);
    }
    return withMaterial(scene::makeTriangleGeometry(points, indices, normals), colour, model);
}

scene::GeometryPtr quad(double side, scene::Color colour, scene::LightingModel model)
{
    const float h = float(side / 2);
    const std::vector<Vec3f> points{{-h, -h, 0}, {h, -h, 0}, {h, h, 0}, {-h, h, 0}};
    const std::vector<Vec3f> normals(4, Vec3f{0, 0, 1});
    const std::vector<float> uv{0, 0, 1, 0, 1, 1, 0, 1};
    const std::vector<std::int32_t> indices{0, 1, 2, 0, 2, 3};
    auto g = std::make_shared<scene::Geometry>(
        std::vector<scene::GeometrySource>{scene::GeometrySource::vertices(points),
                                           scene::GeometrySource::normals(normals),
                                           scene::GeometrySource::texCoords(uv)},
        std::vector<scene::GeometryElement>{{scene::GeometryElement::Primitive::Triangles, indices}});
    return withMaterial(g, colour, model);
}

scene::NodePtr node(scene::GeometryPtr geometry, scene::Vec3 position)
{
    auto n = scene::Node::make(std::move(geometry));
    n->position = position;
    return n;
}

scene::NodePtr camera(scene::Vec3 eye, scene::Vec3 target, double fieldOfView, double zNear, double zFar)
{
    auto n = scene::Node::make();
    auto c = std::make_shared<scene::Camera>();
    c->fieldOfView = fieldOfView;
    c->zNear = zNear;
    c->zFar = zFar;
    n->camera = c;
    n->position = eye;
    n->lookAt(target, {0, 0, 1}, {0, 0, -1});
    return n;
}

scene::NodePtr directionalLight(scene::Vec3 direction, double intensity, bool shadows, double orthographicScale)
{
    auto n = scene::Node::make();
    auto l = std::make_shared<scene::Light>();
    l->type = scene::Light::Type::Directional;
    l->intensity = intensity;
    l->castsShadow = shadows;
    l->orthographicScale = orthographicScale;
    l->shadowRadius = 2;
    l->shadowSampleCount = 8;
    l->shadowColor = {0, 0, 0, 0.6};
    n->light = l;
    n->lookAt(direction, {0, 0, 1}, {0, 0, -1});
    return n;
}

scene::NodePtr ambientLight(double intensity)
{
    auto n = scene::Node::make();
    auto l = std::make_shared<scene::Light>();
    l->type = scene::Light::Type::Ambient;
    l->intensity = intensity;
    n->light = l;
    return n;
}

QColor pixel(const QImage& image, int x, int y)
{
    return image.convertToFormat(QImage::Format_ARGB32).pixelColor(x, y);
}

bool close(const QColor& a, const QColor& b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

QString describe(const QColor& c)
{
    return QString("rgba(%1, %2, %3, %4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alpha());
}

}  // namespace rendertest
