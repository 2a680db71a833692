#include "platform/ZipWriter.h"
#include "support/Esperar.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <functional>
#include <gtest/gtest.h>

namespace {

struct Salida {
    int codigo = -1;
    QByteArray texto;
};

Salida ejecutar(const QString& programa, const QStringList& argumentos)
{
    QProcess p;
    p.start(programa, argumentos);
    if (!p.waitForFinished(testsupport::kLimiteCuelgue))
        return {};
    return {p.exitCode(), p.readAllStandardOutput()};
}

QByteArray leer(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ZipWriterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        unzip_ = QStandardPaths::findExecutable("unzip");
        if (unzip_.isEmpty())
            FAIL() << "unzip is missing: scripts/setup installs it";
    }
    QString unzip_;
    QTemporaryDir dir_;
};

}  // namespace

TEST_F(ZipWriterTest, WritesFoldersMemoryAndFileEntriesThatUnzipReads)
{
    const QString fuente = dir_.filePath("snapshot.png");
    {
        QFile f(fuente);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(100000, 'p'));
    }
    const QString archivo = dir_.filePath("Reporte.bcf");
    {
        QFile f(archivo);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("viejo");
    }
    platform::ZipWriter zip;
    zip.addFile("bcf.version", "<Version/>");
    zip.addDirectory("0A1B2C3D");
    zip.addFile("0A1B2C3D/markup.bcf", "<Markup>ñ</Markup>");
    zip.addFileFromPath("0A1B2C3D/snapshot.png", fuente);
    zip.addFile("Señalética/vacío.txt", QByteArray());
    ASSERT_EQ(zip.finish(archivo), std::nullopt);

    const Salida lista = ejecutar(unzip_, {"-Z1", archivo});
    EXPECT_EQ(lista.codigo, 0);
    EXPECT_EQ(QString::fromUtf8(lista.texto).split('\n', Qt::SkipEmptyParts),
              QStringList({"bcf.version", "0A1B2C3D/", "0A1B2C3D/markup.bcf", "0A1B2C3D/snapshot.png",
                           "Señalética/vacío.txt"}));
    EXPECT_EQ(ejecutar(unzip_, {"-tq", archivo}).codigo, 0);
    EXPECT_EQ(ejecutar(unzip_, {"-p", archivo, "0A1B2C3D/markup.bcf"}).texto, "<Markup>ñ</Markup>");
    EXPECT_EQ(ejecutar(unzip_, {"-p", archivo, "0A1B2C3D/snapshot.png"}).texto, leer(fuente));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"Reporte.bcf", "snapshot.png"}));
}

TEST_F(ZipWriterTest, AnEmptyArchiveIsStillAnArchive)
{
    const QString archivo = dir_.filePath("vacio.zip");
    platform::ZipWriter zip;
    ASSERT_EQ(zip.finish(archivo), std::nullopt);
    // unzip says "Empty zipfile." instead of failing to find the directory.
    const Salida lista = ejecutar(unzip_, {"-Z1", archivo});
    EXPECT_EQ(lista.texto.trimmed(), "Empty zipfile.");
    EXPECT_EQ(leer(archivo).size(), 22);
    EXPECT_TRUE(leer(archivo).startsWith("PK\x05\x06"));
}

TEST_F(ZipWriterTest, ProblemsNameTheEntryAndKeepTheOldArchive)
{
    const QString archivo = dir_.filePath("paquete.zip");
    {
        QFile f(archivo);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("viejo");
    }
    struct Caso {
        std::function<void(platform::ZipWriter&)> agregar;
        QString enElMensaje;
    };
    const Caso casos[] = {
        {[](platform::ZipWriter& z) { z.addFile("../fuera.txt", "x"); }, "../fuera.txt"},
        {[](platform::ZipWriter& z) { z.addFile("/raiz.txt", "x"); }, "/raiz.txt"},
        {[](platform::ZipWriter& z) { z.addFile("a//b.txt", "x"); }, "a//b.txt"},
        {[](platform::ZipWriter& z) { z.addDirectory("a/../.."); }, "a/../.."},
        {[this](platform::ZipWriter& z) { z.addFileFromPath("modelo.ifc", dir_.filePath("no-existe.ifc")); },
         "modelo.ifc"},
    };
    for (const Caso& c : casos) {
        platform::ZipWriter zip;
        zip.addFile("bueno.txt", "ok");
        c.agregar(zip);
        const auto error = zip.finish(archivo);
        ASSERT_TRUE(error.has_value()) << c.enElMensaje.toStdString();
        EXPECT_TRUE(error->contains(c.enElMensaje)) << error->toStdString();
        EXPECT_EQ(leer(archivo), "viejo");
    }
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"paquete.zip"}));
}

TEST_F(ZipWriterTest, ParallelCompressionGivesTheSameArchiveAndLeavesNoParts)
{
    QStringList fuentes;
    for (int i = 0; i < 4; ++i) {
        QByteArray bytes;
        for (int k = 0; k < 40000; ++k)
            bytes += QByteArray::number((k * 7919 + i) % 100003) + ' ';
        fuentes << dir_.filePath(QString("fuente%1.ifc").arg(i));
        QFile f(fuentes.back());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    auto escribir = [&](const QString& archivo, bool paralelo) {
        platform::ZipWriter zip;
        zip.setParallelCompression(paralelo);
        zip.addFile("proyecto.json", "{}");
        zip.addDirectory("modelos");
        for (int i = 0; i < fuentes.size(); ++i)
            zip.addFileFromPath(QString("modelos/m%1.ifc").arg(i), fuentes[i]);
        return zip.finish(archivo);
    };
    const QString enSerie = dir_.filePath("serie.zip");
    const QString enParalelo = dir_.filePath("paralelo.zip");
    ASSERT_EQ(escribir(enSerie, false), std::nullopt);
    ASSERT_EQ(escribir(enParalelo, true), std::nullopt);

    EXPECT_EQ(ejecutar(unzip_, {"-tq", enParalelo}).codigo, 0);
    EXPECT_EQ(ejecutar(unzip_, {"-Z1", enParalelo}).texto, ejecutar(unzip_, {"-Z1", enSerie}).texto);
    for (int i = 0; i < fuentes.size(); ++i)
        EXPECT_EQ(ejecutar(unzip_, {"-p", enParalelo, QString("modelos/m%1.ifc").arg(i)}).texto, leer(fuentes[i]));
    // Deflated alike, so the archives differ at most in their headers.
    EXPECT_NEAR(QFileInfo(enParalelo).size(), QFileInfo(enSerie).size(), 200);
    EXPECT_LT(QFileInfo(enParalelo).size(), 4 * 240000);
    const QStringList esperados = {"fuente0.ifc", "fuente1.ifc", "fuente2.ifc", "fuente3.ifc", "paralelo.zip",
                                   "serie.zip"};
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), esperados);
}
