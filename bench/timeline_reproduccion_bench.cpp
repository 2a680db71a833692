// Timeline playback at "2×" (30 days a second) over a federation of the size of a real one:
// 2,268 element nodes of 500 triangles each (1.1 million triangles, sun with shadows) in a
// 1280 x 800 view, 354 packages (6 CWAs, 48 CWPs, 300 IWPs each naming 7 or 8 elements) over
// 345 days, so playing from the start to the end should take 11.5 s. The timeline window is
// open beside the view, as in the application.
//  - BM_Reproducir/0: playback as the application runs it (quick frames while it plays);
//  - BM_Reproducir/1: the same with every frame at full quality, for comparison.
// Counters: the wall time of the run against the schedule's (ritmo = measured / expected),
// frames drawn and their mean time, and the full-quality frame after the stop.
// Needs a display (run under xvfb-run for Mesa's software renderer).

#include "Esperar.h"
#include "big_scene.h"

#include "render/SceneView.h"
#include "timeline/ControladorTimeLiner.h"
#include "timeline/TimeLinerStore.h"
#include "timeline/ui/TimeLinerView.h"
#include "viewport/ViewportController.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimeZone>
#include <benchmark/benchmark.h>

namespace {

using namespace quelva;

constexpr int kElementos = 2268;
constexpr int kDias = 345;
constexpr double kVelocidad = 30;  // "2×"

QDateTime dia(int n)
{
    return QDateTime(QDate(2025, 1, 1), QTime(8, 0), Qt::UTC).addDays(n);
}

TimeLinerConfig configuracion()
{
    TimeLinerConfig c;
    c.fechaInicio = dia(0);
    c.fechaFin = dia(kDias);
    auto nuevo = [&](NivelAWP nivel, const QString& codigo, std::optional<QString> padre, int inicio, int largo) {
        PaqueteAWP p;
        p.codigo = codigo;
        p.nivel = nivel;
        p.parentCodigo = std::move(padre);
        p.fechaInicio = dia(inicio);
        p.fechaFin = dia(inicio + largo);
        p.presupuesto = 1000 + 10 * int(c.paquetes.size());
        p.colorIdx = int(c.paquetes.size()) % 8;
        c.paquetes.push_back(p);
    };
    int iwp = 0;
    for (int a = 0; a < 6; ++a) {
        const QString cwa = QStringLiteral("CWA-%1").arg(a);
        nuevo(NivelAWP::cwa, cwa, std::nullopt, a * 50, 60);
        for (int p = 0; p < 8; ++p) {
            const QString cwp = QStringLiteral("%1-P%2").arg(cwa).arg(p);
            nuevo(NivelAWP::cwp, cwp, cwa, a * 50 + p * 3, 40);
            for (int i = 0; i < 6 + (p < 2 ? 1 : 0) && iwp < 300; ++i, ++iwp)
                nuevo(NivelAWP::iwp, QStringLiteral("%1-I%2").arg(cwp).arg(i), cwp, iwp * (kDias - 30) / 300, 30);
        }
    }
    // The elements in order, 7 or 8 to each IWP.
    std::vector<PaqueteAWP*> iwps;
    for (PaqueteAWP& p : c.paquetes)
        if (p.nivel == NivelAWP::iwp)
            iwps.push_back(&p);
    for (int e = 0; e < kElementos; ++e)
        iwps[std::size_t(e) * iwps.size() / kElementos]->elementosNombre.append(QStringLiteral("Elemento-%1").arg(e));
    return c;
}

struct Federacion {
    bench::BigScene escena;
    EspecialidadBIM modelo;

    Federacion()
    {
        // The big scene's columns and 268 more, all under one model root.
        modelo.nodoRaiz = scene::Node::make();
        escena.scene->rootNode()->addChild(modelo.nodoRaiz);
        std::vector<scene::NodePtr> nodos = escena.nodes;
        for (int i = int(nodos.size()); i < kElementos; ++i) {
            auto n = scene::Node::make(bench::column(0.4, 3, {0.6, 0.5, 0.7, 1}));
            n->position = nodos[std::size_t(i % 50)]->position + scene::Vec3{0, -2.0 * (1 + i / 50 - 40), 0};
            nodos.push_back(n);
        }
        for (int i = 0; i < kElementos; ++i) {
            nodos[std::size_t(i)]->name = QStringLiteral("Elemento-%1").arg(i).toStdString();
            modelo.nodoRaiz->addChild(nodos[std::size_t(i)]);
        }
    }
};

void BM_Reproducir(benchmark::State& state)
{
    const bool calidadCompleta = state.range(0) == 1;
    Federacion f;
    std::map<QString, EspecialidadBIM> especialidades{{QStringLiteral("ARQ"), f.modelo}};
    render::SceneView vista3D;
    vista3D.resize(1280, 800);
    vista3D.setScene(f.escena.scene);
    vista3D.setPointOfView(f.escena.camera);
    vista3D.setCameraTarget(f.escena.centre);
    ViewportController viewport;
    viewport.scnView = &vista3D;
    TimeLinerStore store(configuracion(), nullptr);
    TimeLinerView ventana(store, {}, {}, &viewport,
                          [&]() -> const std::map<QString, EspecialidadBIM>& { return especialidades; });
    ventana.resize(1200, 720);

    int fotogramas = 0;
    double segundosFotogramas = 0;
    QObject::connect(&vista3D, &render::SceneView::frameRendered, [&] {
        ++fotogramas;
        segundosFotogramas += vista3D.lastFrameSeconds();
    });
    vista3D.show();
    ventana.show();
    ControladorTimeLiner& c = ventana.controlador();
    // The first synchronisation and the upload of the meshes are not playback.
    if (!bench::esperar([&] { return !c.estado().estadoSync4D.isEmpty() && fotogramas > 0 && !vista3D.isMoving(); }))
        state.SkipWithError("the view never settled");
    c.setVelocidad(kVelocidad);

    double medido = 0, ultimo = 0;
    int durante = 0;
    for (auto _ : state) {
        c.setFechaScrubber(dia(0));
        fotogramas = 0;
        segundosFotogramas = 0;
        QElapsedTimer reloj;
        reloj.start();
        c.alternarReproduccion();
        if (calidadCompleta)
            vista3D.setAnimatingScene(false);
        if (!bench::esperar([&] { return !c.estado().reproduciendo; }))
            state.SkipWithError("playback never ended");
        medido = double(reloj.nsecsElapsed()) * 1e-9;
        durante = fotogramas;
        const double tiempoDurante = segundosFotogramas;
        // The full-quality frame that follows the stop (the frames were full already in the
        // comparison).
        const int antes = fotogramas;
        if (!calidadCompleta && !bench::esperar([&] { return !vista3D.isMoving() && fotogramas > antes; }))
            state.SkipWithError("no full-quality frame after the stop");
        ultimo = vista3D.lastFrameSeconds();
        state.counters["fotograma_ms"] = durante > 0 ? tiempoDurante / durante * 1000 : 0;
    }
    const double esperado = kDias / kVelocidad;
    state.counters["esperado_s"] = esperado;
    state.counters["medido_s"] = medido;
    state.counters["ritmo"] = medido / esperado;
    state.counters["fotogramas"] = durante;
    state.counters["fotograma_final_ms"] = ultimo * 1000;
    ventana.close();
}
BENCHMARK(BM_Reproducir)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
