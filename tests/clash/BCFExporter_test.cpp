// The BCF 2.1 package of a clash analysis: schema-valid files, layout, escaping, numbers and the
// camera, and what an export does to the user's file.

#include "clash/BCFExporter.h"
#include "platform/Queues.h"
#include "support/Fixtures.h"
#include "support/Esperar.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

using namespace quelva;

namespace {

Interferencia clash(const QString& a, const QString& b, EstadoClash estado)
{
    Interferencia i;
    i.nombreA = a;
    i.nombreB = b;
    i.especialidadA = "ARQ";
    i.especialidadB = "EST";
    i.viewpointTarget = {0.75, 0.75, 0.75};
    i.viewpointPos = {2.55, 1.83, 2.55};
    i.radio = 1.0;
    i.estado = estado;
    return i;
}

BCFExporter exportador(int n)
{
    BCFExporter e;
    e.analisis.nombre = QString::fromUtf8("Análisis 1/2: \"final\"");
    e.nombreProyecto = e.analisis.nombre;
    e.analisis.fecha = QDateTime(QDate(2026, 12, 9), QTime(8, 5, 30), Qt::UTC);
    e.analisis.tolerancia = 0.02;
    for (int k = 0; k < n; ++k)
        e.analisis.interferencias.push_back(clash(QStringLiteral("Muro %1").arg(k), "Viga", EstadoClash(k % 4)));
    return e;
}

// Runs a program; its exit code and standard output and error.
std::pair<int, QString> ejecutar(const QString& programa, const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(programa, args);
    p.waitForFinished(testsupport::kLimiteCuelgue);
    return {p.exitCode(), QString::fromUtf8(p.readAll())};
}

QString esquema(const QString& archivo)
{
    return testsupport::fixturePath(QStringLiteral("bcf21-schemas/") + archivo);
}

}  // namespace

TEST(BCFExporter, PackagesValidateAgainstTheOfficialSchemas)
{
    for (int n : {0, 1, 6}) {
        BCFExporter e = exportador(n);
        // A snapshot for every clash but the second.
        for (int k = 0; k < n; ++k)
            if (k != 1)
                e.snapshots[e.analisis.interferencias[size_t(k)].id] = QByteArray("\x89PNG\r\n\x1a\n", 8);
        QTemporaryDir dir;
        const QString ruta = dir.filePath("paquete.bcf");
        ASSERT_FALSE(e.escribirPaquete(ruta)) << n;

        const auto [estado, listado] = ejecutar("unzip", {"-Z1", ruta});
        ASSERT_EQ(estado, 0) << listado.toStdString();
        QStringList esperado{"bcf.version", "project.bcfp"};
        for (int k = 0; k < n; ++k) {
            const QString g = e.analisis.interferencias[size_t(k)].id.toString(QUuid::WithoutBraces).toUpper();
            esperado << g + "/" << g + "/markup.bcf" << g + "/viewpoint.bcfv";
            if (k != 1)
                esperado << g + "/snapshot.png";
        }
        EXPECT_EQ(listado.split('\n', Qt::SkipEmptyParts), esperado);
        EXPECT_EQ(ejecutar("unzip", {"-tq", ruta}).first, 0);

        const QString destino = dir.filePath("x");
        ASSERT_EQ(ejecutar("unzip", {"-q", ruta, "-d", destino}).first, 0);
        const std::pair<const char*, const char*> pares[] = {
            {"bcf.version", "version.xsd"}, {"project.bcfp", "project.xsd"}, {"markup.bcf", "markup.xsd"},
            {"viewpoint.bcfv", "visinfo.xsd"}};
        int validados = 0;
        QDirIterator it(destino, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            for (const auto& [nombre, xsd] : pares)
                if (f.endsWith(QString::fromUtf8(nombre))) {
                    const auto [ok, salida] = ejecutar("xmllint", {"--noout", "--schema", esquema(xsd), f});
                    EXPECT_EQ(ok, 0) << salida.toStdString();
                    ++validados;
                }
        }
        EXPECT_EQ(validados, 2 + 2 * n);
    }
}

TEST(BCFExporter, MarkupAndViewpointShareTheViewpointGuid)
{
    const BCFExporter e = exportador(1);
    const Interferencia& i = e.analisis.interferencias[0];
    const QUuid vp = QUuid::createUuid();
    const QString g = vp.toString(QUuid::WithoutBraces).toUpper();
    const QString markup = e.xmlMarkup(i, vp, false);
    EXPECT_TRUE(markup.contains("<Viewpoints Guid=\"" + g + "\">"));
    EXPECT_FALSE(markup.contains("Snapshot"));
    EXPECT_TRUE(e.xmlMarkup(i, vp, true).contains("        <Snapshot>snapshot.png</Snapshot>\n"));
    EXPECT_TRUE(e.xmlViewpoint(i, vp).contains("Guid=\"" + g + "\""));
    EXPECT_TRUE(markup.contains("<Topic Guid=\"" + i.id.toString(QUuid::WithoutBraces).toUpper() +
                                "\" TopicType=\"Clash\" TopicStatus=\"Open\">"));
    EXPECT_TRUE(markup.contains("<CreationDate>2026-12-09T08:05:30Z</CreationDate>"));
    EXPECT_TRUE(markup.contains(QString::fromUtf8("<Title>Muro 0 ↔ Viga</Title>")));
    EXPECT_EQ(BCFExporter::xmlVersion().toUtf8().size(), 216);
    const struct { EstadoClash e; const char* palabra; } estados[] = {
        {EstadoClash::abierto, "Open"}, {EstadoClash::enRevision, "InProgress"},
        {EstadoClash::aprobado, "Resolved"}, {EstadoClash::resuelto, "Closed"}};
    for (const auto& c : estados) {
        Interferencia x = i;
        x.estado = c.e;
        EXPECT_TRUE(e.xmlMarkup(x, vp, false).contains(QStringLiteral("TopicStatus=\"%1\"").arg(c.palabra)));
    }
}

TEST(BCFExporter, EscapingAndLocaleFreeNumbers)
{
    // Numbers keep their point whatever the C library's numeric locale says.
    const char* antes = std::setlocale(LC_NUMERIC, nullptr);
    const std::string guardado = antes ? antes : "C";
    std::setlocale(LC_NUMERIC, "es_ES.UTF-8");
    BCFExporter e = exportador(0);
    e.nombreProyecto = QString::fromUtf8("R&D <\"norte\"> O'Higgins\x01");
    Interferencia i = clash("Muro &lt;1&gt;", QString::fromUtf8("Viga \"B\"\x07"), EstadoClash::abierto);
    i.especialidadA = "A&B";
    const QString proyecto = e.xmlProyecto();
    const QString markup = e.xmlMarkup(i, QUuid::createUuid(), false);
    const QString vista = e.xmlViewpoint(i, QUuid::createUuid());
    std::setlocale(LC_NUMERIC, guardado.c_str());

    EXPECT_TRUE(proyecto.contains("<Name>R&amp;D &lt;&quot;norte&quot;&gt; O'Higgins</Name>"));
    EXPECT_TRUE(markup.contains(QString::fromUtf8("<Title>Muro &amp;lt;1&amp;gt; ↔ Viga &quot;B&quot;</Title>")));
    EXPECT_TRUE(markup.contains("<Labels>A&amp;B</Labels>"));
    EXPECT_TRUE(markup.contains("<Description>Interferencia entre A&amp;B y EST. Tolerancia: 0.020 m.</Description>"));
    EXPECT_TRUE(vista.contains("<AuthoringToolId>Muro &amp;lt;1&amp;gt;</AuthoringToolId>"));
    EXPECT_TRUE(vista.contains("<X>2.5500</X>"));
    EXPECT_TRUE(vista.contains("<FieldOfView>60.0</FieldOfView>"));
}

TEST(BCFExporter, CameraDirectionAndZUp)
{
    const struct {
        const char* caso;
        scene::Vec3 pos, objetivo;
        std::array<float, 3> dir, arriba;
    } casos[] = {
        {"the two cubes", {2.55, 1.83, 2.55}, {0.75, 0.75, 0.75},
         {-0.650945f, -0.390567f, -0.650945f}, {-0.558180f, -0.334908f, 0.759125f}},
        {"position equal to target", {1, 2, 3}, {1, 2, 3}, {0, 0, -1}, {0, 1, 0}},
        {"straight down", {5, 5, 10}, {5, 5, 0}, {0, 0, -1}, {0, 1, 0}},
        {"along X", {0, 0, 0}, {3, 0, 0}, {1, 0, 0}, {0, 0, 1}},
        {"along Y", {0, 0, 0}, {0, -3, 0}, {0, -1, 0}, {0, 0, 1}},
    };
    for (const auto& c : casos) {
        const CamaraBCF cam = camaraBCF(c.pos, c.objetivo);
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(cam.direccion[size_t(k)], c.dir[size_t(k)], 1.5e-6) << c.caso;
            EXPECT_NEAR(cam.arriba[size_t(k)], c.arriba[size_t(k)], 1.5e-6) << c.caso;
        }
    }
}

TEST(BCFExporter, SafeFileNames)
{
    const struct { const char* nombre; const char* seguro; } casos[] = {
        {"Análisis 09/12/26 08:05", "Análisis 091226 0805"},
        {"Coordinación [v2].final_ok-1", "Coordinación v2final_ok-1"},
        {"平面図 ∑", "平面図 "},
        {"/:.()", ""},
    };
    for (const auto& c : casos)
        EXPECT_EQ(BCFExporter::nombreArchivoSeguro(QString::fromUtf8(c.nombre)), QString::fromUtf8(c.seguro)) << c.nombre;
}

namespace {

std::optional<bool> exportarA(const BCFExporter& e, std::optional<QString> destino)
{
    std::optional<bool> resultado;
    e.exportar([&](const QString& sugerido) {
        EXPECT_EQ(sugerido, QString::fromUtf8("Análisis 12 final.bcf"));
        return destino;
    }, [&](bool ok) { resultado = ok; });
    testsupport::esperarQue([&] { return resultado.has_value(); });
    return resultado;
}

}  // namespace

TEST(BCFExporter, ExportReplacesTheChosenFileOrKeepsIt)
{
    QTemporaryDir dir;
    const BCFExporter e = exportador(2);
    const QString archivo = dir.filePath("salida.bcf");
    {
        QFile f(archivo);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("viejo");
    }
    EXPECT_EQ(exportarA(e, archivo), true);
    EXPECT_EQ(ejecutar("unzip", {"-tq", archivo}).first, 0);

    // Cancelled: no file is touched, the outcome is a failure.
    const QString otro = dir.filePath("otro.bcf");
    EXPECT_EQ(exportarA(e, std::nullopt), false);
    EXPECT_FALSE(QFile::exists(otro));

    // A folder at the chosen path stays, and the export fails.
    ASSERT_TRUE(QDir(dir.path()).mkdir("carpeta.bcf"));
    EXPECT_EQ(exportarA(e, dir.filePath("carpeta.bcf")), false);
    EXPECT_TRUE(QFileInfo(dir.filePath("carpeta.bcf")).isDir());

    // A write that fails keeps the old file: a name so long that nothing fits beside it.
    const QString viejo = dir.filePath(QString(246, 'v') + ".bcf");
    {
        QFile f(viejo);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("viejo");
    }
    EXPECT_EQ(exportarA(e, viejo), false);
    QFile f(viejo);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "viejo");
}
