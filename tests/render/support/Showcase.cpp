#include "Showcase.h"

#include "TestScenes.h"

#include "scene/Image.h"
#include "scene/Primitives.h"

#include <QLinearGradient>
#include <QPainter>
#include <cmath>

namespace rendertest {

using scene::Color;
using scene::Vec3;

namespace {

scene::MaterialPtr material(Color c, scene::LightingModel model = scene::LightingModel::Phong)
{
    auto m = scene::makeMaterial();
    m->diffuse.contents = c;
    m->lightingModel = model;
    return m;
}

QImage gridImage()
{
    QImage img(64, 64, QImage::Format_ARGB32);
    img.fill(QColor(255, 255, 255, 0));
    QPainter p(&img);
    p.setPen(QPen(QColor(255, 255, 255, 150), 2));
    p.drawLine(0, 0, 63, 0);
    p.drawLine(0, 0, 0, 63);
    return img;
}

}  // namespace

Showcase makeShowcase(Vec3 origin)
{
    Showcase s;
    s.scene = scene::makeScene();
    const scene::NodePtr& root = s.scene->rootNode();

    s.scene->background.contents = std::make_shared<scene::DrawnImage>(
        QSizeF(4, 512), false, [](QPainter& p, const QRectF& r) {
            QLinearGradient g(r.bottomLeft(), r.topLeft());  // y up: first colour at the bottom
            g.setColorAt(0, QColor::fromRgbF(0.68f, 0.64f, 0.84f));
            g.setColorAt(1, QColor::fromRgbF(0.93f, 0.91f, 0.97f));
            p.fillRect(r, g);
            return true;
        });

    auto concrete = material({0.75, 0.75, 0.75, 1});
    auto wall = material({0.86, 0.80, 0.70, 1});
    auto steel = material({0.45, 0.55, 0.65, 1});
    auto glass = material({0.55, 0.75, 0.9, 1});
    glass->transparency = 0.35;
    glass->doubleSided = true;

    auto addBox = [&](Vec3 centre, Vec3 size, const scene::MaterialPtr& m) {
        auto g = box(size.x, size.y, size.z, Color::white());
        g->materials = {m};
        auto n = node(g, origin + centre);
        root->addChild(n);
        ++s.boxCount;
        return n;
    };

    const int nx = 6, ny = 4, storeys = 4;
    const double bay = 6, height = 3.6;
    const double w = (nx - 1) * bay, d = (ny - 1) * bay;
    for (int k = 0; k < storeys; ++k) {
        const double z0 = k * height;
        addBox({w / 2, d / 2, z0 + 0.15}, {w + 1.2, d + 1.2, 0.3}, concrete);
        for (int i = 0; i < nx; ++i)
            for (int j = 0; j < ny; ++j)
                addBox({i * bay, j * bay, z0 + 0.3 + (height - 0.3) / 2}, {0.4, 0.4, height - 0.3}, concrete);
        for (int i = 0; i < nx; ++i)
            addBox({i * bay, d / 2, z0 + height - 0.25}, {0.3, d, 0.5}, steel);
        for (int j = 0; j < ny; ++j)
            addBox({w / 2, j * bay, z0 + height - 0.25}, {w, 0.3, 0.5}, steel);
        // Back wall and side walls with glass between.
        for (int i = 0; i + 1 < nx; ++i) {
            addBox({i * bay + bay / 2, d + 0.4, z0 + 0.3 + 0.5}, {bay - 0.4, 0.25, 1.0}, wall);
            auto pane = addBox({i * bay + bay / 2, d + 0.4, z0 + 0.3 + 1.0 + 0.9}, {bay - 0.4, 0.05, 1.8}, glass);
            if (k == 1 && i == 2)
                s.glass = pane;
        }
        for (int j = 0; j + 1 < ny; ++j)
            for (double x : {-0.4, w + 0.4})
                addBox({x, j * bay + bay / 2, z0 + 0.3 + (height - 0.8) / 2}, {0.25, bay - 0.4, height - 0.8}, wall);
        // Stair-like blocks in the core.
        for (int t = 0; t < 10; ++t)
            addBox({w / 2 - 1.5 + t * 0.3, d / 2, z0 + 0.3 + t * 0.17 + 0.085}, {0.3, 1.2, 0.17}, concrete);
    }
    s.centre = origin + Vec3{w / 2, d / 2, storeys * height / 2};

    // Floor: translucent violet, a light grid of one unit per cell.
    auto floorGeometry = quad(200, Color{0.55, 0.5, 0.8, 1}, scene::LightingModel::Lambert);
    auto floorMaterial = floorGeometry->firstMaterial();
    floorMaterial->transparency = 0.7;
    floorMaterial->doubleSided = true;
    floorMaterial->emission.contents = gridImage();
    floorMaterial->emission.wrapS = floorMaterial->emission.wrapT = scene::WrapMode::Repeat;
    floorMaterial->emission.scaleS = floorMaterial->emission.scaleT = 200;
    auto floor = node(floorGeometry, origin + Vec3{w / 2, d / 2, -0.02});
    floor->name = "_QUELVA_Piso";
    root->addChild(floor);

    // Sun and ambient light as the viewport sets them up.
    s.sun = directionalLight({0.5, 0.5, -0.7}, 900, true, 40);
    s.sun->light->shadowRadius = 5;
    s.sun->light->shadowSampleCount = 16;
    s.sun->light->shadowColor = {0, 0, 0, 0.45};
    root->addChild(s.sun);
    root->addChild(ambientLight(350));

    // Overlay line across the building, drawn over the model.
    const std::vector<scene::Vec3f> pts{{0, 0, 0}, {float(w), float(d), float(storeys * height)}};
    const std::vector<std::int32_t> idx{0, 1};
    auto line = scene::makeLineGeometry(pts, idx);
    auto lm = material({0.2, 0.9, 0.3, 1}, scene::LightingModel::Constant);
    lm->emission.contents = Color{0.2, 0.9, 0.3, 1};
    lm->readsFromDepthBuffer = false;
    lm->writesToDepthBuffer = false;
    line->materials = {lm};
    s.overlay = node(line, origin);
    s.overlay->renderingOrder = 10;
    root->addChild(s.overlay);

    // A billboard label over the building, as measurements label their lines.
    auto text = scene::makeText("12,40 m", 1.2, 0.01);
    text->firstMaterial()->diffuse.contents = Color{0.1, 0.1, 0.15, 1};
    text->firstMaterial()->lightingModel = scene::LightingModel::Constant;
    text->firstMaterial()->readsFromDepthBuffer = false;
    auto holder = scene::Node::make();
    holder->billboard = true;
    holder->position = origin + Vec3{w / 2, d / 2, storeys * height + 2};
    holder->renderingOrder = 11;
    auto label = node(text, -text->localBounds().center());
    label->renderingOrder = 11;
    holder->addChild(label);
    root->addChild(holder);

    const double r = std::max(w, d) + 4;
    s.camera = camera(s.centre + Vec3{r, -r, r * 0.8}, s.centre, 60, 0.05, 100 * r);
    root->addChild(s.camera);
    return s;
}

}  // namespace rendertest
