#include "timeline/detector/DetectorAWP.h"

#include "support/Paquetes.h"

#include <gtest/gtest.h>

using namespace quelva;

namespace {

// discipline → element → (key, value)...
using Tabla = std::vector<std::tuple<QString, QString, std::string, std::string>>;

PropiedadesPorEspecialidad tabla(const Tabla& filas)
{
    PropiedadesPorEspecialidad t;
    for (const auto& [esp, elemento, clave, valor] : filas)
        t[esp][elemento.toStdString()][clave] = valor;
    return t;
}

QString resumen(const std::vector<ParametroAWPDetectado>& rs)
{
    QStringList partes;
    for (const auto& r : rs) {
        QStringList e = r.elementos;
        e.sort();
        partes.append(textoNivelAWP(r.nivel) + ":" + r.codigo + "[" + e.join(",") + "]");
    }
    return partes.join(" ");
}

ParametroAWPDetectado det(NivelAWP n, const QString& codigo, const QStringList& elementos)
{
    return {n, codigo, elementos};
}

QSet<QString> todos(const std::vector<ParametroAWPDetectado>& rs)
{
    QSet<QString> s;
    for (const auto& r : rs)
        s.insert(r.codigo);
    return s;
}

}  // namespace

TEST(DetectorAWP, Scan)
{
    const std::string compuesto = "Se\xC3\xB1" "al";          // "Señal" composed
    const std::string descompuesto = "Sen\xCC\x83" "al";         // the same with a combining tilde
    struct Caso {
        const char* nombre;
        Tabla filas;
        QString esperado;
    };
    const Caso casos[] = {
        {"one code over two disciplines, an element counted once",
         {{"ARQ", "E1", "AWP › CWA", "A1"}, {"ARQ", "E2", "AWP › CWA", "A1"}, {"EST", "E3", "AWP › CWA", "A1"},
          {"EST", "E1", "AWP › CWA", "A1"}},
         "CWA:A1[E1,E2,E3]"},
        {"values kept as they are; empty gives none",
         {{"ARQ", "E1", "P › CWA", "A1"}, {"ARQ", "E2", "P › CWA", "a1"}, {"ARQ", "E3", "P › CWA", " A1"},
          {"ARQ", "E4", "P › CWA", ""}, {"ARQ", "E5", "P › CWA", " "}},
         "CWA: [E5] CWA: A1[E3] CWA:A1[E1] CWA:a1[E2]"},
        {"keys that name a level and keys that do not",
         {{"ARQ", "E1", "Pset › cwa", "X1"}, {"ARQ", "E2", "Pset › CWA ", "X2"}, {"ARQ", "E3", "CWA", "X3"},
          {"ARQ", "E4", "A › B › \tiwp", "X4"}, {"ARQ", "E5", "Pset › CWA Code", "N1"}, {"ARQ", "E6", "Pset › CWAs", "N2"},
          {"ARQ", "E7", "__tipoIFC", "CWA"}, {"ARQ", "E8", "Pset›CWA", "N3"}, {"ARQ", "E9", "Pset › ıwp", "X5"}},
         "CWA:X1[E1] CWA:X2[E2] CWA:X3[E3] IWP:X4[E4] IWP:X5[E9]"},
        {"a code under two levels is one result with both elements",
         {{"ARQ", "E1", "P › CWA", "Z"}, {"ARQ", "E2", "P › CWP", "Z"}},
         "?:Z[E1,E2]"},
        {"order: level, then code by code points",
         {{"A", "1", "P › PWP", "PWP-1"}, {"A", "2", "P › IWP", "IWP-1"}, {"A", "3", "P › CWP", "CWP-2"},
          {"A", "4", "P › CWP", "CWP-10"}, {"A", "5", "P › CWP", "CWP-1"}, {"A", "6", "P › CWA", "CWA-2"}},
         "CWA:CWA-2[6] CWP:CWP-1[5] CWP:CWP-10[4] CWP:CWP-2[3] IWP:IWP-1[2] PWP:PWP-1[1]"},
        {"canonically equivalent codes are one",
         {{"ARQ", "E1", "P › IWP", compuesto}, {"ARQ", "E2", "P › IWP", descompuesto}},
         "IWP:?[E1,E2]"},
        {"nothing to find", {{"ARQ", "E1", "Pset › Nombre", "Muro"}}, ""},
    };
    for (const Caso& c : casos) {
        const auto rs = analizarPropiedades(tabla(c.filas));
        QString r = resumen(rs);
        // The walk order decides the level of a code met under two, and which of two
        // equivalent texts is kept: either is right.
        if (c.esperado.contains("?")) {
            ASSERT_EQ(rs.size(), 1u) << c.nombre;
            QString esperado = c.esperado;
            esperado.replace("?:", textoNivelAWP(rs[0].nivel) + ":");
            esperado.replace(":?", ":" + rs[0].codigo);
            EXPECT_TRUE(rs[0].codigo == QString::fromStdString(compuesto) || rs[0].codigo == QString::fromStdString(descompuesto) ||
                        rs[0].codigo == "Z");
            EXPECT_TRUE(rs[0].nivel == NivelAWP::cwa || rs[0].nivel == NivelAWP::cwp || rs[0].nivel == NivelAWP::iwp);
            EXPECT_EQ(r.toStdString(), esperado.toStdString()) << c.nombre;
        } else {
            EXPECT_EQ(r.toStdString(), c.esperado.toStdString()) << c.nombre;
        }
    }
}

TEST(DetectorAWP, ParentInference)
{
    const std::vector<ParametroAWPDetectado> cands = {
        det(NivelAWP::cwa, "A", {"1", "2", "3", "x"}),
        det(NivelAWP::cwa, "B", {"1", "2", "3", "y"}),
        det(NivelAWP::cwp, "P", {"9"}),
        det(NivelAWP::cwp, "Q", {"7", "8"}),
    };
    struct Caso {
        const char* nombre;
        NivelAWP nivel;
        QStringList elementos;
        std::optional<QString> padre;
    };
    const Caso casos[] = {
        {"equal counts: the earliest", NivelAWP::cwa, {"1", "2", "3"}, "A"},
        {"most shared wins", NivelAWP::cwa, {"1", "y"}, "B"},
        {"a duplicate name counts once", NivelAWP::cwa, {"x", "y", "y"}, "A"},
        {"only the asked level", NivelAWP::cwp, {"1", "8"}, "Q"},
        {"nothing shared", NivelAWP::cwa, {"z"}, std::nullopt},
        {"no names", NivelAWP::cwa, {}, std::nullopt},
        {"no candidate of that level", NivelAWP::iwp, {"1"}, std::nullopt},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(buscarPadre(c.nivel, c.elementos, cands), c.padre) << c.nombre;
}

TEST(DetectorAWP, Import)
{
    const std::vector<ParametroAWPDetectado> rs = {
        det(NivelAWP::cwa, "A", {"1", "2", "3", "4", "5", "6"}),
        det(NivelAWP::cwa, "B", {"1", "2", "3"}),
        det(NivelAWP::cwp, "P1", {"1", "2", "3"}),
        det(NivelAWP::cwp, "P2", {"6"}),
        det(NivelAWP::iwp, "I1", {"1", "2", "3", "4", "6"}),  // 1 with P2, 5 with A, 3 with P1
        det(NivelAWP::iwp, "I2", {"4", "5"}),                 // no CWP: falls back to the CWA
        det(NivelAWP::pwp, "W1", {"1"}),                      // shares with IWP I1
        det(NivelAWP::pwp, "W2", {"5"}),                      // shares with I2
        det(NivelAWP::pwp, "W3", {"99"}),
    };
    struct Caso {
        const char* nombre;
        QStringList desmarcados;
        QString padres;  // code:parent of the new packages, in order
    };
    const Caso casos[] = {
        {"all ticked", {}, "A: B: P1:A P2:A I1:P1 I2:A W1:I1 W2:I2 W3:"},
        {"an unticked CWA leaves the search", {"A"}, "B: P1:B P2: I1:P1 I2: W1:I1 W2:I2 W3:"},
        {"a PWP never climbs past the IWPs", {"I1", "I2"}, "A: B: P1:A P2:A W1: W2: W3:"},
        {"IWP takes the CWA only without any CWP", {"P1", "P2"}, "A: B: I1:A I2:A W1:I1 W2:I2 W3:"},
    };
    for (const Caso& c : casos) {
        QSet<QString> sel = todos(rs);
        for (const QString& d : c.desmarcados)
            sel.remove(d);
        TimeLinerConfig antes;
        const TimeLinerConfig despues = importarSeleccionados(antes, rs, sel);
        QStringList padres;
        for (const PaqueteAWP& p : despues.paquetes) {
            padres.append(p.codigo + ":" + p.parentCodigo.value_or(""));
            EXPECT_EQ(p.nombre, p.codigo);
            EXPECT_EQ(p.progreso, 0);
            EXPECT_EQ(p.colorIdx, 0);
        }
        EXPECT_EQ(padres.join(" ").toStdString(), c.padres.toStdString()) << c.nombre;
    }
}

TEST(DetectorAWP, ImportKeepsStoredPackagesAndSetsTheProjectWindow)
{
    TimeLinerConfig cfg;
    cfg.fechaInicio = tl::utc(2025, 1, 1);
    cfg.fechaFin = tl::utc(2025, 12, 31);
    auto guardado = tl::paquete("A", NivelAWP::cwa, std::nullopt, tl::utc(2025, 3, 1), tl::utc(2025, 5, 31));
    guardado.nombre = "Área guardada";
    guardado.presupuesto = 77;
    cfg.paquetes.push_back(guardado);
    // A composed "Ñ" stored, its decomposed twin detected.
    cfg.paquetes.push_back(tl::paquete(QString::fromUtf8("\xC3\x91"), NivelAWP::cwp, std::nullopt,
                                       tl::utc(2025, 4, 1), tl::utc(2025, 4, 2)));

    const std::vector<ParametroAWPDetectado> rs = {
        det(NivelAWP::cwa, "A", {"1", "2"}),
        det(NivelAWP::cwp, QString::fromUtf8("N\xCC\x83"), {"1"}),
        det(NivelAWP::cwp, "P", {"2"}),
    };
    const QDateTime antes = QDateTime::currentDateTime();
    const TimeLinerConfig r = importarSeleccionados(cfg, rs, todos(rs));
    ASSERT_EQ(r.paquetes.size(), 3u);
    EXPECT_EQ(r.paquetes[0], guardado);  // untouched
    const PaqueteAWP& nuevo = r.paquetes[2];
    EXPECT_EQ(nuevo.codigo, "P");
    EXPECT_EQ(nuevo.parentCodigo, "A");  // a stored code may still be the parent
    EXPECT_EQ(nuevo.elementosNombre, QStringList({"2"}));
    EXPECT_GE(nuevo.fechaInicio, antes);
    // Earliest start of all packages, latest end (the new one, 30 days after now).
    EXPECT_EQ(r.fechaInicio, tl::utc(2025, 3, 1));
    EXPECT_EQ(r.fechaFin, nuevo.fechaFin);

    // Every ticked code already stored: nothing added, the window still follows the packages.
    const TimeLinerConfig s = importarSeleccionados(cfg, {rs[0]}, {"A"});
    EXPECT_EQ(s.paquetes, cfg.paquetes);
    EXPECT_EQ(s.fechaInicio, tl::utc(2025, 3, 1));
    EXPECT_EQ(s.fechaFin, tl::utc(2025, 5, 31));

    // No packages at all: the window stays.
    const TimeLinerConfig vacio;
    EXPECT_EQ(importarSeleccionados(vacio, {}, {}), vacio);
}
