#include "EscenaQTO.h"

#include "federation/Transformacion.h"
#include "qto/ConstruirGrupos.h"
#include "qto/TablasIFC.h"

#include <gtest/gtest.h>

using namespace quelva;
using qtotest::elemento;

namespace {

std::vector<GrupoQTO> construir(const qtotest::Federacion& f)
{
    return construirGrupos(f.especialidades, f.orden, f.propiedades);
}

QStringList ordenDe(const std::vector<GrupoQTO>& grupos)
{
    QStringList r;
    for (const GrupoQTO& g : grupos)
        r.append(g.especialidad + "/" + g.tipoNombre);
    return r;
}

}  // namespace

TEST(ConstruirGrupos, MeasuresOnlyNamedNodesWithSomeExtentAboveOneMillimetre)
{
    const struct {
        float ancho, alto, largo;
        bool esItem;
    } casos[] = {
        {0.001f, 0.001f, 0.001f, false},
        {0, 0, 0, false},
        {0.0011f, 0, 0, true},
        {0, 0.0011f, 0, true},
        {0, 0, 0.0011f, true},
        {2, 0, 3, true},
    };
    for (const auto& c : casos) {
        qtotest::Federacion f;
        f.modelo("ARQ", "Arquitectura")->addChild(elemento("E", c.ancho, c.alto, c.largo));
        EXPECT_EQ(!construir(f).empty(), c.esItem) << c.ancho << " " << c.alto << " " << c.largo;
    }

    qtotest::Federacion f;
    auto m = f.modelo("ARQ", "Arquitectura");
    auto sinNombre = elemento("x", 1, 1, 1);
    sinNombre->name.reset();
    auto nombreVacio = elemento("", 1, 1, 1);
    m->addChild(sinNombre);
    m->addChild(nombreVacio);
    EXPECT_TRUE(construir(f).empty());
}

TEST(ConstruirGrupos, AFlatSheetHasAreasButNoVolumeOrWeight)
{
    qtotest::Federacion f;
    f.modelo("ARQ", "Arquitectura")->addChild(elemento("Lamina", 2, 0, 3));
    f.tipo("ARQ", "Lamina", "IFCPLATE");
    const auto grupos = construir(f);
    ASSERT_EQ(grupos.size(), 1u);
    const ItemQTO& i = grupos[0].items[0];
    EXPECT_EQ(i.dx, 2.0f);
    EXPECT_EQ(i.dy, 0.0f);
    EXPECT_EQ(i.dz, 3.0f);
    EXPECT_EQ(grupos[0].volumen(), 0.0f);
    EXPECT_EQ(grupos[0].areaPlanta(), 6.0f);
    EXPECT_EQ(grupos[0].areaCara(), 12.0f);
    EXPECT_EQ(grupos[0].peso(), 0.0f);
}

TEST(ConstruirGrupos, ReadsTheHeightAlongTheVerticalAxis)
{
    // A slab 10 m along X, 5 m along Y and 0.2 m thick: its plan area is its footprint.
    qtotest::Federacion f;
    f.modelo("EST", "Estructura")->addChild(elemento("Losa-1", 10, 0.2f, 5));
    f.tipo("EST", "Losa-1", "IFCSLAB");
    const auto grupos = construir(f);
    ASSERT_EQ(grupos.size(), 1u);
    const ItemQTO& i = grupos[0].items[0];
    EXPECT_FLOAT_EQ(i.dx, 10);
    EXPECT_FLOAT_EQ(i.dy, 0.2f);
    EXPECT_FLOAT_EQ(i.dz, 5);
    EXPECT_FLOAT_EQ(i.areaPlanta(), 50);
    EXPECT_FLOAT_EQ(grupos[0].volumen(), 10.0f);
    EXPECT_FLOAT_EQ(grupos[0].peso(), 24000.0f);
}

TEST(ConstruirGrupos, AModelInMillimetresMeasuresInMetresWhateverItsPlacement)
{
    qtotest::Federacion f;
    auto m = f.modelo("ARQ", "Arquitectura");
    m->addChild(elemento("Muro", 5000, 3000, 200));
    f.tipo("ARQ", "Muro", "IFCWALL");
    TransformacionModelo t;
    t.unidades = TransformacionModelo::Unidades::milimetros;
    t.offsetX = 12;
    t.giroZ = 90;
    aplicarTransformacionANodo(*m, t);

    const auto grupos = construir(f);
    ASSERT_EQ(grupos.size(), 1u);
    const ItemQTO& i = grupos[0].items[0];
    EXPECT_NEAR(i.dx, 5, 1e-4);
    EXPECT_NEAR(i.dy, 3, 1e-4);
    EXPECT_NEAR(i.dz, 0.2, 1e-6);
    EXPECT_NEAR(grupos[0].volumen(), 3, 1e-4);
}

TEST(ConstruirGrupos, TakesClassNameAndDensityFromTheTables)
{
    const struct {
        const char* tipo;  // null: the element has no entry in the property table
        const char* tipoIFC;
        const char* tipoNombre;
        float densidad;
    } casos[] = {
        {"IFCWALL", "IFCWALL", "Muro", 1800},
        {"IFCSPACE", "IFCSPACE", "Espacio", 0},
        {"IFCCURTAINWALL", "IFCCURTAINWALL", "IFCCURTAINWALL", 1000},
        {"IfcWall", "IfcWall", "IfcWall", 1000},
        {nullptr, "IFCBUILDINGELEMENTPROXY", "Elemento genérico", 1000},
    };
    for (const auto& c : casos) {
        qtotest::Federacion f;
        f.modelo("ARQ", "Arquitectura")->addChild(elemento("E", 1, 2, 3));
        if (c.tipo)
            f.tipo("ARQ", "E", c.tipo);
        const auto grupos = construir(f);
        ASSERT_EQ(grupos.size(), 1u);
        const GrupoQTO& g = grupos[0];
        EXPECT_EQ(g.tipoIFC, QString::fromUtf8(c.tipoIFC));
        EXPECT_EQ(g.tipoNombre, QString::fromUtf8(c.tipoNombre));
        EXPECT_EQ(g.densidad, c.densidad);
        EXPECT_EQ(g.items[0].tipoNombre, g.tipoNombre);
        EXPECT_EQ(g.items[0].densidad, g.densidad);
        EXPECT_EQ(g.peso(), 6.0f * c.densidad) << c.tipoIFC;
    }

    // An entry without the class key is a generic element too, and keeps its properties.
    qtotest::Federacion f;
    f.modelo("ARQ", "Arquitectura")->addChild(elemento("E", 1, 1, 1));
    f.propiedad("ARQ", "E", "Pset_X › A", "1");
    const auto grupos = construir(f);
    ASSERT_EQ(grupos.size(), 1u);
    EXPECT_EQ(grupos[0].tipoIFC, "IFCBUILDINGELEMENTPROXY");
    EXPECT_EQ(grupos[0].items[0].propiedad("Pset_X › A"), "1");
}

TEST(ConstruirGrupos, TheTablesHoldTwentySixClasses)
{
    EXPECT_EQ(tiposIFCConocidos().size(), 26u);
    EXPECT_EQ(nombreTipoIFC("IFCPIPESEGMENT"), "Tubería");
    EXPECT_EQ(densidadIFC("IFCPIPESEGMENT"), 7850.0f);
    EXPECT_EQ(nombreTipoIFC("IFCWINDOW"), "Ventana");
    EXPECT_EQ(densidadIFC("IFCWINDOW"), 100.0f);
    EXPECT_EQ(nombreTipoIFC("ifcwindow"), "ifcwindow");
}

TEST(ConstruirGrupos, OrdersByDisciplineThenTypeNameInCodePointOrder)
{
    qtotest::Federacion f;
    // Visit order must not matter.
    for (const auto& [clave, nombre] : {std::pair{"ARE", "Áreas de Reserva"}, std::pair{"TOP", "Topografía"},
                                        std::pair{"MEP", "MEP"}, std::pair{"ARQ", "Arquitectura"}}) {
        f.modelo(clave, QString::fromUtf8(nombre))->addChild(elemento(std::string("e") + clave, 1, 1, 1));
    }
    auto arq = f.especialidades["ARQ"].nodoRaiz->children()[0];
    for (const char* tipo : {"IFCWALLSTANDARDCASE", "IFCSLAB", "IFCWALL", "IFCCURTAINWALL", "IFCSTAIR"}) {
        arq->addChild(elemento(tipo, 1, 1, 1));
        f.tipo("ARQ", tipo, tipo);
    }
    EXPECT_EQ(ordenDe(construir(f)),
              (QStringList{"Arquitectura/Elemento genérico", "Arquitectura/Escalera", "Arquitectura/IFCCURTAINWALL",
                           "Arquitectura/Losa", "Arquitectura/Muro", "Arquitectura/Muro estándar",
                           "MEP/Elemento genérico", "Topografía/Elemento genérico",
                           "Áreas de Reserva/Elemento genérico"}));
}

TEST(ConstruirGrupos, DisciplinesSharingANameShareTheirGroupsInDisciplineOrder)
{
    qtotest::Federacion f;
    f.modelo("EST", "Estructura")->addChild(elemento("Viga-A", 1, 1, 1));
    f.modelo("EST2", "Estructura")->addChild(elemento("Viga-B", 2, 2, 2));
    f.tipo("EST", "Viga-A", "IFCBEAM");
    f.tipo("EST2", "Viga-B", "IFCBEAM");
    // Properties are looked up in each element's own discipline.
    f.propiedad("EST2", "Viga-B", "P › Q", "segunda");
    f.propiedad("EST", "Viga-B", "P › Q", "ajena");

    const auto grupos = construir(f);
    ASSERT_EQ(grupos.size(), 1u);
    ASSERT_EQ(grupos[0].items.size(), 2u);
    EXPECT_EQ(grupos[0].items[0].nombre, "Viga-A");
    EXPECT_EQ(grupos[0].items[1].nombre, "Viga-B");
    EXPECT_EQ(grupos[0].items[1].propiedad("P › Q"), "segunda");

    // Reversing the discipline order reverses the items.
    f.orden = {"EST2", "EST"};
    EXPECT_EQ(construir(f)[0].items[0].nombre, "Viga-B");
}

TEST(ConstruirGrupos, SkipsDisciplinesWithoutRootOrNotInTheOrder)
{
    qtotest::Federacion f;
    f.modelo("ARQ", "Arquitectura")->addChild(elemento("A", 1, 1, 1));
    f.modelo("MEP", "MEP")->addChild(elemento("M", 1, 1, 1));
    f.especialidades["EST"].nombre = "Estructura";  // no root node
    f.orden = {"EST", "XXX", "MEP"};
    const auto grupos = construir(f);
    ASSERT_EQ(grupos.size(), 1u);
    EXPECT_EQ(grupos[0].especialidad, "MEP");
}

TEST(ConstruirGrupos, ANamedNodeOverNamedChildrenIsAnItemCoveringThem)
{
    qtotest::Federacion f;
    auto conjunto = elemento("Escalera", 0, 0, 0);
    conjunto->addChild(elemento("Tramo-1", 1, 1, 2));
    conjunto->addChild(elemento("Tramo-2", 1, 1, 2, {0, 2, 1}));
    f.modelo("ARQ", "Arquitectura")->addChild(conjunto);
    const auto grupos = construir(f);
    ASSERT_EQ(grupos.size(), 1u);
    ASSERT_EQ(grupos[0].items.size(), 3u);
    EXPECT_EQ(grupos[0].items[0].nombre, "Escalera");
    EXPECT_FLOAT_EQ(grupos[0].items[0].dz, 4);
    EXPECT_FLOAT_EQ(grupos[0].items[0].dy, 2);
    EXPECT_EQ(grupos[0].items[1].nombre, "Tramo-1");
    EXPECT_EQ(grupos[0].items[2].nombre, "Tramo-2");
}

TEST(ConstruirGrupos, ANameFoundTwiceGivesTwoItemsWithTheSameProperties)
{
    qtotest::Federacion f;
    auto m = f.modelo("ARQ", "Arquitectura");
    m->addChild(elemento("Puerta", 1, 2, 0.1f));
    m->addChild(elemento("Puerta", 1, 2, 0.1f));
    f.tipo("ARQ", "Puerta", "IFCDOOR");
    f.propiedad("ARQ", "Puerta", "Pset_DoorCommon › FireRating", "EI30");
    const auto grupos = construir(f);
    ASSERT_EQ(grupos.size(), 1u);
    ASSERT_EQ(grupos[0].items.size(), 2u);
    EXPECT_NE(grupos[0].items[0].id, grupos[0].items[1].id);
    EXPECT_EQ(grupos[0].items[0].propiedades, grupos[0].items[1].propiedades);
    EXPECT_EQ(grupos[0].items[1].propiedad("Pset_DoorCommon › FireRating"), "EI30");
}

TEST(ConstruirGrupos, TheTakeOffIsASnapshotOfTheProperties)
{
    qtotest::Federacion f;
    f.modelo("ARQ", "Arquitectura")->addChild(elemento("M", 1, 1, 1));
    f.propiedad("ARQ", "M", "P › A", "antes");
    const auto grupos = construir(f);
    f.propiedad("ARQ", "M", "P › A", "después");
    f.propiedades.clear();
    EXPECT_EQ(grupos[0].items[0].propiedad("P › A"), "antes");
}

TEST(GrupoQTO, ValorParametroIgnoresEmptyAndUnsetValues)
{
    auto conValor = [](const char* v) {
        PropiedadesElementoIFC p;
        if (v)
            p["Pset › Hormigon"] = v;
        return qtotest::item("e", 1, 1, 1, 1000, p);
    };
    const struct {
        std::vector<const char*> valores;  // null: the item lacks the key
        const char16_t* esperado;
    } casos[] = {
        {{"", "$", "HA-30"}, u"HA-30"},
        {{"HA-30", nullptr, "HA-30"}, u"HA-30"},
        {{"HA-30", "HA-25"}, u"varios"},
        {{nullptr, nullptr}, u"—"},
        {{"$", ""}, u"—"},
        {{"varios", "varios"}, u"varios"},
    };
    for (const auto& c : casos) {
        std::vector<ItemQTO> items;
        for (const char* v : c.valores)
            items.push_back(conValor(v));
        const GrupoQTO g = qtotest::grupo("IFCSLAB", "Losa", "Estructura", items);
        EXPECT_EQ(g.valorParametro("Pset › Hormigon"), QString::fromUtf16(c.esperado));
    }
}
