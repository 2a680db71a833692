#include "platform/SafeExtraction.h"

#include "support/LimiteTamano.h"
#include "support/ZipArmado.h"
#include "support/Esperar.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

using testsupport::EntradaZip;
using testsupport::escribirArchivo;
using testsupport::escribirZip;
using testsupport::leerArchivo;

namespace {

// Text that deflates to about half: neither a ratio alarm nor incompressible.
QByteArray textoVariado(qsizetype tamano, quint32 semilla)
{
    QRandomGenerator azar(semilla);
    QByteArray bytes(tamano, Qt::Uninitialized);
    for (qsizetype i = 0; i < tamano; ++i)
        bytes[i] = static_cast<char>('a' + azar.bounded(16));
    return bytes;
}

// Every file below `carpeta`, by relative path, with its bytes; folders end in "/".
std::map<QString, QByteArray> arbol(const QString& carpeta)
{
    std::map<QString, QByteArray> resultado;
    QDirIterator it(carpeta, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    const QDir base(carpeta);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString relativo = base.relativeFilePath(info.filePath());
        if (info.isSymLink())
            resultado[relativo] = "<enlace>";
        else if (info.isDir())
            resultado[relativo + "/"] = {};
        else
            resultado[relativo] = leerArchivo(info.filePath());
    }
    return resultado;
}

class SafeExtractionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(dir_.filePath("a/b")));
        ASSERT_TRUE(escribirArchivo(centinela(), "centinela"));
    }
    QString archivo() const { return dir_.filePath("paquete.zip"); }
    QString destino() const { return dir_.filePath("a/b/destino"); }
    QString centinela() const { return dir_.filePath("a/b/x"); }

    // Nothing but the sentinel beside the destination, and the sentinel as it was.
    void nadaEscrito(const std::string& caso) const
    {
        EXPECT_EQ(QDir(dir_.filePath("a/b")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList({"x"}))
            << caso;
        EXPECT_EQ(leerArchivo(centinela()), "centinela") << caso;
        EXPECT_EQ(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList({"a", "paquete.zip"}))
            << caso;
    }

    QTemporaryDir dir_;
};

}  // namespace

TEST_F(SafeExtractionTest, HostileArchivesAreRefusedBeforeAnythingLandsOutside)
{
    struct Caso {
        std::string titulo;
        std::vector<EntradaZip> entradas;
        QString enElMensaje;
        platform::ZipExtractionLimits limites = {};
        std::function<bool(const QString&)> retoque = {};
    };
    const QByteArray ceros50(50 << 20, '\0');
    std::vector<QByteArray> veinteMil;
    for (int i = 0; i < 20000; ++i)
        veinteMil.push_back(QByteArray::number(i));
    platform::ZipExtractionLimits diezMegas;
    diezMegas.maxTotalBytes = 10 << 20;
    platform::ZipExtractionLimits ratioCien;
    ratioCien.maxRatio = 100;

    const std::vector<Caso> casos = {
        {"sube", {{"proyecto.json", "{}"}, {"../x", "fuera"}}, "«../x»"},
        {"absoluta", {{"/abs-quelva-prueba.txt", "fuera"}}, "«/abs-quelva-prueba.txt»"},
        {"sube desde carpeta", {{"modelos/", {}, 0, true}, {"modelos/../../x", "fuera"}}, "«modelos/../../x»"},
        {"barra invertida", {{"a\\..\\..\\x", "fuera"}}, "«a\\..\\..\\x»"},
        {"letra de unidad", {{"C:/x", "fuera"}}, "«C:/x»"},
        {"enlace y archivo a través de él",
         {{"enlace", "..", S_IFLNK | 0777}, {"enlace/x", "fuera"}},
         "«enlace» es un enlace simbólico"},
        {"fifo", {{"tubo", {}, S_IFIFO | 0644}}, "«tubo» no es un archivo ni una carpeta"},
        {"dispositivo", {{"disco", {}, S_IFBLK | 0644}}, "«disco» no es un archivo ni una carpeta"},
        {"nombres repetidos", {{"a.txt", "uno"}, {"b.txt", "dos"}}, "«a.txt» está repetida", {},
         [](const QString& ruta) {
             QByteArray z = leerArchivo(ruta);
             z.replace("b.txt", "a.txt");
             return escribirArchivo(ruta, z);
         }},
        {"repetidos tras normalizar", {{"modelos/p.ifc", "uno"}, {"modelos//./p.ifc", "dos"}}, "«modelos//./p.ifc»"},
        {"archivo y carpeta con el mismo nombre", {{"m", "uno"}, {"m/", {}, 0, true}}, "«m/» está repetida"},
        {"dentro de un archivo", {{"m", "uno"}, {"m/p.ifc", "dos"}}, "«m/p.ifc» queda dentro de «m»"},
        {"20000 entradas", {}, "20000 entradas", {},
         [&](const QString& ruta) { return testsupport::escribirZipVacios(ruta, veinteMil); }},
        {"50 MB de ceros con límite de 10 MB", {{"ceros.bin", ceros50}}, "supera el límite de 10.0 MiB", diezMegas},
        {"expansión excesiva", {{"ceros.bin", QByteArray(1 << 20, '\0')}}, "«ceros.bin» se expande más de 100 veces",
         ratioCien},
        {"cabecera que declara menos", {{"grande.bin", textoVariado(1 << 20, 7)}}, "«grande.bin»", {},
         [](const QString& ruta) { return testsupport::declararTamano(ruta, 1000); }},
    };
    for (const Caso& c : casos) {
        QFile::remove(archivo());
        ASSERT_TRUE(escribirZip(archivo(), c.entradas)) << c.titulo;
        if (c.retoque) {
            ASSERT_TRUE(c.retoque(archivo())) << c.titulo;
        }
        const auto error = platform::extractZipSafely(archivo(), destino(), c.limites);
        ASSERT_TRUE(error.has_value()) << c.titulo;
        EXPECT_TRUE(error->contains(c.enElMensaje)) << c.titulo << ": " << error->toStdString();
        nadaEscrito(c.titulo);
        EXPECT_FALSE(QFile::exists("/abs-quelva-prueba.txt"));
    }
}

TEST_F(SafeExtractionTest, AnArchiveWrittenByZipComesOutWhole)
{
    const QString zip = QStandardPaths::findExecutable("zip");
    ASSERT_FALSE(zip.isEmpty()) << "zip is missing: scripts/setup installs it";
    QTemporaryDir fuente;
    const QDir f(fuente.path());
    ASSERT_TRUE(f.mkpath("modelos/vacía"));
    ASSERT_TRUE(escribirArchivo(f.filePath("proyecto.json"), "{\"version\": 2}"));
    ASSERT_TRUE(escribirArchivo(f.filePath("modelos/planta.ifc"), textoVariado(300000, 1)));
    ASSERT_TRUE(escribirArchivo(f.filePath("modelos/Señalética.ifc"), QByteArray()));
    QProcess p;
    p.setWorkingDirectory(fuente.path());
    p.start(zip, {"-r", "-q", archivo(), "."});
    ASSERT_TRUE(p.waitForFinished(testsupport::kLimiteCuelgue));
    ASSERT_EQ(p.exitCode(), 0);

    ASSERT_EQ(platform::extractZipSafely(archivo(), destino()), std::nullopt);
    EXPECT_EQ(arbol(destino()), arbol(fuente.path()));
    EXPECT_EQ(QDir(dir_.filePath("a/b")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList({"destino", "x"}));
}

TEST_F(SafeExtractionTest, BackslashesAndDotsBecomePlainFolders)
{
    ASSERT_TRUE(escribirZip(archivo(), {{"./proyecto.json", "{}"}, {"modelos\\planta.ifc", "ISO"}}));
    ASSERT_EQ(platform::extractZipSafely(archivo(), destino()), std::nullopt);
    EXPECT_EQ(arbol(destino()), (std::map<QString, QByteArray>{
                                    {"modelos/", {}}, {"modelos/planta.ifc", "ISO"}, {"proyecto.json", "{}"}}));
}

TEST_F(SafeExtractionTest, AnExistingFolderIsNeverWrittenInto)
{
    ASSERT_TRUE(escribirZip(archivo(), {{"proyecto.json", "{}"}}));
    ASSERT_TRUE(QDir().mkpath(destino()));
    ASSERT_TRUE(escribirArchivo(destino() + "/mio.txt", "mío"));
    ASSERT_TRUE(QDir().mkpath(destino() + ".partial"));
    const auto error = platform::extractZipSafely(archivo(), destino());
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(arbol(destino()), (std::map<QString, QByteArray>{{"mio.txt", "mío"}}));
}

TEST_F(SafeExtractionTest, AWriteCutShortLeavesNoPartialFolder)
{
    ASSERT_TRUE(escribirZip(archivo(), {{"proyecto.json", "{}"}, {"modelos/grande.ifc", textoVariado(2 << 20, 3)}}));
    std::optional<QString> error;
    {
        const testsupport::LimiteTamano limite(1 << 20);
        error = platform::extractZipSafely(archivo(), destino());
    }
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->contains("«modelos/grande.ifc»")) << error->toStdString();
    EXPECT_TRUE(error->contains("supera el tamaño permitido")) << error->toStdString();
    nadaEscrito("límite de tamaño");
}

TEST_F(SafeExtractionTest, WhatIsNotAZipIsNamedInSpanish)
{
    ASSERT_TRUE(escribirArchivo(archivo(), "no soy un zip"));
    const auto error = platform::extractZipSafely(archivo(), destino());
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(*error, QString("No se pudo abrir «%1»: no es un archivo zip.").arg(archivo()));
    nadaEscrito("no es zip");
}

TEST(SafeEntryPath, NamesBecomePathsBelowTheFolderOrAreRefused)
{
    const std::vector<std::pair<QString, QString>> buenos = {
        {"proyecto.json", "proyecto.json"}, {"modelos/", "modelos"}, {"modelos\\p.ifc", "modelos/p.ifc"},
        {"./a//b/", "a/b"},                 {"a..b/c..", "a..b/c.."},
    };
    for (const auto& [nombre, ruta] : buenos) {
        const auto r = platform::safeEntryPath(nombre);
        EXPECT_EQ(r.refusal, std::nullopt) << nombre.toStdString();
        EXPECT_EQ(r.path, ruta) << nombre.toStdString();
    }
    for (const QString nombre : {"", "/etc/passwd", "\\x", "c:x", "../../../etc/passwd", "a/..", "./", "modelos/.."}) {
        const auto r = platform::safeEntryPath(nombre);
        EXPECT_TRUE(r.refusal.has_value()) << nombre.toStdString();
        EXPECT_TRUE(r.path.isEmpty()) << nombre.toStdString();
    }
}
