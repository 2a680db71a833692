// "Guardar proyecto" and "Abrir proyecto..." through the main window: the first save asks for a
// place, later ones overwrite it; failures leave the old file and the open project as they were.

#include "main_window/ContentView.h"

#include "support/Esperar.h"
#include "project/CodificacionProyecto.h"
#include "project/GestorProyecto.h"
#include "support/Fixtures.h"
#include "support/LimiteTamano.h"
#include "timeline/TimeLinerStore.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

#include <sys/stat.h>

namespace quelva {
namespace {

QByteArray leer(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void escribir(const QString& ruta, const QByteArray& bytes)
{
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(GuardarProyecto, FirstSaveAsksForAPlaceThenOverwritesIt)
{
    QTemporaryDir dir;
    ContentView v;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    v.markup.comentarios.resize(1);
    v.markup.comentarios[0].imagenJPEG.reset();

    v.guardarProyecto();
    QFileDialog* selector = nullptr;
    ESPERAR_QUE((selector = qobject_cast<QFileDialog*>(v.dialogoActivo())) != nullptr);
    EXPECT_EQ(selector->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(selector->nameFilters(), QStringList{"Proyecto QUELVA (*.json)"});
    EXPECT_EQ(selector->defaultSuffix(), "json");
    const QString ruta = dir.filePath("Obra Norte.json");
    selector->selectFile(ruta);
    static_cast<QDialog*>(selector)->accept();
    ESPERAR_QUE(v.gestor()->urlActual() == ruta);
    EXPECT_EQ(v.gestor()->nombreProyecto(), "Obra Norte");
    EXPECT_FALSE(v.proyecto.showSavePicker);
    const QByteArray primero = leer(ruta);
    EXPECT_TRUE(primero.startsWith("{\n  \"comentarios\": ["));
    EXPECT_FALSE(primero.contains("imagenJPEG"));
    EXPECT_TRUE(primero.contains("\"especialidades\": ["));

    // The second save asks nothing and rewrites the same file.
    v.markup.comentarios.clear();
    v.guardarProyecto();
    EXPECT_EQ(v.dialogoActivo(), nullptr);
    EXPECT_TRUE(leer(ruta).contains("\"comentarios\": []"));
    testsupport::entregarEventos();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Obra Norte.json"});
}

TEST(GuardarProyecto, FailedWritesLeaveTheOldFileAndTheLocation)
{
    QTemporaryDir dir;
    ContentView v;
    const QString ruta = dir.filePath("obra.json");
    const QByteArray viejo = "{\"version\": 2}\n";
    escribir(ruta, viejo);
    v.gestor()->establecerURL(ruta);

    // A write cut short by the file-size limit (it binds root too; a read-only folder does not).
    {
        testsupport::LimiteTamano limite(64);
        v.guardarProyecto();
    }
    ASSERT_TRUE(v.federacion.showError);
    EXPECT_TRUE(v.federacion.errorMessage->startsWith("Error al guardar: ")) << v.federacion.errorMessage->toStdString();
    EXPECT_EQ(leer(ruta), viejo);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"obra.json"});
    v.federacion.showError = false;

    // A folder that was deleted.
    const QString borrada = dir.filePath("borrada/obra.json");
    v.gestor()->establecerURL(borrada);
    testsupport::entregarEventos();
    v.guardarProyecto();
    ASSERT_TRUE(v.federacion.showError);
    EXPECT_TRUE(v.federacion.errorMessage->startsWith("Error al guardar: "));
    testsupport::entregarEventos();
    EXPECT_EQ(v.gestor()->urlActual(), borrada);
    EXPECT_FALSE(QFileInfo::exists(borrada));

    // A number that cannot be written: nothing touched either.
    v.gestor()->establecerURL(ruta);
    v.federacion.showError = false;
    v.secciones.seccionesGuardadas.push_back(SeccionGuardada{QUuid::createUuid(), "S", 2, std::nan("")});
    v.guardarProyecto();
    ASSERT_TRUE(v.federacion.showError);
    EXPECT_TRUE(v.federacion.errorMessage->startsWith("Error al guardar: "));
    EXPECT_EQ(leer(ruta), viejo);
}

TEST(AbrirProyecto, ABadFileLeavesTheOpenProjectUntouched)
{
    QTemporaryDir dir;
    ContentView v;
    v.markup.comentarios.resize(3);
    const QStringList orden = v.federacion.ordenEspecialidades;
    const QString bueno = dir.filePath("bueno.json");
    escribir(bueno, QByteArray::fromStdString(testsupport::readFixture("project/proyecto.json")));
    v.gestor()->establecerURL(bueno);
    testsupport::entregarEventos();

    const std::pair<const char*, QByteArray> malos[] = {
        {"cortado.json", "{\"version\": 2, \"ordenEspecialidades\": ["},
        {"fraccion.json", QByteArray::fromStdString(testsupport::readFixture("project/proyecto.json"))
                              .replace("2025-02-14T18:05:09Z", "2025-02-14T18:05:09.5Z")},
    };
    for (const auto& [nombre, bytes] : malos) {
        escribir(dir.filePath(nombre), bytes);
        v.federacion.showError = false;
        v.cargarProyecto(dir.filePath(nombre));
        ESPERAR_QUE(v.federacion.showError);
        EXPECT_TRUE(v.federacion.errorMessage->startsWith("Error al cargar el proyecto: ")) << nombre;
        EXPECT_EQ(v.markup.comentarios.size(), 3u);
        EXPECT_EQ(v.federacion.ordenEspecialidades, orden);
        EXPECT_EQ(v.gestor()->urlActual(), bueno);
    }
    v.federacion.showError = false;
    v.cargarProyecto(dir.filePath("no-existe.json"));
    ESPERAR_QUE(v.federacion.showError);
    EXPECT_TRUE(v.federacion.errorMessage->startsWith("Error al cargar el proyecto: "));

    // The good one replaces the project and names it after its file.
    v.federacion.showError = false;
    v.cargarProyecto(bueno);
    ESPERAR_QUE(v.proyecto.lecturasEnCurso == 0);
    testsupport::entregarEventos();
    EXPECT_EQ(v.gestor()->nombreProyecto(), "bueno");
    EXPECT_EQ(v.markup.comentarios.size(), 1u);
    EXPECT_EQ(v.federacion.ordenEspecialidades, QStringList({"ARQ", "EST"}));
    EXPECT_EQ(v.timeLinerStore()->config().moneda, "CLP");
}

// "Abrir proyecto..." on what is not a project file: refused with a clear reason while the window
// keeps answering (a FIFO with no writer used to hold it for good), and the open project stays.
TEST(AbrirProyecto, WhatIsNotARegularFileIsRefusedWithoutHoldingTheWindow)
{
    QTemporaryDir dir;
    ContentView v;
    v.markup.comentarios.resize(2);
    const QString bueno = dir.filePath("bueno.json");
    escribir(bueno, QByteArray::fromStdString(testsupport::readFixture("project/proyecto.json")));
    v.gestor()->establecerURL(bueno);
    testsupport::entregarEventos();
    const QString fifo = dir.filePath("tuberia.json");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString enlace = dir.filePath("enlace.json");
    ASSERT_TRUE(QFile::link(fifo, enlace));
    const QString carpeta = dir.filePath("carpeta.json");
    ASSERT_TRUE(QDir().mkpath(carpeta));

    const QString rutas[] = {fifo, enlace, carpeta, QStringLiteral("/dev/zero")};
    for (const QString& ruta : rutas) {
        SCOPED_TRACE(ruta.toStdString());
        v.federacion.showError = false;
        v.cargarProyecto(ruta);
        ESPERAR_QUE(v.federacion.showError);
        EXPECT_EQ(*v.federacion.errorMessage, "Error al cargar el proyecto: «" + ruta + "» no es un archivo.");
        EXPECT_EQ(v.markup.comentarios.size(), 2u);
        EXPECT_EQ(v.gestor()->urlActual(), bueno);
        EXPECT_EQ(v.proyecto.lecturasEnCurso, 0);
        EXPECT_FALSE(v.proyecto.avisoLectura);
    }
}

// Two opens in flight: the one asked for last is the project, whichever file is read first.
TEST(AbrirProyecto, TheLastOpenAskedForWins)
{
    QTemporaryDir dir;
    ProyectoQUELVA grande;
    grande.ordenEspecialidades = {"GRANDE"};
    ComentarioMarkup c;
    c.imagenJPEG = QByteArray(4 << 20, 'x');
    grande.comentarios = std::vector<ComentarioMarkup>(4, c);
    ProyectoQUELVA chico;
    chico.ordenEspecialidades = {"CHICO"};
    escribir(dir.filePath("grande.json"), std::get<QByteArray>(codificarProyectoQUELVA(grande)));
    escribir(dir.filePath("chico.json"), std::get<QByteArray>(codificarProyectoQUELVA(chico)));

    ContentView v;
    v.cargarProyecto(dir.filePath("grande.json"));
    v.cargarProyecto(dir.filePath("chico.json"));
    ESPERAR_QUE(v.proyecto.lecturasEnCurso == 0);
    testsupport::entregarEventos();
    EXPECT_EQ(v.federacion.ordenEspecialidades, QStringList{"CHICO"});
    EXPECT_EQ(v.gestor()->nombreProyecto(), "chico");
    EXPECT_FALSE(v.federacion.showError);
}

// What was saved is what is opened: neither the saving window nor the one that opens the file
// asks about changes nobody made.
TEST(AbrirProyecto, ASavedProjectReopensWithoutUnsavedChanges)
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("obra.json");
    ContentView guarda;
    guarda.cargarProyecto(testsupport::fixturePath("project/proyecto.json"));
    ESPERAR_QUE(guarda.federacion.ordenEspecialidades == QStringList({"ARQ", "EST"}));
    EXPECT_FALSE(guarda.hayCambiosSinGuardar());
    guarda.markup.comentarios.at(0).descripcion = "Cambiada antes de guardar";
    EXPECT_TRUE(guarda.hayCambiosSinGuardar());
    guarda.gestor()->establecerURL(ruta);
    guarda.federacion.showError = false;  // the fixture's models are nowhere: that alert is not the save's
    guarda.guardarProyecto();
    ASSERT_FALSE(guarda.federacion.showError);
    EXPECT_FALSE(guarda.hayCambiosSinGuardar());

    ContentView abre;
    abre.cargarProyecto(ruta);
    ESPERAR_QUE(abre.gestor()->urlActual() == ruta);
    EXPECT_EQ(abre.markup.comentarios.at(0).descripcion, "Cambiada antes de guardar");
    EXPECT_FALSE(abre.hayCambiosSinGuardar());
    abre.markup.comentarios.clear();
    EXPECT_TRUE(abre.hayCambiosSinGuardar());
}

TEST(AbrirProyecto, DialogIsTitledAndLimitedToProjects)
{
    ContentView v;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    v.abrirProyecto();
    QFileDialog* selector = nullptr;
    ESPERAR_QUE((selector = qobject_cast<QFileDialog*>(v.dialogoActivo())) != nullptr);
    EXPECT_EQ(selector->windowTitle(), "Abrir proyecto QUELVA");
    EXPECT_EQ(selector->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(selector->nameFilters(), QStringList{"Proyecto QUELVA (*.json)"});
    selector->reject();
    ESPERAR_QUE(v.dialogoActivo() == nullptr);
    EXPECT_EQ(v.gestor()->urlActual(), std::nullopt);
}

}  // namespace
}  // namespace quelva
