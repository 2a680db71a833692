// One playback tick of the timeline over 50,000 element nodes named by 2,000 packages
// (20 CWAs, 100 CWPs, 1,800 IWPs, 80 PWPs):
//  - BM_TickResuelto: the tick as the window runs it (advance the scrubber, synchronise);
//  - BM_TickMapaPorNombre: the same colouring with the name-to-state map rebuilt from the
//    packages and every node looked up by name on each tick, for comparison;
//  - BM_TickConVentana: the tick with the window (header, tree with every CWA expanded,
//    scrubber) repainted offscreen at 1200 x 720.
// Run the last one with QT_QPA_PLATFORM=offscreen.

#include "timeline/ControladorTimeLiner.h"
#include "timeline/TimeLinerStore.h"
#include "timeline/ui/TimeLinerView.h"

#include "scene/Geometry.h"
#include "viewport/ViewportController.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTimeZone>
#include <benchmark/benchmark.h>

#include <unordered_map>

namespace {

using namespace quelva;

constexpr int kElementos = 50'000;

QDateTime dia(int n)
{
    return QDateTime(QDate(2025, 1, 1), QTime(8, 0), Qt::UTC).addDays(n);
}

struct Proyecto {
    TimeLinerStore store;
    ViewportController viewport;
    std::map<QString, EspecialidadBIM> especialidades;

    Proyecto()
    {
        TimeLinerConfig c;
        c.fechaInicio = dia(0);
        c.fechaFin = dia(730);
        int n = 0;
        auto nuevo = [&](NivelAWP nivel, const QString& codigo, std::optional<QString> padre, int inicio) {
            PaqueteAWP p;
            p.codigo = codigo;
            p.nivel = nivel;
            p.parentCodigo = std::move(padre);
            p.fechaInicio = dia(inicio);
            p.fechaFin = dia(inicio + 40);
            p.presupuesto = 1000 + n;
            p.progreso = (n % 10) / 10.0;
            ++n;
            c.paquetes.push_back(p);
        };
        for (int a = 0; a < 20; ++a) {
            const QString cwa = QStringLiteral("CWA-%1").arg(a);
            nuevo(NivelAWP::cwa, cwa, std::nullopt, a * 30);
            for (int p = 0; p < 5; ++p) {
                const QString cwp = QStringLiteral("%1-P%2").arg(cwa).arg(p);
                nuevo(NivelAWP::cwp, cwp, cwa, a * 30 + p);
                for (int i = 0; i < 18; ++i) {
                    const QString iwp = QStringLiteral("%1-I%2").arg(cwp).arg(i);
                    nuevo(NivelAWP::iwp, iwp, cwp, a * 30 + p * 5 + i);
                    if ((a * 5 + p) * 18 + i < 80)
                        nuevo(NivelAWP::pwp, iwp + QStringLiteral("-W"), iwp, a * 30 + p * 5 + i);
                }
            }
        }
        // 25 element names to each package, in order.
        for (int e = 0; e < kElementos; ++e)
            c.paquetes[std::size_t(e / 25)].elementosNombre.append(QStringLiteral("Elemento-%1").arg(e));

        EspecialidadBIM arq;
        arq.nodoRaiz = scene::Node::make();
        const scene::NodePtr modelo = scene::Node::make();
        arq.nodoRaiz->addChild(modelo);
        const scene::Vec3f puntos[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
        const std::int32_t indices[] = {0, 1, 2};
        for (int e = 0; e < kElementos; ++e) {
            scene::NodePtr nodo = scene::Node::make(scene::makeTriangleGeometry(puntos, indices));
            nodo->geometry->materials = {scene::makeMaterial()};
            nodo->name = QStringLiteral("Elemento-%1").arg(e).toStdString();
            modelo->addChild(nodo);
        }
        especialidades["ARQ"] = arq;
        store.setConfig(std::move(c));
    }
    ControladorTimeLiner::Especialidades getter()
    {
        return [this]() -> const std::map<QString, EspecialidadBIM>& { return especialidades; };
    }
};

Proyecto& proyecto()
{
    static Proyecto p;
    return p;
}

void BM_TickResuelto(benchmark::State& state)
{
    Proyecto& p = proyecto();
    ControladorTimeLiner c(p.store, &p.viewport, p.getter());
    c.setFechaScrubber(dia(0));
    c.alternarReproduccion();
    for (auto _ : state) {
        if (!c.estado().reproduciendo) {
            c.setFechaScrubber(dia(0));
            c.alternarReproduccion();
        }
        c.tickReproduccion();
    }
    c.detenerYRestaurar();
}
BENCHMARK(BM_TickResuelto)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_TickMapaPorNombre(benchmark::State& state)
{
    Proyecto& p = proyecto();
    const TimeLinerConfig& config = p.store.config();
    QDateTime fecha = dia(0);
    const scene::Color verde{0, 0.8, 0.35, 1};
    for (auto _ : state) {
        fecha = fecha.addDays(1);
        if (fecha > config.fechaFin)
            fecha = dia(0);
        std::unordered_map<std::string, int> estados;
        for (const PaqueteAWP& pkg : config.paquetes)
            for (const QString& nombre : pkg.elementosNombre) {
                const int e = fecha < pkg.fechaInicio ? 0 : fecha <= pkg.fechaFin ? 1 : 2;
                estados.try_emplace(nombre.toStdString(), e);
            }
        int tocados = 0;
        p.especialidades.at("ARQ").nodoRaiz->visitDescendants([&](scene::Node& n) {
            if (!n.name || !n.geometry)
                return false;
            const auto it = estados.find(*n.name);
            if (it == estados.end())
                return false;
            scene::Material& m = *n.geometry->materials.front();
            n.opacity = it->second == 0 ? 0.0 : it->second == 1 ? 0.65 : 1.0;
            if (it->second == 1)
                m.diffuse.contents = verde;
            ++tocados;
            return false;
        });
        benchmark::DoNotOptimize(tocados);
    }
}
BENCHMARK(BM_TickMapaPorNombre)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_TickConVentana(benchmark::State& state)
{
    Proyecto& p = proyecto();
    TimeLinerView vista(p.store, {}, {}, &p.viewport, p.getter());
    vista.setAttribute(Qt::WA_DontShowOnScreen);
    vista.resize(1200, 720);
    vista.show();
    for (const PaqueteAWP& cwa : p.store.config().cwas())
        vista.controlador().alternarExpandidoCWA(cwa);
    QImage imagen(1200, 720, QImage::Format_ARGB32_Premultiplied);
    ControladorTimeLiner& c = vista.controlador();
    c.setFechaScrubber(dia(0));
    c.setModoAutoAvance(true);
    c.alternarReproduccion();
    for (auto _ : state) {
        if (!c.estado().reproduciendo) {
            c.setFechaScrubber(dia(0));
            c.alternarReproduccion();
        }
        c.tickReproduccion();
        QPainter pintor(&imagen);
        vista.render(&pintor);
    }
    vista.close();
}
BENCHMARK(BM_TickConVentana)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
