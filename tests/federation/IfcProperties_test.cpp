#include "federation/ifc/IfcProperties.h"

#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <set>

using namespace quelva;

namespace {

const std::string kSep = " \u203A ";

std::filesystem::path rutaFixture(const char* nombre)
{
    return testsupport::fixturePath(QString("federation/") + nombre).toStdString();
}

TablaPropiedadesIFC desdeTexto(const std::string& datos)
{
    return parsearPropiedadesIFC(TablaRegistrosSTEP::desdeTexto("ISO-10303-21;\nHEADER;\nENDSEC;\nDATA;\n" + datos
                                                                + "ENDSEC;\nEND-ISO-10303-21;\n"));
}

TEST(IfcProperties, ReadsPropertySetsOfNamedElements)
{
    const auto tabla = parsearPropiedadesIFC(rutaFixture("propiedades.ifc"));

    std::set<std::string> nombres;
    for (const auto& [nombre, _] : tabla)
        nombres.insert(nombre);
    // No opening, curtain wall or storey; the unnamed slab and the beam named '' stand under
    // their GlobalIds, as their nodes are named.
    EXPECT_EQ(nombres, (std::set<std::string>{"Muro b\u00e1sico", "Puerta P-1", "Sala", "Pilar",
                                              "1Ye8VnIyH9ngoM6U4$4ffA", "0wGmXMiQ1BpQ2f7Fo9vbZT"}));
    EXPECT_EQ(tabla.at("1Ye8VnIyH9ngoM6U4$4ffA").at("Pset_WallCommon" + kSep + "Espesor"), "0.2");
    EXPECT_EQ(tabla.at("0wGmXMiQ1BpQ2f7Fo9vbZT").at("__tipoIFC"), "IFCBEAM");

    const PropiedadesElementoIFC puerta = {
        {"__tipoIFC", "IFCDOOR"},
        {"Pset_WallCommon" + kSep + "IsExternal", ".T."},
        {"Pset_WallCommon" + kSep + "Material", "Hormig\u00f3n (armado), gris"},
        {"Pset_WallCommon" + kSep + "Espesor", "0.2"},
        {"Pset_WallCommon" + kSep + "Sin valor", ""},
    };
    EXPECT_EQ(tabla.at("Puerta P-1"), puerta);
    EXPECT_EQ(tabla.at("Sala").at("__tipoIFC"), "IFCSPACE");
    EXPECT_EQ(tabla.at("Sala").size(), 5u);
    // A quantity set adds nothing.
    EXPECT_EQ(tabla.at("Pilar"), (PropiedadesElementoIFC{{"__tipoIFC", "IFCCOLUMN"}}));
}

TEST(IfcProperties, ElementsSharingANameShareOneEntry)
{
    const auto tabla = parsearPropiedadesIFC(rutaFixture("propiedades.ifc"));
    const auto& muro = tabla.at("Muro b\u00e1sico");
    EXPECT_TRUE(muro.at("__tipoIFC") == "IFCWALL" || muro.at("__tipoIFC") == "IFCWALLSTANDARDCASE");
    EXPECT_EQ(muro.at("Pset_WallCommon" + kSep + "IsExternal"), ".T.");
    EXPECT_EQ(muro.at("X" + kSep + "Nota"), "  con espacios  ");
    EXPECT_EQ(muro.at("X" + kSep + "Factor"), "-1.5E-3");
    // A property called like the reserved key stays under its set.
    EXPECT_EQ(muro.at("X" + kSep + "__tipoIFC"), "falso");
}

TEST(IfcProperties, CrLfFileGivesTheSameTable)
{
    EXPECT_EQ(parsearPropiedadesIFC(rutaFixture("propiedades_crlf.ifc")),
              parsearPropiedadesIFC(rutaFixture("propiedades.ifc")));
}

TEST(IfcProperties, UnsetSetNameAndLaterPropertyValues)
{
    const auto tabla = desdeTexto(
        "#1=IFCBUILDINGELEMENTPROXY('g',$,'Caja',$,$,$,$,$,$);\n"
        "#2=IFCPROPERTYSINGLEVALUE('A',$,IFCINTEGER(1),$);\n"
        "#3=IFCPROPERTYSINGLEVALUE('A',$,IFCINTEGER(2),$);\n"
        "#4=IFCPROPERTYSET('p',$,$,$,(#2,#3));\n"
        "#5=IFCRELDEFINESBYPROPERTIES('r',$,$,$,(#1),#4);\n"
        "#6=IFCRELDEFINESBYPROPERTIES('r',$,$,$,#1,#1);\n"  // a relation to itself: skipped
        "#7=IFCPROPERTYSET('q',$,'Ciclo',$,(#7,#8));\n"
        "#8=IFCRELDEFINESBYPROPERTIES('r',$,$,$,(#1,#8),#7);\n");
    EXPECT_EQ(tabla.at("Caja"), (PropiedadesElementoIFC{{"__tipoIFC", "IFCBUILDINGELEMENTPROXY"}, {kSep + "A", "2"}}));
}

TEST(IfcProperties, ElementTypesAreTheTwentySixOnly)
{
    const char* tipos[] = {"IFCWALL", "IFCWALLSTANDARDCASE", "IFCSLAB", "IFCBEAM", "IFCCOLUMN", "IFCDOOR",
                           "IFCWINDOW", "IFCSTAIR", "IFCSTAIRFLIGHT", "IFCROOF", "IFCSPACE",
                           "IFCFURNISHINGELEMENT", "IFCMEMBER", "IFCPLATE", "IFCFLOWSEGMENT", "IFCFLOWTERMINAL",
                           "IFCFLOWFITTING", "IFCPIPESEGMENT", "IFCPIPEFITTING", "IFCDUCTSEGMENT",
                           "IFCDUCTFITTING", "IFCBUILDINGELEMENTPROXY", "IFCCOVERING", "IFCFOOTING", "IFCPILE",
                           "IFCRAILING", "IFCSLABSTANDARDCASE", "IFCCURTAINWALL", "IFCOPENINGELEMENT",
                           "IFCBUILDINGSTOREY", "IFCFLOWCONTROLLER", "IFCSITE", "IFCPROPERTYSET"};
    std::string datos;
    int n = 1;
    for (const char* tipo : tipos) {
        datos += "#" + std::to_string(n) + "=" + tipo + "('g',$,'" + tipo + "',$);\n";
        ++n;
    }
    const auto tabla = desdeTexto(datos);
    EXPECT_EQ(tabla.size(), 26u);
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(tabla.count(tipos[i]), 1u) << tipos[i];
}

TEST(IfcProperties, WorkIsBoundedWhenEveryElementMeetsEveryProperty)
{
    // 20 elements related to one set of 10 properties: 200 values in full.
    std::string datos;
    std::string elementos;
    std::string propiedades;
    for (int i = 1; i <= 20; ++i) {
        datos += "#" + std::to_string(i) + "=IFCWALL('g',$,'Muro " + std::to_string(i) + "',$);\n";
        elementos += (i > 1 ? ",#" : "#") + std::to_string(i);
    }
    for (int i = 101; i <= 110; ++i) {
        datos += "#" + std::to_string(i) + "=IFCPROPERTYSINGLEVALUE('P" + std::to_string(i) + "',$,IFCINTEGER(1),$);\n";
        propiedades += (i > 101 ? ",#" : "#") + std::to_string(i);
    }
    datos += "#200=IFCPROPERTYSET('s',$,'Set',$,(" + propiedades + "));\n";
    datos += "#201=IFCRELDEFINESBYPROPERTIES('r',$,$,$,(" + elementos + "),#200);\n";
    const auto tabla = TablaRegistrosSTEP::desdeTexto("DATA;\n" + datos + "ENDSEC;\n");

    auto contar = [](const TablaPropiedadesIFC& t) {
        size_t valores = 0;
        for (const auto& [nombre, props] : t)
            valores += props.size() - 1;  // without __tipoIFC
        return valores;
    };
    EXPECT_EQ(contar(parsearPropiedadesIFC(tabla)), 200u);
    const auto acotada = parsearPropiedadesIFC(tabla, 55);
    EXPECT_EQ(acotada.size(), 20u);  // every element keeps its entry
    EXPECT_GT(contar(acotada), 0u);
    EXPECT_LE(contar(acotada), 55u);
}

TEST(IfcProperties, LongNamesAreDecodedOnceHoweverManyRelationsUseThem)
{
    // a set with a long name used by many relations, and a property with a long name shared
    // by many sets: each record is split and decoded once, and the copies count in the budget
    const std::string largo(100'000, 'n');
    std::string datos = "#1=IFCWALL('g',$,'Muro',$);\n#2=IFCPROPERTYSINGLEVALUE('" + largo +
                        "',$,IFCLABEL('v'),$);\n#3=IFCPROPERTYSINGLEVALUE('Corta',$,IFCINTEGER(7),$);\n"
                        "#10=IFCPROPERTYSET('s',$,'" + largo + "',$,(#3));\n";
    for (int i = 0; i < 2000; ++i) {
        const std::string n = std::to_string(100 + 3 * i);
        datos += "#" + n + "=IFCRELDEFINESBYPROPERTIES('r',$,$,$,(#1),#10);\n";
        datos += "#" + std::to_string(101 + 3 * i) + "=IFCPROPERTYSET('s',$,'Corto',$,(#2));\n";
        datos += "#" + std::to_string(102 + 3 * i) + "=IFCRELDEFINESBYPROPERTIES('r',$,$,$,(#1),#" +
                 std::to_string(101 + 3 * i) + ");\n";
    }
    const std::string texto = "DATA;\n" + datos + "ENDSEC;\n";
    const auto tabla = TablaRegistrosSTEP::desdeTexto(texto);
    EstadisticaPropiedades estadistica;
    const auto resultado = parsearPropiedadesIFC(tabla, limiteAsignacionesIFC(tabla), &estadistica);
    EXPECT_LE(estadistica.bytesLeidos, 2 * texto.size());
    EXPECT_LE(estadistica.unidadesTrabajo, limiteAsignacionesIFC(tabla));
    ASSERT_EQ(resultado.count("Muro"), 1u);
    const auto& muro = resultado.at("Muro");
    EXPECT_EQ(muro.at(largo + kSep + "Corta"), "7");
    EXPECT_EQ(muro.at("Corto" + kSep + largo), "v");
}

TEST(IfcProperties, BadInputGivesAnEmptyTable)
{
    EXPECT_TRUE(parsearPropiedadesIFC(std::filesystem::path("/nonexistent/a.ifc")).empty());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct {
        const char* nombre;
        QByteArray contenido;
    } archivos[] = {
        {"vacio.ifc", QByteArray()},
        {"latin1.ifc", QByteArray("DATA;\n#1=IFCWALL('g',$,'Mur\xe9',$);\nENDSEC;\n")},
        {"binario.ifc", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR#1=(", 20)},
        {"truncado.ifc", QByteArray("DATA;\n#1=IFCWALL('g',$,'Muro")},
    };
    for (const auto& a : archivos) {
        const QString ruta = dir.filePath(a.nombre);
        QFile f(ruta);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(a.contenido);
        f.close();
        EXPECT_TRUE(parsearPropiedadesIFC(std::filesystem::path(ruta.toStdString())).empty()) << a.nombre;
    }
}

}  // namespace
