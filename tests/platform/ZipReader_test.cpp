#include "platform/ZipReader.h"

#include "platform/ZipWriter.h"
#include "support/ZipArmado.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(ZipReader, ListsAndReadsWhatTheWriterWrote)
{
    QTemporaryDir dir;
    const QString archivo = dir.filePath("a.zip");
    platform::ZipWriter zip;
    zip.addFile("proyecto.json", "{\"version\": 2}");
    zip.addDirectory("modelos");
    zip.addFile("modelos/Señalética.ifc", QByteArray(5000, 'x'));
    ASSERT_EQ(zip.finish(archivo), std::nullopt);

    platform::ZipReader lector;
    ASSERT_EQ(lector.open(archivo), std::nullopt);
    ASSERT_EQ(lector.entryCount(), 3u);
    EXPECT_EQ(lector.entry(0).name, "proyecto.json");
    EXPECT_FALSE(lector.entry(0).folder);
    EXPECT_EQ(lector.entry(1).name, "modelos/");
    EXPECT_TRUE(lector.entry(1).folder);
    const platform::ZipEntry modelo = lector.entry(2);
    EXPECT_EQ(modelo.size, 5000u);
    EXPECT_LT(modelo.compressedSize, 100u);
    EXPECT_EQ(lector.indexOf("modelos/Señalética.ifc"), 2u);
    EXPECT_EQ(lector.indexOf("otro.json"), std::nullopt);

    const auto json = lector.readAll(0);
    ASSERT_TRUE(std::holds_alternative<QByteArray>(json));
    EXPECT_EQ(std::get<QByteArray>(json), "{\"version\": 2}");
    const auto grande = lector.readAll(2, 4999);
    ASSERT_TRUE(std::holds_alternative<QString>(grande));
    EXPECT_TRUE(std::get<QString>(grande).contains("«modelos/Señalética.ifc»"));
}

TEST(ZipReader, TheUnixTypeOfAnEntryIsReported)
{
    QTemporaryDir dir;
    const QString archivo = dir.filePath("a.zip");
    ASSERT_TRUE(testsupport::escribirZip(
        archivo, {{"enlace", "destino", S_IFLNK | 0777}, {"normal", "x", S_IFREG | 0640}, {"sin modo", "x"}}));
    platform::ZipReader lector;
    ASSERT_EQ(lector.open(archivo), std::nullopt);
    EXPECT_EQ(lector.entry(0).unixMode & S_IFMT, unsigned(S_IFLNK));
    EXPECT_EQ(lector.entry(1).unixMode, unsigned(S_IFREG | 0640));
    EXPECT_FALSE(lector.entry(0).folder);
}
