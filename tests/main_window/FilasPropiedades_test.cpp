#include "main_window/inspector/FilasPropiedades.h"

#include "scene/Geometry.h"

#include <gtest/gtest.h>

using namespace quelva;

namespace {

// A wall in the Z-up scene: 2 long along X, 0.5 thick along Y, 3 high along Z.
scene::NodePtr nodoCaja(const char* nombre)
{
    const std::vector<scene::Vec3f> puntos{{0, 0, 0}, {2, 0, 0}, {2, 0.5f, 3}};
    const std::vector<std::int32_t> indices{0, 1, 2};
    auto nodo = scene::Node::make(scene::makeTriangleGeometry(puntos, indices));
    if (nombre)
        nodo->name = nombre;
    return nodo;
}

QString valor(const std::vector<FilaPropiedad>& filas, const QString& etiqueta)
{
    for (const FilaPropiedad& f : filas)
        if (f.etiqueta == etiqueta)
            return f.valor;
    return QStringLiteral("<sin fila>");
}

}  // namespace

TEST(FilasPropiedades, SplitsNodeNamesAtTheFirstSlashThatClosesANonEmptyPart)
{
    struct Caso {
        const char* nombre;
        const char* tipo;
        const char* elemento;
    };
    const Caso casos[] = {
        {"IfcWall/Muro 01", "IfcWall", "Muro 01"},
        {"Muro 01", "Elemento", "Muro 01"},
        {"A/B/C", "A", "B/C"},
        {"/Muro", "Elemento", "/Muro"},
        {"/A/B", "A", "B"},
        {"//A/B", "A", "B"},
        {"IfcWall/", "Elemento", "IfcWall/"},
        {"", "Elemento", ""},
    };
    for (const Caso& c : casos) {
        const NombreElemento partes = partirNombreElemento(QString::fromUtf8(c.nombre));
        EXPECT_EQ(partes.tipo, QString::fromUtf8(c.tipo)) << c.nombre;
        EXPECT_EQ(partes.nombre, QString::fromUtf8(c.elemento)) << c.nombre;
    }
}

TEST(FilasPropiedades, ShowsSizesPositionVolumeAndDiscipline)
{
    auto nodo = nodoCaja("IfcWall/Muro 01");
    std::map<QString, EspecialidadBIM> especialidades;
    especialidades["ARQ"].nombre = "Arquitectura";
    const auto filas = filasPropiedades(*nodo, QString("ARQ"), especialidades, {}, {});

    const std::vector<FilaPropiedad> esperadas{
        {"Tipo IFC", "IfcWall"},
        {"Nombre", "Muro 01"},
        {"Especialidad", "Arquitectura"},
        {"Dimensiones (m)", "W:2.00 H:3.00 D:0.50"},  // H is the height (Z), D the thickness (Y)
        {QString::fromUtf8("Posición (m)"), "X:1.00 Y:0.25 Z:1.50"},
        {QString::fromUtf8("Vol. aprox. (m³)"), "3.0000"},
        {"Interferencia", "Sin conflictos"},
    };
    EXPECT_EQ(filas, esperadas);
}

TEST(FilasPropiedades, MeasuresTheNodeAsTransformedInTheScene)
{
    auto contenedor = scene::Node::make();
    contenedor->scale = {0.001, 0.001, 0.001};  // a model in millimetres
    contenedor->position = {10, 0, 0};
    auto nodo = nodoCaja("Muro");
    contenedor->addChild(nodo);
    // Geometry of 2000 x 500 x 3000 mm.
    nodo->scale = {1000, 1000, 1000};

    const auto filas = filasPropiedades(*nodo, std::nullopt, {}, {}, {});
    EXPECT_EQ(valor(filas, "Dimensiones (m)"), "W:2.00 H:3.00 D:0.50");
    EXPECT_EQ(valor(filas, QString::fromUtf8("Posición (m)")), "X:11.00 Y:0.25 Z:1.50");
}

TEST(FilasPropiedades, FlagsClashesByNodeIdentityOnly)
{
    auto nodo = nodoCaja("Muro");
    auto homonimo = nodoCaja("Muro");
    auto otro = nodoCaja("Losa");

    Interferencia ajena;
    ajena.nodoA = homonimo;
    ajena.nodoB = otro;
    EXPECT_EQ(valor(filasPropiedades(*nodo, std::nullopt, {}, {ajena}, {}), "Interferencia"), "Sin conflictos");

    Interferencia propia;
    propia.nodoA = otro;
    propia.nodoB = nodo;
    EXPECT_EQ(valor(filasPropiedades(*nodo, std::nullopt, {}, {ajena, propia}, {}), "Interferencia"),
              QString::fromUtf8("Colisión detectada"));
}

TEST(FilasPropiedades, ListsIfcPropertiesSortedAfterAHeader)
{
    std::map<QString, TablaPropiedadesIFC> tabla;
    tabla["ARQ"]["Muro 01"] = {{"__tipoIFC", "IfcWall"}, {"Pset_WallCommon \u203A IsExternal", "T"}};

    const auto filas = filasPropiedades(*nodoCaja("IfcWall/Muro 01"), QString("ARQ"), {}, {}, tabla);
    ASSERT_GE(filas.size(), 3u);
    const std::vector<FilaPropiedad> cola(filas.end() - 3, filas.end());
    const std::vector<FilaPropiedad> esperadas{
        {QString::fromUtf8("── Propiedades IFC ──"), ""},
        {QString::fromUtf8("Pset_WallCommon \u203A IsExternal"), "T"},
        {"__tipoIFC", "IfcWall"},
    };
    EXPECT_EQ(cola, esperadas);
    EXPECT_TRUE(cola.front().esEncabezado());
}

TEST(FilasPropiedades, FindsElementsWhoseOwnNameHoldsASlash)
{
    std::map<QString, TablaPropiedadesIFC> tabla;
    tabla["ARQ"]["Puerta 90/210"] = {{"__tipoIFC", "IfcDoor"}};
    tabla["ARQ"]["210"] = {{"__tipoIFC", "IfcBeam"}};

    const auto filas = filasPropiedades(*nodoCaja("Puerta 90/210"), QString("ARQ"), {}, {}, tabla);
    EXPECT_EQ(valor(filas, "Tipo IFC"), "Puerta 90");
    EXPECT_EQ(valor(filas, "Nombre"), "210");
    EXPECT_EQ(valor(filas, "__tipoIFC"), "IfcDoor");

    // Without a whole-name entry the part after the slash still finds the element.
    tabla["ARQ"].erase("Puerta 90/210");
    EXPECT_EQ(valor(filasPropiedades(*nodoCaja("Puerta 90/210"), QString("ARQ"), {}, {}, tabla), "__tipoIFC"),
              "IfcBeam");
}

TEST(FilasPropiedades, ShowsNoPropertySectionWithoutDisciplineOrEntry)
{
    std::map<QString, TablaPropiedadesIFC> tabla;
    tabla["ARQ"]["Muro"] = {{"__tipoIFC", "IfcWall"}};
    EXPECT_EQ(filasPropiedades(*nodoCaja("Muro"), std::nullopt, {}, {}, tabla).size(), 6u);
    EXPECT_EQ(filasPropiedades(*nodoCaja("Otro"), QString("ARQ"), {}, {}, tabla).size(), 6u);
    EXPECT_EQ(valor(filasPropiedades(*nodoCaja(nullptr), std::nullopt, {}, {}, {}), "Nombre"), "Sin nombre");
}
