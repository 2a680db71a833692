// Cost of one vertex snap over a node at the scan cap (run on every hover event while measuring).

#include "viewport/VerticeMasCercano.h"

#include "scene/Camera.h"
#include "scene/Geometry.h"
#include "scene/Node.h"
#include "scene/Projection.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

void BM_VerticeMasCercano(benchmark::State& state)
{
    const int n = int(state.range(0));
    std::vector<scene::Vec3f> puntos;
    puntos.reserve(size_t(n));
    for (int i = 0; i < n; ++i)
        puntos.push_back({float(i % 100) * 0.1f, float(i / 100) * 0.1f, std::sin(float(i)) * 0.05f});
    auto geometria = std::make_shared<scene::Geometry>(
        std::vector<scene::GeometrySource>{scene::GeometrySource::vertices(puntos)}, std::vector<scene::GeometryElement>{});
    scene::HitResult hit;
    hit.node = scene::Node::make(geometria);
    hit.node->position = {500000, 4000000, 100};

    auto camara = scene::Node::make();
    camara->camera = std::make_shared<scene::Camera>();
    camara->camera->zFar = 1000;
    camara->position = {500005, 3999980, 120};
    camara->lookAt({500005, 4000005, 100}, {0, 0, 1});
    const scene::Viewpoint vista{camara.get(), QSizeF(1280, 800)};

    for (auto _ : state)
        benchmark::DoNotOptimize(quelva::verticeMasCercano(hit, vista, QPointF(640, 400)));
    state.SetItemsProcessed(state.iterations() * std::min(n, quelva::kMaxVerticesSnap));
}

BENCHMARK(BM_VerticeMasCercano)->Arg(1000)->Arg(8000)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
