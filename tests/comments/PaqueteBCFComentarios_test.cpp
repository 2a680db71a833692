#include "comments/CodificacionMarkup.h"
#include "comments/PaqueteBCFComentarios.h"
#include "platform/DocumentText.h"
#include "support/Fixtures.h"
#include "support/Esperar.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quelva;

namespace {

QByteArray jpegDePrueba()
{
    QImage img(64, 40, QImage::Format_RGB32);
    img.fill(QColor(30, 120, 200));
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    img.save(&b, "JPEG", 85);
    return bytes;
}

ComentarioMarkup comentario(const QString& tag, const QString& descripcion, bool imagen)
{
    ComentarioMarkup c;
    c.tag = tag;
    c.descripcion = descripcion;
    c.autor = QStringLiteral("Ana");
    c.fecha = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::UTC);
    if (imagen)
        c.imagenJPEG = jpegDePrueba();
    return c;
}

struct Salida {
    int codigo = -1;
    QByteArray salida, errores;
};

Salida ejecutar(const QString& programa, const QStringList& args)
{
    QProcess p;
    p.start(programa, args);
    p.waitForFinished(testsupport::kLimiteCuelgue);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

class PaqueteBCF : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable("unzip").isEmpty() || QStandardPaths::findExecutable("xmllint").isEmpty())
            FAIL() << "unzip or xmllint is missing: scripts/setup installs them";
    }

    // Unpacks the package and checks every XML file against its schema.
    QStringList escribirYValidar(const std::vector<ComentarioMarkup>& comentarios)
    {
        const QString archivo = dir_.filePath("Comentarios_QUELVA.bcf");
        const auto error = escribirBCFComentarios(archivo, comentarios);
        EXPECT_EQ(error, std::nullopt) << error.value_or(QString()).toStdString();
        const Salida lista = ejecutar("unzip", {"-Z1", archivo});
        const QStringList entradas = QString::fromUtf8(lista.salida).split('\n', Qt::SkipEmptyParts);
        const QString fuera = dir_.filePath("fuera");
        QDir(fuera).removeRecursively();
        EXPECT_EQ(ejecutar("unzip", {"-q", archivo, "-d", fuera}).codigo, 0);
        const QString esquemas = testsupport::fixturePath("bcf21-schemas/");
        for (const QString& e : entradas) {
            QString esquema;
            if (e == "bcf.version")
                esquema = "version.xsd";
            else if (e == "project.bcfp")
                esquema = "project.xsd";
            else if (e.endsWith("markup.bcf"))
                esquema = "markup.xsd";
            if (esquema.isEmpty())
                continue;
            const Salida v = ejecutar("xmllint", {"--noout", "--schema", esquemas + esquema, fuera + "/" + e});
            EXPECT_EQ(v.codigo, 0) << e.toStdString() << ": " << v.errores.toStdString();
        }
        return entradas;
    }

    QByteArray leer(const QString& relativo) const
    {
        QFile f(dir_.filePath("fuera/" + relativo));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
};

}  // namespace

TEST_F(PaqueteBCF, EmptyListHoldsTheTwoRootFiles)
{
    EXPECT_EQ(escribirYValidar({}), QStringList({"bcf.version", "project.bcfp"}));
    EXPECT_EQ(leer("bcf.version").size(), 170);
    const QString proyecto = QString::fromUtf8(leer("project.bcfp"));
    EXPECT_TRUE(proyecto.contains("<Name>QUELVA Comentarios</Name>"));
    EXPECT_TRUE(QRegularExpression("ProjectId=\"[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\"")
                    .match(proyecto)
                    .hasMatch());
}

TEST_F(PaqueteBCF, TopicsWithAndWithoutSnapshotValidate)
{
    const ComentarioMarkup con = comentario("MRK-001", "Fisura <muro> & losa \"A\" d'Este\x01", true);
    const ComentarioMarkup sin = comentario("MRK-002", "", false);
    const QString a = platform::documentUuidText(con.id), b = platform::documentUuidText(sin.id);
    EXPECT_EQ(escribirYValidar({con, sin}),
              QStringList({"bcf.version", "project.bcfp", a + "/", a + "/snapshot.png", a + "/markup.bcf", b + "/",
                           b + "/markup.bcf"}));

    const QString markup = QString::fromUtf8(leer(a + "/markup.bcf"));
    EXPECT_TRUE(markup.contains(
        "<Title>MRK-001: Fisura &lt;muro&gt; &amp; losa &quot;A&quot; d'Este</Title>"))
        << markup.toStdString();
    EXPECT_TRUE(markup.contains("<Description>Fisura &lt;muro&gt; &amp; losa &quot;A&quot; d'Este</Description>"));
    EXPECT_TRUE(markup.contains("<CreationDate>2024-03-05T14:07:09Z</CreationDate>"));
    EXPECT_TRUE(markup.contains(QString("<Topic Guid=\"%1\" TopicType=\"Comment\" TopicStatus=\"Open\">").arg(a)));
    EXPECT_TRUE(markup.contains("    <Snapshot>snapshot.png</Snapshot>"));
    EXPECT_FALSE(markup.endsWith('\n'));
    EXPECT_FALSE(QImage::fromData(leer(a + "/snapshot.png"), "PNG").isNull());
    EXPECT_EQ(QImage::fromData(leer(a + "/snapshot.png"), "PNG").size(), QSize(64, 40));

    const QString sinImagen = QString::fromUtf8(leer(b + "/markup.bcf"));
    EXPECT_TRUE(sinImagen.contains("<Title>MRK-002</Title>"));
    EXPECT_TRUE(sinImagen.contains("<Description></Description>"));
    EXPECT_FALSE(sinImagen.contains("Viewpoints"));
}

TEST_F(PaqueteBCF, TopicGuidsAreStableAndViewpointsNew)
{
    const std::vector<ComentarioMarkup> lista{comentario("MRK-001", "x", true)};
    const QString carpeta = platform::documentUuidText(lista[0].id);
    escribirYValidar(lista);
    const QByteArray primero = leer(carpeta + "/markup.bcf"), proyecto1 = leer("project.bcfp");
    escribirYValidar(lista);
    const QByteArray segundo = leer(carpeta + "/markup.bcf"), proyecto2 = leer("project.bcfp");
    const QRegularExpression viewpoint("<Viewpoints Guid=\"([^\"]+)\"");
    EXPECT_TRUE(primero.contains(carpeta.toUtf8()));
    EXPECT_TRUE(segundo.contains(carpeta.toUtf8()));
    EXPECT_NE(viewpoint.match(QString::fromUtf8(primero)).captured(1),
              viewpoint.match(QString::fromUtf8(segundo)).captured(1));
    EXPECT_NE(proyecto1, proyecto2);
}

TEST(PaqueteBCFRutas, ExtensionRule)
{
    const std::pair<QString, QString> casos[] = {
        {"/x/Comentarios_QUELVA.bcf", "/x/Comentarios_QUELVA.bcf"},
        {"/x/Informe", "/x/Informe.bcf"},
        {"/x/informe.zip", "/x/informe.zip.bcf"},
        {"/x/X.BCF", "/x/X.BCF"},
    };
    for (const auto& [elegida, final] : casos)
        EXPECT_EQ(rutaFinalBCF(elegida), final) << elegida.toStdString();
}

TEST(PaqueteBCFRutas, FailureKeepsTheOldFileAndAFolderStays)
{
    QTemporaryDir dir;
    const QString archivo = dir.filePath("viejo.bcf");
    {
        QFile f(archivo);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("anterior");
    }
    EXPECT_EQ(escribirBCFComentarios(archivo, {comentario("MRK-001", "", false)}), std::nullopt);
    QFile f(archivo);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("PK"));

    const QString carpeta = dir.filePath("carpeta.bcf");
    ASSERT_TRUE(QDir().mkpath(carpeta + "/dentro"));
    EXPECT_TRUE(escribirBCFComentarios(carpeta, {}).has_value());
    EXPECT_TRUE(QFileInfo(carpeta + "/dentro").isDir());
    EXPECT_TRUE(escribirBCFComentarios(dir.filePath("no/existe.bcf"), {}).has_value());
}
