// The timeline window's analytics over 2,000 packages without CWAs (100 CWPs, 1,800 IWPs,
// 100 PWPs): every IWP is a Gantt row and an earned-value card.
//  - BM_TickVentana/<años>/<cara>: one playback tick with automatic progress on, then the whole
//    window (header, tree, Gantt with its month strip, scrubber and the analytics pane showing the
//    earned-value column, cara 0, or the S-curve, cara 1) painted offscreen at 1200 x 720; a
//    project window of 2 or 50 years.
//  - BM_LecturaCurvaS: the pointer moves over the S-curve: the hover state and the chart's repaint.
// Run with QT_QPA_PLATFORM=offscreen.

#include "timeline/ControladorTimeLiner.h"
#include "timeline/TimeLinerStore.h"
#include "timeline/ui/PanelAnalitica.h"
#include "timeline/ui/TimeLinerView.h"
#include "timeline/ui/VistaCurvaS.h"

#include "viewport/ViewportController.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

using namespace quelva;

QDateTime dia(int n)
{
    return QDateTime(QDate(2025, 1, 1), QTime(8, 0), Qt::UTC).addDays(n);
}

TimeLinerConfig proyecto(int anios)
{
    TimeLinerConfig c;
    c.fechaInicio = dia(0);
    c.fechaFin = dia(365 * anios);
    c.moneda = QStringLiteral("CLP");
    const int tramo = std::max(1, 365 * anios / 1800);
    int n = 0;
    for (int p = 0; p < 100; ++p) {
        PaqueteAWP cwp;
        cwp.codigo = QStringLiteral("CWP-%1").arg(p);
        cwp.nivel = NivelAWP::cwp;
        cwp.fechaInicio = dia(p * 18 * tramo);
        cwp.fechaFin = dia((p + 1) * 18 * tramo);
        c.paquetes.push_back(cwp);
        for (int i = 0; i < 18; ++i, ++n) {
            PaqueteAWP iwp;
            iwp.codigo = QStringLiteral("IWP-%1-%2").arg(p).arg(i);
            iwp.nombre = QStringLiteral("Paquete de instalación %1").arg(n);
            iwp.nivel = NivelAWP::iwp;
            iwp.parentCodigo = cwp.codigo;
            iwp.fechaInicio = dia(n * tramo);
            iwp.fechaFin = dia(n * tramo + 40);
            iwp.presupuesto = 1000 + n;
            iwp.costoReal = 900 + n;
            iwp.hh = 50 + n % 30;
            iwp.hhReal = 45 + n % 20;
            iwp.progreso = (n % 10) / 10.0;
            if (n % 7 == 0)
                iwp.fechaInicioReal = iwp.fechaInicio.addDays(2);
            iwp.colorIdx = n % 8;
            c.paquetes.push_back(iwp);
        }
        PaqueteAWP pwp;
        pwp.codigo = QStringLiteral("PWP-%1").arg(p);
        pwp.nivel = NivelAWP::pwp;
        c.paquetes.push_back(pwp);
    }
    return c;
}

struct Ventana {
    TimeLinerStore store;
    ViewportController viewport;
    std::map<QString, EspecialidadBIM> especialidades;
    TimeLinerView vista;

    explicit Ventana(int anios)
        : store(proyecto(anios), nullptr),
          vista(store, {}, {}, &viewport, [this]() -> const std::map<QString, EspecialidadBIM>& { return especialidades; })
    {
        vista.setAttribute(Qt::WA_DontShowOnScreen);
        vista.resize(1200, 720);
        vista.show();
        QCoreApplication::processEvents();
    }
};

void BM_TickVentana(benchmark::State& state)
{
    Ventana v(int(state.range(0)));
    ControladorTimeLiner& c = v.vista.controlador();
    c.setPanelModo(int(state.range(1)));
    c.setFechaScrubber(c.config().fechaInicio);
    c.setModoAutoAvance(true);
    c.setVelocidad(30);
    c.alternarReproduccion();
    QImage imagen(1200, 720, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        if (!c.estado().reproduciendo) {
            c.setFechaScrubber(c.config().fechaInicio);
            c.alternarReproduccion();
        }
        c.tickReproduccion();
        QPainter pintor(&imagen);
        v.vista.render(&pintor);
    }
    v.vista.close();
}
BENCHMARK(BM_TickVentana)
    ->ArgNames({"anios", "cara"})
    ->Args({2, 0})
    ->Args({2, 1})
    ->Args({50, 0})
    ->Args({50, 1})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_LecturaCurvaS(benchmark::State& state)
{
    Ventana v(2);
    ControladorTimeLiner& c = v.vista.controlador();
    c.setPanelModo(1);
    QCoreApplication::processEvents();
    SuperficieCurvaS* s = v.vista.analitica()->panelCurvaS()->superficie();
    QImage imagen(s->size(), QImage::Format_ARGB32_Premultiplied);
    double x = 34;
    for (auto _ : state) {
        x = x + 1 > s->width() - 10 ? 34 : x + 1;
        c.setSCurveHoverX(x);
        QPainter pintor(&imagen);
        s->render(&pintor);
    }
    v.vista.close();
}
BENCHMARK(BM_LecturaCurvaS)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
