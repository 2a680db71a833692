// Quantity take-off over a generated federation of 50,000 element nodes with 15 properties
// each: building the groups, the CSV text with two property columns, and in the window
// "Expandir todo" and a scroll to the end, each up to the next painted frame, with the memory
// the expanded table adds.

#include "qto/ConstruirGrupos.h"
#include "qto/ExportarCSV.h"
#include "qto/ui/TablaQTO.h"
#include "qto/ui/VentanaQTO.h"
#include "scene/Primitives.h"

#include "Memoria.h"

#include <QApplication>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

using namespace quelva;

constexpr int kElementos = 50000;
constexpr int kPropiedades = 15;

struct Federacion {
    TablaEspecialidades especialidades;
    QStringList orden;
    PropiedadesPorEspecialidad propiedades;
};

const Federacion& federacion()
{
    static const Federacion f = [] {
        Federacion f;
        const char* claves[] = {"ARQ", "EST", "MEP"};
        const char* nombres[] = {"Arquitectura", "Estructura", "MEP"};
        const char* tipos[] = {"IFCWALL", "IFCSLAB", "IFCBEAM", "IFCCOLUMN", "IFCDOOR", "IFCWINDOW",
                               "IFCPIPESEGMENT", "IFCDUCTSEGMENT", "IFCCURTAINWALL", "IFCMEMBER"};
        const scene::GeometryPtr caja = scene::makeBox(1, 1, 1);
        for (int d = 0; d < 3; ++d) {
            EspecialidadBIM esp;
            esp.nombre = nombres[d];
            esp.nodoRaiz = scene::Node::make();
            f.especialidades[claves[d]] = esp;
            f.orden.append(claves[d]);
        }
        std::vector<scene::NodePtr> modelos;
        for (int m = 0; m < 12; ++m) {
            auto contenedor = scene::Node::make();
            f.especialidades[claves[m % 3]].nodoRaiz->addChild(contenedor);
            modelos.push_back(contenedor);
        }
        for (int i = 0; i < kElementos; ++i) {
            const int m = i % 12;
            const std::string nombre = "Elemento " + std::to_string(i);
            auto n = scene::Node::make(caja);
            n->name = nombre;
            modelos[size_t(m)]->addChild(n);
            auto& props = f.propiedades[claves[m % 3]][nombre];
            props[kClaveTipoIFC] = tipos[i % 10];
            for (int k = 0; k < kPropiedades - 1; ++k)
                props["Pset_Comun " + std::to_string(k % 3) + " \u203A Propiedad " + std::to_string(k)] =
                    "Valor " + std::to_string((i + k) % 40);
        }
        return f;
    }();
    return f;
}

std::vector<GrupoQTO> grupos()
{
    const Federacion& f = federacion();
    return construirGrupos(f.especialidades, f.orden, f.propiedades);
}

void BM_ConstruirGrupos(benchmark::State& state)
{
    federacion();
    size_t items = 0;
    for (auto _ : state) {
        std::vector<GrupoQTO> g = grupos();
        items = 0;
        for (const GrupoQTO& x : g)
            items += x.items.size();
        benchmark::DoNotOptimize(g);
    }
    state.counters["items"] = double(items);
}
BENCHMARK(BM_ConstruirGrupos)->Unit(benchmark::kMillisecond);

void BM_TextoCSV(benchmark::State& state)
{
    const std::vector<GrupoQTO> g = grupos();
    std::vector<const GrupoQTO*> visibles;
    for (const GrupoQTO& x : g)
        visibles.push_back(&x);
    const QStringList extras{"Pset_Comun 0 \u203A Propiedad 0", "Pset_Comun 1 \u203A Propiedad 4"};
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray texto = textoCSV(visibles, extras);
        bytes = texto.size();
        benchmark::DoNotOptimize(texto);
    }
    state.counters["MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_TextoCSV)->Unit(benchmark::kMillisecond);

// Expand all, then scroll to the end; each time up to the painted frame.
void BM_VentanaExpandirYDesplazar(benchmark::State& state)
{
    const bool desplazar = state.range(0) == 1;
    for (auto _ : state) {
        state.PauseTiming();
        auto ventana = std::make_unique<VentanaQTO>(grupos(), QDateTime::currentDateTime());
        ventana->resize(870, 700);
        ventana->show();
        QApplication::processEvents();
        ventana->repaint();
        const long antes = bench::residenteKB();
        if (desplazar) {
            ventana->expandirTodo();
            ventana->repaint();
        }
        state.ResumeTiming();

        if (desplazar) {
            ventana->tabla()->verticalScrollBar()->setValue(ventana->tabla()->verticalScrollBar()->maximum());
            ventana->tabla()->viewport()->repaint();
        } else {
            ventana->expandirTodo();
            ventana->repaint();
        }

        state.PauseTiming();
        state.counters["tablaMB"] = double(bench::residenteKB() - antes) / 1024.0;
        state.counters["filas"] = ventana->tabla()->model()->rowCount();
        ventana.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_VentanaExpandirYDesplazar)->Arg(0)->Arg(1)->ArgName("desplazar")->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
