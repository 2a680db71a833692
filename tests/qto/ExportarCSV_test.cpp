#include "EscenaQTO.h"
#include "LeerCSV.h"

#include "qto/EstadoQTO.h"
#include "qto/ExportarCSV.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quelva;
using qtotest::grupo;
using qtotest::item;

namespace {

const QByteArray kCabecera = "\"Tipo IFC\",\"Tipo (nombre)\",\"Especialidad\",\"Nombre\",\"Densidad (kg/m³)\","
                             "\"Ancho (m)\",\"Alto (m)\",\"Largo (m)\",\"Volumen (m³)\",\"Área planta (m²)\","
                             "\"Área cara (m²)\",\"Peso (kg)\"";

std::vector<const GrupoQTO*> punteros(const std::vector<GrupoQTO>& grupos)
{
    std::vector<const GrupoQTO*> r;
    for (const GrupoQTO& g : grupos)
        r.push_back(&g);
    return r;
}

QByteArray guardarYLeer(const QTemporaryDir& dir, const QByteArray& texto, std::vector<QStringList>* filas)
{
    const QString ruta = dir.filePath("t.csv");
    EXPECT_EQ(escribirCSV(ruta, texto), std::nullopt);
    if (!qtotest::python().isEmpty()) {
        const auto leidas = qtotest::leerConPython(ruta);
        EXPECT_TRUE(leidas.has_value());
        if (leidas)
            *filas = *leidas;
    }
    QFile f(ruta);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

}  // namespace

TEST(ExportarCSV, OneItemGivesTwoLinesWithTheQuantitiesInTheirFormats)
{
    const std::vector<GrupoQTO> grupos{grupo("IFCWALL", "Muro", "Arquitectura", {item("Muro-1", 0.2f, 3, 5)}, 1800)};
    const QByteArray texto = textoCSV(punteros(grupos), {});
    EXPECT_EQ(texto, kCabecera + "\n\"IFCWALL\",\"Muro\",\"Arquitectura\",\"Muro-1\",\"1800\",\"0.2000\",\"3.0000\","
                                 "\"5.0000\",\"3.0000\",\"1.0000\",\"33.2000\",\"5400.00\"");
    EXPECT_FALSE(texto.startsWith("\xEF\xBB\xBF"));

    QTemporaryDir dir;
    std::vector<QStringList> filas;
    EXPECT_EQ(guardarYLeer(dir, texto, &filas), texto);
    if (qtotest::python().isEmpty())
        FAIL() << "python3 is missing: scripts/setup installs it";
    ASSERT_EQ(filas.size(), 2u);
    EXPECT_EQ(filas[0].size(), 12);
    EXPECT_EQ(filas[1][11], "5400.00");
}

TEST(ExportarCSV, SpaceAndFlatElementsWriteZeros)
{
    const std::vector<GrupoQTO> grupos{grupo("IFCSPACE", "Espacio", "Arquitectura", {item("Sala", 4, 2.5f, 5)}, 0),
                                       grupo("IFCPLATE", "Placa", "Arquitectura", {item("P", 2, 0, 3)}, 7850)};
    const QList<QByteArray> lineas = textoCSV(punteros(grupos), {}).split('\n');
    ASSERT_EQ(lineas.size(), 3);
    EXPECT_TRUE(lineas[1].endsWith("\"0\",\"4.0000\",\"2.5000\",\"5.0000\",\"50.0000\",\"20.0000\",\"85.0000\",\"0.00\""));
    EXPECT_TRUE(lineas[2].endsWith("\"7850\",\"2.0000\",\"0.0000\",\"3.0000\",\"0.0000\",\"6.0000\",\"12.0000\",\"0.00\""));
}

TEST(ExportarCSV, TextFieldsAreQuotedWithInnerQuotesDoubledAndReadBackWhole)
{
    PropiedadesElementoIFC p{{"Pset › Nota", "dice \"hola\", y\nsigue"}, {"Pset › Vacía", ""}, {"Pset › Sin", "$"},
                     {"Pset › Varios", "varios"}, {"Otro › X", "Ñandú ✓"}};
    const std::vector<GrupoQTO> grupos{
        grupo("IFCWALL", "Muro", "Arquitectura", {item("Muro \"A\", norte", 1, 1, 1, 1800, p), item("Muro B", 1, 1, 1)},
              1800)};
    const QStringList extras{"Pset › Nota", "Pset › Vacía", "Pset › Sin", "Pset › Falta", "Pset › Varios", "Otro › X"};
    const QByteArray texto = textoCSV(punteros(grupos), extras);
    EXPECT_TRUE(texto.contains("\"Muro \"\"A\"\", norte\""));
    EXPECT_TRUE(texto.contains("\"dice \"\"hola\"\", y\nsigue\",\"\",\"\",\"\",\"varios\",\"Ñandú ✓\""));
    EXPECT_TRUE(texto.startsWith(kCabecera + ",\"Pset › Nota\",\"Pset › Vacía\""));
    EXPECT_FALSE(texto.contains("—"));

    QTemporaryDir dir;
    std::vector<QStringList> filas;
    guardarYLeer(dir, texto, &filas);
    if (qtotest::python().isEmpty())
        FAIL() << "python3 is missing: scripts/setup installs it";
    ASSERT_EQ(filas.size(), 3u);
    for (const QStringList& f : filas)
        EXPECT_EQ(f.size(), 18);
    EXPECT_EQ(filas[0][12], "Pset › Nota");
    EXPECT_EQ(filas[1][3], "Muro \"A\", norte");
    EXPECT_EQ(filas[1].mid(12), (QStringList{"dice \"hola\", y\nsigue", "", "", "", "varios", "Ñandú ✓"}));
    EXPECT_EQ(filas[2].mid(12), (QStringList{"", "", "", "", "", ""}));
}

TEST(ExportarCSV, WritesTheVisibleGroupsInTableOrderWithAllTheirItems)
{
    std::vector<GrupoQTO> g;
    g.push_back(grupo("IFCWALL", "Muro", "Arquitectura", {item("m1", 1, 1, 1), item("m2", 1, 1, 1)}));
    g.push_back(grupo("IFCSLAB", "Losa", "Estructura", {item("l1", 5, 1, 5), item("l2", 1, 1, 1)}));
    g.push_back(grupo("IFCBEAM", "Viga", "Estructura", {item("v1", 1, 1, 1)}));
    EstadoQTO e(std::move(g), {});
    auto nombres = [&] {
        QStringList r;
        const QList<QByteArray> lineas = textoCSV(e.gruposFiltrados(), {}).split('\n');
        for (qsizetype i = 1; i < lineas.size(); ++i)
            r.append(QString::fromUtf8(lineas[i].split(',')[3]).remove('"'));
        return r;
    };
    EXPECT_EQ(nombres(), (QStringList{"l1", "l2", "m1", "m2", "v1"}));
    e.ordenarPor(OrdenQTO::volumen);
    EXPECT_EQ(nombres(), (QStringList{"v1", "m1", "m2", "l1", "l2"}));
    e.filtroEsp = "Estructura";
    e.ordenarPor(OrdenQTO::cantidad);
    EXPECT_EQ(nombres(), (QStringList{"v1", "l1", "l2"}));
    e.filtroEsp = "Nadie";
    EXPECT_EQ(textoCSV(e.gruposFiltrados(), {"P › A"}), kCabecera + ",\"P › A\"");
}

TEST(ExportarCSV, TextsASpreadsheetWouldEvaluateGetAnApostrophe)
{
    const struct {
        const char* texto;
        const char* escrito;
    } casos[] = {
        {"=SUM(A1:A2)", "'=SUM(A1:A2)"}, {"+cmd", "'+cmd"},   {"-2+3", "'-2+3"},     {"@A1", "'@A1"},
        {"\tx", "'\tx"},                 {"\rx", "'\rx"},     {"-0.50", "-0.50"},    {"+12", "+12"},
        {"-3,5", "-3,5"},                {"-", "'-"},         {"-1e5", "'-1e5"},     {"Muro = 2", "Muro = 2"},
        {"", ""},                        {"HA-30", "HA-30"},  {"--1", "'--1"},       {"-1.2.3", "'-1.2.3"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(protegerFormula(QString::fromUtf8(c.texto)), QString::fromUtf8(c.escrito)) << c.texto;

    // Names and property values are protected, numbers are not touched.
    PropiedadesElementoIFC p{{"P › F", "=HYPERLINK(\"x\")"}, {"P › N", "-0.50"}};
    const std::vector<GrupoQTO> grupos{grupo("IFCWALL", "Muro", "=Esp", {item("@nombre", 1, 1, 1, 1000, p)})};
    const QByteArray texto = textoCSV(punteros(grupos), {"P › F", "P › N", "=P"});
    EXPECT_TRUE(texto.endsWith(
        "\"IFCWALL\",\"Muro\",\"'=Esp\",\"'@nombre\",\"1000\",\"1.0000\",\"1.0000\",\"1.0000\",\"1.0000\",\"1.0000\","
        "\"6.0000\",\"1000.00\",\"'=HYPERLINK(\"\"x\"\")\",\"-0.50\",\"\""));
    EXPECT_TRUE(texto.split('\n')[0].endsWith(",\"'=P\""));
}

TEST(ExportarCSV, DefaultNameCarriesTheUnixSeconds)
{
    EXPECT_EQ(nombreArchivoCSV(1704067200), "QUELVA_QTO_1704067200.csv");
}

TEST(ExportarCSV, AFailedWriteLeavesTheOldFileAndSaysWhy)
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("viejo.csv");
    {
        QFile f(ruta);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("contenido anterior");
    }
    // A folder where the file should go cannot be replaced.
    ASSERT_TRUE(QDir(dir.path()).mkdir("carpeta.csv"));
    EXPECT_TRUE(escribirCSV(dir.filePath("carpeta.csv"), "x").has_value());
    EXPECT_TRUE(QFileInfo(dir.filePath("carpeta.csv")).isDir());
    // A vanished folder.
    const std::optional<QString> error = escribirCSV(dir.filePath("no/existe.csv"), "x");
    ASSERT_TRUE(error.has_value());
    EXPECT_FALSE(error->isEmpty());

    EXPECT_EQ(escribirCSV(ruta, "nuevo"), std::nullopt);
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "nuevo");
}
