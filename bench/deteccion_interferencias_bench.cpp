// Clash search on a generated building: the shipped search against the all-pairs loop, the search
// alone on 200,000 elements, and a whole run from the start to the recorded, glowing analysis.

#include "clash/ControladorInterferencias.h"
#include "clash/DeteccionInterferencias.h"
#include "scene/Primitives.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <chrono>
#include <clocale>

using namespace quelva;
using scene::Vec3;

namespace {

struct Caja {
    const char* tipo;
    Vec3 min, max;
};

// Per storey 500 architecture elements (slabs, columns, walls, partitions) and 500 services
// (pipes, ducts, risers, branches) on a 10 x 10 grid of 5 m bays; about 400 clashes a storey.
void edificio(int pisos, std::vector<Caja>& arq, std::vector<Caja>& mep)
{
    for (int s = 0; s < pisos; ++s) {
        const double z = 3.0 * s;
        for (int i = 0; i < 10; ++i)
            for (int j = 0; j < 10; ++j)
                arq.push_back({"Losa", {5.0 * i, 5.0 * j, z - 0.2}, {5.0 * i + 5, 5.0 * j + 5, z}});
        for (int i = 0; i <= 10; ++i)
            for (int j = 0; j <= 10; ++j)
                arq.push_back({"Pilar", {5.0 * i - 0.2, 5.0 * j - 0.2, z}, {5.0 * i + 0.2, 5.0 * j + 0.2, z + 2.8}});
        for (int a = 0; a <= 10; ++a)
            for (int b = 0; b < 10; ++b) {
                arq.push_back({"Muro", {5.0 * b + 0.2, 5.0 * a - 0.1, z}, {5.0 * b + 4.8, 5.0 * a + 0.1, z + 2.8}});
                arq.push_back({"Muro", {5.0 * a - 0.1, 5.0 * b + 0.2, z}, {5.0 * a + 0.1, 5.0 * b + 4.8, z + 2.8}});
            }
        for (int k = 0; k < 59; ++k) {
            const int i = k % 10, j = k / 10;
            arq.push_back({"Tabique", {5.0 * i + 2.4, 5.0 * j + 0.5, z}, {5.0 * i + 2.6, 5.0 * j + 4.5, z + 2.8}});
        }
        for (int i = 0; i < 10; ++i)
            for (int j = 0; j < 10; ++j) {
                mep.push_back({"Tuberia", {5.0 * i + 0.5, 5.0 * j + 0.95, z + 2.4}, {5.0 * i + 5.5, 5.0 * j + 1.05, z + 2.5}});
                mep.push_back({"Ducto", {5.0 * i + 3.3, 5.0 * j + 0.5, z + 2.0}, {5.0 * i + 3.7, 5.0 * j + 5.5, z + 2.3}});
                mep.push_back({"Montante", {5.0 * i + 1.45, 5.0 * j + 1.45, z - 0.5}, {5.0 * i + 1.55, 5.0 * j + 1.55, z + 2.5}});
                mep.push_back({"Ramal", {5.0 * i + 1.2, 5.0 * j + 2.0, z + 1.0}, {5.0 * i + 1.8, 5.0 * j + 2.05, z + 1.05}});
            }
        for (int k = 0; k < 40; ++k) {
            const int i = k % 10, j = k / 10;
            mep.push_back({"Montante", {5.0 * i + 4.15, 5.0 * j + 4.15, z - 0.5}, {5.0 * i + 4.25, 5.0 * j + 4.25, z + 2.5}});
        }
        for (int k = 0; k < 60; ++k) {
            const int i = k % 10, j = k / 10;
            mep.push_back({"Ramal", {5.0 * i + 1.2, 5.0 * j + 3.0, z + 1.0}, {5.0 * i + 1.8, 5.0 * j + 3.05, z + 1.05}});
        }
    }
}

std::vector<NodoBB> nodos(int pisos)
{
    std::vector<Caja> arq, mep;
    edificio(pisos, arq, mep);
    std::vector<NodoBB> lista;
    int n = 0;
    for (const auto* grupo : {&arq, &mep})
        for (const Caja& c : *grupo) {
            NodoBB e;
            e.node = scene::Node::make();
            e.key = grupo == &arq ? QStringLiteral("ARQ") : QStringLiteral("MEP");
            e.nombre = QString::fromUtf8(c.tipo) + QLatin1Char('-') + QString::number(++n);
            e.bbMin = c.min;
            e.bbMax = c.max;
            lista.push_back(std::move(e));
        }
    return lista;
}

const std::set<QString> kPares{QStringLiteral("ARQ|MEP")};

void BM_TodosLosPares20k(benchmark::State& state)
{
    const auto lista = nodos(20);
    size_t n = 0;
    for (auto _ : state)
        n = buscarInterferenciasTodosLosPares(lista, kPares, {}, 0.02).size();
    state.counters["interferencias"] = double(n);
}

void BM_Buscar20k(benchmark::State& state)
{
    const auto lista = nodos(20);
    size_t n = 0;
    for (auto _ : state)
        n = buscarInterferencias(lista, kPares, {}, 0.02).size();
    state.counters["interferencias"] = double(n);
    // Both give the same list.
    const auto a = buscarInterferencias(lista, kPares, {}, 0.02);
    const auto b = buscarInterferenciasTodosLosPares(lista, kPares, {}, 0.02);
    bool iguales = a.size() == b.size();
    for (size_t k = 0; iguales && k < a.size(); ++k)
        iguales = a[k].nodoA == b[k].nodoA && a[k].nodoB == b[k].nodoB;
    if (!iguales)
        state.SkipWithError("the lists differ");
}

void BM_Buscar200k(benchmark::State& state)
{
    const auto lista = nodos(200);
    size_t n = 0;
    for (auto _ : state)
        n = buscarInterferencias(lista, kPares, {}, 0.02).size();
    state.counters["interferencias"] = double(n);
}

// From detectarInterferencias to the recorded analysis: collection, search, records, glow.
void BM_EjecucionCompleta20k(benchmark::State& state)
{
    std::vector<Caja> arq, mep;
    edificio(20, arq, mep);
    std::map<QString, EspecialidadBIM> esp;
    int n = 0;
    for (const auto& [clave, grupo] : {std::pair{"ARQ", &arq}, std::pair{"MEP", &mep}}) {
        EspecialidadBIM& e = esp[clave];
        e.nombre = clave;
        e.nodoRaiz = scene::Node::make();
        auto modelo = scene::Node::make();
        e.nodoRaiz->addChild(modelo);
        for (const Caja& c : *grupo) {
            const Vec3 t = c.max - c.min;
            auto nodo = scene::Node::make(scene::makeBox(t.x, t.y, t.z));
            nodo->name = std::string(c.tipo) + "-" + std::to_string(++n);
            nodo->position = (c.min + c.max) * 0.5;
            modelo->addChild(nodo);
        }
    }
    EstadoInterferencias estado;
    ControladorInterferencias::Servicios s;
    s.especialidades = [&]() -> const auto& { return esp; };
    ControladorInterferencias c(estado, s);
    c.prepararAnalisis();
    for (auto _ : state) {
        const auto inicio = std::chrono::steady_clock::now();
        c.detectarInterferencias(QStringLiteral("Banco"), 0.02);
        while (estado.detectando)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count());
        state.PauseTiming();
        estado.historialAnalisis.clear();
        state.ResumeTiming();
    }
    state.counters["interferencias"] = double(estado.interferencias.size());
}

}  // namespace

BENCHMARK(BM_TodosLosPares20k)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Buscar20k)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Buscar200k)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EjecucionCompleta20k)->Unit(benchmark::kMillisecond)->UseManualTime();

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
