// Frame time of the OpenGL renderer on a large scene: 2,000 nodes of 500 triangles each
// (1,000,000 triangles) far from the origin, sun with shadows and ambient light, 1280 x 800.
// Needs a display (run under xvfb-run for Mesa's software renderer).

#include "big_scene.h"
#include "render/SceneRenderer.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLFramebufferObject>
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <cmath>
#include <memory>

namespace {

using bench::BigScene;
const QSize kFrame(1280, 800);

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
    void frame(const BigScene& s, int samples = 4, bool moving = false, double scale = 1.0)
    {
        render::FrameRequest r;
        r.scene = s.scene.get();
        r.pointOfView = s.camera.get();
        r.pixelSize = kFrame;
        r.samples = samples;
        r.moving = moving;
        r.renderScale = scale;
        r.shadowCentre = s.centre;
        renderer->render(r, target->handle());
        context.extraFunctions()->glFinish();
    }
};

// CPU time of every thread of the process (the rasteriser's too), in milliseconds: on a busy
// machine the wall time says little, this says what a frame costs.
double processCpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (double(u.ru_utime.tv_sec) + double(u.ru_stime.tv_sec)) * 1000.0 +
           (double(u.ru_utime.tv_usec) + double(u.ru_stime.tv_usec)) / 1000.0;
}

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
        s.orbit(angle);
        gl.frame(s, samples);
    }
    state.counters["drawCalls"] = gl.renderer->lastFrame().drawCalls;
    state.counters["shadowRedrawn"] = gl.renderer->lastFrame().shadowMapRendered;
}
BENCHMARK(BM_OrbitFrame)->Arg(4)->Arg(2)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The two kinds of frame the interactive view draws, in one run: while the camera moves (no
// multisampling, the shadow map kept although its area moved, coarser shadow sampling) at full
// and at half resolution, and the full-quality frame at rest, after a pan that moves the shadow
// area (so the shadow map is drawn again). Argument: 0 moving, 1 moving at half size, 2 at rest.
void BM_ViewFrame(benchmark::State& state)
{
    BigScene& s = bigScene();
    Gl gl;
    gl.frame(s);
    const int kind = int(state.range(0));
    double angle = 0;
    scene::Vec3 shadowCentre = s.centre;
    const double cpuStart = processCpuMs();
    for (auto _ : state) {
        angle += 0.01;
        s.orbit(angle);
        shadowCentre.x += 0.5;  // the user pans: the shadow area follows
        render::FrameRequest r;
        r.scene = s.scene.get();
        r.pointOfView = s.camera.get();
        r.pixelSize = kFrame;
        r.samples = kind == 2 ? 4 : 0;
        r.moving = kind != 2;
        r.renderScale = kind == 1 ? 0.5 : 1.0;
        r.shadowCentre = shadowCentre;
        gl.renderer->render(r, gl.target->handle());
        gl.context.extraFunctions()->glFinish();
    }
    state.counters["processCpuMsPerFrame"] = (processCpuMs() - cpuStart) / double(state.iterations());
    state.counters["drawCalls"] = gl.renderer->lastFrame().drawCalls;
    state.counters["shadowRedrawn"] = gl.renderer->lastFrame().shadowMapRendered;
}
BENCHMARK(BM_ViewFrame)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(3.0);

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
