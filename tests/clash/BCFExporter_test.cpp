// The BCF 2.1 package of a clash analysis: schema-valid files, layout, escaping, numbers and the
// camera, and what an export does to the user's file.

#include "clash/BCFExporter.h"
#include "platform/Queues.h"
#include "support/Fixtures.h"
#include "support/Esperar.h"
#include "support/LimiteTamano.h"

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
#include <filesystem>

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
        // GlobalIds: both known for the first clash, a malformed one (the schema's 22-character
        // pattern refuses it) and an unknown one for the last.
        if (n > 0) {
            e.globalIds[e.analisis.interferencias[0].id] = {"2O2Fr$t4X7Zf8NOew3FLOH", "0_a$Z9bcdefghijklmnopq"};
            e.globalIds[e.analisis.interferencias[size_t(n - 1)].id] = {"2O2Fr$t4X7Zf8NOew3FLO", ""};
        }
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
        if (n > 1) {
            auto leer = [&](int k) {
                QFile f(destino + "/" + e.analisis.interferencias[size_t(k)].id.toString(QUuid::WithoutBraces).toUpper() +
                        "/viewpoint.bcfv");
                return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
            };
            const QString primero = leer(0), ultimo = leer(n - 1);
            EXPECT_TRUE(primero.contains("            <Component IfcGuid=\"2O2Fr$t4X7Zf8NOew3FLOH\">\n"
                                         "                <OriginatingSystem>QUELVA</OriginatingSystem>\n"
                                         "                <AuthoringToolId>Muro 0</AuthoringToolId>"));
            EXPECT_TRUE(primero.contains("<Component IfcGuid=\"0_a$Z9bcdefghijklmnopq\">"));
            EXPECT_FALSE(ultimo.contains("IfcGuid"));
            EXPECT_EQ(ultimo.count("<Component>"), 2);
        }
    }
}

TEST(BCFExporter, GlobalIdsComeFromTheElementsDisciplineAndUnambiguousNames)
{
    BCFExporter e = exportador(0);
    auto agregar = [&](const char* a, const char* espA, const char* b, const char* espB) {
        Interferencia i = clash(QString::fromUtf8(a), QString::fromUtf8(b), EstadoClash::abierto);
        i.especialidadA = espA;
        i.especialidadB = espB;
        e.analisis.interferencias.push_back(i);
        return i.id;
    };
    const std::map<QString, MapaGlobalIds> porEspecialidad = {
        {"ARQ", {{"Muro", "1aaaaaaaaaaaaaaaaaaaaa"}, {"ROOT nulpunt", ""}, {"Puerta", "1ddddddddddddddddddddd"}}},
        {"ELE", {{"Enchufe", "1bbbbbbbbbbbbbbbbbbbbb"}, {"Muro", "1ccccccccccccccccccccc"}}},
    };
    const QUuid normal = agregar("Muro", "ARQ", "Enchufe", "ELE");
    const QUuid mismaNombreOtraEsp = agregar("Muro", "ELE", "Muro", "ARQ");
    const QUuid ambiguo = agregar("ROOT nulpunt", "ARQ", "Enchufe", "ELE");
    const QUuid conTipo = agregar("IfcDoor/Puerta", "ARQ", "Nada", "ELE");
    const QUuid ninguno = agregar("Nada", "ARQ", "Muro", "MEC");
    const auto ids = globalIdsDeAnalisis(e.analisis, porEspecialidad);
    auto par = [&](const QUuid& id) {
        const auto it = ids.find(id);
        return it == ids.end() ? std::pair<QString, QString>{"-", "-"} : std::pair{it->second.a, it->second.b};
    };
    EXPECT_EQ(par(normal), (std::pair<QString, QString>{"1aaaaaaaaaaaaaaaaaaaaa", "1bbbbbbbbbbbbbbbbbbbbb"}));
    EXPECT_EQ(par(mismaNombreOtraEsp), (std::pair<QString, QString>{"1ccccccccccccccccccccc", "1aaaaaaaaaaaaaaaaaaaaa"}));
    EXPECT_EQ(par(ambiguo), (std::pair<QString, QString>{"", "1bbbbbbbbbbbbbbbbbbbbb"}));
    EXPECT_EQ(par(conTipo), (std::pair<QString, QString>{"1ddddddddddddddddddddd", ""}));
    EXPECT_EQ(par(ninguno), (std::pair<QString, QString>{"-", "-"}));

    for (const char* valido : {"1aaaaaaaaaaaaaaaaaaaaa", "0_$zZ9aaaaaaaaaaaaaaaa"})
        EXPECT_TRUE(esIfcGuid(QString::fromUtf8(valido))) << valido;
    for (const char* malo : {"", "1aaaaaaaaaaaaaaaaaaaa", "1aaaaaaaaaaaaaaaaaaaaaa", "1aaaaaaaaaaaaaaaaaaaa-",
                             "1aaaaaaaaaaaaaaaaaaaa,", "1aaaaaaaaaaaaaaaaaaaaÃ¡"})
        EXPECT_FALSE(esIfcGuid(QString::fromUtf8(malo))) << malo;
}

TEST(BCFExporter, PanelboardsAndAlarmPanelsOfALinkedModelCarryTheirIfcGuid)
{
    // The electrical model as a link reads it; the architecture's wall is known by name too.
    const TablaRegistrosSTEP tabla = leerArchivoSTEP(
        std::filesystem::path(testsupport::fixturePath("federation/ele_tableros.ifc").toStdString()));
    const std::map<QString, MapaGlobalIds> porEspecialidad = {
        {"ELE", parsearGlobalIdsUnivocos(tabla)}, {"ARQ", {{"Muro", "1aaaaaaaaaaaaaaaaaaaaa"}}}};
    BCFExporter e = exportador(0);
    const std::pair<const char*, const char*> pares[] = {
        {"Tablero TDA-1", "Muro"}, {"Tablero TDA-2", "Central de incendio"}};
    for (const auto& [a, b] : pares) {
        Interferencia i = clash(QString::fromUtf8(a), QString::fromUtf8(b), EstadoClash::abierto);
        i.especialidadA = "ELE";
        i.especialidadB = QString::fromUtf8(b) == "Muro" ? "ARQ" : "ELE";
        e.analisis.interferencias.push_back(i);
    }
    e.globalIds = globalIdsDeAnalisis(e.analisis, porEspecialidad);

    QTemporaryDir dir;
    const QString ruta = dir.filePath("ele.bcf"), destino = dir.filePath("x");
    ASSERT_FALSE(e.escribirPaquete(ruta));
    ASSERT_EQ(ejecutar("unzip", {"-q", ruta, "-d", destino}).first, 0);
    const std::pair<const char*, const char*> esperados[] = {
        {"3Lz$Tablero0TDA1xxxx01", "1aaaaaaaaaaaaaaaaaaaaa"}, {"3Lz$Tablero0TDA2xxxx02", "0CentralIncendioxxxx03"}};
    for (std::size_t k = 0; k < e.analisis.interferencias.size(); ++k) {
        const Interferencia& i = e.analisis.interferencias[k];
        const QString archivo = destino + "/" + i.id.toString(QUuid::WithoutBraces).toUpper() + "/viewpoint.bcfv";
        QFile f(archivo);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString viewpoint = QString::fromUtf8(f.readAll());
        for (const auto& [guid, nombre] : {std::pair{esperados[k].first, i.nombreA}, std::pair{esperados[k].second, i.nombreB}})
            EXPECT_TRUE(viewpoint.contains(QStringLiteral("<Component IfcGuid=\"%1\">\n"
                                                          "                <OriginatingSystem>QUELVA</OriginatingSystem>\n"
                                                          "                <AuthoringToolId>%2</AuthoringToolId>")
                                               .arg(QString::fromUtf8(guid), nombre)))
                << viewpoint.toStdString();
        const auto [ok, salida] = ejecutar("xmllint", {"--noout", "--schema", esquema("visinfo.xsd"), archivo});
        EXPECT_EQ(ok, 0) << salida.toStdString();
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

    // A write that fails keeps the old file: the disk fills up halfway.
    const QString viejo = dir.filePath(QString(246, 'v') + ".bcf");
    {
        QFile f(viejo);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("viejo");
    }
    {
        const testsupport::LimiteTamano lleno(64);
        EXPECT_EQ(exportarA(e, viejo), false);
    }
    QFile f(viejo);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "viejo");
}
