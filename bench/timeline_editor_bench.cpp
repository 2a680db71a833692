// The package editor's linked-elements pane over 100,000 element names in six disciplines:
//  - BM_AbrirEditor: building and showing the sheet (names sorted, list laid out, one paint);
//  - BM_TeclaBusqueda: one keystroke in the search (the list filtered again and repainted);
//  - BM_MemoriaHoja: the resident memory one open sheet adds ("MB_hoja").
// Run with QT_QPA_PLATFORM=offscreen.

#include "timeline/TimeLinerStore.h"
#include "timeline/editor/ui/EditorPaqueteView.h"
#include "timeline/editor/ui/PanelElementos.h"

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <unistd.h>

namespace {

using namespace quelva;

constexpr int kElementos = 100'000;

PropiedadesPorEspecialidad propiedades()
{
    static const char* claves[] = {"ARQ", "EST", "MEP", "ELE", "SAN", "CLI"};
    static const char* tipos[] = {"Muro", "Losa", "Viga", "Columna", "Puerta", "Ventana", "Ducto", "Tubería"};
    PropiedadesPorEspecialidad r;
    for (int i = 0; i < kElementos; ++i) {
        const std::string nombre = std::string(tipos[(i * 7) % 8]) + "-P" + std::to_string(i % 12) + "-" +
                                   std::to_string(i);
        r[claves[i % 6]][nombre] = {{"__tipoIFC", "IFCWALL"}};
    }
    return r;
}

double residenteMB()
{
    std::ifstream f("/proc/self/statm");
    long total = 0, residente = 0;
    f >> total >> residente;
    return double(residente) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

struct Datos {
    PropiedadesPorEspecialidad props = propiedades();
    TimeLinerStore store;
    PaqueteAWP paquete;
};

Datos& datos()
{
    static Datos d;
    return d;
}

std::unique_ptr<EditorPaqueteView> abrir()
{
    Datos& d = datos();
    auto v = std::make_unique<EditorPaqueteView>(d.paquete, d.store, d.props);
    v->show();
    QApplication::processEvents();
    v->grab();
    return v;
}

// First, while the allocator has nothing to reuse: what one open sheet adds to the process.
void BM_MemoriaHoja(benchmark::State& state)
{
    datos();
    abrir();  // fonts, styles and symbols loaded once for every sheet
    for (auto _ : state) {
        const double antes = residenteMB();
        auto v = abrir();
        state.counters["MB_hoja"] = residenteMB() - antes;
    }
}
BENCHMARK(BM_MemoriaHoja)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_AbrirEditor(benchmark::State& state)
{
    datos();
    for (auto _ : state) {
        auto v = abrir();
        benchmark::DoNotOptimize(v.get());
    }
}
BENCHMARK(BM_AbrirEditor)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_TeclaBusqueda(benchmark::State& state)
{
    auto v = abrir();
    PanelElementos* panel = v->panelElementos();
    // A user typing "muro", then deleting it again, one key at a time.
    const QStringList pasos = {"m", "mu", "mur", "muro", "mur", "mu", "m", ""};
    int i = 0;
    for (auto _ : state) {
        panel->busqueda()->setText(pasos[i++ % pasos.size()]);
        panel->lista()->viewport()->grab();
    }
}
BENCHMARK(BM_TeclaBusqueda)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
