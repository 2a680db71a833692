// Shareable package of 20 IFC-like files (about 300 MB): export against `zip -r` of the same
// files, open against `unzip -o`, in the same run, with the archive sizes and the growth of
// peak memory (VmHWM, reset before each run) as counters.

#include "platform/ZipWriter.h"
#include "project/PaqueteCompartible.h"

#include "Memoria.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

using namespace quelva;

namespace {

constexpr int kModelos = 20;
constexpr qint64 kBytesPorModelo = 15 << 20;

struct Datos {
    QTemporaryDir dir;
    QStringList fuentes;
    ProyectoQUELVA documento;

    Datos()
    {
        QDir().mkpath(dir.filePath("fuentes"));
        QRandomGenerator azar(42);
        for (int i = 0; i < kModelos; ++i) {
            const QString ruta = dir.filePath(QString("fuentes/modelo_%1.ifc").arg(i));
            QFile f(ruta);
            f.open(QIODevice::WriteOnly);
            QByteArray bloque;
            qint64 escritos = 0;
            int id = 1;
            while (escritos < kBytesPorModelo) {
                bloque.clear();
                for (int k = 0; k < 2000; ++k, ++id)
                    bloque += "#" + QByteArray::number(id) + "=IFCCARTESIANPOINT(("
                              + QByteArray::number(azar.bounded(100000) / 1000.0, 'f', 3) + ","
                              + QByteArray::number(azar.bounded(100000) / 1000.0, 'f', 3) + ",0.));\n";
                f.write(bloque);
                escritos += bloque.size();
            }
            fuentes << ruta;
        }
        documento.ordenEspecialidades = {"ARQ"};
        EspecialidadGuardada esp;
        esp.key = "ARQ";
        esp.nombre = "Arquitectura";
        esp.icono = "building.2";
        for (const QString& r : fuentes) {
            ModeloGuardado m;
            m.nombre = QFileInfo(r).fileName();
            m.rutaAbsoluta = r;
            esp.modelos.push_back(m);
        }
        documento.especialidades.push_back(esp);
        documento.timeLiner = TimeLinerConfig{};
        documento.secciones.emplace();
        documento.cotasPorSeccion.emplace();
        documento.etiquetasPorSeccion.emplace();
        documento.comentarios.emplace();
    }
};

Datos& datos()
{
    static Datos d;
    return d;
}

void reiniciarPico()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

double picoMiB()
{
    std::ifstream estado("/proc/self/status");
    std::string linea;
    while (std::getline(estado, linea))
        if (linea.rfind("VmHWM:", 0) == 0)
            return std::stod(linea.substr(6)) / 1024.0;
    return 0;
}

double rssMiB() { return double(bench::residenteKB()) / 1024.0; }

int ejecutar(const QString& programa, const QStringList& argumentos, const QString& carpeta = {})
{
    QProcess p;
    if (!carpeta.isEmpty())
        p.setWorkingDirectory(carpeta);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(programa, argumentos);
    p.waitForFinished(-1);
    return p.exitCode();
}

void BM_ExportarPaquete(benchmark::State& state)
{
    Datos& d = datos();
    const QString destino = d.dir.filePath("obra.quelvapkg");
    double crecimiento = 0;
    for (auto _ : state) {
        reiniciarPico();
        const double antes = rssMiB();
        if (!std::holds_alternative<PaqueteExportado>(exportarPaquete(destino, d.documento)))
            state.SkipWithError("export failed");
        crecimiento = std::max(crecimiento, picoMiB() - antes);
    }
    state.counters["archivo_MB"] = double(QFileInfo(destino).size()) / 1e6;
    state.counters["pico_MiB"] = crecimiento;
}

// The same entries deflated one after another: what the parallel deflate saves.
void BM_ZipWriterEnSerie(benchmark::State& state)
{
    Datos& d = datos();
    const QString destino = d.dir.filePath("serie.zip");
    for (auto _ : state) {
        platform::ZipWriter zip;
        zip.addDirectory("modelos");
        for (const QString& f : d.fuentes)
            zip.addFileFromPath("modelos/" + QFileInfo(f).fileName(), f);
        if (zip.finish(destino))
            state.SkipWithError("write failed");
    }
    state.counters["archivo_MB"] = double(QFileInfo(destino).size()) / 1e6;
}

void BM_ZipR(benchmark::State& state)
{
    Datos& d = datos();
    const QString destino = d.dir.filePath("zip.zip");
    for (auto _ : state) {
        QFile::remove(destino);
        if (ejecutar(QStandardPaths::findExecutable("zip"), {"-q", "-r", destino, "."}, d.dir.filePath("fuentes")) != 0)
            state.SkipWithError("zip failed");
    }
    state.counters["archivo_MB"] = double(QFileInfo(destino).size()) / 1e6;
}

void BM_AbrirPaquete(benchmark::State& state)
{
    Datos& d = datos();
    const QString paquete = d.dir.filePath("obra.quelvapkg");
    if (!QFileInfo::exists(paquete))
        exportarPaquete(paquete, d.documento);
    const QString carpetas = d.dir.filePath("abiertos");
    double crecimiento = 0;
    for (auto _ : state) {
        reiniciarPico();
        const double antes = rssMiB();
        auto r = importarPaquete(paquete, carpetas);
        crecimiento = std::max(crecimiento, picoMiB() - antes);
        if (!std::holds_alternative<PaqueteAbierto>(r))
            state.SkipWithError("open failed");
        state.PauseTiming();
        QDir(carpetas).removeRecursively();
        state.ResumeTiming();
    }
    state.counters["pico_MiB"] = crecimiento;
}

void BM_UnzipO(benchmark::State& state)
{
    Datos& d = datos();
    const QString paquete = d.dir.filePath("obra.quelvapkg");
    if (!QFileInfo::exists(paquete))
        exportarPaquete(paquete, d.documento);
    const QString carpeta = d.dir.filePath("unzip");
    for (auto _ : state) {
        if (ejecutar(QStandardPaths::findExecutable("unzip"), {"-q", "-o", paquete, "-d", carpeta}) != 0)
            state.SkipWithError("unzip failed");
        state.PauseTiming();
        QDir(carpeta).removeRecursively();
        state.ResumeTiming();
    }
}

}  // namespace

BENCHMARK(BM_ExportarPaquete)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ZipWriterEnSerie)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_ZipR)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_AbrirPaquete)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_UnzipO)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

BENCHMARK_MAIN();
