// Quitting with unsaved work asks first, whether by "Salir" (Ctrl+Q) or by closing the window;
// nothing changed, nothing is asked.

#include "app/QUELVAApp.h"

#include "main_window/ContentView.h"
#include "project/GestorProyecto.h"
#include "support/Esperar.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using quelva::QUELVAApp;

namespace {

QAction* accionSalir(QMainWindow* ventana)
{
    for (QAction* m : ventana->menuBar()->actions())
        if (m->menu())
            for (QAction* a : m->menu()->actions())
                if (a->text() == "Salir")
                    return a;
    return nullptr;
}

QMessageBox* pregunta(const QUELVAApp& app)
{
    auto* alerta = qobject_cast<QMessageBox*>(app.contentView()->dialogoActivo());
    return alerta && alerta->text() == "¿Guardar los cambios del proyecto?" ? alerta : nullptr;
}

bool esperar(const std::function<bool()>& condicion)
{
    return testsupport::esperarQue(condicion);
}

QByteArray leer(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class Salir : public ::testing::Test {
protected:
    // The test runner's own event loop must outlive the window.
    void SetUp() override { QApplication::setQuitOnLastWindowClosed(false); }
    void TearDown() override { QApplication::setQuitOnLastWindowClosed(true); }
};

TEST_F(Salir, UnsavedWorkIsAskedAboutAndEachAnswerDoesWhatItSays)
{
    struct Caso {
        const char* titulo;
        bool porElMenu;  // "Salir"; else the window's close button
        const char* boton;
        bool cierra;
        bool guarda;
    };
    const Caso casos[] = {
        {"menu, cancelar", true, "botonCancelar", false, false},
        {"menu, no guardar", true, "botonNoGuardar", true, false},
        {"menu, guardar", true, "botonGuardar", true, true},
        {"ventana, cancelar", false, "botonCancelar", false, false},
        {"ventana, no guardar", false, "botonNoGuardar", true, false},
        {"ventana, guardar", false, "botonGuardar", true, true},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.titulo);
        QTemporaryDir dir;
        const QString ruta = dir.filePath("obra.json");
        QUELVAApp app;
        QMainWindow* ventana = app.ventanaPrincipal();
        ventana->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(ventana));
        app.contentView()->gestor()->establecerURL(ruta);
        app.contentView()->markup.comentarios.resize(1);
        app.contentView()->markup.comentarios[0].descripcion = "Falta una puerta";

        if (c.porElMenu)
            accionSalir(ventana)->trigger();
        else
            EXPECT_FALSE(ventana->close());
        ASSERT_TRUE(ventana->isVisible());
        QMessageBox* alerta = pregunta(app);
        ASSERT_NE(alerta, nullptr);
        QTest::mouseClick(alerta->findChild<QPushButton*>(c.boton), Qt::LeftButton);
        if (c.cierra) {
            ASSERT_TRUE(esperar([&] { return !ventana->isVisible(); }));
        } else {
            ASSERT_TRUE(esperar([&] { return pregunta(app) == nullptr; }));
            EXPECT_TRUE(ventana->isVisible());
        }
        EXPECT_EQ(leer(ruta).contains("Falta una puerta"), c.guarda);
    }
}

TEST_F(Salir, AFailedSaveKeepsTheWindowAndNothingChangedAsksNothing)
{
    QTemporaryDir dir;
    QUELVAApp app;
    QMainWindow* ventana = app.ventanaPrincipal();
    ventana->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ventana));
    // A folder that is gone: the save fails, its alert shows, the window stays.
    app.contentView()->gestor()->establecerURL(dir.filePath("borrada/obra.json"));
    app.contentView()->markup.comentarios.resize(1);
    accionSalir(ventana)->trigger();
    ASSERT_NE(pregunta(app), nullptr);
    QTest::mouseClick(pregunta(app)->findChild<QPushButton*>("botonGuardar"), Qt::LeftButton);
    ASSERT_TRUE(esperar([&] { return app.contentView()->federacion.showError; }));
    EXPECT_TRUE(app.contentView()->federacion.errorMessage->startsWith("Error al guardar: "));
    EXPECT_TRUE(ventana->isVisible());
    app.contentView()->dialogoActivo()->reject();
    ASSERT_TRUE(esperar([&] { return app.contentView()->dialogoActivo() == nullptr; }));

    // Back to what was opened: quitting asks nothing.
    app.contentView()->markup.comentarios.clear();
    EXPECT_TRUE(ventana->close());
    EXPECT_FALSE(ventana->isVisible());
    EXPECT_EQ(app.contentView()->dialogoActivo(), nullptr);
}

}  // namespace
