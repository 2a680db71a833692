// Version comparison (run under a display, e.g. xvfb-run): the comparison against a plain walk of
// both models, the whole window action (comparison, camera fit, floor, card), and a 2,000-element
// change report: the longest stall of the event loop while it renders (the first report of the
// process and a later one), and its memory.

#include "comparison/ComparacionTRELM.h"
#include "federation/ControladorFederacion.h"
#include "federation/Piso.h"
#include "main_window/ContentView.h"
#include "main_window/comparacion/VentanaReporteTRELM.h"
#include "scene/Geometry.h"
#include "scene/Material.h"
#include "viewport/CajaEscena.h"
#include "viewport/VistaPreset.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <chrono>
#include <future>
#include <clocale>

using namespace quelva;

namespace {

scene::NodePtr caja(const std::string& nombre, float x, float y, float z, float dx, float dy, float dz)
{
    const std::vector<scene::Vec3f> p{{x, y, z},           {x + dx, y, z},      {x + dx, y + dy, z},
                                      {x, y + dy, z},      {x, y, z + dz},      {x + dx, y, z + dz},
                                      {x + dx, y + dy, z + dz}, {x, y + dy, z + dz}};
    scene::GeometryElement t;
    t.indices = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7, 0, 1, 5, 0, 5, 4, 2, 3, 7, 2, 7, 6, 1, 2, 6, 1, 6, 5, 3, 0, 4, 3, 4, 7};
    auto g = std::make_shared<scene::Geometry>(std::vector<scene::GeometrySource>{scene::GeometrySource::vertices(p)},
                                               std::vector<scene::GeometryElement>{t});
    auto m = scene::makeMaterial();
    m->diffuse.contents = scene::Color::white(0.75);
    g->materials.push_back(m);
    auto n = scene::Node::make(g);
    n->name = nombre;
    return n;
}

struct Versiones {
    scene::NodePtr base = scene::Node::make();
    scene::NodePtr nuevo = scene::Node::make();
    MapaGlobalIds idsBase, idsNuevo;
};

// `n` elements per version: 2 % only in the base, 2 % only in the new one, 5 % moved 0.2 m;
// accented names, a storey node every 500 elements, both GlobalId maps.
Versiones versiones(int n, double movidos = 0.05)
{
    Versiones v;
    const char* tipos[] = {"IfcWall", "IfcBeam", "IfcSlab", "IfcColumn", "IfcDoor"};
    scene::NodePtr pisoB, pisoN;
    for (int k = 0; k < n + n / 50; ++k) {
        if (k % 500 == 0) {
            pisoB = scene::Node::make();
            pisoN = scene::Node::make();
            v.base->addChild(pisoB);
            v.nuevo->addChild(pisoN);
        }
        const std::string nombre = std::string("Elemento Ñandú ") + std::to_string(k);
        const std::string completo = std::string(tipos[k % 5]) + "/" + nombre;
        const std::string gid = "GID" + std::to_string(k);
        const float x = float(k % 100) * 2, y = float(k / 100) * 2;
        const bool soloBase = k < n && k % 50 == 0;
        const bool soloNuevo = k >= n;
        const bool movido = !soloBase && !soloNuevo && (k % 100) < int(movidos * 100) + 1 && k % 50 != 0;
        if (!soloNuevo) {
            pisoB->addChild(caja(completo, x, y, 0, 1, 0.5f, 3));
            v.idsBase[nombre] = gid;
        }
        if (!soloBase) {
            pisoN->addChild(caja(completo, x + (movido ? 0.2f : 0), y, 0, 1, 0.5f, 3));
            v.idsNuevo[nombre] = gid;
        }
    }
    return v;
}

// Reads every name and box of both models, as any comparison must.
size_t recorrer(const Versiones& v)
{
    size_t suma = 0;
    for (const scene::NodePtr& m : {v.base, v.nuevo})
        m->visitDescendants([&](scene::Node& n) {
            if (n.geometry) {
                suma += n.name ? n.name->size() : 0;
                const scene::Box b = n.boundingBox();
                suma += size_t(b.max.x - b.min.x);
            }
            return false;
        });
    return suma;
}

EntradaComparacionTRELM entrada(const Versiones& v)
{
    EntradaComparacionTRELM e;
    e.base = v.base.get();
    e.nuevo = v.nuevo.get();
    e.globalIdsBase = &v.idsBase;
    e.globalIdsNuevo = &v.idsNuevo;
    e.archivoBase = "a.ifc";
    e.archivoNuevo = "b.ifc";
    return e;
}

void BM_RecorridoDosModelos20000(benchmark::State& state)
{
    const Versiones v = versiones(20000);
    for (auto _ : state)
        benchmark::DoNotOptimize(recorrer(v));
}

// The comparison and, in the same run, the plain walk: their ratio. Argument 0: without the
// GlobalId maps (keys by name only).
void BM_Comparacion20000(benchmark::State& state)
{
    Versiones v = versiones(20000);
    if (state.range(0) == 0) {
        v.idsBase.clear();
        v.idsNuevo.clear();
    }
    double comparar = 0, recorrido = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        SalidaComparacionTRELM s = compararModelosTRELM(entrada(v));
        auto t1 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(recorrer(v));
        auto t2 = std::chrono::steady_clock::now();
        comparar += std::chrono::duration<double>(t1 - t0).count();
        recorrido += std::chrono::duration<double>(t2 - t1).count();
        benchmark::DoNotOptimize(s);
    }
    state.counters["veces_recorrido"] = comparar / recorrido;
    state.counters["comparacion_ms"] = 1000 * comparar / double(state.iterations());
    state.counters["recorrido_ms"] = 1000 * recorrido / double(state.iterations());
}

// "Comparar versiones" in the window: comparison, camera fit, floor and the views redrawn; the
// counters split it as the action runs it (each part timed once more on its own after the
// action): the comparison with the camera's and the floor's boxes measured alongside, placing
// the camera and the floor, the views. cajas_en_serie_ms: the two boxes one after the other;
// primera_accion_ms: the first action, which also measures every element's geometry.
void BM_AccionComparar20000(benchmark::State& state)
{
    // The window first, as in the application: models are loaded into a window already shown.
    ContentView vista;
    vista.resize(1400, 900);
    vista.show();
    QCoreApplication::processEvents();
    Versiones v = versiones(20000);
    ControladorFederacion& f = vista.controladorFederacion();
    f.asignarModeloSlotTRELM("BASE", v.base, "a.ifc", v.idsBase);
    f.asignarModeloSlotTRELM("NUEVO", v.nuevo, "b.ifc", v.idsNuevo);
    QCoreApplication::processEvents();
    scene::Node& raiz = *f.escena()->rootNode();
    double comparar = 0, colocar = 0, vistas = 0, enSerie = 0, primera = -1;
    auto ms = [](auto a, auto b) { return std::chrono::duration<double, std::milli>(b - a).count(); };
    for (auto _ : state) {
        const auto inicio = std::chrono::steady_clock::now();
        vista.compararVersionesTRELM();
        if (primera < 0)
            primera = ms(inicio, std::chrono::steady_clock::now());
        state.PauseTiming();
        vista.comparacion.trelmActivo = false;
        QCoreApplication::processEvents();
        quitarPiso(raiz);
        auto t0 = std::chrono::steady_clock::now();
        auto cajaVista = std::async(std::launch::async, [&raiz] { return cajaMundoSinPiso(raiz); });
        auto cajaPiso = std::async(std::launch::async, [&raiz] { return raiz.boundingBox(); });
        benchmark::DoNotOptimize(compararModelosTRELM(entrada(v)));
        const auto encuadre = encuadreDeCaja(cajaVista.get());
        const scene::Box piso = cajaPiso.get();
        auto t1 = std::chrono::steady_clock::now();
        f.servicios().enfocar(encuadre->centro.x, encuadre->centro.y, encuadre->centro.z, encuadre->radio);
        ponerPiso(raiz, piso);
        auto t2 = std::chrono::steady_clock::now();
        vista.refrescarConTarjetas(TarjetaSidebar::comparacion);
        auto t3 = std::chrono::steady_clock::now();
        quitarPiso(raiz);
        auto t4 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(cajaMundoSinPiso(raiz));
        benchmark::DoNotOptimize(raiz.boundingBox());
        auto t5 = std::chrono::steady_clock::now();
        ponerPiso(raiz, piso);
        comparar += ms(t0, t1);
        colocar += ms(t1, t2);
        vistas += ms(t2, t3);
        enSerie += ms(t4, t5);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    const double n = double(state.iterations());
    state.counters["comparacion_y_cajas_ms"] = comparar / n;
    state.counters["camara_y_piso_ms"] = colocar / n;
    state.counters["vistas_ms"] = vistas / n;
    state.counters["cajas_en_serie_ms"] = enSerie / n;
    state.counters["primera_accion_ms"] = primera;  // element boxes not yet measured
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

struct Pausas {
    qint64 peor = 0, segunda = 0, total = 0;
};

// Opens a change report and turns the event loop until its pictures are in: the longest gaps
// between turns meanwhile.
Pausas abrirReporte(const SalidaComparacionTRELM& s, const Versiones& v)
{
    auto* ventana = new VentanaReporteTRELM(s.resultado, v.nuevo, v.base);
    QElapsedTimer reloj;
    Pausas p;
    qint64 ultimo = 0;
    QTimer pulso;
    pulso.setInterval(5);
    QObject::connect(&pulso, &QTimer::timeout, [&] {
        const qint64 ahora = reloj.elapsed();
        const qint64 pausa = ahora - ultimo;
        if (pausa > p.peor) {
            p.segunda = p.peor;
            p.peor = pausa;
        } else {
            p.segunda = std::max(p.segunda, pausa);
        }
        ultimo = ahora;
    });
    ventana->show();
    reloj.start();
    pulso.start();
    while (!ventana->generador()->terminado())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    p.total = reloj.elapsed();
    delete ventana;
    return p;
}

// Reports of 2,000 changed elements: the first one of the process (it makes the thumbnail
// renderer: context, shaders) and a later one (the kept renderer), and what the pictures hold.
void BM_Reporte2000(benchmark::State& state)
{
    // Every tenth element moved: 2,000 modified among 20,000.
    Versiones v = versiones(2000, 1.0);
    const SalidaComparacionTRELM s = compararModelosTRELM(entrada(v));
    for (auto _ : state) {
        const long antes = rssKiB();
        const Pausas primero = abrirReporte(s, v);
        state.counters["memoria_MB"] = double(rssKiB() - antes) / 1024.0;
        const Pausas despues = abrirReporte(s, v);
        state.counters["elementos"] = double(s.resultado.elementos.size());
        state.counters["primer_reporte_pausa_max_ms"] = double(primero.peor);
        state.counters["primer_reporte_segunda_pausa_ms"] = double(primero.segunda);
        state.counters["pausa_max_ms"] = double(despues.peor);
        state.counters["segunda_pausa_ms"] = double(despues.segunda);
        state.counters["total_ms"] = double(despues.total);
    }
}

}  // namespace

BENCHMARK(BM_RecorridoDosModelos20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Comparacion20000)->Unit(benchmark::kMillisecond)->Arg(1)->Arg(0);
BENCHMARK(BM_AccionComparar20000)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Reporte2000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
