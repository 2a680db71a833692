#include "timeline/editor/FigurasEditor.h"
#include "timeline/editor/GruposElementos.h"

#include "support/Paquetes.h"

#include <gtest/gtest.h>

using namespace quelva;

namespace {

PropiedadesPorEspecialidad propiedades(std::initializer_list<std::pair<QString, std::vector<std::string>>> lista)
{
    PropiedadesPorEspecialidad r;
    for (const auto& [clave, nombres] : lista) {
        TablaPropiedadesIFC& t = r[clave];
        for (const std::string& n : nombres)
            t[n] = {{"__tipoIFC", "IFCWALL"}};
    }
    return r;
}

// "ARQ: a, b | EST: c" for the groups shown.
QString mostrar(const IndiceElementos& indice, const QString& busqueda)
{
    QStringList partes;
    for (const GrupoElementos& g : gruposEspecialidad(indice, busqueda)) {
        QStringList nombres;
        for (int i : g.nombres)
            nombres.append(indice.especialidades[g.especialidad].nombres[i]);
        partes.append(indice.especialidades[g.especialidad].clave + ": " + nombres.join(", "));
    }
    return partes.join(" | ");
}

}  // namespace

TEST(FigurasEditor, VarianceBadge)
{
    EXPECT_EQ(insigniaDesfase(std::nullopt), std::nullopt);
    const struct { int dias; const char* texto; bool aTiempo; } casos[] = {
        {0, "En plazo", true}, {3, "+3d adelanto", true}, {-2, "-2d retraso", false}, {-400, "-400d retraso", false},
    };
    for (const auto& c : casos) {
        const auto i = insigniaDesfase(c.dias);
        ASSERT_TRUE(i);
        EXPECT_EQ(i->texto, c.texto);
        EXPECT_EQ(i->aTiempo, c.aTiempo) << c.dias;
    }
    // Real start two days after the planned one is late; five days before is ahead.
    PaqueteAWP p = tl::paquete("I", NivelAWP::iwp, "A", tl::utc(2025, 3, 10), tl::utc(2025, 4, 10));
    p.fechaInicioReal = tl::utc(2025, 3, 12);
    EXPECT_EQ(insigniaDesfase(p.desfaseInicioDias())->texto, "-2d retraso");
    p.fechaInicioReal = tl::utc(2025, 3, 5);
    EXPECT_EQ(insigniaDesfase(p.desfaseInicioDias())->texto, "+5d adelanto");
}

TEST(FigurasEditor, ProgressAndProductivity)
{
    EXPECT_EQ(textoAvance(0.456), "Avance: 46%");
    EXPECT_EQ(textoAvance(1), "Avance: 100%");
    const struct { double hh, avance, hhReal, factor; BandaFactor banda; } casos[] = {
        {100, 0.5, 0, 1.0, BandaFactor::buena},   {100, 0.5, -5, 1.0, BandaFactor::buena},
        {100, 0.5, 60, 50.0 / 60, BandaFactor::mala}, {100, 0.5, 55, 50.0 / 55, BandaFactor::regular},
        {100, 0.5, 50, 1.0, BandaFactor::buena},  {100, 0.85, 100, 0.85, BandaFactor::regular},
    };
    for (const auto& c : casos) {
        PaqueteAWP p;
        p.hh = c.hh;
        p.progreso = c.avance;
        p.hhReal = c.hhReal;
        EXPECT_DOUBLE_EQ(factorProductividad(p), c.factor) << c.hhReal;
        EXPECT_EQ(bandaFactor(factorProductividad(p)), c.banda) << c.hhReal;
    }
}

TEST(FigurasEditor, ChangingTheDayKeepsTheTimeOfDayInSantiago)
{
    tl::ZonaHoraria zona("America/Santiago");
    // 18:45 on 1 April (summer time) moved to 20 April (winter time) is 18:45 again.
    const QDateTime antes = QDateTime(QDate(2025, 4, 1), QTime(18, 45), Qt::LocalTime).toUTC();
    const QDateTime despues = cambiarDia(antes, QDate(2025, 4, 20));
    EXPECT_EQ(despues.toLocalTime(), QDateTime(QDate(2025, 4, 20), QTime(18, 45), Qt::LocalTime));
    EXPECT_EQ(despues.timeSpec(), Qt::UTC);
    EXPECT_EQ(cambiarDia(antes, QDate(2025, 4, 1)), antes);
}

TEST(GruposElementos, SortedGroupsAndCaseInsensitiveSearchOverNames)
{
    const IndiceElementos indice = indexarElementos(propiedades({
        {"EST", {"Viga-2", "viga-1", "Columna"}},
        {"ARQ", {"Muro b", "Muro A", "Puerta", "bMuro"}},
        {"MEP", {}},
        {"Arq", {"Ventana"}},
    }));
    // Upper case before lower case, keys and names; a discipline without names is left out.
    EXPECT_EQ(mostrar(indice, ""), "ARQ: Muro A, Muro b, Puerta, bMuro | Arq: Ventana | EST: Columna, Viga-2, viga-1");
    EXPECT_EQ(mostrar(indice, "muro"), "ARQ: Muro A, Muro b, bMuro");
    EXPECT_EQ(mostrar(indice, "VIGA"), "EST: Viga-2, viga-1");
    EXPECT_EQ(mostrar(indice, "a"), "ARQ: Muro A, Puerta | Arq: Ventana | EST: Columna, Viga-2, viga-1");
    // Discipline keys are not searched, and the text is taken as typed (not trimmed).
    EXPECT_EQ(mostrar(indice, "EST"), "");
    EXPECT_EQ(mostrar(indice, "Muro "), "ARQ: Muro A, Muro b");
    EXPECT_EQ(indice.especialidades.size(), 4u);
}

TEST(GruposElementos, LinkingKeepsTheOrderOfTicks)
{
    QStringList e;
    alternarElemento(e, false, "A");
    alternarElemento(e, false, "C");
    alternarElemento(e, false, "B");
    EXPECT_EQ(e, (QStringList{"A", "C", "B"}));
    // Every copy goes when unticked; the rest keep their order.
    e = {"A", "X", "C", "A"};
    alternarElemento(e, true, "A");
    EXPECT_EQ(e, (QStringList{"X", "C"}));

    // Select all appends the missing names in the group's order after what was there.
    e = {"Z-fuera", "B"};
    seleccionarTodos(e, false, {"A", "B", "C"});
    EXPECT_EQ(e, (QStringList{"Z-fuera", "B", "A", "C"}));
    // Remove all takes only the group's shown names.
    seleccionarTodos(e, true, {"A", "B", "C"});
    EXPECT_EQ(e, QStringList{"Z-fuera"});
}
