// Measured values, label texts and the vertex snap (no fonts or display needed).

#include "viewport/DibujosMedicion.h"
#include "viewport/VerticeMasCercano.h"

#include "scene/Geometry.h"
#include "scene/HitTest.h"
#include "scene/Node.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using quelva::anguloMedicion;
using quelva::areaMedicion;
using quelva::distanciaMedicion;
using quelva::verticeMasCercano;
using scene::Vec3;

namespace {

TEST(MedicionValores, DistanceLabelsShowMetresWithThreeDecimals)
{
    const struct { Vec3 a, b; const char* texto; } casos[] = {
        {{0, 0, 0}, {2.5, 0, 0}, "2.500 m"},
        {{1, 2, 3}, {4, 6, 3}, "5.000 m"},
        {{0, 0, 0}, {0, 0, 0}, "0.000 m"},
        {{500000.25, 4000000.5, 100}, {500001.25, 4000000.5, 100}, "1.000 m"},
        {{0, 0, 0}, {0.0004, 0, 0}, "0.000 m"},
        {{0, 0, 0}, {0, 0.0006, 0}, "0.001 m"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(quelva::textoDistancia(distanciaMedicion(c.a, c.b)), c.texto) << c.texto;
}

TEST(MedicionValores, AngleIsMeasuredAtTheVertexInDegrees)
{
    const Vec3 v{10, 20, 5};
    const struct { Vec3 a, b; const char* texto; } casos[] = {
        {v + Vec3{3, 0, 0}, v + Vec3{0, 2, 0}, "90.00°"},
        {v + Vec3{1, 0, 0}, v + Vec3{1, 1, 0}, "45.00°"},
        {v + Vec3{0, 0, 1}, v + Vec3{0, 5, 5}, "45.00°"},
        {v + Vec3{1, 0, 0}, v + Vec3{-1, std::sqrt(3.0), 0}, "120.00°"},
        {v + Vec3{2, 0, 0}, v + Vec3{5, 0, 0}, "0.00°"},    // same direction
        {v + Vec3{2, 0, 0}, v + Vec3{-3, 0, 0}, "180.00°"},  // opposite rays
        {v, v + Vec3{1, 0, 0}, "0.00°"},                    // point placed on the vertex
        {v, v, "0.00°"},
    };
    for (const auto& c : casos) {
        const float grados = anguloMedicion(v, c.a, c.b);
        EXPECT_TRUE(std::isfinite(grados)) << c.texto;
        EXPECT_EQ(quelva::textoAngulo(grados), c.texto);
    }
}

TEST(MedicionValores, AreaIsTheVectorAreaOfThePolygonInAnyOrientation)
{
    const struct { const char* caso; std::vector<Vec3> puntos; const char* texto; } casos[] = {
        {"right triangle", {{0, 0, 0}, {3, 0, 0}, {0, 4, 0}}, "6.000 m²"},
        {"clockwise", {{0, 4, 0}, {3, 0, 0}, {0, 0, 0}}, "6.000 m²"},
        {"vertical wall", {{1, 5, 0}, {1, 5, 3}, {1, 7, 3}, {1, 7, 0}}, "6.000 m²"},
        {"tilted plane", {{0, 0, 0}, {2, 0, 0}, {2, 3, 4}, {0, 3, 4}}, "10.000 m²"},
        {"concave L", {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}}, "3.000 m²"},
        {"collinear", {{0, 0, 0}, {1, 1, 1}, {3, 3, 3}}, "0.000 m²"},
        {"two points", {{0, 0, 0}, {1, 0, 0}}, "0.000 m²"},
        {"georeferenced square",
         {{500000, 4000000, 100}, {500010, 4000000, 100}, {500010, 4000010, 100}, {500000, 4000010, 100}},
         "100.000 m²"},
        {"georeferenced wall",
         {{652341.25, 4512876.5, 95}, {652341.25, 4512876.5, 98.5}, {652343.25, 4512876.5, 98.5},
          {652343.25, 4512876.5, 95}},
         "7.000 m²"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(quelva::textoArea(areaMedicion(c.puntos)), c.texto) << c.caso;
}

TEST(MedicionValores, CoordinateLinesAlwaysShowSignAndFourDecimals)
{
    EXPECT_EQ(quelva::textoCoordenada('X', 1.5), "X  +1.5000 m");
    EXPECT_EQ(quelva::textoCoordenada('Y', -2), "Y  -2.0000 m");
    EXPECT_EQ(quelva::textoCoordenada('Z', 0.25), "Z  +0.2500 m");
    EXPECT_EQ(quelva::textoCoordenada('X', 0), "X  +0.0000 m");
    EXPECT_EQ(quelva::textoCoordenada('Y', 4000010.12346), "Y  +4000010.1235 m");
}

TEST(MedicionValores, LabelsKeepTheFullStopUnderACommaLocale)
{
    bool coma = false;
    for (const char* nombre : {"es_ES.UTF-8", "es_ES.utf8", "de_DE.UTF-8"}) {
        if (std::setlocale(LC_ALL, nombre)) {
            char prueba[16];
            std::snprintf(prueba, sizeof prueba, "%.1f", 1.5);
            coma = std::strcmp(prueba, "1,5") == 0;
            if (coma)
                break;
        }
    }
    if (!coma) {
        std::setlocale(LC_ALL, "C");
        GTEST_SKIP() << "no comma locale installed";
    }
    const std::string textos[] = {quelva::textoDistancia(2.5), quelva::textoAngulo(90.0f),
                                  quelva::textoArea(6.0), quelva::textoCoordenada('X', 1.5)};
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(textos[0], "2.500 m");
    EXPECT_EQ(textos[1], "90.00°");
    EXPECT_EQ(textos[2], "6.000 m²");
    EXPECT_EQ(textos[3], "X  +1.5000 m");
}

// --- vertex snap ---

// A view that shows world x, y as view points (z ignored): screen distances are world distances.
scene::Vec3 vistaPlana(const Vec3& w) { return {w.x, w.y, 0.5}; }

scene::GeometrySource fuenteVertices(const std::vector<scene::Vec3f>& puntos)
{
    return scene::GeometrySource::vertices(puntos);
}

scene::HitResult golpe(scene::GeometrySource fuente, Vec3 posicionNodo = {})
{
    auto geometria = std::make_shared<scene::Geometry>(std::vector<scene::GeometrySource>{std::move(fuente)},
                                                       std::vector<scene::GeometryElement>{});
    scene::HitResult hit;
    hit.node = scene::Node::make(geometria);
    hit.node->position = posicionNodo;
    return hit;
}

TEST(VerticeMasCercano, SnapsOnlyStrictlyInsideTwentyPoints)
{
    const struct { float x; bool ajusta; } casos[] = {
        {119.875f, true},   // 19.875 points away
        {120.0f, false},    // exactly 20
        {125.0f, false},
        {80.5f, true},
        {80.0f, false},
    };
    for (const auto& c : casos) {
        const auto hit = golpe(fuenteVertices({{c.x, 0, 0}}));
        const auto r = verticeMasCercano(hit, vistaPlana, QPointF(100, 0));
        EXPECT_EQ(r.has_value(), c.ajusta) << c.x;
        if (r) {
            EXPECT_EQ(*r, (Vec3{c.x, 0, 0}));
        }
    }
}

TEST(VerticeMasCercano, ReturnsTheNearestVertexInWorldSpaceAndKeepsTheFirstOfATie)
{
    const auto hit = golpe(fuenteVertices({{10, 0, 0}, {3, 4, 7}, {-3, 4, 9}, {1, 1, 0}}), {1000, 2000, 30});
    // Cursor at the world position of (0, 4): vertices 1 and 2 are both 3 points away.
    const auto r = verticeMasCercano(hit, vistaPlana, QPointF(1000, 2004));
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(*r, (Vec3{1003, 2004, 37}));

    const auto cerca = verticeMasCercano(hit, vistaPlana, QPointF(1001.2, 2001.1));
    ASSERT_TRUE(cerca.has_value());
    EXPECT_EQ(*cerca, (Vec3{1001, 2001, 30}));
}

TEST(VerticeMasCercano, ExaminesOnlyTheFirst8000Vertices)
{
    for (const int indice : {7999, 8000, 12000}) {
        std::vector<scene::Vec3f> puntos(12001, scene::Vec3f{500, 500, 0});
        puntos[size_t(indice)] = {0, 0, 0};
        const auto r = verticeMasCercano(golpe(fuenteVertices(puntos)), vistaPlana, QPointF(1, 1));
        EXPECT_EQ(r.has_value(), indice < 8000) << indice;
    }
}

// Interleaved position + normal with a 4-byte header: stride 28, offset 4.
TEST(VerticeMasCercano, ReadsAnInterleavedSourceAndSkipsVectorsBeyondTheData)
{
    const int stride = 28;
    const std::vector<scene::Vec3f> posiciones{{50, 50, 0}, {5, 0, 2}, {0, 60, 3}};
    scene::GeometrySource fuente;
    fuente.semantic = scene::GeometrySource::Semantic::Vertex;
    fuente.dataOffset = 4;
    fuente.dataStride = stride;
    fuente.vectorCount = 3;
    fuente.data.assign(4 + 3 * stride, 0xFF);  // filler reads as NaN
    for (size_t i = 0; i < posiciones.size(); ++i)
        std::memcpy(fuente.data.data() + 4 + i * stride, &posiciones[i], 12);

    const auto r = verticeMasCercano(golpe(fuente), vistaPlana, QPointF(4, 1));
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(*r, (Vec3{5, 0, 2}));

    // Claims more vectors than the data holds, and the last real one is cut short.
    fuente.vectorCount = 50;
    fuente.data.resize(4 + 2 * stride + 8);
    const auto corto = verticeMasCercano(golpe(fuente), vistaPlana, QPointF(0, 60));
    EXPECT_FALSE(corto.has_value());
    const auto primero = verticeMasCercano(golpe(fuente), vistaPlana, QPointF(5, 1));
    ASSERT_TRUE(primero.has_value());
    EXPECT_EQ(*primero, (Vec3{5, 0, 2}));

    fuente.dataOffset = -stride;  // nonsense offset: nothing before the data is read
    EXPECT_EQ(verticeMasCercano(golpe(fuente), vistaPlana, QPointF(50, 50)), std::nullopt);
}

TEST(VerticeMasCercano, GivesNothingWithoutThreeFloatVertices)
{
    scene::HitResult sinNodo;
    EXPECT_EQ(verticeMasCercano(sinNodo, vistaPlana, QPointF()), std::nullopt);

    scene::HitResult sinGeometria;
    sinGeometria.node = scene::Node::make();
    EXPECT_EQ(verticeMasCercano(sinGeometria, vistaPlana, QPointF()), std::nullopt);

    EXPECT_EQ(verticeMasCercano(golpe(scene::GeometrySource::normals(std::vector<scene::Vec3f>{{0, 0, 0}})),
                                vistaPlana, QPointF()),
              std::nullopt);

    auto dobles = fuenteVertices({{0, 0, 0}, {0, 0, 0}});
    dobles.bytesPerComponent = 8;
    dobles.componentsPerVector = 3;
    dobles.dataStride = 24;
    dobles.vectorCount = 1;
    EXPECT_EQ(verticeMasCercano(golpe(dobles), vistaPlana, QPointF()), std::nullopt);

    auto dos = fuenteVertices({{0, 0, 0}});
    dos.componentsPerVector = 2;
    EXPECT_EQ(verticeMasCercano(golpe(dos), vistaPlana, QPointF()), std::nullopt);
}

TEST(VerticeMasCercano, IgnoresVerticesThatProjectToNaN)
{
    const auto hit = golpe(fuenteVertices({{0, 0, 0}, {1, 0, 0}}));
    const auto proyeccion = [](const Vec3& w) {
        return w.x == 0 ? Vec3{std::nan(""), std::nan(""), 0} : Vec3{w.x, w.y, 0};
    };
    const auto r = verticeMasCercano(hit, proyeccion, QPointF(0, 0));
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(*r, (Vec3{1, 0, 0}));
}

}  // namespace
