// The timeline's CSV exchange and detector at the sizes a large project reaches:
//  - BM_Parsear: a 10,000-row file (~1 MB: CRLF, quoted names, both date forms) read in
//    America/Santiago;
//  - BM_VistaPrevia: the preview of those rows built, shown and painted once;
//  - BM_ConfirmarEnVentana: those packages confirmed into an open timeline window (the merge
//    and the window following it);
//  - BM_ConfirmarGrande: 100,000 and 620,000 packages (400 to a CWA: 250 and 1,550 CWAs)
//    confirmed into an open window and the window drawn, with the analytics column on its
//    EVM cards (second argument 0) or on the S-curve (1);
//  - BM_ImportarPorLaHoja: 100,000 and 620,000 packages imported as the user does it, through
//    the real window: "Importar CSV" clicked until the preview sheet is shown and painted
//    (lectura_ms), then the sheet's own import button clicked until the window has taken every
//    package, the sheet is gone and the window is drawn (confirmar_ms); pausa_*_ms is the
//    longest stretch in which the GUI thread turned no event (the window could not repaint);
//    the analytics column on its EVM cards (second argument 0) or on the S-curve (1);
//  - BM_Exportar: the export of 10,000 packages including the atomic write;
//  - BM_Escaneo: the detector's scan of 100,000 elements x 20 properties with 1,000 codes;
//  - BM_ImportarDetectados: the import of those 1,000 ticked codes with parent inference.
// Run with QT_QPA_PLATFORM=offscreen.

#include "timeline/csv/ArchivoCSV.h"
#include "timeline/csv/TimeLinerCSV.h"
#include "timeline/csv/ui/ImportarCSVView.h"
#include "timeline/csv/ui/IntercambioCSV.h"
#include "timeline/HojasTimeLiner.h"
#include "timeline/detector/DetectorAWP.h"
#include "timeline/TimeLinerStore.h"
#include "timeline/ui/TimeLinerView.h"

#include "viewport/ViewportController.h"

#include <QApplication>
#include <QAbstractButton>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <functional>

namespace {

using namespace quelva;

QString textoCSV()
{
    QString t = QStringLiteral("Nivel,Código,Nombre,Padre,Fecha Inicio,Fecha Fin,Avance %,Presupuesto,HH Plan\r\n");
    static const char* const niveles[] = {"CWA", "CWP", "IWP", "PWP"};
    for (int i = 0; i < 10'000; ++i) {
        const int dia = 1 + i % 28, mes = 1 + i % 12;
        const QString inicio = i % 2 ? QStringLiteral("%1/%2/2025").arg(dia, 2, 10, QChar(u'0')).arg(mes, 2, 10, QChar(u'0'))
                                     : QStringLiteral("2025-%1-%2").arg(mes, 2, 10, QChar(u'0')).arg(dia, 2, 10, QChar(u'0'));
        t += QStringLiteral("%1,IWP-%2,\"Instalación eléctrica, sector %2 — \"\"tablero\"\" norte y sur del edificio\",CWP-%3,%4,2026-%5-28,%6,%7,%8\r\n")
                 .arg(QString::fromLatin1(niveles[i % 4]))
                 .arg(i, 5, 10, QChar(u'0'))
                 .arg(i / 10, 4, 10, QChar(u'0'))
                 .arg(inicio)
                 .arg(mes, 2, 10, QChar(u'0'))
                 .arg(i % 101)
                 .arg(1000 + i * 7)
                 .arg(40 + i % 300);
    }
    return t;
}

struct Santiago {
    Santiago()
    {
        setenv("TZ", "America/Santiago", 1);
        tzset();
    }
};

void BM_Parsear(benchmark::State& state)
{
    static Santiago tz;
    const QString texto = textoCSV();
    std::size_t n = 0;
    for (auto _ : state) {
        auto ps = TimeLinerCSV::parsear(texto);
        n = ps.size();
        benchmark::DoNotOptimize(ps);
    }
    state.counters["filas"] = double(n);
    state.counters["bytes"] = double(texto.toUtf8().size());
}
BENCHMARK(BM_Parsear)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_Exportar(benchmark::State& state)
{
    const auto paquetes = TimeLinerCSV::parsear(textoCSV());
    QTemporaryDir dir;
    const QString ruta = dir.filePath("TimeLiner_AWP_QUELVA.csv");
    for (auto _ : state) {
        if (escribirArchivoCSV(ruta, paquetes))
            state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_Exportar)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// 100,000 elements in 4 disciplines, 20 properties each, 4 of them AWP codes: 20 CWAs,
// 80 CWPs, 700 IWPs and 200 PWPs.
const PropiedadesPorEspecialidad& tabla()
{
    static const PropiedadesPorEspecialidad t = [] {
        PropiedadesPorEspecialidad t;
        const char* const esp[] = {"ARQ", "EST", "MEP", "SAN"};
        for (int i = 0; i < 100'000; ++i) {
            auto& props = t[QString::fromLatin1(esp[i % 4])]["Elemento_" + std::to_string(i)];
            props["__tipoIFC"] = "IFCWALL";
            for (int k = 0; k < 15; ++k)
                props["Pset_Comun \u203A Propiedad" + std::to_string(k)] = "Valor " + std::to_string(i % 97);
            const int iwp = i % 700;
            props["Pset_AWP \u203A CWA"] = "CWA-" + std::to_string(iwp % 20);
            props["Pset_AWP \u203A CWP"] = "CWP-" + std::to_string(iwp % 80);
            props["Pset_AWP \u203A IWP"] = "IWP-" + std::to_string(iwp);
            props["Pset_AWP \u203A PWP"] = "PWP-" + std::to_string(i % 200);
        }
        return t;
    }();
    return t;
}

void BM_Escaneo(benchmark::State& state)
{
    const PropiedadesPorEspecialidad& t = tabla();
    std::size_t n = 0;
    for (auto _ : state) {
        auto r = analizarPropiedades(t);
        n = r.size();
        benchmark::DoNotOptimize(r);
    }
    state.counters["codigos"] = double(n);
}
BENCHMARK(BM_Escaneo)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ImportarDetectados(benchmark::State& state)
{
    const auto resultados = analizarPropiedades(tabla());
    QSet<QString> todos;
    for (const auto& r : resultados)
        todos.insert(r.codigo);
    const TimeLinerConfig vacia;
    for (auto _ : state) {
        auto c = importarSeleccionados(vacia, resultados, todos);
        benchmark::DoNotOptimize(c);
    }
}
BENCHMARK(BM_ImportarDetectados)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The window benchmarks come last: what an open window leaves behind would count in the others.
void BM_VistaPrevia(benchmark::State& state)
{
    static Santiago tz;
    const auto paquetes = TimeLinerCSV::parsear(textoCSV());
    QImage imagen(780, 520, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        ImportarCSVView hoja(paquetes, {});
        hoja.setAttribute(Qt::WA_DontShowOnScreen);
        hoja.show();
        QPainter pintor(&imagen);
        hoja.render(&pintor);
    }
}
BENCHMARK(BM_VistaPrevia)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The timeline window at its default size, off screen, over an empty store.
struct VentanaTimeLiner {
    TimeLinerStore store;
    ViewportController viewport;
    std::map<QString, EspecialidadBIM> especialidades;
    TimeLinerView vista{store, {}, {}, &viewport,
                        [this]() -> const std::map<QString, EspecialidadBIM>& { return especialidades; }};

    VentanaTimeLiner()
    {
        vista.setAttribute(Qt::WA_DontShowOnScreen);
        vista.resize(1200, 720);
        vista.show();
    }
    ~VentanaTimeLiner() { vista.close(); }
};

void BM_ConfirmarEnVentana(benchmark::State& state)
{
    static Santiago tz;
    const auto paquetes = TimeLinerCSV::parsear(textoCSV());
    VentanaTimeLiner v;
    TimeLinerStore& store = v.store;
    TimeLinerView& vista = v.vista;
    for (auto _ : state) {
        state.PauseTiming();
        store.setConfig(TimeLinerConfig());
        QApplication::processEvents();
        state.ResumeTiming();
        vista.controlador().agregarPaquetesCSV(paquetes);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ConfirmarEnVentana)->Unit(benchmark::kMillisecond)->Iterations(1);

// One CWA in 400 packages: 9 CWPs, 300 IWPs under them, 50 IWPs straight under the CWA and
// 40 PWPs, with budgets, man-hours and a few actual dates.
std::vector<PaqueteAWP> paquetesGrandes(int n)
{
    std::vector<PaqueteAWP> r;
    r.reserve(std::size_t(n));
    const QDateTime base(QDate(2025, 1, 1), QTime(8, 0), Qt::UTC);
    auto nuevo = [&](NivelAWP nivel, QString codigo, std::optional<QString> padre) {
        const int i = int(r.size());
        PaqueteAWP p;
        p.codigo = std::move(codigo);
        p.nombre = QStringLiteral("Paquete %1").arg(i);
        p.nivel = nivel;
        p.parentCodigo = std::move(padre);
        p.fechaInicio = base.addDays(i * 7 % 700);
        p.fechaFin = p.fechaInicio.addDays(20 + i % 60);
        if (i % 13 == 0)
            p.fechaInicioReal = p.fechaInicio.addDays(i % 5 - 2);
        p.progreso = (i % 11) / 10.0;
        p.presupuesto = 1000 + i % 977;
        p.costoReal = p.presupuesto * p.progreso * 1.1;
        p.hh = 40 + i % 300;
        p.hhReal = p.hh * p.progreso;
        p.colorIdx = i % 8;
        r.push_back(std::move(p));
        return r.back().codigo;
    };
    for (int a = 0; int(r.size()) < n; ++a) {
        const QString cwa = nuevo(NivelAWP::cwa, QStringLiteral("CWA-%1").arg(a, 5, 10, QChar(u'0')), std::nullopt);
        for (int k = 0; k < 9; ++k) {
            const QString cwp = nuevo(NivelAWP::cwp, QStringLiteral("%1-P%2").arg(cwa).arg(k), cwa);
            for (int i = 0; i < 35; ++i) {
                const QString iwp = nuevo(NivelAWP::iwp, QStringLiteral("%1-I%2").arg(cwp).arg(i), cwp);
                if (i < 4)
                    nuevo(NivelAWP::pwp, iwp + QStringLiteral("-W"), iwp);
            }
        }
        for (int i = 0; i < 35; ++i)
            nuevo(NivelAWP::iwp, QStringLiteral("%1-I%2").arg(cwa).arg(i), cwa);
        for (int i = 0; i < 9; ++i)
            nuevo(NivelAWP::iwp, QStringLiteral("%1-S%2").arg(cwa).arg(i), std::nullopt);
    }
    r.resize(std::size_t(n));
    return r;
}

void BM_ConfirmarGrande(benchmark::State& state)
{
    static Santiago tz;
    const auto paquetes = paquetesGrandes(int(state.range(0)));
    VentanaTimeLiner v;
    TimeLinerStore& store = v.store;
    TimeLinerView& vista = v.vista;
    vista.controlador().setPanelModo(int(state.range(1)));
    QImage imagen(vista.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        state.PauseTiming();
        store.setConfig(TimeLinerConfig());
        QApplication::processEvents();
        state.ResumeTiming();
        vista.controlador().agregarPaquetesCSV(paquetes);
        QApplication::processEvents();
        QPainter pintor(&imagen);
        vista.render(&pintor);
    }
    if (store.config().paquetes.size() != paquetes.size())
        state.SkipWithError("not every package was added");
    state.counters["paquetes"] = double(paquetes.size());
}
BENCHMARK(BM_ConfirmarGrande)
    ->ArgsProduct({{100'000, 620'000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The longest stretch without a turn of the GUI thread's event loop: a 5 ms timer stamps every
// turn it gets, so a gap between two stamps is time in which nothing could be repainted.
class Pulso {
public:
    Pulso()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] { marcar(); });
    }
    void empezar()
    {
        reloj_.start();
        ultimo_ = 0;
        maximo_ = 0;
        timer_.start(5);
    }
    // Turns the event loop until `listo` holds; the elapsed milliseconds.
    double esperar(const std::function<bool()>& listo)
    {
        while (!listo())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
        marcar();
        timer_.stop();
        return double(reloj_.nsecsElapsed()) / 1e6;
    }
    double pausaMaxima() const { return double(maximo_) / 1e6; }

private:
    void marcar()
    {
        const qint64 t = reloj_.nsecsElapsed();
        maximo_ = std::max(maximo_, t - ultimo_);
        ultimo_ = t;
    }

    QTimer timer_;
    QElapsedTimer reloj_;
    qint64 ultimo_ = 0;
    qint64 maximo_ = 0;
};

// The file the user picks: the large timeline exported, then imported into an empty window
// through the header button and the preview sheet.
void BM_ImportarPorLaHoja(benchmark::State& state)
{
    static Santiago tz;
    const auto paquetes = paquetesGrandes(int(state.range(0)));
    QTemporaryDir dir;
    const QString ruta = dir.filePath("TimeLiner_AWP_QUELVA.csv");
    if (escribirArchivoCSV(ruta, paquetes)) {
        state.SkipWithError("write failed");
        return;
    }
    ServiciosIntercambioCSV s;
    s.elegirArchivo = [ruta](QWidget*, std::function<void(const QString&)> alElegir) { alElegir(ruta); };
    s.elegirDestino = [](QWidget*, std::function<void(const QString&)>) {};
    s.alertar = [&state](QWidget*, const QString&, const QString& texto) {
        state.SkipWithError(texto.toStdString().c_str());
    };
    registrarIntercambioCSV(std::move(s));

    VentanaTimeLiner v;
    v.vista.controlador().setPanelModo(int(state.range(1)));
    auto* importar = v.vista.findChild<QAbstractButton*>(QStringLiteral("importarCSV"));
    QImage imagenHoja(780, 520, QImage::Format_ARGB32_Premultiplied);
    QImage imagenVentana(v.vista.size(), QImage::Format_ARGB32_Premultiplied);
    Pulso pulso;
    double lectura = 0, confirmar = 0, pausaLectura = 0, pausaConfirmar = 0;
    for (auto _ : state) {
        v.store.setConfig(TimeLinerConfig());
        QApplication::processEvents();

        pulso.empezar();
        importar->click();
        QPointer<ImportarCSVView> hoja;
        lectura = pulso.esperar([&] {
            hoja = v.vista.findChild<ImportarCSVView*>();
            if (!hoja || !hoja->isVisible())
                return false;
            QPainter pintor(&imagenHoja);
            hoja->render(&pintor);
            return true;
        });
        pausaLectura = pulso.pausaMaxima();
        if (!hoja || hoja->modelo().paquetes().size() != paquetes.size()) {
            state.SkipWithError("the sheet does not hold every package");
            break;
        }

        pulso.empezar();
        hoja->botonImportar()->click();
        confirmar = pulso.esperar([&] {
            if (hoja && hoja->isVisible())
                return false;
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            if (hoja || v.store.config().paquetes.size() != paquetes.size())
                return false;
            QPainter pintor(&imagenVentana);
            v.vista.render(&pintor);
            return true;
        });
        pausaConfirmar = pulso.pausaMaxima();
        state.SetIterationTime((lectura + confirmar) / 1000.0);
    }
    hojasTimeLiner() = {};
    state.counters["paquetes"] = double(paquetes.size());
    state.counters["lectura_ms"] = lectura;
    state.counters["pausa_lectura_ms"] = pausaLectura;
    state.counters["confirmar_ms"] = confirmar;
    state.counters["pausa_confirmar_ms"] = pausaConfirmar;
}
BENCHMARK(BM_ImportarPorLaHoja)
    ->ArgsProduct({{100'000, 620'000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
