#include "EscenaQTO.h"

#include "qto/ParametrosQTO.h"

#include <gtest/gtest.h>

using namespace quelva;
using qtotest::grupo;
using qtotest::item;

namespace {

// `n` items holding each of the keys.
std::vector<ItemQTO> itemsCon(int n, const std::vector<std::string>& claves)
{
    PropiedadesElementoIFC p{{kClaveTipoIFC, "IFCWALL"}};
    for (const std::string& c : claves)
        p[c] = "x";
    std::vector<ItemQTO> items;
    for (int i = 0; i < n; ++i)
        items.push_back(item("e", 1, 1, 1, 1000, p));
    return items;
}

QStringList claves(const std::vector<ParamDisponible>& ps)
{
    QStringList r;
    for (const ParamDisponible& p : ps)
        r.append(p.clave);
    return r;
}

}  // namespace

TEST(ParametrosQTO, SplitsKeysAtTheFirstSeparator)
{
    const struct {
        const char* clave;
        const char* pset;
        const char* nombre;
        const char* columna;
    } casos[] = {
        {"Pset_WallCommon › IsExternal", "Pset_WallCommon", "IsExternal", "IsExternal"},
        {"A › B › C", "A", "B › C", "C"},
        {"SinSeparador", "SinSeparador", "SinSeparador", "SinSeparador"},
        {"A›B", "A›B", "A›B", "A›B"},
    };
    for (const auto& c : casos) {
        const auto [pset, nombre] = dividirClave(QString::fromUtf8(c.clave));
        EXPECT_EQ(pset, QString::fromUtf8(c.pset));
        EXPECT_EQ(nombre, QString::fromUtf8(c.nombre));
        EXPECT_EQ(nombreColumnaParametro(QString::fromUtf8(c.clave)), QString::fromUtf8(c.columna));
    }
}

TEST(ParametrosQTO, CountsItemsPerKeyMostFrequentFirst)
{
    std::vector<GrupoQTO> grupos;
    grupos.push_back(grupo("IFCWALL", "Muro", "Arquitectura",
                           itemsCon(12, {"Pset_WallCommon › IsExternal", "Pset_WallCommon › LoadBearing"})));
    grupos.push_back(grupo("IFCSLAB", "Losa", "Estructura", itemsCon(3, {"Pset_SlabCommon › LoadBearing", "B › x"})));
    grupos.push_back(grupo("IFCSLAB", "Losa", "MEP", itemsCon(2, {"A › x"})));
    grupos.back().items.push_back(item("sin", 1, 1, 1));

    const auto ps = parametrosDisponibles(grupos);
    EXPECT_EQ(claves(ps), (QStringList{"Pset_WallCommon › IsExternal", "Pset_WallCommon › LoadBearing",
                                       "B › x", "Pset_SlabCommon › LoadBearing", "A › x"}));
    EXPECT_EQ(ps[0].cuenta, 12);
    EXPECT_EQ(ps[0].pset, "Pset_WallCommon");
    EXPECT_EQ(ps[0].nombre, "IsExternal");
    EXPECT_EQ(ps[2].cuenta, 3);
    EXPECT_EQ(ps[4].cuenta, 2);
}

TEST(ParametrosQTO, OnlyTheClassKeyGivesNothing)
{
    std::vector<GrupoQTO> grupos;
    grupos.push_back(grupo("IFCWALL", "Muro", "Arquitectura", itemsCon(4, {})));
    EXPECT_TRUE(parametrosDisponibles(grupos).empty());
}

TEST(ParametrosQTO, SearchIgnoresCaseAndFindsPropertySetNames)
{
    std::vector<ParamDisponible> ps;
    for (const char* c : {"Pset_WallCommon › IsExternal", "Pset_WallCommon › LoadBearing", "Pset_SlabCommon › LoadBearing",
                          "Otros › Material"}) {
        ParamDisponible p;
        p.clave = QString::fromUtf8(c);
        std::tie(p.pset, p.nombre) = dividirClave(p.clave);
        ps.push_back(p);
    }
    const struct {
        const char* busqueda;
        QStringList esperado;
    } casos[] = {
        {"", claves(ps)},
        {"wallcommon", {"Pset_WallCommon › IsExternal", "Pset_WallCommon › LoadBearing"}},
        {"Load", {"Pset_WallCommon › LoadBearing", "Pset_SlabCommon › LoadBearing"}},
        {"MATERIAL", {"Otros › Material"}},
        {"nada", {}},
    };
    for (const auto& c : casos)
        EXPECT_EQ(claves(filtrarParametros(ps, QString::fromUtf8(c.busqueda))), c.esperado) << c.busqueda;
}

TEST(ParametrosQTO, ListGroupsBySetWithSetsAndNamesInTextOrder)
{
    std::vector<ParamDisponible> ps;
    for (const char* c : {"Zeta › b", "Pset_B › Zulu", "Pset_B › Alfa", "Zeta › a", "Pset_A › Única", "Pset_A › Uno",
                          "pset_c › x"}) {
        ParamDisponible p;
        p.clave = QString::fromUtf8(c);
        std::tie(p.pset, p.nombre) = dividirClave(p.clave);
        ps.push_back(p);
    }
    QStringList r;
    for (const SeccionPset& s : agruparPorPset(ps)) {
        r.append("[" + s.pset + "]");
        for (const ParamDisponible& p : s.entradas)
            r.append(p.nombre);
    }
    EXPECT_EQ(r, (QStringList{"[Pset_A]", "Uno", "Única", "[Pset_B]", "Alfa", "Zulu", "[Zeta]", "a", "b", "[pset_c]",
                              "x"}));
}

TEST(ParametrosQTO, AppliedKeysFollowTheListNotTheTickOrder)
{
    std::vector<GrupoQTO> grupos;
    grupos.push_back(grupo("IFCWALL", "Muro", "A", itemsCon(40, {"P › cuarenta"})));
    grupos.push_back(grupo("IFCSLAB", "Losa", "A", itemsCon(7, {"P › siete"})));
    grupos.push_back(grupo("IFCBEAM", "Viga", "A", itemsCon(3, {"P › tres"})));
    grupos.push_back(grupo("IFCDOOR", "Puerta", "A", itemsCon(5, {"P › cinco"})));
    const auto ps = parametrosDisponibles(grupos);
    QSet<QString> sel;
    for (const char* c : {"P › tres", "P › cuarenta", "P › siete"})
        sel.insert(QString::fromUtf8(c));
    EXPECT_EQ(aplicarSeleccion(ps, sel), (QStringList{"P › cuarenta", "P › siete", "P › tres"}));
    EXPECT_TRUE(aplicarSeleccion(ps, {}).isEmpty());
}
