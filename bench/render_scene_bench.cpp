// Frame time of the OpenGL renderer on a large scene: 2,000 nodes of 500 triangles each
// (1,000,000 triangles) far from the origin, sun with shadows and ambient light, 1280 x 800,
// 4x multisampling. Needs a display (run under xvfb-run for Mesa's software renderer).

#include "render/SceneRenderer.h"
#include "scene/Light.h"
#include "scene/Material.h"
#include "scene/Scene.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLFramebufferObject>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>

namespace {

constexpr int kNodes = 2000;
constexpr int kSegments = 125;  // 250 side + 250 cap triangles per node
const QSize kFrame(1280, 800);

scene::GeometryPtr column(double radius, double height, scene::Color colour)
{
    std::vector<scene::Vec3f> pts, normals;
    std::vector<std::int32_t> idx;
    for (int i = 0; i < kSegments; ++i) {
        const double a = 2 * scene::kPi * i / kSegments;
        const float c = float(std::cos(a)), s = float(std::sin(a));
        for (float z : {0.f, float(height)}) {
            pts.push_back({float(radius) * c, float(radius) * s, z});
            normals.push_back({c, s, 0});
        }
    }
    const int centreBottom = int(pts.size());
    pts.push_back({0, 0, 0});
    normals.push_back({0, 0, -1});
    const int centreTop = int(pts.size());
    pts.push_back({0, 0, float(height)});
    normals.push_back({0, 0, 1});
    for (int i = 0; i < kSegments; ++i) {
        const int j = (i + 1) % kSegments;
        const int b0 = 2 * i, t0 = 2 * i + 1, b1 = 2 * j, t1 = 2 * j + 1;
        idx.insert(idx.end(), {b0, b1, t1, b0, t1, t0, centreBottom, b1, b0, centreTop, t0, t1});
    }
    auto g = scene::makeTriangleGeometry(pts, idx, normals);
    auto m = scene::makeMaterial();
    m->diffuse.contents = colour;
    m->lightingModel = scene::LightingModel::Phong;
    g->materials = {m};
    return g;
}

struct BigScene {
    scene::ScenePtr scene = scene::makeScene();
    scene::NodePtr camera = scene::Node::make();
    scene::Vec3 centre;
    std::vector<scene::NodePtr> nodes;

    BigScene()
    {
        const scene::Vec3 origin{500000, 7000000, 0};
        scene->background.contents = scene::Color{0.85, 0.85, 0.92, 1};
        for (int i = 0; i < kNodes; ++i) {
            const int x = i % 50, y = i / 50;
            const double h = 2 + (i * 7919 % 13) * 0.5;
            auto n = scene::Node::make(column(0.4, h, {0.5 + 0.01 * (i % 40), 0.6, 0.7, 1}));
            n->position = origin + scene::Vec3{x * 2.0, y * 2.0, 0};
            scene->rootNode()->addChild(n);
            nodes.push_back(n);
        }
        centre = origin + scene::Vec3{49.0, 39.0, 4};
        auto sun = scene::Node::make();
        sun->light = std::make_shared<scene::Light>();
        sun->light->intensity = 900;
        sun->light->castsShadow = true;
        sun->light->shadowRadius = 5;
        sun->light->shadowSampleCount = 16;
        sun->light->shadowColor = {0, 0, 0, 0.45};
        sun->light->orthographicScale = 150;
        sun->lookAt({0.5, 0.5, -0.7}, {0, 0, 1});
        scene->rootNode()->addChild(sun);
        auto ambient = scene::Node::make();
        ambient->light = std::make_shared<scene::Light>();
        ambient->light->type = scene::Light::Type::Ambient;
        ambient->light->intensity = 350;
        scene->rootNode()->addChild(ambient);
        camera->camera = std::make_shared<scene::Camera>();
        camera->camera->zNear = 0.1;
        camera->camera->zFar = 10000;
        camera->position = centre + scene::Vec3{100, -100, 100};
        camera->lookAt(centre, {0, 0, 1});
    }
};

struct Gl {
    QOffscreenSurface surface;
    QOpenGLContext context;
    std::unique_ptr<render::SceneRenderer> renderer;
    std::unique_ptr<QOpenGLFramebufferObject> target;

    Gl()
    {
        QSurfaceFormat f;
        f.setVersion(3, 3);
        f.setProfile(QSurfaceFormat::CoreProfile);
        context.setFormat(f);
        context.create();
        surface.setFormat(context.format());
        surface.create();
        context.makeCurrent(&surface);
        renderer = std::make_unique<render::SceneRenderer>();
        target = std::make_unique<QOpenGLFramebufferObject>(kFrame);
    }
    ~Gl()
    {
        context.makeCurrent(&surface);
        target.reset();
        renderer.reset();
        context.doneCurrent();
    }
    void frame(const BigScene& s, int samples = 4)
    {
        render::FrameRequest r;
        r.scene = s.scene.get();
        r.pointOfView = s.camera.get();
        r.pixelSize = kFrame;
        r.samples = samples;
        r.shadowCentre = s.centre;
        renderer->render(r, target->handle());
        context.extraFunctions()->glFinish();
    }
};

BigScene& bigScene()
{
    static BigScene s;
    return s;
}

// The camera turns a little every frame, as while the user orbits: the shadow map is kept.
// Argument: multisampling samples.
void BM_OrbitFrame(benchmark::State& state)
{
    BigScene& s = bigScene();
    Gl gl;
    const int samples = int(state.range(0));
    gl.frame(s, samples);  // uploads
    double angle = 0;
    for (auto _ : state) {
        angle += 0.01;
        s.camera->position = s.centre + scene::Vec3{141 * std::cos(angle), 141 * std::sin(angle), 100};
        s.camera->lookAt(s.centre, {0, 0, 1});
        gl.frame(s, samples);
    }
    state.counters["drawCalls"] = gl.renderer->lastFrame().drawCalls;
    state.counters["shadowRedrawn"] = gl.renderer->lastFrame().shadowMapRendered;
}
BENCHMARK(BM_OrbitFrame)->Arg(4)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// A node moves every frame: the shadow map is drawn again too.
void BM_FrameWithShadowPass(benchmark::State& state)
{
    BigScene& s = bigScene();
    Gl gl;
    gl.frame(s);
    int i = 0;
    for (auto _ : state) {
        s.nodes[0]->position.z = (++i % 2) * 0.01;
        gl.frame(s);
    }
    state.counters["shadowRedrawn"] = gl.renderer->lastFrame().shadowMapRendered;
}
BENCHMARK(BM_FrameWithShadowPass)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// First frame of a fresh renderer: packing and uploading every geometry.
void BM_FirstFrameWithUpload(benchmark::State& state)
{
    BigScene& s = bigScene();
    for (auto _ : state) {
        Gl gl;
        gl.frame(s);
        state.counters["meshesUploaded"] = gl.renderer->lastFrame().meshesUploaded;
    }
}
BENCHMARK(BM_FirstFrameWithUpload)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
