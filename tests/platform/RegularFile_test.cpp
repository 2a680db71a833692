#include "platform/RegularFile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

TEST(RegularFile, OpensARegularFileWithItsSize)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ruta = dir.filePath("a.json");
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{\"a\": 1}");
    f.close();
    auto abierto = platform::openRegularFileForReading(ruta);
    ASSERT_TRUE(std::holds_alternative<platform::OpenedRegularFile>(abierto));
    auto& archivo = std::get<platform::OpenedRegularFile>(abierto);
    EXPECT_EQ(archivo.size, 8);
    EXPECT_EQ(archivo.file->readAll(), QByteArray("{\"a\": 1}"));
}

// Each of these would block forever or be read without end if it were opened as a file.
TEST(RegularFile, RefusesWhatIsNotARegularFileWithoutBlocking)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fifo = dir.filePath("tuberia");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    struct Caso {
        QString ruta;
        QString mensaje;
    };
    const Caso casos[] = {
        {fifo, QStringLiteral("«%1» no es un archivo.").arg(fifo)},
        {dir.path(), QStringLiteral("«%1» no es un archivo.").arg(dir.path())},
        {QStringLiteral("/dev/zero"), QStringLiteral("«/dev/zero» no es un archivo.")},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.ruta.toStdString());
        const auto abierto = platform::openRegularFileForReading(caso.ruta);
        ASSERT_TRUE(std::holds_alternative<QString>(abierto));
        EXPECT_EQ(std::get<QString>(abierto), caso.mensaje);
    }
    const auto falta = platform::openRegularFileForReading(dir.filePath("no-existe.csv"));
    ASSERT_TRUE(std::holds_alternative<QString>(falta));
    EXPECT_TRUE(std::get<QString>(falta).startsWith(QStringLiteral("No se pudo leer «")));
}

}  // namespace
