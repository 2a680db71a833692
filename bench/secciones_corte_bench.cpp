// Section cut, labels and grid lines on a generated building of about 1,000,000 triangles in
// 2,000 element nodes over ten storeys; one slider step over 50,000 element nodes; the redraw
// of a large 2D drawing.

#include "federation/Transformacion.h"
#include "scene/Primitives.h"
#include "sections/CorteSeccion.h"
#include "sections/ExportadorDXF.h"
#include "sections/Vista2DNSView.h"
#include "sections/Vista2DView.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

using namespace quelva;

namespace {

constexpr int kNodos = 2000;
constexpr int kPorPiso = 200;
constexpr int kColumnas = 10, kFilas = 25;  // quads per element: 500 triangles

// A wall of the storey: a grid of quads 20 m long in x, one storey high, at its own y.
scene::NodePtr muro(int k, float escala)
{
    const int piso = k / kPorPiso, j = k % kPorPiso;
    std::vector<scene::Vec3f> v;
    std::vector<std::int32_t> idx;
    for (int a = 0; a <= kColumnas; ++a)
        for (int b = 0; b <= kFilas; ++b)
            v.push_back(scene::Vec3f{(20.0f * a / kColumnas) * escala, (j * 0.5f + 0.02f * (a % 2)) * escala,
                                     (3.0f * piso + 2.9f * b / kFilas) * escala});
    for (int a = 0; a < kColumnas; ++a)
        for (int b = 0; b < kFilas; ++b) {
            const int i0 = a * (kFilas + 1) + b, i1 = i0 + kFilas + 1;
            idx.insert(idx.end(), {i0, i1, i0 + 1, i1, i1 + 1, i0 + 1});
        }
    auto n = scene::Node::make(scene::makeTriangleGeometry(v, idx));
    n->name = "Muro " + std::to_string(k);
    return n;
}

struct Edificio {
    TablaEspecialidades especialidades;
    QStringList orden = {QStringLiteral("ARQ")};
    PropiedadesPorEspecialidad propiedades;
    std::vector<EjeGrilla> grilla;
};

// `transformada`: half of the walls in a second model, in millimetres, moved and turned 30°.
Edificio edificio(bool transformada)
{
    Edificio e;
    EspecialidadBIM esp;
    esp.colorOriginal = Qt::gray;
    esp.nodoRaiz = scene::Node::make();
    auto modelo = scene::Node::make();
    modelo->name = "modelo.ifc";
    esp.nodoRaiz->addChild(modelo);
    auto modeloMm = scene::Node::make();
    modeloMm->name = "modelo-mm.ifc";
    esp.nodoRaiz->addChild(modeloMm);
    TransformacionModelo t;
    t.unidades = TransformacionModelo::Unidades::milimetros;
    t.offsetX = 3;
    t.offsetY = 2;
    t.giroZ = 30;
    aplicarTransformacionANodo(*modeloMm, t);
    for (int k = 0; k < kNodos; ++k) {
        const bool mm = transformada && k % 2 == 1;
        auto n = muro(k, mm ? 1000.0f : 1.0f);
        (mm ? modeloMm : modelo)->addChild(n);
        e.propiedades["ARQ"][*n->name] = {{"__tipoIFC", "IFCWALL"}, {"Pset › Material", "Hormigón"},
                                          {"Pset › Nivel", "Piso " + std::to_string(k / kPorPiso)}};
    }
    e.especialidades["ARQ"] = esp;
    for (int i = 0; i < 20; ++i) {
        EjeGrilla g;
        g.tag = std::to_string(i);
        g.puntos = {{float(i), -5, 0}, {float(i), 105, 0}};
        e.grilla.push_back(g);
    }
    return e;
}

const Edificio& edificioNormal()
{
    static const Edificio e = edificio(false);
    return e;
}

const Edificio& edificioTransformado()
{
    static const Edificio e = edificio(true);
    return e;
}

// The three steps of a drawing. Arg: 0 plane through one storey (Z = 4.5), 1 plane across every
// wall (X = 10.05).
void cortar(benchmark::State& state, const Edificio& e)
{
    const int eje = state.range(0) == 0 ? 2 : 0;
    const double pos = state.range(0) == 0 ? 4.5 : 10.05;
    size_t n = 0;
    for (auto _ : state) {
        auto s = CorteSeccion::cortarModelos(e.especialidades, e.orden, eje, pos, 0);
        auto l = CorteSeccion::generarEtiquetas(e.especialidades, e.orden, eje, e.propiedades, pos);
        auto g = CorteSeccion::segmentosGrilla(e.grilla, eje);
        n = s.size();
        benchmark::DoNotOptimize(l.data());
        benchmark::DoNotOptimize(g.data());
    }
    state.counters["segmentos"] = double(n);
}

void BM_CorteEtiquetasGrilla(benchmark::State& state)
{
    cortar(state, edificioNormal());
}

void BM_CorteEtiquetasGrillaTransformado(benchmark::State& state)
{
    cortar(state, edificioTransformado());
}

// The straight pass the cut avoids: every triangle of every node against the plane.
void BM_PasadaCompleta(benchmark::State& state)
{
    const Edificio& e = edificioNormal();
    for (auto _ : state) {
        size_t n = 0;
        e.especialidades.at("ARQ").nodoRaiz->visitDescendants([&](scene::Node& nodo) {
            if (!nodo.geometry)
                return false;
            const scene::GeometrySource* s = nodo.geometry->source(scene::GeometrySource::Semantic::Vertex);
            const auto& ind = nodo.geometry->elements().front().indices;
            for (size_t t = 0; t + 2 < ind.size(); t += 3)
                n += CorteSeccion::intersectarTriangulo(2, *s->vectorAt(ind[t]), *s->vectorAt(ind[t + 1]),
                                                        *s->vectorAt(ind[t + 2]), 4.5f)
                         .has_value();
            return false;
        });
        benchmark::DoNotOptimize(n);
    }
}

// One slider step: every element node re-hidden and the plane indicator rebuilt.
void BM_PasoSlider(benchmark::State& state)
{
    static TablaEspecialidades t = [] {
        TablaEspecialidades tabla;
        EspecialidadBIM esp;
        esp.nodoRaiz = scene::Node::make();
        auto modelo = scene::Node::make();
        esp.nodoRaiz->addChild(modelo);
        for (int k = 0; k < 50000; ++k) {
            const float x = float(k % 250), y = float((k / 250) % 20), z = float(k / 5000) * 3;
            auto n = scene::Node::make(scene::makeTriangleGeometry(
                std::vector<scene::Vec3f>{{x, y, z}, {x + 1, y, z}, {x, y + 1, z + 2.5f}},
                std::vector<std::int32_t>{0, 1, 2}));
            modelo->addChild(n);
        }
        tabla["ARQ"] = esp;
        return tabla;
    }();
    auto raiz = scene::Node::make();
    double pos = 10;
    for (auto _ : state) {
        pos = pos == 10 ? 10.1 : 10;
        CorteSeccion::ocultarMasAllaDelCorte(t, true, 2, pos);
        raiz->removeAllChildren();
        auto plano = scene::Node::make(scene::makePlane(100, 100));
        plano->position = {0, 0, pos};
        raiz->addChild(plano);
    }
}

struct Dibujo {
    std::vector<Segmento2D> s;
    std::vector<Etiqueta2D> l;
    std::vector<Cota2D> c;
};

// 200,000 lines, 300 visible labels and 100 dimensions.
Dibujo dibujoGrande()
{
    std::vector<Segmento2D> s;
    s.reserve(200000);
    const QColor colores[] = {Qt::gray, Qt::darkRed, Qt::darkBlue, Qt::darkGreen};
    for (int i = 0; i < 200000; ++i) {
        const float x = float(i % 500) * 0.2f, y = float(i / 500) * 0.2f;
        s.push_back(Segmento2D{{x, y}, {x + 0.15f, y + 0.1f}, "ARQ", colores[i % 4], i % 3 != 0,
                               QStringLiteral("Muro")});
    }
    std::vector<Etiqueta2D> l;
    for (int i = 0; i < 300; ++i) {
        Etiqueta2D e;
        e.nombre = QStringLiteral("Muro %1").arg(i);
        e.tipoIFC = "Muro";
        e.dimensiones = QString::fromUtf8("4.00 × 0.20 m");
        e.material = QString::fromUtf8("Hormigón");
        e.visible = true;
        e.ancla = {float(i % 20) * 5, float(i / 20) * 5};
        e.offsetTexto = {1.5f, 0};
        e.color = Qt::darkRed;
        l.push_back(e);
    }
    std::vector<Cota2D> c;
    for (int i = 0; i < 100; ++i) {
        Cota2D d;
        d.p1 = {float(i), 0};
        d.p2 = {float(i), 10};
        d.offsetLateral = 0.6f;
        c.push_back(d);
    }
    return {s, l, c};
}

void preparar(Vista2DNSView& v)
{
    static const Dibujo d = dibujoGrande();
    v.resize(1200, 800);
    v.setSegmentos(d.s);
    v.setEtiquetas(d.l);
    v.setCotas(d.c);
    v.encuadrarTodo();
}

// Redraw at 1200 × 800. Arg: 0 fitted, 1 zoomed to a tenth of the drawing.
void BM_Redibujo(benchmark::State& state)
{
    Vista2DNSView v;
    preparar(v);
    if (state.range(0) == 1) {
        v.escala *= 10;  // about the drawing's centre, which the fit put at the view's centre
        v.panOffset *= 10;
    }
    QImage img(1200, 800, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&img);
        v.dibujar(p);
    }
}

void BM_GenerarDXF(benchmark::State& state)
{
    const Dibujo d = dibujoGrande();
    size_t bytes = 0;
    for (auto _ : state)
        bytes = ExportadorDXF::generarDXF(d.s, d.l, d.c).size();
    state.counters["bytes"] = double(bytes);
}

// A pointer move in the dimension tool: snap search and redraw.
void BM_MovimientoCota(benchmark::State& state)
{
    Vista2DNSView v;
    preparar(v);
    v.setModoCota(true);
    QImage img(1200, 800, QImage::Format_ARGB32_Premultiplied);
    int i = 0;
    for (auto _ : state) {
        v.procesarMouseMoved(QPointF(300 + (i++ % 600), 400));
        QPainter p(&img);
        v.pintar(p);
    }
}

// The PDF of the fitted view: time, and its size as a counter.
void BM_PDFVista(benchmark::State& state)
{
    Vista2DNSView v;
    preparar(v);
    qsizetype bytes = 0;
    for (auto _ : state)
        bytes = Vista2DView::documentoPDF(v, QStringLiteral("Plano")).value_or(QByteArray()).size();
    state.counters["bytes"] = double(bytes);
}

}  // namespace

BENCHMARK(BM_GenerarDXF)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MovimientoCota)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PDFVista)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CorteEtiquetasGrilla)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CorteEtiquetasGrillaTransformado)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasadaCompleta)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasoSlider)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Redibujo)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
