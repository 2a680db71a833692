// Saving and opening a large project document: 20 models, 5,000 packages of 40 element names,
// 50 analyses of 200 clashes and 100 comments with 200 KB pictures (about 50 MB of JSON).
// Beside them, the JSON library's own dump and parse of the same bytes. Saving and opening the
// file stream it; "crecimientoPico" is how far the peak memory of the step rose above what the
// process held before it, as a multiple of the document (measured in a forked child, or for the
// window steps in this process from a reset peak). The window steps need a display (xvfb-run).

#include "main_window/ContentView.h"
#include "platform/Queues.h"
#include "project/ArchivoProyecto.h"
#include "project/CodificacionProyecto.h"
#include "project/GestorProyecto.h"
#include "project/HuellaProyecto.h"

#include "platform/AtomicFile.h"

#include "Memoria.h"

#include <QAbstractAnimation>
#include <QApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <fstream>
#include <functional>
#include <string>
#include <utility>

namespace {

using namespace quelva;

ProyectoQUELVA proyectoGrande()
{
    ProyectoQUELVA p;
    EspecialidadGuardada e;
    e.key = "ARQ";
    e.nombre = "Arquitectura";
    e.icono = "building.2";
    for (int i = 0; i < 20; ++i) {
        ModeloGuardado m;
        m.nombre = QStringLiteral("modelo_%1.ifc").arg(i);
        m.rutaAbsoluta = "/obra/" + m.nombre;
        e.modelos.push_back(m);
    }
    p.ordenEspecialidades = {"ARQ"};
    p.especialidades = {e};
    const QDateTime fecha(QDate(2025, 3, 1), QTime(9, 30), Qt::UTC);
    for (int a = 0; a < 50; ++a) {
        AnalisisGuardado an;
        an.id = QUuid::createUuid();
        an.nombre = QStringLiteral("Análisis %1").arg(a);
        an.fecha = fecha;
        an.tolerancia = 0.02;
        for (int i = 0; i < 200; ++i) {
            InterferenciaGuardada c;
            c.id = QUuid::createUuid();
            c.nombreA = QStringLiteral("Muro-%1").arg(i);
            c.nombreB = QStringLiteral("Viga-%1").arg(i);
            c.especialidadA = "ARQ";
            c.especialidadB = "EST";
            c.estado = "Abierto";
            c.vpPosX = i * 1.25;
            c.vpTgtZ = 3.1;
            c.radio = 0.5;
            an.interferencias.push_back(c);
        }
        p.historialAnalisis.push_back(an);
    }
    TimeLinerConfig cfg;
    cfg.fechaInicio = fecha;
    cfg.fechaFin = fecha.addYears(1);
    for (int i = 0; i < 5000; ++i) {
        PaqueteAWP q;
        q.codigo = QStringLiteral("IWP-%1").arg(i);
        q.nombre = q.codigo;
        q.fechaInicio = fecha;
        q.fechaFin = fecha.addDays(30);
        q.progreso = 0.4;
        for (int n = 0; n < 40; ++n)
            q.elementosNombre.append(QStringLiteral("Elemento-%1-%2").arg(i).arg(n));
        cfg.paquetes.push_back(q);
    }
    p.timeLiner = cfg;
    p.secciones.emplace();
    p.cotasPorSeccion.emplace();
    p.etiquetasPorSeccion.emplace();
    std::vector<ComentarioMarkup> comentarios;
    QByteArray imagen(200 * 1024, '\0');
    for (char& c : imagen)
        c = char(QRandomGenerator::global()->generate());
    for (int i = 0; i < 100; ++i) {
        ComentarioMarkup c;
        c.tag = QStringLiteral("MRK-%1").arg(i);
        c.fecha = fecha;
        c.imagenJPEG = imagen;
        comentarios.push_back(c);
    }
    p.comentarios = std::move(comentarios);
    return p;
}

const ProyectoQUELVA& proyecto()
{
    static const ProyectoQUELVA p = proyectoGrande();
    return p;
}

const QByteArray& bytes()
{
    static const QByteArray b = std::get<QByteArray>(codificarProyectoQUELVA(proyecto()));
    return b;
}

// The rise of the peak resident size while `paso` runs, in a child so earlier peaks don't hide it.
double crecimientoPicoMB(const std::function<void()>& paso)
{
    int tubo[2];
    if (pipe(tubo) != 0)
        return -1;
    const pid_t hijo = fork();
    if (hijo == 0) {
        malloc_trim(0);  // what earlier steps freed would otherwise hide the rise
        const long antes = bench::residenteKB();
        paso();
        const long crecimiento = bench::picoKB() - antes;
        (void)!write(tubo[1], &crecimiento, sizeof crecimiento);
        _exit(0);
    }
    long crecimiento = -1;
    (void)!read(tubo[0], &crecimiento, sizeof crecimiento);
    waitpid(hijo, nullptr, 0);
    close(tubo[0]);
    close(tubo[1]);
    return double(crecimiento) * 1024 / 1e6;  // the same megabytes as the document's
}

void BM_GuardarArchivoProyecto(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("obra.json");
    for (auto _ : state) {
        auto error = guardarArchivoProyecto(proyecto(), ruta);
        benchmark::DoNotOptimize(error);
    }
    const double mb = double(bytes().size()) / 1e6;
    state.counters["MB"] = mb;
    state.counters["crecimientoPico"] = crecimientoPicoMB([&] { guardarArchivoProyecto(proyecto(), ruta); }) / mb;
}

void BM_AbrirArchivoProyecto(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("obra.json");
    platform::replaceFileAtomically(ruta, bytes());
    for (auto _ : state) {
        auto r = leerArchivoProyecto(ruta);
        benchmark::DoNotOptimize(r);
    }
    const double mb = double(bytes().size()) / 1e6;
    state.counters["crecimientoPico"] = crecimientoPicoMB([&] { auto r = leerArchivoProyecto(ruta); }) / mb;
}

void BM_GuardarProyecto(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("obra.json");
    for (auto _ : state) {
        auto r = codificarProyectoQUELVA(proyecto());
        auto error = platform::replaceFileAtomically(ruta, std::get<QByteArray>(r));
        benchmark::DoNotOptimize(error);
    }
    state.counters["MB"] = double(bytes().size()) / 1e6;
    state.counters["picoMB"] = double(bench::picoKB()) / 1024;
}

void BM_CodificarProyecto(benchmark::State& state)
{
    for (auto _ : state) {
        auto r = codificarProyectoQUELVA(proyecto());
        benchmark::DoNotOptimize(r);
    }
}

void BM_AbrirProyecto(benchmark::State& state)
{
    for (auto _ : state) {
        auto r = decodificarProyectoQUELVA(bytes());
        benchmark::DoNotOptimize(r);
    }
    state.counters["picoMB"] = double(bench::picoKB()) / 1024;
}

// What quitting or opening another project costs before it may ask: the document a save would
// write, and its digest compared with the saved one.
void BM_ComprobarCambios(benchmark::State& state)
{
    const QByteArray guardada = QCryptographicHash::hash(bytes(), QCryptographicHash::Sha256);
    for (auto _ : state) {
        const bool cambios = huellaProyecto(proyecto()) != guardada;
        benchmark::DoNotOptimize(cambios);
    }
}

// A 200 MB file given as a project: refused from its size, nothing read.
void BM_RechazarProyectoGrande(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("grande.json");
    QFile f(ruta);
    if (!f.open(QIODevice::WriteOnly) || !f.resize(200'000'000))
        state.SkipWithError("no sparse file");
    f.close();
    for (auto _ : state) {
        auto r = leerArchivoProyecto(ruta);
        if (!std::holds_alternative<QString>(r))
            state.SkipWithError("read instead of refused");
    }
}

void BM_ReferenciaDumpJSON(benchmark::State& state)
{
    const nlohmann::json j = nlohmann::json::parse(bytes().cbegin(), bytes().cend());
    for (auto _ : state) {
        std::string s = j.dump(2);
        benchmark::DoNotOptimize(s);
    }
}

void BM_ReferenciaParseJSON(benchmark::State& state)
{
    for (auto _ : state) {
        nlohmann::json j = nlohmann::json::parse(bytes().cbegin(), bytes().cend());
        benchmark::DoNotOptimize(j);
    }
}


// --- Through the window -----------------------------------------------------------------------

// The document without its models: their conversions run behind the overlay, outside the timing.
const QByteArray& bytesSinModelos()
{
    static const QByteArray b = [] {
        ProyectoQUELVA p = proyecto();
        for (EspecialidadGuardada& e : p.especialidades)
            e.modelos.clear();
        return std::get<QByteArray>(codificarProyectoQUELVA(p));
    }();
    return b;
}

// The longest the event loop was held between `inicio()` and `fin()`, from a 2 ms pulse.
class Pulso {
public:
    Pulso()
    {
        timer_.setInterval(2);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 ahora = reloj_.nsecsElapsed();
            maximo_ = std::max(maximo_, ahora - ultimo_);
            ultimo_ = ahora;
        });
    }
    void inicio()
    {
        reloj_.start();
        ultimo_ = 0;
        maximo_ = 0;
        timer_.start();
    }
    double finMs()
    {
        timer_.stop();
        maximo_ = std::max(maximo_, reloj_.nsecsElapsed() - ultimo_);
        return double(maximo_) / 1e6;
    }

private:
    QTimer timer_;
    QElapsedTimer reloj_;
    qint64 ultimo_ = 0;
    qint64 maximo_ = 0;
};

// Turns the event loop until `listo` holds and then until an event posted after that is
// delivered: the window answers again.
void esperarRespuesta(const std::function<bool()>& listo)
{
    while (!listo())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    bool respondio = false;
    QTimer::singleShot(0, [&respondio] { respondio = true; });
    while (!respondio)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Background work of the last step (and what it posts back) is over, and so are the window's
// fades (a few seconds at most): by the time a user has chosen the next file in a dialog they
// have long run out, and a fade's frames would be timed as part of the open.
void esperarCalma(const QWidget& ventana)
{
    platform::BackgroundQueue::waitForIdle();
    const auto animando = [&ventana] {
        const auto animaciones = ventana.findChildren<QAbstractAnimation*>();
        return std::any_of(animaciones.begin(), animaciones.end(),
                           [](const QAbstractAnimation* a) { return a->state() == QAbstractAnimation::Running; });
    };
    QElapsedTimer reloj;
    reloj.start();
    while (reloj.elapsed() < 300 || (animando() && reloj.elapsed() < 3000))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

struct VentanaConProyecto {
    QTemporaryDir dir;
    QString grande = dir.filePath("obra.json");
    QString vacio = dir.filePath("vacio.json");
    ContentView vista;

    VentanaConProyecto()
    {
        platform::replaceFileAtomically(grande, bytesSinModelos());
        platform::replaceFileAtomically(vacio, std::get<QByteArray>(codificarProyectoQUELVA(ProyectoQUELVA{})));
        vista.resize(1440, 900);
        vista.show();
        QCoreApplication::processEvents();
    }
    bool abierto(const QString& ruta, std::size_t comentarios)
    {
        return vista.gestor()->urlActual() == ruta && vista.markup.comentarios.size() == comentarios
               && vista.dialogoActivo() == nullptr;
    }
    void abrir(const QString& ruta, std::size_t comentarios)
    {
        vista.cargarProyecto(ruta);
        esperarRespuesta([&] { return abierto(ruta, comentarios); });
    }
};

// "Abrir proyecto..." once the file is chosen, until the window answers with the project in it:
// reading, decoding, restoring, the views and the unsaved-changes mark. bloqueoMax_ms: the
// longest the window was held meanwhile.
void BM_AbrirProyectoVentana(benchmark::State& state)
{
    VentanaConProyecto v;
    const double mb = double(bytesSinModelos().size()) / 1e6;
    Pulso pulso;
    double bloqueo = 0, pico = 0, picoTrasPrimera = 0;
    bool primera = true;
    for (auto _ : state) {
        v.abrir(v.vacio, 0);
        esperarCalma(v.vista);
        malloc_trim(0);
        const long antes = bench::residenteKB();
        bench::reiniciarPico();
        pulso.inicio();
        const auto inicio = std::chrono::steady_clock::now();
        v.abrir(v.grande, 100);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count());
        bloqueo = std::max(bloqueo, pulso.finMs());
        esperarCalma(v.vista);
        const double esta = double(bench::picoDesdeReinicioKB() - antes) * 1024 / 1e6;
        pico = std::max(pico, esta);
        if (!std::exchange(primera, false))
            picoTrasPrimera = std::max(picoTrasPrimera, esta);
    }
    if (v.vista.hayCambiosSinGuardar())
        state.SkipWithError("opened project counts as changed");
    state.counters["MB"] = mb;
    state.counters["bloqueoMax_ms"] = bloqueo;
    state.counters["crecimientoPico"] = pico / mb;
    // The first open of the process also sets up what later opens reuse (pools, caches).
    state.counters["crecimientoPicoTrasPrimera"] = picoTrasPrimera / mb;
}

// "Guardar proyecto" of the open project to its file, until the window answers: encoding,
// writing, the unsaved-changes mark.
void BM_GuardarProyectoVentana(benchmark::State& state)
{
    VentanaConProyecto v;
    v.abrir(v.grande, 100);
    const QString destino = v.dir.filePath("guardado.json");
    v.vista.gestor()->establecerURL(destino);
    esperarCalma(v.vista);
    const double mb = double(bytesSinModelos().size()) / 1e6;
    double pico = 0;
    for (auto _ : state) {
        malloc_trim(0);
        const long antes = bench::residenteKB();
        bench::reiniciarPico();
        const auto inicio = std::chrono::steady_clock::now();
        v.vista.guardarProyecto();
        esperarRespuesta([] { return true; });
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count());
        esperarCalma(v.vista);
        pico = std::max(pico, double(bench::picoDesdeReinicioKB() - antes) * 1024 / 1e6);
    }
    QFile guardado(destino);
    if (!guardado.open(QIODevice::ReadOnly) || guardado.readAll() != bytesSinModelos())
        state.SkipWithError("saved bytes differ from the opened file");
    if (v.vista.hayCambiosSinGuardar())
        state.SkipWithError("saved project counts as changed");
    state.counters["MB"] = mb;
    state.counters["crecimientoPico"] = pico / mb;
}

BENCHMARK(BM_GuardarArchivoProyecto)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AbrirArchivoProyecto)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GuardarProyecto)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CodificarProyecto)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AbrirProyecto)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ComprobarCambios)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RechazarProyectoGrande)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReferenciaDumpJSON)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReferenciaParseJSON)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AbrirProyectoVentana)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_GuardarProyectoVentana)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    bytes();  // built once, outside the timings
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
