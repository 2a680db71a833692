// Labels of the cut elements, their layout and merge, grid lines, titles, ranges and hiding.

#include "sections/CorteSeccion.h"
#include "support/Modelos.h"

#include <gtest/gtest.h>

using namespace quelva;
using namespace seccionestest;

namespace {

const QStringList kOrden = {QStringLiteral("ARQ")};

const Etiqueta2D* buscar(const std::vector<Etiqueta2D>& l, const QString& nombre)
{
    for (const Etiqueta2D& e : l)
        if (e.nombre == nombre)
            return &e;
    return nullptr;
}

}  // namespace

TEST(GenerarEtiquetas, TextsFromThePropertyTable)
{
    Disciplina d = disciplina("Arquitectura", Qt::red);
    d.modelo->addChild(caja("Muro 1", {0, 0, 0}, {4, 0.2f, 3}));
    d.modelo->addChild(caja("Valvula", {5, 0, 0}, {6, 1, 1}));
    d.modelo->addChild(caja("Sin tipo", {7, 0, 0}, {8, 1, 1}));
    PropiedadesPorEspecialidad props;
    props["ARQ"]["Muro 1"] = {{"__tipoIFC", "IFCWALL"},
                              {"__material", "no"},
                              {"Pset_Material › Name", "Hormigón"},
                              {"Pset_Z › Material", "Otro"},
                              {"Base › Nivel", "Piso 1"},
                              {"Zona › Level", "L2"}};
    props["ARQ"]["Valvula"] = {{"__tipoIFC", "IFCFLOWCONTROLLER"}, {"__storey", "no"}};
    const auto l = CorteSeccion::generarEtiquetas(tablaCon(d), kOrden, 2, props, 0.5);
    ASSERT_EQ(l.size(), 3u);
    const Etiqueta2D* muro = buscar(l, "Muro 1");
    ASSERT_TRUE(muro);
    EXPECT_EQ(muro->tipoIFC, "Muro");
    EXPECT_EQ(muro->material, QString::fromUtf8("Hormigón"));  // first matching key in key order
    EXPECT_EQ(muro->nivel, "Piso 1");
    EXPECT_EQ(muro->dimensiones, QString::fromUtf8("4.00 × 0.20 m"));
    EXPECT_EQ(muro->ancla, (Punto2D{2, 0.1f}));
    EXPECT_FALSE(muro->visible);
    EXPECT_EQ(muro->key, "ARQ");
    EXPECT_EQ(muro->color, QColor(Qt::red));
    const Etiqueta2D* valvula = buscar(l, "Valvula");
    ASSERT_TRUE(valvula);
    EXPECT_EQ(valvula->tipoIFC, "Flowcontroller");
    EXPECT_TRUE(valvula->material.isEmpty());  // "__" keys are never taken
    EXPECT_TRUE(valvula->nivel.isEmpty());
    EXPECT_TRUE(buscar(l, "Sin tipo")->tipoIFC.isEmpty());
}

TEST(GenerarEtiquetas, TheFirstNodeOfAnElementDecides)
{
    Disciplina d = disciplina("Arquitectura", Qt::red);
    d.modelo->addChild(caja("Losa", {0, 0, 5}, {1, 1, 6}));  // off the plane, met first
    d.modelo->addChild(caja("Losa", {0, 0, 0}, {1, 1, 1}));  // crosses it
    d.esp.nodoRaiz->addChild(caja("", {2, 0, 0}, {3, 1, 1}));  // no name below the root: no label
    EXPECT_TRUE(CorteSeccion::generarEtiquetas(tablaCon(d), kOrden, 2, {}, 0.5).empty());
    // Both bounds of the box count.
    Disciplina b = disciplina("Arquitectura", Qt::red);
    b.modelo->addChild(caja("Borde", {0, 0, 0}, {1, 1, 1}));
    EXPECT_EQ(CorteSeccion::generarEtiquetas(tablaCon(b), kOrden, 2, {}, 1.0).size(), 1u);
    EXPECT_EQ(CorteSeccion::generarEtiquetas(tablaCon(b), kOrden, 2, {}, 0.0).size(), 1u);
}

TEST(GenerarEtiquetas, TwoColumnsAroundTheMeanAnchor)
{
    struct Caso {
        const char* nombre;
        std::vector<std::pair<float, float>> anclas;  // (u, v) centres
        std::vector<Punto2D> offsets;
    };
    const Caso casos[] = {
        {"one each side: both at v 0", {{0, 0}, {10, 5}}, {{-4, 0}, {1.5f, 0}}},
        {"three on the left (highest first)", {{0, 1}, {0, 3}, {0, 2}, {9, 0}},
         {{-4, 1.5f}, {-4, -1.5f}, {-4, 0}, {1.5f, 0}}},
        {"equal to the mean goes right", {{0, 0}, {5, 0}, {10, 0}}, {{-4, 0}, {1.5f, -1.5f}, {1.5f, 0}}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        Disciplina d = disciplina("Arquitectura", Qt::red);
        int i = 0;
        for (const auto& [u, v] : c.anclas) {
            d.modelo->addChild(caja("E" + std::to_string(i++), {u - 0.5f, v - 0.5f, 0}, {u + 0.5f, v + 0.5f, 1}));
        }
        const auto l = CorteSeccion::generarEtiquetas(tablaCon(d), kOrden, 2, {}, 0.5);
        ASSERT_EQ(l.size(), c.offsets.size());
        for (size_t k = 0; k < l.size(); ++k) {
            SCOPED_TRACE(k);
            EXPECT_FLOAT_EQ(l[k].offsetTexto.u, c.offsets[k].u);
            EXPECT_FLOAT_EQ(l[k].offsetTexto.v, c.offsets[k].v);
        }
    }
}

TEST(AplicarEtiquetasGuardadas, RestoresVisibilityAndOffsetUnderNewIds)
{
    Etiqueta2D nueva;
    nueva.nombre = "Muro";
    nueva.key = "ARQ";
    nueva.offsetTexto = {1.5f, 0};
    nueva.tipoIFC = "Muro";
    Etiqueta2D otra = nueva;
    otra.id = QUuid::createUuid();
    otra.key = "EST";
    Etiqueta2D guardada;
    guardada.nombre = "Muro";
    guardada.key = "ARQ";
    guardada.visible = true;
    guardada.offsetTexto = {-3, 2};
    Etiqueta2D repetida = guardada;
    repetida.offsetTexto = {9, 9};
    const auto r = CorteSeccion::aplicarEtiquetasGuardadas({nueva, otra}, {guardada, repetida});
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].id, nueva.id);
    EXPECT_TRUE(r[0].visible);
    EXPECT_EQ(r[0].offsetTexto, (Punto2D{-3, 2}));
    EXPECT_EQ(r[0].tipoIFC, "Muro");
    EXPECT_FALSE(r[1].visible);  // same name, other discipline
    EXPECT_EQ(r[1].offsetTexto, (Punto2D{1.5f, 0}));
}

TEST(SegmentosGrilla, ConsecutivePointsProjectedByAxis)
{
    EjeGrilla a;
    a.tag = "A";
    a.puntos = {{0, 0, 0}, {10, 0, 0}, {10, 5, 2}};
    EjeGrilla solo;
    solo.tag = "B";
    solo.puntos = {{1, 1, 1}};
    const auto s = CorteSeccion::segmentosGrilla({a, solo}, 1);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].p1, (Punto2D{0, 0}));
    EXPECT_EQ(s[0].p2, (Punto2D{10, 0}));
    EXPECT_EQ(s[1].p2, (Punto2D{10, 2}));
    EXPECT_EQ(s[0].key, "GRILLA");
    EXPECT_EQ(s[0].nombreElemento, "A");
    EXPECT_FALSE(s[0].esCorte);
    EXPECT_NEAR(s[0].color.alphaF(), 0.55, 0.01);
    EXPECT_TRUE(CorteSeccion::segmentosGrilla({}, 2).empty());
}

TEST(TituloPlano, AxisPositionAndDepthSuffix)
{
    EXPECT_EQ(CorteSeccion::tituloPlano(2, 3.0, 1, 2.0), QString::fromUtf8("Plano 2D — Eje Z = 3.00 m · 2.0 m prof."));
    EXPECT_EQ(CorteSeccion::tituloPlano(0, -1.25, 2, 7), QString::fromUtf8("Plano 2D — Eje X = -1.25 m · ilimitado"));
    EXPECT_EQ(CorteSeccion::tituloPlano(1, 1.5, 0, 7), QString::fromUtf8("Plano 2D — Eje Y = 1.50 m"));
}

TEST(NombreSeccionNueva, TrimsNumbersBlankAndTakenNames)
{
    const auto guardada = [](const char* n) {
        SeccionGuardada s;
        s.nombre = QString::fromUtf8(n);
        return s;
    };
    struct Caso {
        std::vector<SeccionGuardada> lista;
        const char* nombre;
        const char* esperado;
    };
    const Caso casos[] = {
        {{}, "   ", "Sección 1"},
        {{guardada("a"), guardada("b")}, "\t", "Sección 3"},
        {{guardada("Otra")}, " Planta ", "Planta"},
        {{guardada("Otra"), guardada("Planta")}, "Planta", "Planta 3"},
        {{guardada("Planta"), guardada("Planta 2")}, "Planta", "Planta 3"},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(CorteSeccion::nombreSeccionNueva(c.lista, QString::fromUtf8(c.nombre)), QString::fromUtf8(c.esperado));
}

TEST(OcultarMasAllaDelCorte, HidesWhatLiesWhollyBeyondAndShowsAgain)
{
    Disciplina d = disciplina("Arquitectura", Qt::red);
    auto cruza = caja("Cruza", {0, 0, 2}, {1, 1, 4});
    auto encima = caja("Encima", {0, 0, 3.5f}, {1, 1, 6});
    auto toca = caja("Toca", {0, 0, 3}, {1, 1, 5});
    for (auto& n : {cruza, encima, toca})
        d.modelo->addChild(n);
    d.modelo->hidden = true;  // switched off by the user
    auto t = tablaCon(d);
    t["ARQ"].isVisible = false;  // hidden disciplines are hidden by the rule too
    CorteSeccion::ocultarMasAllaDelCorte(t, true, 2, 3.0);
    EXPECT_FALSE(cruza->hidden);
    EXPECT_TRUE(encima->hidden);
    EXPECT_FALSE(toca->hidden);
    // Along X every box starts at 0.
    CorteSeccion::ocultarMasAllaDelCorte(t, true, 0, -0.5);
    EXPECT_TRUE(cruza->hidden);
    CorteSeccion::ocultarMasAllaDelCorte(t, false, 2, 3.0);
    EXPECT_FALSE(cruza->hidden);
    EXPECT_FALSE(encima->hidden);
    EXPECT_TRUE(d.modelo->hidden);
}

TEST(RangoModelos, PerAxisOverVisibleDisciplines)
{
    Disciplina d = disciplina("Arquitectura", Qt::red);
    d.modelo->addChild(caja("A", {-1, 2, 3}, {4, 5, 6}));
    d.modelo->addChild(caja("B", {0, -2, 1}, {1, 0, 9}));
    auto t = tablaCon(d);
    const std::pair<float, float> esperado[] = {{-1, 4}, {-2, 5}, {1, 9}};
    for (int eje = 0; eje < 3; ++eje)
        EXPECT_EQ(CorteSeccion::rangoModelos(t, eje), esperado[eje]);
    t["ARQ"].isVisible = false;
    EXPECT_FALSE(CorteSeccion::rangoModelos(t, 2));
}
