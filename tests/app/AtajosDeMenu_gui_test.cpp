// The menu's shortcuts work while a tool window is the active one, as they do in the main window;
// a sheet holds them back and a window's own shortcut for the same keys wins.

#include "app/QUELVAApp.h"

#include "clash/Interferencia.h"
#include "main_window/ContentView.h"
#include "scene/Primitives.h"
#include "support/Activar.h"
#include "support/CajaEnVentana.h"
#include "support/Esperar.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <map>

using namespace quelva;

namespace {

// The main window's menu actions that have a shortcut, their work replaced by a count.
struct AccionesContadas {
    std::map<QAction*, int> veces;

    explicit AccionesContadas(QMainWindow& principal)
    {
        for (QAction* m : principal.menuBar()->actions())
            if (m->menu())
                for (QAction* a : m->menu()->actions())
                    if (!a->shortcut().isEmpty()) {
                        QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
                        QObject::connect(a, &QAction::triggered, [this, a] { ++veces[a]; });
                        veces[a] = 0;
                    }
    }
    void poner0()
    {
        for (auto& [a, n] : veces)
            n = 0;
    }
    // How often each action ran, by its text, leaving out those that did not.
    std::map<QString, int> corridas() const
    {
        std::map<QString, int> r;
        for (const auto& [a, n] : veces)
            if (n)
                r[a->text()] = n;
        return r;
    }
};

using testsupport::activarVentana;

}  // namespace

TEST(AtajosDeMenu, EachToolWindowRunsTheMainWindowsMenuCommands)
{
    QUELVAApp app;
    QMainWindow& principal = *app.ventanaPrincipal();
    ContentView& v = *app.contentView();
    testsupport::agregarCaja(v, "IfcWall/Muro", {0, 0, 0}, {2, 1, 3});
    principal.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&principal, testsupport::kLimiteCuelgue));
    AccionesContadas acciones(principal);
    ASSERT_EQ(acciones.veces.size(), 6u);

    // Each window as the command that opens it leaves it: in front and active.
    const struct {
        const char* nombre;
        std::function<QWidget*()> abrir;
    } ventanas[] = {
        {"timeline",
         [&] {
             v.abrirVentanaTimeLiner();
             return v.timeline.timeLinerWindows.back().data();
         }},
        {"reporte de interferencias",
         [&] {
             v.mostrarReporteAnalisis(AnalisisInterferencias{});
             return v.ventanas.reportWindows.back().data();
         }},
        {"plano 2D",
         [&] {
             v.secciones.seccionPosicion = 1.5;
             v.generarPlano2D();
             return v.secciones.vista2DWindows.isEmpty() ? nullptr : v.secciones.vista2DWindows.back().data();
         }},
        {"QTO",
         [&] {
             v.abrirQTO();
             return v.ventanas.reportWindows.back().data();
         }},
    };
    const struct {
        QKeySequence teclas;
        const char* accion;
    } atajos[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_O), "Abrir IFC..."},
        {QKeySequence(Qt::CTRL | Qt::Key_S), "Guardar proyecto"},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), "Abrir proyecto..."},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), "Exportar paquete compartible..."},
        {QKeySequence(Qt::CTRL | Qt::Key_Q), "Salir"},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Q), "Cuantificación (QTO)..."},
    };
    for (const auto& w : ventanas) {
        QWidget* ventana = w.abrir();
        ASSERT_NE(ventana, nullptr) << w.nombre;
        ASSERT_NE(ventana, &principal) << w.nombre;
        ACTIVAR_VENTANA_O_SALTAR(*ventana);
        for (const auto& a : atajos) {
            SCOPED_TRACE(std::string(w.nombre) + " / " + a.teclas.toString().toStdString());
            ASSERT_TRUE(activarVentana(*ventana));
            acciones.poner0();
            QTest::keySequence(ventana, a.teclas);
            testsupport::entregarEventos();
            EXPECT_EQ(acciones.corridas(), (std::map<QString, int>{{QString::fromUtf8(a.accion), 1}}));
        }
        ventana->close();
    }
}

TEST(AtajosDeMenu, SheetsHoldTheCommandsBackAndAWindowsOwnShortcutWins)
{
    QUELVAApp app;
    QMainWindow& principal = *app.ventanaPrincipal();
    principal.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&principal, testsupport::kLimiteCuelgue));
    AccionesContadas acciones(principal);
    const QKeySequence guardar(Qt::CTRL | Qt::Key_S);
    const QString guardarProyecto = QStringLiteral("Guardar proyecto");

    QWidget herramienta(nullptr, Qt::Window);
    herramienta.resize(300, 200);
    herramienta.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&herramienta, testsupport::kLimiteCuelgue));
    ACTIVAR_VENTANA_O_SALTAR(herramienta);
    QTest::keySequence(&herramienta, guardar);
    EXPECT_EQ(acciones.corridas(), (std::map<QString, int>{{guardarProyecto, 1}}));

    // A sheet on the tool window: the keys are the sheet's.
    {
        acciones.poner0();
        QDialog hoja(&herramienta);
        hoja.setWindowModality(Qt::WindowModal);
        hoja.show();
        ASSERT_TRUE(activarVentana(hoja));
        QTest::keySequence(&hoja, guardar);
        testsupport::entregarEventos();
        EXPECT_TRUE(acciones.corridas().empty());
    }

    // A sheet on the main window answers first, as it does for the menu there.
    {
        acciones.poner0();
        QDialog hoja(&principal);
        hoja.setWindowModality(Qt::WindowModal);
        hoja.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&hoja, testsupport::kLimiteCuelgue));
        ASSERT_TRUE(activarVentana(herramienta));
        QTest::keySequence(&herramienta, guardar);
        testsupport::entregarEventos();
        EXPECT_TRUE(acciones.corridas().empty());
    }

    // The window binds the keys itself, after it first came forward: its own shortcut runs.
    acciones.poner0();
    int propias = 0;
    auto* propio = new QShortcut(guardar, &herramienta);
    QObject::connect(propio, &QShortcut::activated, [&propias] { ++propias; });
    ASSERT_TRUE(activarVentana(principal));
    ASSERT_TRUE(activarVentana(herramienta));
    QTest::keySequence(&herramienta, guardar);
    testsupport::entregarEventos();
    EXPECT_EQ(propias, 1);
    EXPECT_TRUE(acciones.corridas().empty());
}
