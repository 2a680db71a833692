#include "EscenaQTO.h"

#include "qto/EstadoQTO.h"
#include "qto/FilasQTO.h"

#include <gtest/gtest.h>

using namespace quelva;
using qtotest::grupo;
using qtotest::item;

namespace {

QStringList nombres(const std::vector<const GrupoQTO*>& grupos)
{
    QStringList r;
    for (const GrupoQTO* g : grupos)
        r.append(g->tipoNombre);
    return r;
}

// Groups in the default order: Arquitectura A1 (3 items), A2 (1), Estructura E1 (3), E2 (2 flat).
EstadoQTO estadoDeEjemplo()
{
    std::vector<GrupoQTO> g;
    g.push_back(grupo("IFCA1", "A1", "Arquitectura", {item("a", 1, 1, 1), item("b", 1, 1, 1), item("c", 1, 1, 1)}));
    g.push_back(grupo("IFCA2", "A2", "Arquitectura", {item("d", 2, 2, 2)}));
    g.push_back(grupo("IFCE1", "E1", "Estructura", {item("e", 1, 1, 2), item("f", 1, 1, 1), item("g", 1, 1, 1)}, 2400));
    g.push_back(grupo("IFCE2", "E2", "Estructura", {item("h", 1, 0, 1), item("i", 2, 0, 1)}, 7850));
    return EstadoQTO(std::move(g), QDateTime::currentDateTime());
}

}  // namespace

TEST(OrdenQTO, TitlesRoundTripAndNothingElseMakesACase)
{
    for (OrdenQTO o : {OrdenQTO::tipoNombre, OrdenQTO::especialidad, OrdenQTO::cantidad, OrdenQTO::volumen,
                       OrdenQTO::areaPlanta, OrdenQTO::areaCara, OrdenQTO::peso})
        EXPECT_EQ(ordenDesdeTitulo(tituloOrden(o)), o);
    EXPECT_EQ(tituloOrden(OrdenQTO::volumen), "Vol. (m³)");
    EXPECT_EQ(ordenDesdeTitulo("Vol. total\n(m³)"), std::nullopt);
    EXPECT_EQ(ordenDesdeTitulo("tipo ifc"), std::nullopt);
}

TEST(EstadoQTO, SortsByTheChosenColumnKeepingTiesInDefaultOrder)
{
    EstadoQTO e = estadoDeEjemplo();
    EXPECT_EQ(nombres(e.gruposFiltrados()), (QStringList{"A1", "A2", "E1", "E2"}));

    e.ordenarPor(OrdenQTO::cantidad);
    e.ordenAscendente = false;
    EXPECT_EQ(nombres(e.gruposFiltrados()), (QStringList{"A1", "E1", "E2", "A2"}));
    e.ordenAscendente = true;
    EXPECT_EQ(nombres(e.gruposFiltrados()), (QStringList{"A2", "E2", "A1", "E1"}));

    // Volumes: A1 3, A2 8, E1 4, E2 0.
    e.ordenarPor(OrdenQTO::volumen);
    EXPECT_EQ(nombres(e.gruposFiltrados()), (QStringList{"E2", "A1", "E1", "A2"}));
    e.ordenarPor(OrdenQTO::peso);  // A1 3000, A2 8000, E1 9600, E2 0
    e.ordenAscendente = false;
    EXPECT_EQ(nombres(e.gruposFiltrados()), (QStringList{"E1", "A2", "A1", "E2"}));
    e.ordenarPor(OrdenQTO::areaPlanta);  // A1 3, A2 4, E1 4, E2 3
    EXPECT_EQ(nombres(e.gruposFiltrados()), (QStringList{"A1", "E2", "A2", "E1"}));
}

TEST(EstadoQTO, FlatGroupsSortAsEqualsByVolume)
{
    std::vector<GrupoQTO> g;
    g.push_back(grupo("IFCA", "B", "X", {item("a", 1, 0, 1)}));
    g.push_back(grupo("IFCB", "A", "X", {item("b", 5, 0, 5)}));
    EstadoQTO e(std::move(g), {});
    e.ordenarPor(OrdenQTO::volumen);
    EXPECT_EQ(nombres(e.gruposFiltrados()), (QStringList{"B", "A"}));
    e.ordenarPor(OrdenQTO::volumen);
    EXPECT_EQ(nombres(e.gruposFiltrados()), (QStringList{"B", "A"}));
}

TEST(EstadoQTO, ATitleClickSortsAscendingFirstThenFlips)
{
    EstadoQTO e = estadoDeEjemplo();
    const struct {
        std::optional<OrdenQTO> clic;
        OrdenQTO columna;
        bool ascendente;
    } pasos[] = {
        {OrdenQTO::volumen, OrdenQTO::volumen, true},
        {OrdenQTO::volumen, OrdenQTO::volumen, false},
        {std::nullopt, OrdenQTO::volumen, false},
        {OrdenQTO::tipoNombre, OrdenQTO::tipoNombre, true},
        {OrdenQTO::tipoNombre, OrdenQTO::tipoNombre, false},
        {OrdenQTO::peso, OrdenQTO::peso, true},
    };
    for (const auto& p : pasos) {
        e.ordenarPor(p.clic);
        EXPECT_EQ(e.ordenColumna, p.columna);
        EXPECT_EQ(e.ordenAscendente, p.ascendente);
    }
}

TEST(EstadoQTO, DisciplinesSortByCodePointsSoAccentedInitialsComeLast)
{
    std::vector<GrupoQTO> g;
    for (const char* esp : {"Áreas de Reserva", "Estructura", "Arquitectura"})
        g.push_back(grupo("IFCWALL", "Muro", QString::fromUtf8(esp), {item("a", 1, 1, 1)}));
    EstadoQTO e(std::move(g), {});
    e.ordenarPor(OrdenQTO::especialidad);
    QStringList r;
    for (const GrupoQTO* x : e.gruposFiltrados())
        r.append(x->especialidad);
    EXPECT_EQ(r, (QStringList{"Arquitectura", "Estructura", "Áreas de Reserva"}));
    EXPECT_EQ(e.especialidadesFiltro(), r);
}

TEST(EstadoQTO, FilterOptionsCoverAllGroupsWhateverTheFilter)
{
    std::vector<GrupoQTO> g;
    g.push_back(grupo("IFCPIPESEGMENT", "Tubería", "MEP", {item("a", 1, 1, 1)}));
    g.push_back(grupo("IFCWALL", "Muro", "Arquitectura", {item("b", 1, 1, 1)}));
    g.push_back(grupo("IFCSLAB", "Losa", "MEP", {item("c", 1, 1, 1)}));
    EstadoQTO e(std::move(g), {});
    e.filtroEsp = "MEP";
    EXPECT_EQ(e.especialidadesFiltro(), (QStringList{"Arquitectura", "MEP"}));
}

TEST(EstadoQTO, TotalsFollowTheFilter)
{
    EstadoQTO e = estadoDeEjemplo();
    const struct {
        std::optional<QString> filtro;
        qsizetype elementos;
        float volumen, areaPlanta, peso;
    } casos[] = {
        {std::nullopt, 9, 15, 14, 3000 + 8000 + 9600},
        {QString("Arquitectura"), 4, 11, 7, 11000},
        {QString("Estructura"), 5, 4, 7, 9600},
        {QString("Nadie"), 0, 0, 0, 0},
    };
    for (const auto& c : casos) {
        e.filtroEsp = c.filtro;
        EXPECT_EQ(e.totalElementos(), c.elementos);
        EXPECT_FLOAT_EQ(e.totalVolumen(), c.volumen);
        EXPECT_FLOAT_EQ(e.totalAreaPlanta(), c.areaPlanta);
        EXPECT_FLOAT_EQ(e.totalPeso(), c.peso);
    }
    e.filtroEsp = "Nadie";
    EXPECT_TRUE(e.gruposFiltrados().empty());
}

TEST(EstadoQTO, ADisciplineNamedTodasCanBeChosen)
{
    std::vector<GrupoQTO> g;
    g.push_back(grupo("IFCWALL", "Muro", "Arquitectura", {item("a", 1, 1, 1)}));
    g.push_back(grupo("IFCSLAB", "Losa", "Todas", {item("b", 1, 1, 1)}));
    EstadoQTO e(std::move(g), {});
    EXPECT_EQ(e.gruposFiltrados().size(), 2u);
    e.filtroEsp = "Todas";
    ASSERT_EQ(e.gruposFiltrados().size(), 1u);
    EXPECT_EQ(e.gruposFiltrados()[0]->tipoNombre, "Losa");
}

TEST(EstadoQTO, ExpandAllTakesOnlyTheVisibleGroups)
{
    EstadoQTO e = estadoDeEjemplo();
    const QUuid a1 = e.grupos[0].id;
    e.alternarGrupo(a1);
    e.filtroEsp = "Estructura";
    e.expandirTodo();
    EXPECT_EQ(e.expandidos, (QSet<QUuid>{e.grupos[2].id, e.grupos[3].id}));
    e.filtroEsp.reset();
    EXPECT_FALSE(e.expandidos.contains(a1));
    e.alternarGrupo(a1);
    e.alternarGrupo(e.grupos[2].id);
    EXPECT_EQ(e.expandidos, (QSet<QUuid>{a1, e.grupos[3].id}));
    e.contraerTodo();
    EXPECT_TRUE(e.expandidos.isEmpty());
}

TEST(EstadoQTO, TypeColumnTakesTheRoomLeftOver)
{
    const struct {
        qsizetype extras;
        double ancho, esperado;
    } casos[] = {{0, 1200, 362}, {2, 1200, 142}, {3, 1200, 130}, {0, 870, 130}, {0, 1000, 162}};
    for (const auto& c : casos)
        EXPECT_EQ(anchoColumnaTipo(c.extras, c.ancho), c.esperado) << c.extras << " " << c.ancho;
}

TEST(FilasQTO, GroupRowShowsMeanExtentsAndSums)
{
    const GrupoQTO g = grupo("IFCWALL", "Muro", "Arquitectura",
                             {item("a", 1, 3, 0.2f), item("b", 2, 3, 0.2f), item("c", 3, 3, 0.2f), item("d", 6, 3, 0.2f)},
                             1800);
    EXPECT_FLOAT_EQ(g.dxMedio(), 3);
    const QStringList c = celdasGrupo(g, {});
    EXPECT_EQ(c, (QStringList{"Muro", "Arquitectura", "4", "1800", "3.000", "3.000", "0.200", "7.200", "2.400",
                              "81.600", "12960.0"}));
    EXPECT_EQ(celdasGrupo(grupo("X", "X", "E", {item("a", 1, 1, 1), item("b", 2, 1, 1)}), {})[4], "1.500");
    EXPECT_EQ(celdasGrupo(grupo("X", "X", "E", {}), {})[4], "—");
}

TEST(FilasQTO, ValuesNotAboveATenthOfAMillimetreShowADash)
{
    const struct {
        float valor;
        const char16_t* texto;
    } casos[] = {{0, u"—"}, {-1, u"—"}, {0.0001f, u"—"}, {0.00011f, u"0.000"}, {1.2344f, u"1.234"}, {1.2346f, u"1.235"}, {2.5f, u"2.500"}};
    for (const auto& c : casos)
        EXPECT_EQ(textoCantidad(c.valor, 3), QString::fromUtf16(c.texto)) << c.valor;

    // A space weighs nothing; a flat element has areas only.
    const GrupoQTO espacio = grupo("IFCSPACE", "Espacio", "Arquitectura", {item("s", 4, 2.5f, 5)}, 0);
    const QStringList g = celdasGrupo(espacio, {});
    EXPECT_EQ(g[3], "—");
    EXPECT_EQ(g[10], "—");
    const QStringList i = celdasItem(espacio.items[0], {});
    EXPECT_EQ(i[3], "—");
    EXPECT_EQ(i[10], "—");
    const QStringList plano = celdasItem(item("p", 2, 0, 3), {});
    EXPECT_EQ(plano, (QStringList{"p", "", "1", "1000", "2.000", "—", "3.000", "—", "6.000", "12.000", "—"}));
}

TEST(FilasQTO, ItemAndTotalRowsWithExtraColumns)
{
    PropiedadesElementoIFC p{{"Pset_WallCommon › IsExternal", "TRUE"}, {"Pset_WallCommon › FireRating", "$"}};
    EstadoQTO e(std::vector<GrupoQTO>{grupo("IFCWALL", "Muro", "Arquitectura", {item("M1", 1, 2, 3, 1800, p)}, 1800)},
                {});
    e.parametrosExtra = {"Pset_WallCommon › IsExternal", "Pset_WallCommon › FireRating", "Pset_WallCommon › Otro"};
    const QStringList i = celdasItem(e.grupos[0].items[0], e.parametrosExtra);
    EXPECT_EQ(i.mid(11), (QStringList{"TRUE", "—", "—"}));
    const QStringList t = celdasTotal(e);
    EXPECT_EQ(t, (QStringList{"TOTAL", "", "1", "", "", "", "", "6.000", "3.000", "", "10800.0", "", "", ""}));
}

TEST(FilasQTO, CardAndSummaryLineShowTonnes)
{
    EstadoQTO e = estadoDeEjemplo();
    EXPECT_EQ(textoPesoToneladas(e.totalPeso()), "≈ 20.6 t");
    EXPECT_EQ(lineaResumen(e), "Vol.: 15.000 m³  ·  Área planta: 14.000 m²  ·  Peso estimado: 20.6 t");
    e.filtroEsp = "Nadie";
    EXPECT_EQ(textoPesoToneladas(e.totalPeso()), "≈ 0.0 t");
    EXPECT_EQ(lineaResumen(e), "Vol.: 0.000 m³  ·  Área planta: 0.000 m²  ·  Peso estimado: 0.0 t");
}

TEST(FilasQTO, ExtraColumnTitlesAreThePropertyNames)
{
    EXPECT_EQ(tituloColumna(ColumnaQTO::volumen), "Vol. total\n(m³)");
    EXPECT_EQ(ordenDeColumna(ColumnaQTO::volumen), OrdenQTO::volumen);
    EXPECT_EQ(ordenDeColumna(ColumnaQTO::ancho), std::nullopt);
    EXPECT_EQ(ordenDeColumna(ColumnaQTO::densidad), std::nullopt);
}
