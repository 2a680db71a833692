// The DXF writer: a golden file, the values of its parts, and the file read back by ezdxf.

#include "sections/ExportadorDXF.h"
#include "support/Fixtures.h"
#include "support/Esperar.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

using namespace quelva;
using ExportadorDXF::generarDXF;

namespace {

Segmento2D segmento(Punto2D a, Punto2D b, const QString& key, bool corte)
{
    return Segmento2D{a, b, key, Qt::black, corte, corte ? QStringLiteral("Muro") : QString()};
}

Etiqueta2D etiqueta(const QString& nombre, bool visible, Punto2D ancla, Punto2D offset)
{
    Etiqueta2D e;
    e.nombre = nombre;
    e.key = "ARQ";
    e.visible = visible;
    e.ancla = ancla;
    e.offsetTexto = offset;
    e.tipoIFC = "Muro";
    e.dimensiones = QString::fromUtf8("2.00 × 0.20 m");
    return e;
}

Cota2D cota(Punto2D a, Punto2D b, float offset = 0.6f)
{
    Cota2D c;
    c.p1 = a;
    c.p2 = b;
    c.offsetLateral = offset;
    return c;
}

// The value lines that follow `codigo` lines, in order.
std::vector<std::string> valores(const std::string& dxf, const std::string& codigo)
{
    std::vector<std::string> lineas;
    size_t i = 0;
    while (i < dxf.size()) {
        const size_t fin = dxf.find('\n', i);
        lineas.push_back(dxf.substr(i, fin - i));
        i = fin + 1;
    }
    std::vector<std::string> r;
    for (size_t k = 0; k + 1 < lineas.size(); k += 2)
        if (lineas[k] == codigo)
            r.push_back(lineas[k + 1]);
    return r;
}

double textoAlto(const std::string& dxf)
{
    // The first TEXT height (code 40 after the line types) of a label is h.
    const auto v = valores(dxf, "40");
    return std::stod(v.at(2));
}

// Runs a check script over a DXF file with the system interpreter; empty when ezdxf is missing.
std::optional<QString> leerConEzdxf(const QString& ruta)
{
    const char* guion = R"(
import sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
auditor = doc.audit()
msp = doc.modelspace()
print("version", doc.dxfversion)
print("errores", len(auditor.errors))
for layer in sorted(doc.layers, key=lambda l: l.dxf.name):
    print("capa", layer.dxf.name, layer.dxf.color)
for e in msp:
    print("entidad", e.dxftype(), e.dxf.layer, e.dxf.get("linetype", "-"))
)";
    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(guion), ruta});
    if (!py.waitForFinished(testsupport::kLimiteCuelgue))
        return std::nullopt;
    if (py.exitCode() != 0) {
        if (QString::fromUtf8(py.readAllStandardError()).contains(QStringLiteral("No module named")))
            return std::nullopt;
        return QStringLiteral("fallo: ") + QString::fromUtf8(py.readAllStandardError());
    }
    return QString::fromUtf8(py.readAllStandardOutput());
}

}  // namespace

TEST(ExportadorDXF, SmallDrawingMatchesTheGoldenFile)
{
    const std::vector<Segmento2D> s = {segmento({0, 0}, {2, 0}, "ARQ", true), segmento({0, 1}, {2, 1}, "EST", false)};
    const std::vector<Etiqueta2D> e = {etiqueta("Muro 1", true, {1, 0}, {1.5f, 0}),
                                       etiqueta("Oculto", false, {1, 1}, {-4, 0})};
    const std::vector<Cota2D> c = {cota({0, 0}, {2, 0})};
    const std::string dxf = generarDXF(s, e, c);
    QFile golden(testsupport::fixturePath("sections/plano_pequeno.dxf"));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    EXPECT_EQ(dxf, golden.readAll().toStdString());
    for (unsigned char ch : dxf)
        ASSERT_LT(ch, 0x80);
    EXPECT_EQ(dxf.find('\r'), std::string::npos);
    EXPECT_TRUE(dxf.ends_with("0\nEOF\n"));
}

TEST(ExportadorDXF, EmptyDrawingHasTablesAndNoEntities)
{
    const std::string dxf = generarDXF({}, {}, {});
    EXPECT_EQ(valores(dxf, "2"), (std::vector<std::string>{"HEADER", "TABLES", "LTYPE", "CONTINUOUS", "DASHED",
                                                           "LAYER", "0", "ENTITIES"}));
    EXPECT_EQ(valores(dxf, "70").at(4), "1");  // only the layer "0"
}

TEST(ExportadorDXF, SizeUnitFromTheExtent)
{
    struct Caso {
        const char* nombre;
        std::vector<Segmento2D> s;
        double h;
    };
    const Caso casos[] = {
        {"a point", {segmento({3, 3}, {3, 3}, "ARQ", true)}, 0.1},
        {"200 m wide: capped", {segmento({0, 0}, {200, 1}, "ARQ", true)}, 0.5},
        {"20 m", {segmento({0, 0}, {20, 1}, "ARQ", true)}, 0.2},
        {"2 m: the floor", {segmento({0, 0}, {0, 2}, "ARQ", true)}, 0.05},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        const std::string dxf = generarDXF(c.s, {etiqueta("E", true, {0, 0}, {1, 0})}, {});
        EXPECT_NEAR(textoAlto(dxf), c.h, 1e-6);
    }
}

TEST(ExportadorDXF, DimensionTextAngles)
{
    struct Caso {
        const char* nombre;
        Punto2D a, b;
        std::optional<std::string> angulo;
    };
    const Caso casos[] = {
        {"left to right", {0, 0}, {2, 0}, std::nullopt},
        {"right to left", {2, 0}, {0, 0}, std::nullopt},
        {"upwards", {0, 0}, {0, 2}, "90.000000"},
        {"downwards", {0, 2}, {0, 0}, "-90.000000"},
        {"45 degrees", {0, 0}, {1, 1}, "45.000000"},
        {"225 degrees reads as 45", {1, 1}, {0, 0}, "45.000000"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        const auto v = valores(generarDXF({}, {}, {cota(c.a, c.b)}), "50");
        if (c.angulo) {
            ASSERT_EQ(v.size(), 1u);
            EXPECT_EQ(v[0], *c.angulo);
        } else {
            EXPECT_TRUE(v.empty());
        }
    }
    // Too short to draw: nothing on the layer but the layer itself.
    const std::string corta = generarDXF({}, {}, {cota({0, 0}, {0.0005f, 0})});
    EXPECT_TRUE(valores(corta, "1").size() == 1);  // only $ACADVER's value
    // Left to right puts the text on the other side of the line than right to left.
    const auto y1 = valores(generarDXF({}, {}, {cota({0, 0}, {2, 0})}), "20");
    const auto y2 = valores(generarDXF({}, {}, {cota({2, 0}, {0, 0})}), "20");
    EXPECT_LT(std::stod(y1.back()), 0);
    EXPECT_GT(std::stod(y2.back()), 0);
}

TEST(ExportadorDXF, TextsFoldToAscii)
{
    struct Caso {
        const char* entrada;
        const char* salida;
    };
    const Caso casos[] = {
        {"Baño ° ²", "Bano deg 2"},
        {"Ñandú × 3³", "Nandu x 33"},
        {"Línea\r\nsegunda\ttab", "Linea  segunda tab"},
        {"日本 ok €", " ok "},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(ExportadorDXF::textoASCII(QString::fromUtf8(c.entrada)), c.salida) << c.entrada;
}

TEST(ExportadorDXF, LayerNamesAreValidAndUnique)
{
    const std::vector<Segmento2D> s = {segmento({0, 0}, {1, 0}, "A/B Ñ", true),
                                       segmento({0, 0}, {1, 0}, "A_B_N", true),
                                       segmento({0, 0}, {1, 0}, "cotas", true),
                                       segmento({0, 0}, {1, 0}, "ARQ", true),
                                       segmento({0, 0}, {1, 0}, QString(40, QLatin1Char('x')), true)};
    const std::string dxf = generarDXF(s, {}, {});
    EXPECT_EQ(valores(dxf, "8"), (std::vector<std::string>{"A_B_N", "A_B_N_2", "COTAS_2", "ARQ",
                                                           std::string(31, 'X')}));
}

TEST(ExportadorDXF, ReadsBackCleanInEzdxf)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Etiqueta2D rara = etiqueta(QString::fromUtf8("Nombre\r\ncon salto Baño"), true, {0, 0}, {-2, 1});
    const std::vector<Segmento2D> s = {segmento({0, 0}, {4, 0}, "ARQ", true), segmento({0, 1}, {4, 1}, "EST", false),
                                       segmento({0, 2}, {4, 2}, QString::fromUtf8("A/B Ñ"), true)};
    const std::string dxf = generarDXF(s, {rara, etiqueta("Oculta", false, {1, 1}, {1, 0})},
                                       {cota({0, 0}, {4, 0}), cota({0, 0}, {0, 3})});
    const QString ruta = dir.filePath("plano.dxf");
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(dxf.data(), qint64(dxf.size()));
    f.close();
    const auto salida = leerConEzdxf(ruta);
    if (!salida)
        FAIL() << "ezdxf could not read the file back (python3-ezdxf, installed by scripts/setup)";
    const QStringList lineas = salida->split('\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(lineas.contains("version AC1009")) << salida->toStdString();
    EXPECT_TRUE(lineas.contains("errores 0")) << salida->toStdString();
    for (const char* capa : {"capa 0 7", "capa ARQ 7", "capa EST 3", "capa A_B_N 7", "capa ETIQUETAS 2",
                             "capa COTAS 5"})
        EXPECT_TRUE(lineas.contains(QString::fromLatin1(capa))) << capa;
    // DASHED only on the projection line.
    int discontinuas = 0;
    for (const QString& l : lineas)
        if (l.startsWith("entidad") && l.endsWith("DASHED")) {
            ++discontinuas;
            EXPECT_EQ(l, "entidad LINE EST DASHED");
        }
    EXPECT_EQ(discontinuas, 1);
}
