// Clash report thumbnails (run under a display, e.g. xvfb-run): time per thumbnail with the kept
// renderer and with a renderer per image; the longest stall of the event loop while a 300-clash
// report renders; and the memory a 2,000-clash report holds once its thumbnails are in.

#include "clash/MiniaturasClash.h"
#include "main_window/interferencias/VentanaReporteAnalisis.h"
#include "render/Thumbnails.h"
#include "scene/Primitives.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <clocale>

using namespace quelva;

namespace {

struct Datos {
    scene::ScenePtr escena = scene::makeScene();
    AnalisisInterferencias analisis;
};

// `n` clashes between a wall and a beam of the same scene, each at its own place.
Datos datos(int n)
{
    Datos d;
    d.analisis.nombre = "Banco";
    d.analisis.fecha = QDateTime::currentDateTime();
    for (int k = 0; k < n; ++k) {
        auto a = scene::Node::make(scene::makeBox(4, 0.2, 3));
        a->name = "Muro-" + std::to_string(k);
        a->position = {10.0 * (k % 50), 10.0 * (k / 50), 1.5};
        auto b = scene::Node::make(scene::makeBox(0.3, 2, 0.4));
        b->name = "Viga-" + std::to_string(k);
        b->position = a->position + scene::Vec3{0, 0, 1};
        d.escena->rootNode()->addChild(a);
        d.escena->rootNode()->addChild(b);
        Interferencia i;
        i.nodoA = a;
        i.nodoB = b;
        i.nombreA = QString::fromStdString(*a->name);
        i.nombreB = QString::fromStdString(*b->name);
        i.viewpointTarget = b->position;
        i.radio = 4;
        d.analisis.interferencias.push_back(i);
    }
    return d;
}

void BM_MiniaturaRenderizadorGuardado(benchmark::State& state)
{
    const Datos d = datos(1);
    const VistaMiniatura v = vistaMiniatura(d.analisis.interferencias[0], nullptr);
    render::Thumbnailer t;
    for (auto _ : state)
        benchmark::DoNotOptimize(t.render(v.elementos, v.camara));
}

void BM_MiniaturaRenderSnapshot(benchmark::State& state)
{
    const Datos d = datos(1);
    const VistaMiniatura v = vistaMiniatura(d.analisis.interferencias[0], nullptr);
    for (auto _ : state)
        benchmark::DoNotOptimize(render::renderThumbnailOnce(v.elementos, v.camara));
}

void BM_MiniaturaConPNGYCopia(benchmark::State& state)
{
    const Datos d = datos(1);
    const VistaMiniatura v = vistaMiniatura(d.analisis.interferencias[0], nullptr);
    render::Thumbnailer t;
    for (auto _ : state)
        benchmark::DoNotOptimize(miniaturaDesdeImagen(t.render(v.elementos, v.camara)));
}

// A new renderer's first thumbnail (context, shaders, buffers): what the first turn costs.
void BM_PrimeraMiniatura(benchmark::State& state)
{
    const Datos d = datos(1);
    const VistaMiniatura v = vistaMiniatura(d.analisis.interferencias[0], nullptr);
    for (auto _ : state) {
        render::Thumbnailer t;
        benchmark::DoNotOptimize(t.render(v.elementos, v.camara));
    }
}

// The longest gap between two turns of the event loop while the report renders.
void BM_PausaMaximaReporte300(benchmark::State& state)
{
    const Datos d = datos(300);
    for (auto _ : state) {
        VentanaReporteAnalisis v(d.analisis, d.escena);
        QElapsedTimer reloj;
        qint64 ultimo = 0, peor = 0, segunda = 0;
        QTimer pulso;
        pulso.setInterval(5);
        QObject::connect(&pulso, &QTimer::timeout, [&] {
            const qint64 ahora = reloj.elapsed();
            const qint64 pausa = ahora - ultimo;
            if (pausa > peor) {
                segunda = peor;
                peor = pausa;
            } else {
                segunda = std::max(segunda, pausa);
            }
            ultimo = ahora;
        });
        v.show();
        reloj.start();
        pulso.start();
        while (v.miniaturas().empty())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.counters["pausa_max_ms"] = double(peor);
        // The longest one is the renderer's first image (context, shaders); this is the rest.
        state.counters["segunda_pausa_ms"] = double(segunda);
        state.counters["total_ms"] = double(reloj.elapsed());
    }
}

long rssKiB()
{
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith("VmRSS:"))
            return l.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

void BM_MemoriaReporte2000(benchmark::State& state)
{
    const Datos d = datos(2000);
    for (auto _ : state) {
        const long antes = rssKiB();
        auto* v = new VentanaReporteAnalisis(d.analisis, d.escena);
        v->show();
        while (v->miniaturas().empty())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::processEvents();
        state.counters["memoria_MB"] = double(rssKiB() - antes) / 1024.0;
        delete v;
    }
}

}  // namespace

BENCHMARK(BM_MiniaturaRenderizadorGuardado)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MiniaturaRenderSnapshot)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MiniaturaConPNGYCopia)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PrimeraMiniatura)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_PausaMaximaReporte300)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_MemoriaReporte2000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
