// The plane cut: triangles, boxes per axis, outlines within the depth, what is read and skipped.

#include "federation/Transformacion.h"
#include "sections/CorteSeccion.h"
#include "support/Modelos.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using namespace quelva;
using namespace seccionestest;

namespace {

double largoTotal(const std::vector<Segmento2D>& s)
{
    double l = 0;
    for (const Segmento2D& x : s)
        l += std::hypot(double(x.p2.u) - x.p1.u, double(x.p2.v) - x.p1.v);
    return l;
}

int cuentaCorte(const std::vector<Segmento2D>& s, bool corte)
{
    int n = 0;
    for (const Segmento2D& x : s)
        n += x.esCorte == corte;
    return n;
}

const QStringList kOrden = {QStringLiteral("ARQ")};

}  // namespace

TEST(IntersectarTriangulo, CasesOfVerticesAgainstThePlane)
{
    struct Caso {
        const char* nombre;
        scene::Vec3f a, b, c;
        bool segmento;
        Punto2D p, q;
    };
    const Caso casos[] = {
        {"through", {0, 0, -1}, {2, 0, 1}, {0, 2, 1}, true, {1, 0}, {0, 1}},
        {"one vertex on, two above: zero length", {1, 1, 0}, {2, 0, 1}, {0, 2, 1}, true, {1, 1}, {1, 1}},
        {"one vertex on, two below: nothing", {1, 1, 0}, {2, 0, -1}, {0, 2, -1}, false, {}, {}},
        {"lying in the plane: nothing", {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, false, {}, {}},
        {"wholly above", {0, 0, 1}, {1, 0, 2}, {0, 1, 3}, false, {}, {}},
        {"two on, one above: their edge", {0, 0, 0}, {2, 0, 0}, {0, 0, 1}, true, {2, 0}, {0, 0}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        const auto r = CorteSeccion::intersectarTriangulo(2, c.a, c.b, c.c, 0.0f);
        ASSERT_EQ(r.has_value(), c.segmento);
        if (r) {
            EXPECT_FLOAT_EQ(r->first.u, c.p.u);
            EXPECT_FLOAT_EQ(r->first.v, c.p.v);
            EXPECT_FLOAT_EQ(r->second.u, c.q.u);
            EXPECT_FLOAT_EQ(r->second.v, c.q.v);
        }
    }
}

TEST(CortarModelos, BoxPerAxisThroughOnItsFacesAndBeyond)
{
    // A 2 × 4 × 6 box from (1, 2, 3) to (3, 6, 9).
    Disciplina d = disciplina("Arquitectura", Qt::red);
    d.modelo->addChild(caja("Muro", {1, 2, 3}, {3, 6, 9}));
    const auto t = tablaCon(d);
    struct Caso {
        int eje;
        double posicion;
        int segmentos;
        double perimetro;
    };
    const Caso casos[] = {
        {0, 2.0, 8, 2 * (4 + 6)}, {1, 4.0, 8, 2 * (2 + 6)}, {2, 6.0, 8, 2 * (2 + 4)},
        // At the lower face the side triangles give the face's outline (and zero-length pieces).
        {2, 3.0, 8, 2 * (2 + 4)},
        // At the upper face every vertex counts as below: nothing.
        {2, 9.0, 0, 0}, {0, 3.0, 0, 0}, {2, 2.0, 0, 0}, {2, 10.0, 0, 0},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(testing::Message() << "axis " << c.eje << " at " << c.posicion);
        const auto s = CorteSeccion::cortarModelos(t, kOrden, c.eje, c.posicion, 0);
        EXPECT_EQ(int(s.size()), c.segmentos);
        EXPECT_NEAR(largoTotal(s), c.perimetro, 1e-4);
        for (const Segmento2D& x : s) {
            EXPECT_TRUE(x.esCorte);
            EXPECT_EQ(x.key, "ARQ");
            EXPECT_EQ(x.nombreElemento, "Muro");
            EXPECT_EQ(x.color, QColor(Qt::red));
        }
    }
    // Drawing axes: X gives (y, z), Y gives (x, z), Z gives (x, y).
    const auto sx = CorteSeccion::cortarModelos(t, kOrden, 0, 2.0, 0);
    for (const Segmento2D& x : sx) {
        EXPECT_GE(x.p1.u, 2.0f);
        EXPECT_LE(x.p1.u, 6.0f);
        EXPECT_GE(x.p1.v, 3.0f);
        EXPECT_LE(x.p1.v, 9.0f);
    }
}

TEST(CortarModelos, OutlinesOnlyWithDepthAndCentreWithinIt)
{
    Disciplina d = disciplina("Arquitectura", Qt::blue);
    d.modelo->addChild(caja("Atraviesa", {0, 0, 0}, {1, 1, 4}));  // centre 2, crosses 3
    d.modelo->addChild(caja("Detras", {0, 0, 0}, {1, 1, 2}));     // centre 1, wholly below 3
    const auto t = tablaCon(d);
    struct Caso {
        const char* nombre;
        double posicion, profundidad;
        int cortes, contornos;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Caso casos[] = {
        {"exact mode: no outline", 3, 0, 8, 0},
        {"depth 1.5: the crossing element's centre only (L = 1.5)", 3, 1.5, 8, 4},
        {"depth 2: L = 1 reaches the other centre", 3, 2, 8, 8},
        {"unlimited", 3, inf, 8, 8},
        {"centre exactly at the plane gets none", 2, inf, 8, 4},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        const auto s = CorteSeccion::cortarModelos(t, kOrden, 2, c.posicion, c.profundidad);
        EXPECT_EQ(cuentaCorte(s, true), c.cortes);
        EXPECT_EQ(cuentaCorte(s, false), c.contornos);
    }
    // An outline is the box in the drawing, corners in order, without a name.
    const auto s = CorteSeccion::cortarModelos(t, kOrden, 2, 3, inf);
    std::vector<Segmento2D> contornos;
    for (const Segmento2D& x : s)
        if (!x.esCorte)
            contornos.push_back(x);
    ASSERT_EQ(contornos.size(), 8u);
    EXPECT_EQ(contornos[0].p1, (Punto2D{0, 0}));
    EXPECT_EQ(contornos[0].p2, (Punto2D{1, 0}));
    EXPECT_EQ(contornos[1].p2, (Punto2D{1, 1}));
    EXPECT_EQ(contornos[2].p2, (Punto2D{0, 1}));
    EXPECT_EQ(contornos[3].p2, (Punto2D{0, 0}));
    EXPECT_TRUE(contornos[0].nombreElemento.isEmpty());
}

TEST(CortarModelos, BadIndicesAndAnUnusualStrideAreReadSafely)
{
    // Vertices stored 20 bytes apart behind a 4-byte header, one index past the end.
    const std::vector<scene::Vec3f> puntos = {{0, 0, -1}, {2, 0, 1}, {0, 2, 1}};
    scene::GeometrySource fuente;
    fuente.vectorCount = 3;
    fuente.dataOffset = 4;
    fuente.dataStride = 20;
    fuente.data.assign(4 + 20 * 3, 0xEE);
    for (size_t i = 0; i < puntos.size(); ++i)
        std::memcpy(fuente.data.data() + 4 + 20 * i, &puntos[i], 12);
    scene::GeometryElement buenos;
    buenos.indices = {0, 1, 2};
    scene::GeometryElement malos;
    malos.indices = {0, 1, 3, 0, -1, 2, 0, 1};  // out of range, negative, and a stray pair
    auto geometria = std::make_shared<scene::Geometry>(std::vector{fuente}, std::vector{buenos, malos});
    Disciplina d = disciplina("Arquitectura", Qt::gray);
    auto n = scene::Node::make(geometria);
    n->name = "Raro";
    d.modelo->addChild(n);
    const auto s = CorteSeccion::cortarModelos(tablaCon(d), kOrden, 2, 0, 0);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].p1, (Punto2D{1, 0}));
    EXPECT_EQ(s[0].p2, (Punto2D{0, 1}));

    // Data shorter than its declared count: the missing vertices are dropped, nothing read past it.
    fuente.data.resize(4 + 20 + 12);
    auto corta = std::make_shared<scene::Geometry>(std::vector{fuente}, std::vector{buenos});
    Disciplina d2 = disciplina("Arquitectura", Qt::gray);
    d2.modelo->addChild(scene::Node::make(corta));
    EXPECT_TRUE(CorteSeccion::cortarModelos(tablaCon(d2), kOrden, 2, 0, 0).empty());
}

TEST(CortarModelos, HiddenDisciplineSkippedHiddenModelCutAndNamesFromAncestors)
{
    Disciplina d = disciplina("Arquitectura", Qt::red);
    d.modelo->hidden = true;
    auto grupo = scene::Node::make();
    grupo->name = "Grupo";
    grupo->addChild(caja("", {0, 0, 0}, {1, 1, 1}));
    d.modelo->addChild(grupo);
    d.esp.nodoRaiz->addChild(caja("", {0, 0, 0}, {1, 1, 1}));  // directly under the root, unnamed
    auto t = tablaCon(d);
    auto s = CorteSeccion::cortarModelos(t, kOrden, 2, 0.5, 0);
    ASSERT_EQ(s.size(), 16u);
    EXPECT_EQ(s.front().nombreElemento, "Grupo");
    EXPECT_EQ(s.back().nombreElemento, "");

    t["ARQ"].isVisible = false;
    EXPECT_TRUE(CorteSeccion::cortarModelos(t, kOrden, 2, 0.5, 0).empty());
}

TEST(CortarModelos, DisciplinesFollowTheDisplayOrder)
{
    Disciplina a = disciplina("Arquitectura", Qt::red);
    a.modelo->addChild(caja("A", {0, 0, 0}, {1, 1, 1}));
    Disciplina e = disciplina("Estructura", Qt::green);
    e.modelo->addChild(caja("E", {0, 0, 0}, {1, 1, 1}));
    TablaEspecialidades t;
    t["ARQ"] = a.esp;
    t["EST"] = e.esp;
    const auto s = CorteSeccion::cortarModelos(t, {QStringLiteral("EST"), QStringLiteral("ARQ")}, 2, 0.5, 0);
    ASSERT_EQ(s.size(), 16u);
    EXPECT_EQ(s.front().key, "EST");
    EXPECT_EQ(s.back().key, "ARQ");
}

TEST(CortarModelos, TransformedModelCutsWhereItIsShown)
{
    // A model in millimetres, moved and turned 30° about Z, against a copy built in metres where
    // the transformation puts it.
    TransformacionModelo tr;
    tr.unidades = TransformacionModelo::Unidades::milimetros;
    tr.offsetX = 10;
    tr.offsetY = -4;
    tr.offsetZ = 2;
    tr.giroZ = 30;
    Disciplina movida = disciplina("Arquitectura", Qt::red);
    movida.modelo->addChild(caja("Muro", {0, 0, 0}, {2000, 1000, 3000}));
    aplicarTransformacionANodo(*movida.modelo, tr);

    // The same box corners placed by hand: a box turned 30° is no longer axis-aligned, so the
    // copy is built from the transformed triangles themselves.
    const scene::Mat4 m = movida.modelo->worldTransform();
    const auto geo = movida.modelo->children().front()->geometry;
    const scene::GeometrySource* src = geo->source(scene::GeometrySource::Semantic::Vertex);
    std::vector<scene::Vec3f> puntos;
    for (int i = 0; i < src->vectorCount; ++i)
        puntos.push_back(scene::toFloat(m.transformPoint(scene::toDouble(*src->vectorAt(i)))));
    Disciplina copia = disciplina("Arquitectura", Qt::red);
    auto n = scene::Node::make(scene::makeTriangleGeometry(puntos, geo->elements().front().indices));
    n->name = "Muro";
    copia.modelo->addChild(n);

    for (int eje : {0, 1, 2}) {
        SCOPED_TRACE(eje);
        const double pos = eje == 0 ? 10.5 : eje == 1 ? -3.5 : 3.5;
        const auto a = CorteSeccion::cortarModelos(tablaCon(movida), kOrden, eje, pos, 0);
        const auto b = CorteSeccion::cortarModelos(tablaCon(copia), kOrden, eje, pos, 0);
        ASSERT_EQ(a.size(), b.size());
        ASSERT_FALSE(a.empty());
        for (size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i].p1, b[i].p1);
            EXPECT_EQ(a[i].p2, b[i].p2);
        }
    }
    // Ranges and hiding follow the shown place too.
    const auto r = CorteSeccion::rangoModelos(tablaCon(movida), 2);
    ASSERT_TRUE(r);
    EXPECT_NEAR(r->first, 2.0, 1e-5);
    EXPECT_NEAR(r->second, 5.0, 1e-5);
}
