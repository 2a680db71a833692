// Closest-hit ray queries on a building-sized scene: 2,000 element nodes of 500 triangles each
// (1,000,000 triangles), against testing every triangle of every node with the same rays.

#include "scene/Bvh.h"
#include "scene/HitTest.h"
#include "scene/Primitives.h"
#include "scene/Projection.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <random>

using namespace scene;

namespace {

constexpr int kNodes = 2000;
constexpr int kRings = 10, kSegments = 25;  // 2 * 10 * 25 = 500 triangles per element

// Ellipsoid of 500 triangles, unindexed as the OBJ loader makes them.
std::vector<Vec3f> element(const Vec3& centre, const Vec3& radii)
{
    auto at = [&](int ring, int seg) {
        const double theta = kPi * ring / kRings, phi = 2 * kPi * seg / kSegments;
        return Vec3f{float(centre.x + radii.x * std::sin(theta) * std::cos(phi)),
                     float(centre.y + radii.y * std::sin(theta) * std::sin(phi)),
                     float(centre.z + radii.z * std::cos(theta))};
    };
    std::vector<Vec3f> tri;
    for (int r = 0; r < kRings; ++r)
        for (int s = 0; s < kSegments; ++s) {
            const Vec3f a = at(r, s), b = at(r + 1, s), c = at(r + 1, s + 1), d = at(r, s + 1);
            tri.insert(tri.end(), {a, b, c, a, c, d});
        }
    return tri;
}

struct World {
    NodePtr root = Node::make();
    std::vector<std::pair<NodePtr, std::vector<Vec3f>>> nodes;  // node and its triangles (for brute force)
    std::vector<Ray> rays;
};

// Elements laid out as a 100 x 50 x 30 m building. `transformed`: each element in its own
// space under a translated node (as primitives are); otherwise world coordinates in the
// vertices under identity nodes (as loaded models are).
World makeWorld(bool transformed)
{
    World w;
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> ux(0, 100), uy(0, 50), uz(0, 30), size(0.2, 3.0);
    NodePtr model = Node::make();
    model->name = "modelo";
    w.root->addChild(model);
    for (int i = 0; i < kNodes; ++i) {
        const Vec3 centre{ux(rng), uy(rng), uz(rng)};
        const Vec3 radii{size(rng), size(rng), size(rng) * 0.5};
        auto tri = element(transformed ? Vec3{} : centre, radii);
        std::vector<std::int32_t> idx(tri.size());
        for (size_t k = 0; k < idx.size(); ++k)
            idx[k] = std::int32_t(k);
        NodePtr n = Node::make(makeTriangleGeometry(tri, idx));
        n->name = "elemento " + std::to_string(i);
        if (transformed) {
            n->position = centre;
            n->setEulerAngles({0, 0, size(rng)});
        }
        model->addChild(n);
        (void)n->geometry->bvh();  // built up front: the benchmark measures queries
        if (transformed) {
            const Mat4 m = n->worldTransform();
            for (auto& p : tri)
                p = toFloat(m.transformPoint(toDouble(p)));
        }
        w.nodes.emplace_back(n, std::move(tri));
    }
    // Hover rays: from viewpoints around the building towards points inside it.
    std::uniform_real_distribution<double> angle(0, 2 * kPi), height(5, 60);
    for (int i = 0; i < 4096; ++i) {
        const double a = angle(rng);
        const Vec3 eye{50 + 120 * std::cos(a), 25 + 120 * std::sin(a), height(rng)};
        const Vec3 target{ux(rng), uy(rng), uz(rng)};
        w.rays.push_back({eye, normalized(target - eye)});
    }
    return w;
}

const World& world(bool transformed)
{
    static const World plain = makeWorld(false);
    static const World moved = makeWorld(true);
    return transformed ? moved : plain;
}

std::optional<double> bruteForce(const World& w, const Ray& ray)
{
    std::optional<double> best;
    for (const auto& [node, tri] : w.nodes) {
        for (size_t t = 0; t < tri.size(); t += 3) {
            const Vec3 v0 = toDouble(tri[t]), e1 = toDouble(tri[t + 1]) - v0, e2 = toDouble(tri[t + 2]) - v0;
            const Vec3 p = cross(ray.direction, e2);
            const double det = dot(e1, p);
            if (det <= 0)
                continue;
            const Vec3 s = ray.origin - v0;
            const double u = dot(s, p) / det;
            if (u < 0 || u > 1)
                continue;
            const Vec3 q = cross(s, e1);
            const double v = dot(ray.direction, q) / det;
            if (v < 0 || u + v > 1)
                continue;
            const double d = dot(e2, q) / det;
            if (d > 0 && (!best || d < *best))
                best = d;
        }
    }
    return best;
}

void report(benchmark::State& state, std::vector<double>& micros, int hits)
{
    std::sort(micros.begin(), micros.end());
    if (micros.empty())
        return;
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
    state.counters["hit_ratio"] = double(hits) / double(micros.size());
}

void closestHit(benchmark::State& state, bool transformed)
{
    const World& w = world(transformed);
    std::vector<double> micros;
    size_t i = 0;
    int hits = 0;
    for (auto _ : state) {
        const Ray& ray = w.rays[i++ % w.rays.size()];
        const auto start = std::chrono::steady_clock::now();
        auto hit = rayCast(*w.root, ray);
        const auto end = std::chrono::steady_clock::now();
        hits += hit ? 1 : 0;
        benchmark::DoNotOptimize(hit);
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    report(state, micros, hits);
}

void everyTriangle(benchmark::State& state, bool transformed)
{
    const World& w = world(transformed);
    std::vector<double> micros;
    size_t i = 0;
    int hits = 0;
    for (auto _ : state) {
        const Ray& ray = w.rays[i++ % w.rays.size()];
        const auto start = std::chrono::steady_clock::now();
        auto hit = bruteForce(w, ray);
        const auto end = std::chrono::steady_clock::now();
        hits += hit ? 1 : 0;
        benchmark::DoNotOptimize(hit);
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    report(state, micros, hits);
}

// The hover as the 3D view does it: a new marker node under the root on every move, beside
// some twenty small nodes (lights, floor, grid, measurements) and the model.
void hover(benchmark::State& state)
{
    const World& w = world(false);
    NodePtr root = Node::make();
    for (int i = 0; i < 20; ++i) {
        NodePtr n = Node::make(makeSphere(0.08, 12));
        n->position = {double(i), -5, 0};
        root->addChild(n);
    }
    root->addChild(w.root->children().front()->clone());
    GeometryPtr ring = makeTorus(0.2, 0.036);
    NodePtr marker;
    std::vector<double> micros;
    size_t i = 0;
    int hits = 0;
    for (auto _ : state) {
        const Ray& ray = w.rays[i++ % w.rays.size()];
        const auto start = std::chrono::steady_clock::now();
        auto hit = rayCast(*root, ray, {.backFaceCulling = false});
        if (marker)
            marker->removeFromParent();
        marker = Node::make(ring);
        marker->position = hit ? hit->worldCoordinates : Vec3{};
        root->addChild(marker);
        const auto end = std::chrono::steady_clock::now();
        hits += hit ? 1 : 0;
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    report(state, micros, hits);
}

// A query right after something inside the model changed (an element hidden or moved): the
// index over the model is rebuilt first.
void afterModelChange(benchmark::State& state)
{
    const World& w = world(false);
    const NodePtr& element = w.nodes.front().first;
    size_t i = 0;
    for (auto _ : state) {
        element->hidden = !element->hidden;
        benchmark::DoNotOptimize(rayCast(*w.root, w.rays[i++ % w.rays.size()]));
    }
    element->hidden = false;
}

// Projecting one point, as the vertex snap does for each of up to 8000 vertices per hover.
void projectOne(benchmark::State& state)
{
    NodePtr root = Node::make();
    NodePtr cam = Node::make();
    cam->camera = std::make_shared<Camera>();
    cam->position = {500030, 4000040, 20};
    cam->lookAt({500000, 4000000, 0}, {0, 0, 1});
    root->addChild(cam);
    const Viewpoint vp{cam.get(), QSizeF(1280, 800)};
    Vec3 p{500001, 4000002, 3};
    for (auto _ : state) {
        benchmark::DoNotOptimize(projectPoint(vp, p));
        p.x += 1e-6;
    }
}

// The same answers both ways, or the comparison means nothing.
void agreement(benchmark::State& state, bool transformed)
{
    const World& w = world(transformed);
    int mismatches = 0;
    for (auto _ : state) {
        for (size_t i = 0; i < 64; ++i) {
            const auto a = rayCast(*w.root, w.rays[i]);
            const auto b = bruteForce(w, w.rays[i]);
            if (a.has_value() != b.has_value() || (a && std::abs(a->distance - *b) > 1e-4))
                ++mismatches;
        }
    }
    state.counters["mismatches"] = mismatches;
}

// First use of a hierarchy: building it over one geometry of a million triangles.
void buildHierarchy(benchmark::State& state)
{
    std::vector<Vec3f> tri;
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(0, 100), size(0.2, 3.0);
    while (tri.size() < 3'000'000) {
        auto e = element({u(rng), u(rng), u(rng)}, {size(rng), size(rng), size(rng)});
        tri.insert(tri.end(), e.begin(), e.end());
    }
    std::vector<std::int32_t> idx(tri.size());
    for (size_t k = 0; k < idx.size(); ++k)
        idx[k] = std::int32_t(k);
    for (auto _ : state) {
        GeometryPtr g = makeTriangleGeometry(tri, idx);
        benchmark::DoNotOptimize(g->bvh().triangleCount());
    }
}

}  // namespace

BENCHMARK(buildHierarchy)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(closestHit, world_vertices, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(closestHit, transformed_nodes, true)->Unit(benchmark::kMicrosecond);
BENCHMARK(hover)->Unit(benchmark::kMicrosecond);
BENCHMARK(projectOne);
BENCHMARK(afterModelChange)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(everyTriangle, world_vertices, false)->Unit(benchmark::kMicrosecond)->Iterations(40);
BENCHMARK_CAPTURE(everyTriangle, transformed_nodes, true)->Unit(benchmark::kMicrosecond)->Iterations(40);
BENCHMARK_CAPTURE(agreement, world_vertices, false)->Iterations(1);
BENCHMARK_CAPTURE(agreement, transformed_nodes, true)->Iterations(1);

BENCHMARK_MAIN();
