// Comments (run under a display, e.g. xvfb-run): the PDF report of 200 comments with 1440 × 900
// pictures, with the file's size against the sum of its JPEGs; and saving one comment over a
// 1440 × 900 view.

#include "comments/ControladorComentarios.h"
#include "comments/ReportePDFComentarios.h"
#include "comments/ui/MarkupCanvas.h"

#include <QApplication>
#include <QBuffer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <clocale>

using namespace quelva;

namespace {

QImage vista(int semilla)
{
    QImage img(1440, 900, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* fila = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            fila[x] = qRgb((x / 3 + semilla * 17) % 256, (y / 2 + x / 9) % 256, (x * y / 97 + semilla) % 256);
    }
    return img;
}

std::vector<TrazadoMarkup> trazos()
{
    std::vector<TrazadoMarkup> t(5);
    for (std::size_t i = 0; i < t.size(); ++i) {
        for (int k = 0; k < 60; ++k)
            t[i].puntos.push_back({100.0 + k * 15, 100.0 + i * 120 + (k % 7) * 6});
        t[i].r = 1.0;
        t[i].grosor = 4;
    }
    return t;
}

void BM_PDF200Comentarios(benchmark::State& state)
{
    std::vector<ComentarioMarkup> lista(200);
    qint64 sumaJPEG = 0;
    for (std::size_t i = 0; i < lista.size(); ++i) {
        QByteArray jpeg;
        QBuffer b(&jpeg);
        b.open(QIODevice::WriteOnly);
        vista(int(i)).save(&b, "JPEG", 85);
        lista[i].tag = QStringLiteral("MRK-%1").arg(i + 1, 3, 10, QChar('0'));
        lista[i].descripcion = QStringLiteral("Comentario de prueba");
        lista[i].autor = QStringLiteral("Banco");
        lista[i].imagenJPEG = jpeg;
        lista[i].trazados = trazos();
        sumaJPEG += jpeg.size();
    }
    QTemporaryDir dir;
    const QString archivo = dir.filePath("reporte.pdf");
    for (auto _ : state)
        benchmark::DoNotOptimize(escribirPDFComentarios(archivo, lista));
    state.counters["MB_pdf"] = double(QFileInfo(archivo).size()) / 1e6;
    state.counters["MB_jpeg"] = double(sumaJPEG) / 1e6;
    state.counters["pdf_sobre_jpeg"] = double(QFileInfo(archivo).size()) / double(sumaJPEG);
}

void BM_GuardarComentario(benchmark::State& state)
{
    const QImage captura = vista(1);
    EstadoMarkup e;
    ControladorComentarios::Servicios s;
    s.snapshot = [&] { return captura; };
    ControladorComentarios c(e, s);
    MarkupCanvasNSView canvas;
    canvas.resize(1440, 900);
    canvas.trazados = trazos();
    e.markupCanvasRef = &canvas;
    for (auto _ : state) {
        e.trazadosActivos = canvas.trazados;
        c.guardarComentario();
        benchmark::DoNotOptimize(e.comentarios.back().imagenJPEG);
        e.comentarios.clear();
    }
}

}  // namespace

BENCHMARK(BM_PDF200Comentarios)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_GuardarComentario)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
