#include "render/OffscreenRenderer.h"
#include "scene/Image.h"
#include "scene/Primitives.h"
#include "scene/Projection.h"
#include "support/TestScenes.h"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

using namespace rendertest;
using scene::Color;
using scene::Vec3;

namespace {

constexpr QSize kSize(160, 120);

struct Fixture {
    scene::ScenePtr scene = scene::makeScene();
    scene::NodePtr eye = camera({0, -6, 0}, {0, 0, 0});
    Fixture()
    {
        scene->background.contents = Color{0.2, 0.3, 0.4, 1};
        scene->rootNode()->addChild(eye);
    }
    QImage draw(render::OffscreenRenderer& r, int samples = 4) { return r.render(*scene, *eye, kSize, samples); }
};

const QColor kBackground(51, 77, 102);

}  // namespace

TEST(OffscreenRenderer, ConstantRedBoxIsRedAtTheCentreWithTheBackgroundInTheCorners)
{
    Fixture f;
    f.scene->rootNode()->addChild(node(box(1, 1, 1, Color{1, 0, 0, 1})));
    f.eye->position = {4, -4, 3};
    f.eye->lookAt({0, 0, 0}, {0, 0, 1});
    render::OffscreenRenderer r;
    ASSERT_TRUE(r.isValid());
    const QImage img = f.draw(r);
    ASSERT_EQ(img.size(), kSize);
    EXPECT_TRUE(close(pixel(img, 80, 60), QColor(255, 0, 0))) << describe(pixel(img, 80, 60)).toStdString();
    for (QPoint p : {QPoint(0, 0), QPoint(159, 0), QPoint(0, 119), QPoint(159, 119)})
        EXPECT_TRUE(close(pixel(img, p.x(), p.y()), kBackground)) << describe(pixel(img, p.x(), p.y())).toStdString();
}

TEST(OffscreenRenderer, UnsetBackgroundStaysTransparent)
{
    Fixture f;
    f.scene->background.contents = Color::clear();
    f.scene->rootNode()->addChild(node(box(1, 1, 1, Color{0, 1, 0, 1})));
    render::OffscreenRenderer r;
    const QImage img = f.draw(r);
    EXPECT_EQ(pixel(img, 2, 2).alpha(), 0);
    EXPECT_TRUE(close(pixel(img, 80, 60), QColor(0, 255, 0)));
}

namespace {

// A quad facing the camera of Fixture (which looks along +Y).
scene::NodePtr facingQuad(scene::GeometryPtr g, Vec3 position)
{
    auto n = node(std::move(g), position);
    n->orientation = scene::Quat::fromAxisAngle({1, 0, 0}, scene::degToRad(90));
    return n;
}

QColor mix(const QColor& under, const QColor& over, double a)
{
    return QColor(int(std::lround(under.red() * (1 - a) + over.red() * a)),
                  int(std::lround(under.green() * (1 - a) + over.green() * a)),
                  int(std::lround(under.blue() * (1 - a) + over.blue() * a)));
}

}  // namespace

TEST(OffscreenRenderer, OverlayThatIgnoresDepthIsDrawnOverCloserGeometry)
{
    struct Case {
        bool readsDepth;
        QColor expected;
    };
    for (const Case& c : {Case{true, QColor(255, 0, 0)}, Case{false, QColor(0, 255, 0)}}) {
        Fixture f;
        f.scene->rootNode()->addChild(node(box(1, 1, 1, Color{1, 0, 0, 1})));
        auto behind = facingQuad(quad(0.5, Color{0, 1, 0, 1}), {0, 2, 0});
        behind->geometry->firstMaterial()->readsFromDepthBuffer = c.readsDepth;
        behind->geometry->firstMaterial()->writesToDepthBuffer = false;
        behind->renderingOrder = 10;
        f.scene->rootNode()->addChild(behind);
        render::OffscreenRenderer r;
        const QImage img = f.draw(r);
        EXPECT_TRUE(close(pixel(img, 80, 60), c.expected))
            << c.readsDepth << " " << describe(pixel(img, 80, 60)).toStdString();
    }
}

TEST(OffscreenRenderer, TransparencyIsMaterialTimesNodeTimesAncestorOpacity)
{
    struct Case {
        double transparency, opacity, parentOpacity;
    };
    for (const Case& c : {Case{0.5, 1, 1}, Case{1, 0.5, 1}, Case{0.5, 0.5, 1}, Case{1, 1, 0.5}, Case{1, 1, 1}}) {
        Fixture f;
        auto parent = scene::Node::make();
        parent->opacity = c.parentOpacity;
        auto n = node(box(1, 1, 1, Color{0, 0, 1, 1}));
        n->geometry->firstMaterial()->transparency = c.transparency;
        n->opacity = c.opacity;
        parent->addChild(n);
        f.scene->rootNode()->addChild(parent);
        render::OffscreenRenderer r;
        const QImage img = f.draw(r);
        const QColor expected = mix(kBackground, QColor(0, 0, 255), c.transparency * c.opacity * c.parentOpacity);
        EXPECT_TRUE(close(pixel(img, 80, 60), expected, 3))
            << c.transparency << " " << c.opacity << " " << c.parentOpacity << " got "
            << describe(pixel(img, 80, 60)).toStdString() << " want " << describe(expected).toStdString();
    }
}

TEST(OffscreenRenderer, TransparentSurfacesBlendBackToFrontOverOpaqueOnes)
{
    Fixture f;
    f.scene->rootNode()->addChild(node(box(1, 1, 1, Color{1, 0, 0, 1}), {0, 3, 0}));  // opaque, farthest
    auto nearGlass = facingQuad(quad(1, Color{0, 0, 1, 1}), {0, -1, 0});
    auto farGlass = facingQuad(quad(1, Color{0, 1, 0, 1}), {0, 1, 0});
    for (const auto& g : {nearGlass, farGlass}) {
        g->geometry->firstMaterial()->transparency = 0.5;
        f.scene->rootNode()->addChild(g);  // near one added first: order must come from distance
    }
    render::OffscreenRenderer r;
    const QImage img = f.draw(r);
    const QColor expected = mix(mix(QColor(255, 0, 0), QColor(0, 255, 0), 0.5), QColor(0, 0, 255), 0.5);
    EXPECT_TRUE(close(pixel(img, 80, 60), expected, 3)) << describe(pixel(img, 80, 60)).toStdString();
}

TEST(OffscreenRenderer, BackFacesAreCulledUnlessDoubleSided)
{
    for (bool doubleSided : {false, true}) {
        Fixture f;
        auto q = node(quad(1, Color{1, 1, 0, 1}));
        q->orientation = scene::Quat::fromAxisAngle({1, 0, 0}, scene::degToRad(-90));  // facing away (+Y)
        q->geometry->firstMaterial()->doubleSided = doubleSided;
        f.scene->rootNode()->addChild(q);
        render::OffscreenRenderer r;
        const QImage img = f.draw(r);
        EXPECT_TRUE(close(pixel(img, 80, 60), doubleSided ? QColor(255, 255, 0) : kBackground))
            << doubleSided << " " << describe(pixel(img, 80, 60)).toStdString();
    }
}

TEST(OffscreenRenderer, LightingModelsLightsAndEmission)
{
    struct Case {
        const char* what;
        scene::LightingModel model;
        Color diffuse, emission;
        double directional, ambient;  // intensities, -1 for no such light; the sun shines along the view
        QColor expected;
    };
    const Case cases[] = {
        {"constant ignores lights", scene::LightingModel::Constant, {0.4, 0.6, 0.8, 1}, Color::black(), 1000, 0,
         QColor(102, 153, 204)},
        {"constant adds emission", scene::LightingModel::Constant, {0.4, 0, 0, 1}, {0, 0.4, 0, 1}, 0, 0,
         QColor(102, 102, 0)},
        {"lambert, full sun head-on", scene::LightingModel::Lambert, {1, 0.5, 1, 1}, Color::black(), 1000, 0,
         QColor(255, 128, 255)},
        {"lambert, ambient only", scene::LightingModel::Lambert, {1, 1, 1, 1}, Color::black(), 0, 500,
         QColor(128, 128, 128)},
        {"lambert, lights at zero intensity give black", scene::LightingModel::Lambert, {1, 1, 1, 1},
         Color::black(), 0, 0, QColor(0, 0, 0)},
        {"no lights at all: drawn unlit", scene::LightingModel::Lambert, {0.2, 0.4, 0.6, 1}, Color::black(), -1, -1,
         QColor(51, 102, 153)},
        {"lambert, emission without light", scene::LightingModel::Lambert, Color::black(), {0, 0.5, 0, 1}, 0, 0,
         QColor(0, 128, 0)},
        {"phong, sun and ambient", scene::LightingModel::Phong, {0.5, 0.5, 0.5, 1}, Color::black(), 500, 500,
         QColor(128, 128, 128)},
    };
    for (const Case& c : cases) {
        Fixture f;
        auto q = facingQuad(quad(2, c.diffuse, c.model), {0, 0, 0});
        q->geometry->firstMaterial()->emission.contents = c.emission;
        f.scene->rootNode()->addChild(q);
        if (c.directional >= 0)
            f.scene->rootNode()->addChild(directionalLight({0, 1, 0}, c.directional));
        if (c.ambient >= 0)
            f.scene->rootNode()->addChild(ambientLight(c.ambient));
        render::OffscreenRenderer r;
        const QImage img = f.draw(r);
        // Phong adds a small highlight where the sun reflects straight back: look beside it.
        const QColor got = pixel(img, 80, c.model == scene::LightingModel::Phong ? 82 : 60);
        EXPECT_TRUE(close(got, c.expected, c.model == scene::LightingModel::Phong ? 16 : 3))
            << c.what << ": " << describe(got).toStdString();
    }
}

TEST(OffscreenRenderer, ShadowOfTheSunDarkensTheFloorBehindABox)
{
    auto brightness = [](bool shadows) {
        Fixture f;
        f.eye->position = {0, 0, 12};
        f.eye->lookAt({0, 0, 0}, {0, 1, 0});
        f.scene->rootNode()->addChild(node(quad(20, Color{1, 1, 1, 1}, scene::LightingModel::Lambert)));
        f.scene->rootNode()->addChild(node(box(1, 1, 1, Color{1, 1, 1, 1}, scene::LightingModel::Lambert), {0, 0, 1}));
        f.scene->rootNode()->addChild(directionalLight({1, 0, -1}, 1000, shadows, 10));  // shadow falls to +X
        f.scene->rootNode()->addChild(ambientLight(200));
        render::OffscreenRenderer r;
        const QImage img = f.draw(r);
        const Vec3 shadowed{1.6, 0, 0}, lit{-1.6, 0, 0};
        auto at = [&](Vec3 w) {
            const Vec3 p = scene::projectPoint({f.eye.get(), QSizeF(kSize)}, w);
            return pixel(img, int(p.x), int(p.y)).lightness();
        };
        return std::pair{at(shadowed), at(lit)};
    };
    const auto [inShadow, inSun] = brightness(true);
    EXPECT_LT(inShadow, inSun * 0.75);
    const auto [noShadow, sunAgain] = brightness(false);
    EXPECT_NEAR(noShadow, sunAgain, 3);
    EXPECT_NEAR(sunAgain, inSun, 3);
}

TEST(OffscreenRenderer, TexturesRepeatOrClampWithTheContentsScale)
{
    QImage halves(64, 64, QImage::Format_ARGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            halves.setPixelColor(x, y, x < 32 ? QColor(255, 0, 0) : QColor(0, 0, 255));
    struct Case {
        scene::WrapMode wrap;
        QColor thirdQuarter;
    };
    for (const Case& c : {Case{scene::WrapMode::Repeat, QColor(255, 0, 0)}, Case{scene::WrapMode::Clamp, QColor(0, 0, 255)}}) {
        Fixture f;
        f.eye->position = {0, -3, 0};
        f.eye->lookAt({0, 0, 0}, {0, 0, 1});
        auto q = facingQuad(quad(2, Color::white()), {0, 0, 0});
        auto& diffuse = q->geometry->firstMaterial()->diffuse;
        diffuse.contents = halves;
        diffuse.wrapS = diffuse.wrapT = c.wrap;
        diffuse.scaleS = 2;
        f.scene->rootNode()->addChild(q);
        render::OffscreenRenderer r;
        const QImage img = f.draw(r);
        auto at = [&](double u) {
            const Vec3 p = scene::projectPoint({f.eye.get(), QSizeF(kSize)}, {-1 + 2 * u, 0, 0});
            return pixel(img, int(p.x), int(p.y));
        };
        EXPECT_TRUE(close(at(0.125), QColor(255, 0, 0))) << describe(at(0.125)).toStdString();
        EXPECT_TRUE(close(at(0.375), QColor(0, 0, 255))) << describe(at(0.375)).toStdString();
        EXPECT_TRUE(close(at(0.625), c.thirdQuarter)) << describe(at(0.625)).toStdString();
    }
}

TEST(OffscreenRenderer, TextureCoordinateZeroIsTheImagesBottomRow)
{
    QImage img(8, 8, QImage::Format_ARGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            img.setPixelColor(x, y, y < 4 ? QColor(0, 255, 0) : QColor(255, 255, 0));  // top green
    Fixture f;
    f.eye->position = {0, -3, 0};
    f.eye->lookAt({0, 0, 0}, {0, 0, 1});
    auto q = facingQuad(quad(2, Color::white()), {0, 0, 0});  // v grows with world +Z here
    q->geometry->firstMaterial()->diffuse.contents = img;
    f.scene->rootNode()->addChild(q);
    render::OffscreenRenderer r;
    const QImage out = f.draw(r);
    const Vec3 top = scene::projectPoint({f.eye.get(), QSizeF(kSize)}, {0, 0, 0.6});
    const Vec3 bottom = scene::projectPoint({f.eye.get(), QSizeF(kSize)}, {0, 0, -0.6});
    EXPECT_TRUE(close(pixel(out, int(top.x), int(top.y)), QColor(0, 255, 0)));
    EXPECT_TRUE(close(pixel(out, int(bottom.x), int(bottom.y)), QColor(255, 255, 0)));
}

TEST(OffscreenRenderer, BackgroundImageIsStretchedOverTheView)
{
    Fixture f;
    f.scene->background.contents = std::make_shared<scene::DrawnImage>(
        QSizeF(4, 512), false, [](QPainter& p, const QRectF& r) {
            p.fillRect(QRectF(r.x(), r.y(), r.width(), r.height() / 2), QColor(200, 0, 0));  // y up: bottom half
            p.fillRect(QRectF(r.x(), r.y() + r.height() / 2, r.width(), r.height() / 2), QColor(0, 0, 200));
            return true;
        });
    render::OffscreenRenderer r;
    const QImage img = f.draw(r);
    EXPECT_TRUE(close(pixel(img, 3, 118), QColor(200, 0, 0))) << describe(pixel(img, 3, 118)).toStdString();
    EXPECT_TRUE(close(pixel(img, 156, 1), QColor(0, 0, 200))) << describe(pixel(img, 156, 1)).toStdString();
}

TEST(OffscreenRenderer, BillboardTurnsToFaceTheCamera)
{
    for (bool billboard : {false, true}) {
        Fixture f;
        auto q = node(quad(1, Color{1, 0, 1, 1}));  // faces +Z: edge-on to the camera, which looks along +Y
        q->billboard = billboard;
        f.scene->rootNode()->addChild(q);
        render::OffscreenRenderer r;
        const QImage img = f.draw(r);
        EXPECT_TRUE(close(pixel(img, 80, 50), billboard ? QColor(255, 0, 255) : kBackground))
            << billboard << " " << describe(pixel(img, 80, 50)).toStdString();
    }
}

TEST(OffscreenRenderer, LineElementsAreDrawn)
{
    Fixture f;
    const std::vector<scene::Vec3f> pts{{-3, 0, 0}, {3, 0, 0}};
    const std::vector<std::int32_t> idx{0, 1};
    auto g = scene::makeLineGeometry(pts, idx);
    auto m = scene::makeMaterial();
    m->diffuse.contents = Color{0, 1, 0, 1};
    m->lightingModel = scene::LightingModel::Constant;
    g->materials = {m};
    f.scene->rootNode()->addChild(node(g));
    render::OffscreenRenderer r;
    const QImage img = f.draw(r, 0);
    bool found = false;
    for (int y = 57; y <= 62; ++y)
        found = found || close(pixel(img, 80, y), QColor(0, 255, 0), 10);
    EXPECT_TRUE(found);
}

namespace {

// The same geometry with every vertex moved by `offset` (in single precision, as loaded models are).
scene::GeometryPtr shifted(const scene::GeometryPtr& g, Vec3 offset)
{
    const scene::GeometrySource* v = g->source(scene::GeometrySource::Semantic::Vertex);
    const scene::GeometrySource* n = g->source(scene::GeometrySource::Semantic::Normal);
    std::vector<scene::Vec3f> points, normals;
    for (int i = 0; i < v->vectorCount; ++i) {
        const scene::Vec3f p = *v->vectorAt(i);
        points.push_back({float(p.x + offset.x), float(p.y + offset.y), float(p.z + offset.z)});
        normals.push_back(*n->vectorAt(i));
    }
    auto out = scene::makeTriangleGeometry(points, g->elements().front().indices, normals);
    out->materials = g->materials;
    return out;
}

}  // namespace

TEST(OffscreenRenderer, FarFromTheOriginLooksTheSameAsAtTheOrigin)
{
    // Placed far away by the node's position (double) or by the vertices themselves (float).
    auto draw = [](Vec3 offset, bool inVertices) {
        Fixture f;
        for (int i = 0; i < 3; ++i) {
            auto g = box(3, 3, 3, Color{0.8, 0.8, 0.8, 1}, scene::LightingModel::Lambert);
            const Vec3 at = offset + Vec3{4.0 * i, 3.5 * i, 0.2 * i};
            f.scene->rootNode()->addChild(inVertices ? node(shifted(g, at)) : node(g, at));
        }
        f.scene->rootNode()->addChild(directionalLight({0.3, 1, -0.5}, 800, true, 40));
        f.scene->rootNode()->addChild(ambientLight(300));
        f.eye->position = offset + Vec3{15, -25, 12};
        f.eye->lookAt(offset + Vec3{4, 3.5, 0}, {0, 0, 1});
        render::OffscreenRenderer r;
        return f.draw(r).convertToFormat(QImage::Format_ARGB32);
    };
    const QImage here = draw({0, 0, 0}, false);
    for (bool inVertices : {false, true}) {
        const QImage far = draw({500000, 300000, 300}, inVertices);
        int differing = 0;
        for (int y = 0; y < here.height(); ++y)
            for (int x = 0; x < here.width(); ++x)
                differing += !close(here.pixelColor(x, y), far.pixelColor(x, y), 8);
        EXPECT_LE(differing, here.width() * here.height() / 100) << inVertices;
    }
}

TEST(OffscreenRenderer, GpuBuffersAreKeptPerGeometryAndReleasedWithIt)
{
    Fixture f;
    auto shared = box(1, 1, 1, Color{1, 0, 0, 1});
    auto a = node(shared, {-1, 0, 0});
    auto b = node(shared, {1, 0, 0});
    f.scene->rootNode()->addChild(a);
    f.scene->rootNode()->addChild(b);
    render::OffscreenRenderer r;
    f.draw(r);
    EXPECT_EQ(r.lastFrame().meshesUploaded, 1);
    f.draw(r);
    EXPECT_EQ(r.lastFrame().meshesUploaded, 0);
    EXPECT_EQ(r.cachedMeshCount(), 1);

    a->removeFromParent();
    b->removeFromParent();
    a.reset();
    b.reset();
    shared.reset();
    for (int i = 0; i < 31; ++i)  // released within a few frames
        f.draw(r);
    EXPECT_EQ(r.cachedMeshCount(), 0);
}

TEST(OffscreenRenderer, AMeshStaysDrawnWhenTheMeshesUploadedWithItAreGone)
{
    // Drawn for the first time in one frame, the three boxes share their GPU buffers; the large
    // blue one, last in them, starts past the small ones' vertices and indices.
    Fixture f;
    const Color colours[] = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}};
    const QColor seen[] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)};
    const double sizes[] = {0.4, 0.4, 1.2};
    auto column = [&f](const Vec3& at) {
        return int(std::lround(scene::projectPoint({f.eye.get(), QSizeF(kSize)}, at).x));
    };
    int columns[3];
    std::vector<scene::NodePtr> boxes;
    for (int i = 0; i < 3; ++i) {
        const Vec3 at{1.5 * (i - 1), 0, 0};
        boxes.push_back(node(box(sizes[i], sizes[i], sizes[i], colours[i]), at));
        f.scene->rootNode()->addChild(boxes.back());
        columns[i] = column(at);
    }
    const int blueEdge = column({1.5 + 0.45, 0, 0});  // inside the blue box only
    render::OffscreenRenderer r;
    QImage img = f.draw(r);
    EXPECT_EQ(r.lastFrame().meshesUploaded, 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(close(pixel(img, columns[i], 60), seen[i])) << describe(pixel(img, columns[i], 60)).toStdString();
    EXPECT_TRUE(close(pixel(img, blueEdge, 60), seen[2])) << describe(pixel(img, blueEdge, 60)).toStdString();

    for (int i = 0; i < 2; ++i)
        boxes[size_t(i)]->removeFromParent();
    boxes.erase(boxes.begin(), boxes.begin() + 2);
    for (int i = 0; i < 31; ++i)  // the others' meshes are released within a few frames
        img = f.draw(r);
    EXPECT_EQ(r.cachedMeshCount(), 1);
    for (int x : {columns[2], blueEdge})
        EXPECT_TRUE(close(pixel(img, x, 60), seen[2])) << describe(pixel(img, x, 60)).toStdString();
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(close(pixel(img, columns[i], 60), kBackground));
}

TEST(OffscreenRenderer, HiddenParentHidesItsSubtree)
{
    Fixture f;
    auto parent = scene::Node::make();
    parent->addChild(node(box(1, 1, 1, Color{1, 0, 0, 1})));
    f.scene->rootNode()->addChild(parent);
    parent->hidden = true;
    render::OffscreenRenderer r;
    EXPECT_TRUE(close(pixel(f.draw(r), 80, 60), kBackground));
}

TEST(OffscreenRenderer, MaskImageAlphaCutsTheSurface)
{
    QImage mask(8, 8, QImage::Format_ARGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            mask.setPixelColor(x, y, y < 4 ? QColor(255, 255, 255, 255) : QColor(255, 255, 255, 0));  // top kept
    Fixture f;
    f.eye->position = {0, -3, 0};
    f.eye->lookAt({0, 0, 0}, {0, 0, 1});
    auto q = facingQuad(quad(2, Color{1, 0, 0, 1}), {0, 0, 0});
    q->geometry->firstMaterial()->transparent.contents = mask;
    f.scene->rootNode()->addChild(q);
    render::OffscreenRenderer r;
    const QImage out = f.draw(r);
    const Vec3 top = scene::projectPoint({f.eye.get(), QSizeF(kSize)}, {0, 0, 0.6});
    const Vec3 bottom = scene::projectPoint({f.eye.get(), QSizeF(kSize)}, {0, 0, -0.6});
    EXPECT_TRUE(close(pixel(out, int(top.x), int(top.y)), QColor(255, 0, 0)));
    EXPECT_TRUE(close(pixel(out, int(bottom.x), int(bottom.y)), kBackground));
}

TEST(OffscreenRenderer, TextLabelShowsItsGlyphsInTheMaterialColour)
{
    Fixture f;
    auto text = scene::makeText("HH", 1.0, 0.01);
    text->firstMaterial()->diffuse.contents = Color{1, 0, 0, 1};
    text->firstMaterial()->lightingModel = scene::LightingModel::Constant;
    const scene::Box b = text->localBounds();
    auto n = node(text);
    n->orientation = scene::Quat::fromAxisAngle({1, 0, 0}, scene::degToRad(90));  // text plane faces the camera
    n->position = {-b.center().x, 0, -b.center().y};
    f.scene->rootNode()->addChild(n);
    render::OffscreenRenderer r;
    const QImage img = f.draw(r);
    int red = 0, other = 0;
    for (int y = 40; y < 80; ++y)
        for (int x = 50; x < 110; ++x)
            (close(pixel(img, x, y), QColor(255, 0, 0), 20) ? red : other)++;
    EXPECT_GT(red, 50);
    EXPECT_GT(other, 50);  // between and around the strokes the background shows
}

TEST(OffscreenRenderer, MultisamplingSmoothsEdges)
{
    auto blended = [](int samples) {
        Fixture f;
        f.scene->background.contents = Color{1, 1, 1, 1};
        auto n = node(box(1.5, 1.5, 1.5, Color{0, 0, 0, 1}));
        n->orientation = scene::Quat::fromAxisAngle({0, 1, 0}, 0.4);  // slanted edges
        f.scene->rootNode()->addChild(n);
        render::OffscreenRenderer r;
        const QImage img = f.draw(r, samples);
        int count = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const int l = pixel(img, x, y).lightness();
                count += l > 20 && l < 235;
            }
        return count;
    };
    EXPECT_EQ(blended(0), 0);
    EXPECT_GT(blended(4), 40);
}

TEST(OffscreenRenderer, ModelInSiteCoordinatesMovesSmoothlyWithTheCamera)
{
    // Single-precision maths on the GPU would move a model at x = 500000 in steps of about 3 cm.
    const Vec3 site{500000, 300000, 0};
    auto silhouette = [&](Vec3 nudge, QPointF& expected) {
        Fixture f;
        f.scene->rootNode()->addChild(node(shifted(box(0.5, 0.5, 0.5, Color{1, 0, 0, 1}), site)));
        f.eye->position = site + Vec3{0.9, -1.1, 0.7} + nudge;
        f.eye->lookAt(site + Vec3{0, 0, 0.05}, {0, 0, 1});
        const Vec3 p = scene::projectPoint({f.eye.get(), QSizeF(kSize)}, site);
        expected = QPointF(p.x, p.y);
        render::OffscreenRenderer r;
        const QImage img = f.draw(r, 0).convertToFormat(QImage::Format_ARGB32);
        double sx = 0, sy = 0, n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (close(img.pixelColor(x, y), QColor(255, 0, 0), 30)) {
                    sx += x;
                    sy += y;
                    ++n;
                }
        return QPointF(sx / n, sy / n);
    };
    QPointF expected0;
    const QPointF start = silhouette({0, 0, 0}, expected0);
    double worst = 0;
    for (int step = 1; step <= 8; ++step) {
        QPointF expected;
        const QPointF c = silhouette({0.005 * step, 0.003 * step, 0}, expected);
        const QPointF error = (c - start) - (expected - expected0);
        worst = std::max({worst, std::abs(error.x()), std::abs(error.y())});
    }
    EXPECT_LT(worst, 0.4);
}

TEST(OffscreenRenderer, ShadowMapIsDrawnAgainOnlyWhenWhatCastsShadowsChanges)
{
    Fixture f;
    auto caster = node(box(1, 1, 1, Color{1, 1, 1, 1}, scene::LightingModel::Lambert));
    f.scene->rootNode()->addChild(caster);
    f.scene->rootNode()->addChild(node(quad(10, Color{1, 1, 1, 1}, scene::LightingModel::Lambert), {0, 0, -0.5}));
    auto marker = node(box(0.2, 0.2, 0.2, Color{1, 1, 0, 1}), {1, 1, 1});  // drawn over the model, as hover rings are
    marker->geometry->firstMaterial()->readsFromDepthBuffer = false;
    marker->geometry->firstMaterial()->writesToDepthBuffer = false;
    f.scene->rootNode()->addChild(marker);
    f.scene->rootNode()->addChild(directionalLight({0.3, 0.4, -1}, 900, true, 10));
    render::OffscreenRenderer r;
    f.draw(r);
    EXPECT_TRUE(r.lastFrame().shadowMapRendered);

    struct Step {
        const char* what;
        std::function<void()> change;
        bool redrawn;
    };
    const Step steps[] = {
        {"nothing", [] {}, false},
        {"camera moved", [&] { f.eye->position.x += 0.5; }, false},
        {"marker moved", [&] { marker->position.x += 0.5; }, false},
        {"marker replaced", [&] { marker->geometry = marker->geometry->copy(); }, false},
        {"caster moved", [&] { caster->position.z += 0.1; }, true},
        {"caster hidden", [&] { caster->hidden = true; }, true},
        {"light turned", [&] { f.scene->rootNode()->children().back()->lookAt({0.4, 0.3, -1}, {0, 0, 1}); }, true},
    };
    for (const Step& s : steps) {
        s.change();
        f.draw(r);
        EXPECT_EQ(r.lastFrame().shadowMapRendered, s.redrawn) << s.what;
    }
}
