#include "federation/ifc/IfcGrids.h"

#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <set>

using namespace quelva;

namespace {

using V = scene::Vec3f;

std::vector<EjeGrilla> leerFixture()
{
    return parsearGrillasIFC(std::filesystem::path(testsupport::fixturePath("federation/grillas.ifc").toStdString()));
}

std::vector<EjeGrilla> desdeTexto(const std::string& datos)
{
    return parsearGrillasIFC(TablaRegistrosSTEP::desdeTexto("DATA;\n" + datos + "ENDSEC;\n"));
}

TEST(IfcGrids, ReadsUAxesThenVAxesOfEachGrid)
{
    const auto ejes = leerFixture();
    ASSERT_EQ(ejes.size(), 6u);
    // Grid #50, then #52 ("Corta" has fewer than nine attributes).
    struct Esperado {
        std::string tag;
        bool esU;
        std::vector<V> puntos;
    };
    const Esperado esperados[] = {
        {"A", true, {{0, 0, 0}, {0, 10, 0}}},
        {"B\u00e9", true, {{5, 0, 1.5e-3f}, {5, 10, -2}}},
        // (6.,abc,8.) keeps its two numbers: a piece that is no number takes no place.
        {"1", false, {{-1, 5, 0}, {6, 8, 0}, {6, 5, 0}}},
        {"", false, {{5, 0, 1.5e-3f}, {5, 10, -2}}},
        {"A", false, {{0, 0, 0}, {0, 10, 0}}},
        {"B\u00e9", true, {{5, 0, 1.5e-3f}, {5, 10, -2}}},
    };
    // Grids come in no defined order: find grid #50's block by its first tag run.
    const size_t inicio50 = ejes[0].tag == "A" ? 0 : 1;
    const size_t indice52 = inicio50 == 0 ? 5 : 0;
    for (size_t k = 0; k < 5; ++k) {
        const auto& e = ejes[inicio50 + k];
        EXPECT_EQ(e.tag, esperados[k].tag) << k;
        EXPECT_EQ(e.esU, esperados[k].esU) << k;
        EXPECT_EQ(e.puntos, esperados[k].puntos) << k;
    }
    EXPECT_EQ(ejes[indice52].tag, "B\u00e9");
    EXPECT_TRUE(ejes[indice52].esU);

    std::set<QUuid> ids;
    for (const auto& e : ejes)
        ids.insert(e.id);
    EXPECT_EQ(ids.size(), ejes.size());
    EXPECT_FALSE(ids.count(QUuid()));
}

TEST(IfcGrids, AxisListedInBothListsAppearsTwice)
{
    const auto ejes = desdeTexto(
        "#1=IFCCARTESIANPOINT((0.,0.));#2=IFCCARTESIANPOINT((1.,0.));\n"
        "#3=IFCPOLYLINE((#1,#2));#4=IFCGRIDAXIS('A',#3,.T.);\n"
        "#5=IFCGRID('g',$,$,$,$,$,$,(#4),(#4),$);\n");
    ASSERT_EQ(ejes.size(), 2u);
    EXPECT_TRUE(ejes[0].esU);
    EXPECT_FALSE(ejes[1].esU);
    EXPECT_NE(ejes[0].id, ejes[1].id);
}

TEST(IfcGrids, BrokenChainsDropOnlyTheirAxis)
{
    const auto ejes = desdeTexto(
        "#1=IFCCARTESIANPOINT((0.,0.));#2=IFCCARTESIANPOINT((1.,0.));\n"
        "#3=IFCPOLYLINE((#1,#2));\n"
        "#4=IFCGRIDAXIS('A',#3,.T.);\n"
        "#5=IFCGRIDAXIS('B',#99999999999999999999,.T.);\n"
        "#6=IFCGRIDAXIS('C',#6,.T.);\n"          // curve refers to the axis itself
        "#7=IFCPOLYLINE((#7,#8));#8=IFCPOLYLINE((#7));\n"
        "#9=IFCGRIDAXIS('D',#7,.T.);\n"
        "#10=IFCGRID('g',$,$,$,$,$,$,(#5,#6,#9,#10,#4),(#1,$,#3),$);\n");
    ASSERT_EQ(ejes.size(), 1u);
    EXPECT_EQ(ejes[0].tag, "A");
}

TEST(IfcGrids, PointsHandedOutAreBounded)
{
    std::string lista = "#4";
    for (int i = 0; i < 999; ++i)
        lista += ",#4";
    const auto tabla = TablaRegistrosSTEP::desdeTexto(
        "DATA;\n#1=IFCCARTESIANPOINT((0.,0.));#2=IFCCARTESIANPOINT((1.,0.));#5=IFCCARTESIANPOINT((2.,0.));\n"
        "#3=IFCPOLYLINE((#1,#2,#5));#4=IFCGRIDAXIS('A',#3,.T.);\n"
        "#6=IFCGRID('g',$,$,$,$,$,$,(" + lista + "),(),$);\nENDSEC;\n");
    EXPECT_EQ(parsearGrillasIFC(tabla).size(), 1000u);
    EXPECT_EQ(parsearGrillasIFC(tabla, 30).size(), 10u);
}

TEST(IfcGrids, NoGridOrUnreadableFileGivesNoAxes)
{
    EXPECT_TRUE(desdeTexto("#1=IFCCARTESIANPOINT((0.,0.));\n").empty());
    EXPECT_TRUE(parsearGrillasIFC(std::filesystem::path("/nonexistent/g.ifc")).empty());
}

TEST(IfcGrids, OneReadingServesEveryReader)
{
    // The same table object can be handed to several readers.
    const auto tabla = leerArchivoSTEP(testsupport::fixturePath("federation/grillas.ifc").toStdString());
    EXPECT_EQ(parsearGrillasIFC(tabla).size(), 6u);
    EXPECT_EQ(parsearGrillasIFC(tabla).size(), 6u);
}

}  // namespace
