// Version comparison (run under a display, e.g. xvfb-run): the comparison against a plain walk of
// both models, the whole window action (comparison, camera fit, floor, card), the change report
// of a comparison of 20,000-element versions opened from its button (the pauses of the event
// loop until its pictures are in, for the first report of the process and a later one, and its
// memory), and the 3D view's frames after "Comparar versiones".

#include "Esperar.h"
#include "comparison/ComparacionTRELM.h"
#include "federation/ControladorFederacion.h"
#include "federation/Piso.h"
#include "main_window/ContentView.h"
#include "main_window/comparacion/ReporteTRELMView.h"
#include "main_window/comparacion/VentanaReporteTRELM.h"
#include "render/SceneRenderer.h"
#include "render/SceneView.h"
#include "scene/Geometry.h"
#include "scene/Material.h"
#include "viewport/CajaEscena.h"
#include "viewport/ViewportController.h"
#include "viewport/VistaPreset.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
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

// Finds a control of the window by its object name.
template <typename T>
T* control(ContentView& vista, const char* nombre)
{
    return vista.findChild<T*>(QString::fromLatin1(nombre));
}

// A window shown with both versions loaded into their slots, the view at rest.
struct VentanaConVersiones {
    ContentView vista;
    Versiones v;
    render::SceneView* vista3D = nullptr;
    int fotogramas = 0;
    bool ultimoEnReposo = false;  // the last frame was drawn at rest

    explicit VentanaConVersiones(double movidos)
    {
        vista.resize(1400, 900);
        vista.show();
        QCoreApplication::processEvents();
        v = versiones(20000, movidos);
        ControladorFederacion& f = vista.controladorFederacion();
        f.asignarModeloSlotTRELM("BASE", v.base, "a.ifc", v.idsBase);
        f.asignarModeloSlotTRELM("NUEVO", v.nuevo, "b.ifc", v.idsNuevo);
        vista3D = vista.viewport()->scnView.data();
        QObject::connect(vista3D, &render::SceneView::frameRendered, [this] {
            ++fotogramas;
            ultimoEnReposo = !vista3D->isMoving();
        });
        asentar();
    }
    // Until the camera flight is over and the frame at rest that follows it is drawn.
    bool asentar()
    {
        return bench::esperar([this] {
            QCoreApplication::processEvents();
            return !vista3D->isAnimatingCamera() && !vista3D->isMoving() && fotogramas > 0 && ultimoEnReposo;
        }, 60'000);
    }
};

struct Pausas {
    double accion = 0;     // the click's own handler (window made and shown)
    double respuesta = 0;  // from the click to the event loop's first turn after the page was painted
    double peor = 0, segunda = 0, total = 0;
};

// Paints of the report page, seen from outside.
class VigiaPintura : public QObject {
public:
    bool pintada = false;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            pintada = true;
        return false;
    }
};

// "Ver Informe TRELM" clicked, and the event loop turned until the report's pictures are in:
// the longest gaps between turns from the click on (the click's own handler included).
Pausas abrirReporte(ContentView& vista)
{
    auto* boton = control<QPushButton>(vista, "verInformeTRELM");
    Pausas p;
    if (!boton)
        return p;
    QElapsedTimer reloj;
    auto ms = [&reloj] { return double(reloj.nsecsElapsed()) / 1e6; };
    double ultimo = 0;
    auto turno = [&] {
        const double ahora = ms();
        const double pausa = ahora - ultimo;
        if (pausa > p.peor) {
            p.segunda = p.peor;
            p.peor = pausa;
        } else {
            p.segunda = std::max(p.segunda, pausa);
        }
        ultimo = ahora;
    };
    reloj.start();
    boton->click();
    p.accion = ms();
    auto* ventana = qobject_cast<VentanaReporteTRELM*>(vista.ventanas.reportWindows.last().data());
    VigiaPintura vigia;
    ventana->reporte()->pagina()->installEventFilter(&vigia);
    QTimer pulso;
    pulso.setInterval(5);
    QObject::connect(&pulso, &QTimer::timeout, [&] {
        turno();
        if (vigia.pintada && p.respuesta == 0)
            p.respuesta = ultimo;
    });
    pulso.start();
    turno();  // the handler's own pause
    while (!ventana->generador()->terminado())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    turno();
    p.total = ms();
    ventana->removeEventFilter(&vigia);
    vista.ventanas.reportWindows.removeLast();
    delete ventana;
    // The main window redraws as it becomes active again: not part of the next report.
    QElapsedTimer calma;
    calma.start();
    while (calma.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return p;
}

// "Ver Informe TRELM" on a comparison of two versions of 20,000 elements with every tenth
// element moved: 2,000 modified, 400 added and 400 removed. The first report of the process
// (it makes the thumbnail renderer: context, shaders) and a later one (the kept renderer): the
// click's handler, the time until the window answers, the longest pauses of the event loop until
// the last picture is in, that time, and what the pictures hold.
void BM_Reporte2000(benchmark::State& state)
{
    VentanaConVersiones w(0.1);
    control<QPushButton>(w.vista, "compararVersiones")->click();
    w.asentar();
    const size_t elementos = w.vista.comparacion.resultadoTRELM->elementos.size();
    for (auto _ : state) {
        const long antes = rssKiB();
        const Pausas primero = abrirReporte(w.vista);
        state.counters["memoria_MB"] = double(rssKiB() - antes) / 1024.0;
        const Pausas despues = abrirReporte(w.vista);
        state.counters["elementos"] = double(elementos);
        state.counters["primer_reporte_accion_ms"] = primero.accion;
        state.counters["primer_reporte_respuesta_ms"] = primero.respuesta;
        state.counters["primer_reporte_pausa_max_ms"] = primero.peor;
        state.counters["primer_reporte_segunda_pausa_ms"] = primero.segunda;
        state.counters["primer_reporte_total_ms"] = primero.total;
        state.counters["accion_ms"] = despues.accion;
        state.counters["respuesta_ms"] = despues.respuesta;
        state.counters["pausa_max_ms"] = despues.peor;
        state.counters["segunda_pausa_ms"] = despues.segunda;
        state.counters["total_ms"] = despues.total;
    }
}

// The 3D view's frames after "Comparar versiones" on two versions of 20,000 elements loaded
// into their slots (hidden until then): the first frame, the frames of the camera flight that
// follows and the frame at rest after it, with what the first one uploaded and merged. The
// first comparison of the process, then the same after clearing it.
void BM_FotogramasTrasComparar20000(benchmark::State& state)
{
    VentanaConVersiones w(0.05);
    struct Fotograma {
        double ms;
        bool enMovimiento;
        render::FrameStats stats;
    };
    std::vector<Fotograma> fotogramas;
    QObject::connect(w.vista3D, &render::SceneView::frameRendered, [&] {
        fotogramas.push_back({w.vista3D->lastFrameSeconds() * 1000, w.vista3D->isMoving(),
                              *w.vista3D->lastFrameStats()});
    });
    auto mediana = [](std::vector<double> v) {
        if (v.empty())
            return 0.0;
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    int vuelta = 0;
    for (auto _ : state) {
        fotogramas.clear();
        control<QPushButton>(w.vista, "compararVersiones")->click();
        if (!w.asentar() || fotogramas.empty()) {
            state.SkipWithError("the view never settled");
            break;
        }
        std::vector<double> vuelo;
        for (size_t k = 1; k + 1 < fotogramas.size(); ++k)
            vuelo.push_back(fotogramas[k].ms);
        const std::string prefijo = vuelta == 0 ? "" : "otra_";
        state.counters[prefijo + "primer_fotograma_ms"] = fotogramas.front().ms;
        state.counters[prefijo + "mallas_subidas"] = fotogramas.front().stats.meshesUploaded;
        state.counters[prefijo + "grupos_hechos"] = fotogramas.front().stats.groupsBuilt;
        state.counters[prefijo + "llamadas"] = fotogramas.front().stats.drawCalls;
        state.counters[prefijo + "sombra_hecha"] = fotogramas.front().stats.shadowMapRendered;
        state.counters[prefijo + "primero_en_movimiento"] = fotogramas.front().enMovimiento;
        state.counters[prefijo + "vuelo_mediana_ms"] = mediana(vuelo);
        state.counters[prefijo + "vuelo_fotogramas"] = double(vuelo.size());
        state.counters[prefijo + "reposo_ms"] = fotogramas.back().ms;
        state.PauseTiming();
        w.vista.limpiarComparacionTRELM();
        w.asentar();
        state.ResumeTiming();
        ++vuelta;
    }
}

}  // namespace

BENCHMARK(BM_RecorridoDosModelos20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Comparacion20000)->Unit(benchmark::kMillisecond)->Arg(1)->Arg(0);
BENCHMARK(BM_AccionComparar20000)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Reporte2000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_FotogramasTrasComparar20000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
