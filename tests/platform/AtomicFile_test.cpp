#include "platform/AtomicFile.h"

#include "support/LimiteTamano.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using testsupport::LimiteTamano;

QByteArray leer(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no se pudo leer>");
}

void escribir(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Only the named files, no temporary leftovers beside them.
QStringList contenido(const QTemporaryDir& dir)
{
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

}  // namespace

TEST(AtomicFile, ReplacesAnExistingFileAndCreatesANewOne)
{
    QTemporaryDir dir;
    const QString viejo = dir.filePath("informe.txt");
    escribir(viejo, "antes");
    chmod(QFile::encodeName(viejo).constData(), 0640);
    EXPECT_EQ(platform::replaceFileAtomically(viejo, "después"), std::nullopt);
    EXPECT_EQ(leer(viejo), "después");
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(viejo).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "an existing file keeps its permissions";

    const QString nuevo = dir.filePath("nuevo.csv");
    EXPECT_EQ(platform::replaceFileAtomically(nuevo, QByteArray()), std::nullopt);
    EXPECT_TRUE(QFile::exists(nuevo));
    EXPECT_EQ(leer(nuevo), "");
    ASSERT_EQ(stat(QFile::encodeName(nuevo).constData(), &st), 0);
    EXPECT_NE(st.st_mode & 0044, 0u) << "a new file is not left private like a temporary file";
    EXPECT_EQ(contenido(dir), QStringList({"informe.txt", "nuevo.csv"}));
}

TEST(AtomicFile, AFolderAtThePathIsAnErrorAndStays)
{
    QTemporaryDir dir;
    const QString carpeta = dir.filePath("Proyecto.bcf");
    ASSERT_TRUE(QDir().mkpath(carpeta + "/dentro"));
    const auto error = platform::replaceFileAtomically(carpeta, "x");
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->contains("Proyecto.bcf")) << error->toStdString();
    EXPECT_TRUE(QFileInfo(carpeta + "/dentro").isDir());
    EXPECT_EQ(contenido(dir), QStringList({"Proyecto.bcf"}));
}

TEST(AtomicFile, AFolderThatNoLongerExistsGivesAReason)
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("borrada/informe.html");
    const auto error = platform::replaceFileAtomically(ruta, "x");
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(*error, QString("No se pudo guardar «%1»: la carpeta no existe.").arg(ruta));
}

TEST(AtomicFile, AWriteCutShortKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("datos.csv");
    escribir(ruta, "original");
    const QByteArray grande(256 * 1024, 'z');
    std::optional<QString> error;
    {
        LimiteTamano limite(64 * 1024);
        error = platform::replaceFileAtomically(ruta, grande);
    }
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->contains("datos.csv")) << error->toStdString();
    EXPECT_TRUE(error->contains("tamaño")) << error->toStdString();
    EXPECT_EQ(leer(ruta), "original");
    EXPECT_EQ(contenido(dir), QStringList({"datos.csv"}));
}

TEST(AtomicFile, StreamingWriterCommitsOrThrowsAway)
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("a.txt");
    escribir(ruta, "viejo");
    {
        platform::AtomicFileWriter w;
        ASSERT_EQ(w.open(ruta), std::nullopt);
        w.write("a medio ");
        EXPECT_EQ(leer(ruta), "viejo");
    }  // never committed
    EXPECT_EQ(leer(ruta), "viejo");
    EXPECT_EQ(contenido(dir), QStringList({"a.txt"}));

    platform::AtomicFileWriter w;
    ASSERT_EQ(w.open(ruta), std::nullopt);
    w.device()->write("uno ");
    w.write("dos");
    EXPECT_EQ(w.commit(), std::nullopt);
    EXPECT_EQ(leer(ruta), "uno dos");
    EXPECT_TRUE(w.commit().has_value()) << "a second commit has nothing to write";
}

TEST(AtomicFile, StreamingWriterCutShortKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("b.bin");
    escribir(ruta, "intacto");
    platform::AtomicFileWriter w;
    ASSERT_EQ(w.open(ruta), std::nullopt);
    std::optional<QString> error;
    {
        LimiteTamano limite(16 * 1024);
        for (int i = 0; i < 64; ++i)
            w.write(QByteArray(1024, 'q'));
        error = w.commit();
    }
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(leer(ruta), "intacto");
    EXPECT_EQ(contenido(dir), QStringList({"b.bin"}));
}

// A producer that writes through the device (a PDF writer, say) never sees our write(): its
// failures must still reach commit().
TEST(AtomicFile, StreamingWriterCutShortThroughTheDeviceKeepsTheOldFile)
{
    for (const int trozo : {100, 1024, 40000}) {
        QTemporaryDir dir;
        const QString ruta = dir.filePath("c.pdf");
        escribir(ruta, "intacto");
        platform::AtomicFileWriter w;
        ASSERT_EQ(w.open(ruta), std::nullopt);
        std::optional<QString> error;
        {
            LimiteTamano limite(16 * 1024);
            for (int escrito = 0; escrito < 200 * 1024; escrito += trozo)
                w.device()->write(QByteArray(trozo, 'q'));
            error = w.commit();
        }
        EXPECT_TRUE(error.has_value()) << trozo;
        EXPECT_EQ(leer(ruta), "intacto") << trozo;
        EXPECT_EQ(contenido(dir), QStringList({"c.pdf"})) << trozo;
    }
}

// A PDF writer writes through the device, asks positions and flushes on its own: a write cut
// short under it must still fail the commit and leave the old file.
TEST(AtomicFile, StreamingWriterCutShortUnderAPdfWriterKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("c.pdf");
    escribir(ruta, "intacto");
    platform::AtomicFileWriter w;
    ASSERT_EQ(w.open(ruta), std::nullopt);
    std::optional<QString> error;
    {
        LimiteTamano limite(16 * 1024);
        {
            QPdfWriter pdf(w.device());
            QPainter p(&pdf);
            for (int i = 0; i < 20000; ++i)
                p.drawLine(i % 500, i % 700, (i * 7) % 500, (i * 3) % 700);
        }
        error = w.commit();
    }
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->contains(QStringLiteral("c.pdf"))) << error->toStdString();
    EXPECT_EQ(leer(ruta), "intacto");
    EXPECT_EQ(contenido(dir), QStringList({"c.pdf"}));
}

TEST(AtomicFile, ALinkIsFollowedAndKept)
{
    QTemporaryDir dir;
    const QString destino = dir.filePath("real.txt");
    const QString enlace = dir.filePath("enlace.txt");
    escribir(destino, "viejo");
    ASSERT_TRUE(QFile::link(destino, enlace));
    EXPECT_EQ(platform::replaceFileAtomically(enlace, "nuevo"), std::nullopt);
    EXPECT_TRUE(QFileInfo(enlace).isSymLink());
    EXPECT_EQ(leer(destino), "nuevo");
}
