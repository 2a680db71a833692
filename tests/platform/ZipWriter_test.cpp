#include "platform/ZipWriter.h"

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
    if (!p.waitForFinished())
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
