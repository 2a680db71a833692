#include "federation/ifc/GlobalIds.h"
#include "federation/ifc/ProductTypes.h"

#include "support/Fixtures.h"

#include <gtest/gtest.h>

using namespace quelva;

namespace {

MapaGlobalIds desdeTexto(const std::string& datos)
{
    return parsearGlobalIds(TablaRegistrosSTEP::desdeTexto("ISO-10303-21;\nHEADER;\nENDSEC;\nDATA;\n" + datos
                                                           + "ENDSEC;\nEND-ISO-10303-21;\n"));
}

TEST(GlobalIds, MapsElementNamesToGlobalIdsLaterNameWins)
{
    const auto mapa = desdeTexto(
        "#1=IFCWALL('0aaaaaaaaaaaaaaaaaaaaa',$,'Muro',$,$,$,$,$);\n"
        "#2=IFCSLAB('0bbbbbbbbbbbbbbbbbbbbb',$,'Losa',$,$,$,$,$);\n"
        "#3=IFCWALLSTANDARDCASE('0ccccccccccccccccccccc',$,'Muro',$,$,$,$,$);\n"
        "#4=IFCDOOR('0ddddddddddd$ddddddddd',$,'L''Puerta \\X2\\00E9\\X0\\',$);\n"
        "#5=IFCBEAM('0eeeeeeeeeeeeeeeeeeeee',$,$,$);\n"
        "#6=IFCCOLUMN($,$,'Sin GlobalId',$);\n"
        "#7=IFCOPENINGELEMENT('0fffffffffffffffffffff',$,'Hueco',$);\n"
        "#8=IFCWINDOW('0ggggggggggggggggggggg',$);\n"
        "#x=IFCROOF('0hhhhhhhhhhhhhhhhhhhhh',$,'Cubierta',$);\n");
    const MapaGlobalIds esperado = {
        {"Muro", "0ccccccccccccccccccccc"},
        {"Losa", "0bbbbbbbbbbbbbbbbbbbbb"},
        {"L'Puerta \u00e9", "0ddddddddddd$ddddddddd"},
        {"Cubierta", "0hhhhhhhhhhhhhhhhhhhhh"},
        {"0eeeeeeeeeeeeeeeeeeeee", "0eeeeeeeeeeeeeeeeeeeee"},  // unnamed: keyed as its node is named
    };
    EXPECT_EQ(mapa, esperado);
}

TEST(GlobalIds, RepeatedRecordNumbersStillCountInFileOrder)
{
    const auto mapa = desdeTexto(
        "#1=IFCWALL('0aaaaaaaaaaaaaaaaaaaaa',$,'Muro',$);\n"
        "#1=IFCWALL('0bbbbbbbbbbbbbbbbbbbbb',$,'Otro',$);\n");
    EXPECT_EQ(mapa.size(), 2u);
}

TEST(GlobalIds, FileWithoutElementsOrUnreadableGivesEmptyMap)
{
    EXPECT_TRUE(desdeTexto("#1=IFCBUILDINGSTOREY('0aaaaaaaaaaaaaaaaaaaaa',$,'Nivel',$);\n").empty());
    EXPECT_TRUE(parsearGlobalIds(std::filesystem::path("/nonexistent/a.ifc")).empty());
    EXPECT_TRUE(desdeTexto("#1=IFCWALL('0aaaaaaaaaaaaaaaaaaaaa',$,'Mur\xe9',$);\n").empty());
}

TEST(GlobalIds, NamesSharedByDifferentElementsAreNotTiedToOne)
{
    const std::string texto = "ISO-10303-21;\nHEADER;\nENDSEC;\nDATA;\n"
                              "#1=IFCWALL('0aaaaaaaaaaaaaaaaaaaaa',$,'Muro',$);\n"
                              "#2=IFCWALL('0bbbbbbbbbbbbbbbbbbbbb',$,'Muro',$);\n"
                              "#3=IFCSLAB('0ccccccccccccccccccccc',$,'Losa',$);\n"
                              "#4=IFCSLAB('0ccccccccccccccccccccc',$,'Losa',$);\n"
                              "#5=IFCBEAM('0ddddddddddddddddddddd',$,'Viga',$);\n"
                              "ENDSEC;\nEND-ISO-10303-21;\n";
    MapaGlobalIds mapa = parsearGlobalIdsUnivocos(TablaRegistrosSTEP::desdeTexto(texto));
    const MapaGlobalIds esperado = {{"Muro", ""}, {"Losa", "0ccccccccccccccccccccc"}, {"Viga", "0ddddddddddddddddddddd"}};
    EXPECT_EQ(mapa, esperado);
    // A second model of the discipline: the same element again, another one of a known name, a new one.
    fusionarGlobalIdsUnivocos(mapa, {{"Losa", "0ccccccccccccccccccccc"}, {"Viga", "0eeeeeeeeeeeeeeeeeeeee"},
                                     {"Pilar", "0fffffffffffffffffffff"}});
    const MapaGlobalIds fusionado = {{"Muro", ""}, {"Losa", "0ccccccccccccccccccccc"}, {"Viga", ""},
                                     {"Pilar", "0fffffffffffffffffffff"}};
    EXPECT_EQ(mapa, fusionado);
}

TEST(GlobalIds, ReadsFixtureFile)
{
    const auto mapa = parsearGlobalIds(
        std::filesystem::path(testsupport::fixturePath("federation/propiedades.ifc").toStdString()));
    EXPECT_EQ(mapa.at("Muro b\u00e1sico"), "1kTvXnbbzCWw8lcMd1dR4o");
    EXPECT_EQ(mapa.at("Puerta P-1"), "0pwsF2mOf6aRr2pOdjCkYb");
    EXPECT_EQ(mapa.count("Hueco"), 0u);
    // the slab without a Name and the beam named '' under their own GlobalIds
    EXPECT_EQ(mapa.at("1Ye8VnIyH9ngoM6U4$4ffA"), "1Ye8VnIyH9ngoM6U4$4ffA");
    EXPECT_EQ(mapa.at("0wGmXMiQ1BpQ2f7Fo9vbZT"), "0wGmXMiQ1BpQ2f7Fo9vbZT");
    EXPECT_EQ(mapa.size(), 6u);
}

TEST(GlobalIds, LinkedModelsNameEveryProductTheComparisonOnlyItsElementTypes)
{
    const TablaRegistrosSTEP tabla = leerArchivoSTEP(
        std::filesystem::path(testsupport::fixturePath("federation/ele_tableros.ifc").toStdString()));
    // Panelboards and an alarm panel are products though not of the comparison's element types;
    // the type object that shares a panelboard's name is no product, and the opening that bears the
    // tray's name is never drawn: neither leaves a name ambiguous.
    const MapaGlobalIds productos = {
        {"Tablero TDA-1", "3Lz$Tablero0TDA1xxxx01"}, {"Tablero TDA-2", "3Lz$Tablero0TDA2xxxx02"},
        {"Central de incendio", "0CentralIncendioxxxx03"}, {"Bandeja", "1Bandeja0Portacable004"},
        {"Sitio", "2kIGCVqjT4NgRnt1wvHE02"}, {"Planta 1", "2kIGCVqjT4NgRnt1wvHE03"},
    };
    EXPECT_EQ(parsearGlobalIdsUnivocos(tabla), productos);
    EXPECT_EQ(parsearGlobalIds(tabla), (MapaGlobalIds{{"Bandeja", "1Bandeja0Portacable004"}}));
}

TEST(GlobalIds, ProductTypesAreThoseOfTheConvertersIfcLibrary)
{
    const struct {
        const char* tipo;
        bool producto;
    } casos[] = {
        {"IFCWALL", true}, {"IFCWALLSTANDARDCASE", true}, {"IFCFLOWCONTROLLER", true},
        {"IFCDISTRIBUTIONCONTROLELEMENT", true}, {"IFCELECTRICDISTRIBUTIONBOARD", true}, {"IFCALARM", true},
        {"IFCBUILDINGSTOREY", true}, {"IFCOPENINGELEMENT", false}, {"IFCSPACE", false}, {"IFCDISTRIBUTIONPORT", true},
        {"IFCANNOTATION", true}, {"IFCGRID", true}, {"IFCPROXY", true},
        {"IFCPROTECTIVEDEVICETYPE", false}, {"IFCWALLTYPE", false}, {"IFCRELAGGREGATES", false},
        {"IFCPROPERTYSET", false}, {"IFCPROJECT", false}, {"IFCOBJECT", false}, {"IFCCARTESIANPOINT", false},
        {"IFCLABEL", false}, {"IfcWall", false}, {"IFCWALLX", false}, {"", false},
    };
    for (const auto& c : casos)
        EXPECT_EQ(esTipoProductoIFC(c.tipo), c.producto) << c.tipo;
}

}  // namespace
