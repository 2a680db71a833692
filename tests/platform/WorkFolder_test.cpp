#include "platform/TemporaryFiles.h"
#include "platform/WorkFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdlib>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

TEST(WorkFolder, PrivateFolderIsOwnerOnlyAndHoldsWorkPaths)
{
    const QString carpeta = platform::privateWorkFolder();
    EXPECT_EQ(platform::privateWorkFolder(), carpeta);
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(carpeta).constData(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_NE(QDir(carpeta).canonicalPath(), QDir(QDir::tempPath()).canonicalPath());
    EXPECT_EQ(QFileInfo(platform::temporaryWorkPath(".obj")).absolutePath(), carpeta);

    // Removed behind our back (a cleaner of old temporary files): made again.
    ASSERT_TRUE(QDir(carpeta).removeRecursively());
    const QString otra = platform::privateWorkFolder();
    ASSERT_EQ(stat(QFile::encodeName(otra).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    QStandardPaths::setTestModeEnabled(true);
    EXPECT_TRUE(QFileInfo(platform::reportsFolder()).isDir());
}

TEST(WorkFolderDeathTest, PrivateFolderGoesWhenTheProgramEnds)
{
    // A fresh process, so the folder is that run's own.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child runs this test again from the top: it finds the note's path here.
    QTemporaryDir dir;
    if (!qEnvironmentVariableIsSet("QUELVA_NOTA_CARPETA"))
        qputenv("QUELVA_NOTA_CARPETA", QFile::encodeName(dir.filePath("carpeta.txt")));
    const QString nota = qEnvironmentVariable("QUELVA_NOTA_CARPETA");
    EXPECT_EXIT(
        {
            QFile f(nota);
            if (f.open(QIODevice::WriteOnly))
                f.write(QFile::encodeName(platform::privateWorkFolder()));
            f.close();
            QFile(platform::temporaryWorkPath(".obj")).open(QIODevice::WriteOnly);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    qunsetenv("QUELVA_NOTA_CARPETA");
    QFile f(nota);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString carpeta = QFile::decodeName(f.readAll());
    ASSERT_FALSE(carpeta.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(carpeta)) << carpeta.toStdString();
}

TEST(WorkFolder, ReportsOlderThanAWeekGo)
{
    QTemporaryDir dir;
    const QDateTime ahora(QDate(2026, 3, 10), QTime(12, 0));
    auto crear = [&](const QString& nombre, int diasAtras, bool carpeta = false) {
        const QString ruta = dir.filePath(nombre);
        if (carpeta) {
            QDir().mkpath(ruta);
        } else {
            QFile f(ruta);
            f.open(QIODevice::WriteOnly);
            f.write("x");
        }
        const timespec cuando{ahora.addDays(-diasAtras).toSecsSinceEpoch(), 0};
        const timespec tiempos[2] = {cuando, cuando};
        ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(ruta).constData(), tiempos, 0), 0);
    };
    crear("ayer.html", 1);
    crear("seis.html", 6);
    crear("ocho.html", 8);
    crear(".oculto.html", 30);
    crear("viejo", 10, true);
    EXPECT_EQ(platform::removeOldReports(dir.path(), ahora), 3);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name),
              QStringList({"ayer.html", "seis.html"}));
}
