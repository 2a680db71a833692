// Printable timeline (run under a display, e.g. xvfb-run): the Gantt PDF of 2,000 packages over
// a 24-month project, with the file's size and the peak memory growth of the first write; and the
// card PDF of a CWA with 60 children and 250 linked elements.

#include "timeline/FigurasTimeLiner.h"
#include "timeline/impresion/FichaPDF.h"
#include "timeline/impresion/PaginaGanttPDF.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <clocale>

using namespace quelva;

namespace {

QDateTime dia(int d)
{
    return QDateTime(QDate(2025, 1, 1).addDays(d), QTime(8, 0), Qt::UTC);
}

PaqueteAWP paquete(const QString& codigo, NivelAWP nivel, std::optional<QString> padre, int desde, int dias)
{
    PaqueteAWP p;
    p.codigo = codigo;
    p.nombre = QStringLiteral("Paquete %1 de la obra").arg(codigo);
    p.nivel = nivel;
    p.parentCodigo = std::move(padre);
    p.fechaInicio = dia(desde);
    p.fechaFin = dia(desde + dias);
    p.presupuesto = 125000;
    p.progreso = (desde % 5) / 4.0;
    p.hh = 40;
    p.hhReal = 30;
    p.costoReal = 90000;
    p.colorIdx = desde % 8;
    return p;
}

// 20 CWAs, 100 CWPs, 1,880 IWPs (18 under each CWP, 4 straight under each CWA): 2,000 rows.
PaginaGantt gantt()
{
    PaginaGantt g;
    g.gCfg.fechaInicio = dia(0);
    g.gCfg.fechaFin = dia(730);
    g.gCfg.moneda = "CLP";
    int n = 0;
    for (int a = 0; a < 20; ++a) {
        const QString cwa = QStringLiteral("CWA-%1").arg(a, 2, 10, QChar('0'));
        g.gCfg.paquetes.push_back(paquete(cwa, NivelAWP::cwa, std::nullopt, 0, 700));
        for (int b = 0; b < 5; ++b) {
            const QString cwp = QStringLiteral("%1-P%2").arg(cwa).arg(b);
            g.gCfg.paquetes.push_back(paquete(cwp, NivelAWP::cwp, cwa, 0, 700));
            for (int i = 0; i < 18; ++i, ++n)
                g.gCfg.paquetes.push_back(
                    paquete(QStringLiteral("%1-I%2").arg(cwp).arg(i), NivelAWP::iwp, cwp, (n * 7) % 700, 10 + n % 60));
        }
        for (int i = 0; i < 4; ++i, ++n)
            g.gCfg.paquetes.push_back(
                paquete(QStringLiteral("%1-I%2").arg(cwa).arg(i), NivelAWP::iwp, cwa, (n * 7) % 700, 10 + n % 60));
    }
    g.gFilas = filasCompletas(g.gCfg);
    g.gScrubber = dia(365);
    g.gAutoAvance = true;
    return g;
}

long maxRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void BM_GanttPDF2000(benchmark::State& state)
{
    const PaginaGantt g = gantt();
    QTemporaryDir dir;
    const QString archivo = dir.filePath("Gantt.pdf");
    const long antes = maxRssKb();
    for (auto _ : state) {
        if (escribirPDFGantt(archivo, g))
            state.SkipWithError("write failed");
    }
    state.counters["filas"] = double(g.gFilas.size());
    state.counters["MB_pdf"] = double(QFileInfo(archivo).size()) / 1e6;
    state.counters["MB_pico_crecimiento"] = double(maxRssKb() - antes) / 1024.0;
}
BENCHMARK(BM_GanttPDF2000)->Unit(benchmark::kMillisecond);

void BM_FichaPDF60Hijos250Elementos(benchmark::State& state)
{
    DatosFicha d;
    d.config.moneda = "CLP";
    d.paquete = paquete("CWA-01", NivelAWP::cwa, std::nullopt, 0, 300);
    for (int i = 0; i < 250; ++i)
        d.paquete.elementosNombre.append(QStringLiteral("IfcWall_%1").arg(i));
    d.config.paquetes.push_back(d.paquete);
    for (int i = 0; i < 60; ++i)
        d.config.paquetes.push_back(paquete(QStringLiteral("IWP-%1").arg(i), NivelAWP::iwp, "CWA-01", i * 4, 20));
    QTemporaryDir dir;
    const QString archivo = dir.filePath("Ficha.pdf");
    for (auto _ : state) {
        if (escribirPDFFicha(archivo, d))
            state.SkipWithError("write failed");
    }
    state.counters["MB_pdf"] = double(QFileInfo(archivo).size()) / 1e6;
}
BENCHMARK(BM_FichaPDF60Hijos250Elementos)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
