#include "app/AboutView.h"
#include "app/QUELVAApp.h"
#include "app/TraduccionesQt.h"

#include "main_window/ContentView.h"
#include "platform/NotificationCenter.h"
#include "platform/OpenWithDefault.h"
#include "platform/Resources.h"
#include "support/Activar.h"
#include "support/Fixtures.h"
#include "support/Esperar.h"

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QFile>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

#include <map>
#include <memory>

using quelva::QUELVAApp;

namespace {

// "" stands for a divider.
struct Entrada {
    QString texto;
    QKeySequence atajo;
};

QMenu* menuTitulado(QMenuBar* barra, const QString& titulo)
{
    for (QAction* a : barra->actions())
        if (a->menu() && a->text() == titulo)
            return a->menu();
    return nullptr;
}

QAction* accion(QMenuBar* barra, const QString& texto)
{
    for (QAction* m : barra->actions())
        if (m->menu())
            for (QAction* a : m->menu()->actions())
                if (a->text() == texto)
                    return a;
    return nullptr;
}

int ventanasTituladas(const QString& titulo)
{
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowTitle() == titulo)
            ++n;
    return n;
}

QWidget* ventanaTitulada(const QString& titulo)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowTitle() == titulo)
            return w;
    return nullptr;
}

// The main window answers commands with dialogs of its own; they are closed as
// soon as they appear (a timer keeps running inside a modal dialog's loop too).
class CierraDialogos {
public:
    explicit CierraDialogos(QWidget* principal) : principal_(principal)
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { cerrar(); });
        timer_.start(20);
    }
    void cerrar()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != principal_ && w->isVisible() && !qobject_cast<QMenu*>(w))
                w->close();
    }

private:
    QWidget* principal_;
    QTimer timer_;
};

}  // namespace

TEST(QUELVAApp, MainWindowIsTitledAndSized)
{
    QUELVAApp app;
    QMainWindow* w = app.ventanaPrincipal();
    EXPECT_EQ(w->windowTitle(), "QUELVA");
    EXPECT_EQ(w->minimumSize(), QSize(1100, 700));
    EXPECT_EQ(w->size(), QSize(1440, 900));
    EXPECT_EQ(w->centralWidget(), app.contentView());
    w->resize(300, 200);
    EXPECT_EQ(w->size(), QSize(1100, 700));
}

TEST(QUELVAApp, MenusHaveTheirItemsDividersAndShortcutsInOrder)
{
    QUELVAApp app;
    QMenuBar* barra = app.ventanaPrincipal()->menuBar();
    const auto ctrl = [](int k) { return QKeySequence(Qt::CTRL | k); };
    const auto ctrlShift = [](int k) { return QKeySequence(Qt::CTRL | Qt::SHIFT | k); };
    const std::vector<std::pair<QString, std::vector<Entrada>>> esperado = {
        {"Archivo",
         {{"Abrir IFC...", ctrl(Qt::Key_O)},
          {"", {}},
          {"Guardar proyecto", ctrl(Qt::Key_S)},
          {"Abrir proyecto...", ctrlShift(Qt::Key_O)},
          {"", {}},
          {"Exportar paquete compartible...", ctrlShift(Qt::Key_E)},
          {"Abrir paquete compartible...", {}},
          {"", {}},
          {"Salir", ctrl(Qt::Key_Q)}}},
        {"Herramientas", {{QString::fromUtf8("Cuantificación (QTO)..."), ctrlShift(Qt::Key_Q)}}},
        {"Ayuda", {{"Road Map QUELVA", {}}, {"Acerca de QUELVA", {}}}},
    };

    QStringList titulos;
    for (QAction* a : barra->actions())
        titulos << a->text();
    EXPECT_EQ(titulos, (QStringList{"Archivo", "Herramientas", "Ayuda"}));

    for (const auto& [titulo, entradas] : esperado) {
        QMenu* menu = menuTitulado(barra, titulo);
        ASSERT_NE(menu, nullptr) << titulo.toStdString();
        const QList<QAction*> acciones = menu->actions();
        ASSERT_EQ(acciones.size(), qsizetype(entradas.size())) << titulo.toStdString();
        for (size_t i = 0; i < entradas.size(); ++i) {
            QAction* a = acciones[qsizetype(i)];
            if (entradas[i].texto.isEmpty()) {
                EXPECT_TRUE(a->isSeparator()) << titulo.toStdString() << " #" << i;
                continue;
            }
            EXPECT_FALSE(a->isSeparator());
            EXPECT_EQ(a->text(), entradas[i].texto);
            EXPECT_EQ(a->shortcut(), entradas[i].atajo) << a->text().toStdString();
            // Three full stops, never the ellipsis character.
            EXPECT_FALSE(a->text().contains(QChar(0x2026)));
        }
    }
}

TEST(QUELVAApp, QuitClosesTheWindows)
{
    QUELVAApp app;
    app.ventanaPrincipal()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(app.ventanaPrincipal(), testsupport::kLimiteCuelgue));
    // The test runner's own event loop must outlive the windows.
    QApplication::setQuitOnLastWindowClosed(false);
    QAction* salir = accion(app.ventanaPrincipal()->menuBar(), "Salir");
    ASSERT_NE(salir, nullptr);
    salir->trigger();
    EXPECT_FALSE(app.ventanaPrincipal()->isVisible());
    QApplication::setQuitOnLastWindowClosed(true);
}

TEST(QUELVAApp, QtsOwnDialogsAndButtonsReadInSpanish)
{
    QTranslator* traductor = quelva::instalarTraduccionesQt(*qApp);
    ASSERT_NE(traductor, nullptr) << "Qt's Spanish catalogue is missing (scripts/setup installs it)";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancelar");
    QColorDialog color;
    EXPECT_NE(color.windowTitle(), "Select Color");
    EXPECT_FALSE(color.windowTitle().isEmpty());
    QCoreApplication::removeTranslator(traductor);
    delete traductor;
}

TEST(QUELVAApp, EachProjectCommandPostsExactlyItsOwnNotification)
{
    QUELVAApp app;
    QMenuBar* barra = app.ventanaPrincipal()->menuBar();
    namespace N = platform::NotificationName;
    const std::map<QString, QString> comandos = {
        {"Abrir IFC...", N::abrirIFC},
        {"Guardar proyecto", N::guardarProyecto},
        {"Abrir proyecto...", N::abrirProyecto},
        {"Exportar paquete compartible...", N::exportarPaquete},
        {"Abrir paquete compartible...", N::importarPaquete},
        {QString::fromUtf8("Cuantificación (QTO)..."), N::abrirQTO},
    };
    QObject contexto;
    std::map<QString, int> recibidas;
    for (const auto& [texto, nombre] : comandos)
        platform::NotificationCenter::defaultCenter().subscribe(nombre, &contexto,
                                                                [&recibidas, n = nombre] { ++recibidas[n]; });

    CierraDialogos cierra(app.ventanaPrincipal());
    for (const auto& [texto, nombre] : comandos) {
        recibidas.clear();
        QAction* a = accion(barra, texto);
        ASSERT_NE(a, nullptr) << texto.toStdString();
        a->trigger();
        ASSERT_EQ(recibidas.size(), 1u) << texto.toStdString();
        EXPECT_EQ(recibidas.begin()->first, nombre);
        EXPECT_EQ(recibidas.begin()->second, 1);
    }
}

TEST(QUELVAApp, ShortcutKeysPostTheirCommands)
{
    QUELVAApp app;
    QMainWindow* w = app.ventanaPrincipal();
    w->show();
    ACTIVAR_VENTANA_O_SALTAR(*w);
    namespace N = platform::NotificationName;
    QObject contexto;
    std::map<QString, int> recibidas;
    for (const char* nombre : {N::abrirIFC, N::guardarProyecto, N::abrirProyecto, N::exportarPaquete, N::abrirQTO})
        platform::NotificationCenter::defaultCenter().subscribe(nombre, &contexto,
                                                                [&recibidas, n = QString(nombre)] { ++recibidas[n]; });
    const struct { QKeySequence teclas; const char* nombre; } casos[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_O), N::abrirIFC},
        {QKeySequence(Qt::CTRL | Qt::Key_S), N::guardarProyecto},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), N::abrirProyecto},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), N::exportarPaquete},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Q), N::abrirQTO},
    };
    CierraDialogos cierra(w);
    for (const auto& c : casos) {
        cierra.cerrar();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w, testsupport::kLimiteCuelgue)) << c.nombre;
        recibidas.clear();
        QTest::keySequence(w, c.teclas);
        QApplication::processEvents();
        EXPECT_EQ(recibidas, (std::map<QString, int>{{c.nombre, 1}})) << c.nombre;
    }
    w->close();
}

TEST(QUELVAApp, RoadMapOpensTheBundleResourceOnlyWhenPresent)
{
    QTemporaryDir bundle;
    ASSERT_TRUE(bundle.isValid());
    QList<QUrl> abiertas;
    platform::setDefaultApplicationOpener([&](const QUrl& url) {
        abiertas << url;
        return true;
    });
    platform::Resources::setBundleDir(bundle.path());
    QUELVAApp app;
    QAction* roadMap = accion(app.ventanaPrincipal()->menuBar(), "Road Map QUELVA");
    ASSERT_NE(roadMap, nullptr);

    roadMap->trigger();
    EXPECT_TRUE(abiertas.isEmpty());

    QFile f(bundle.filePath("ROADMAP.md"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("# Hoja de ruta\n");
    f.close();
    roadMap->trigger();
    ASSERT_EQ(abiertas.size(), 1);
    EXPECT_EQ(abiertas[0], QUrl::fromLocalFile(QFileInfo(f).absoluteFilePath()));

    platform::Resources::setBundleDir({});
    platform::setDefaultApplicationOpener({});
}

TEST(QUELVAApp, BundleCarriesTheRoadMapAndALogo)
{
    const QString dir = testsupport::bundleDir();
    EXPECT_TRUE(QFile::exists(dir + "/ROADMAP.md"));
    const QImage logo(dir + "/logoQUELVA.png");
    ASSERT_FALSE(logo.isNull());
    EXPECT_GE(logo.width(), 128);
    EXPECT_EQ(logo.width(), logo.height());
}

TEST(AcercaDe, StaysASingleWindowBroughtBackToTheFront)
{
    QUELVAApp app;
    QAction* acerca = accion(app.ventanaPrincipal()->menuBar(), "Acerca de QUELVA");
    ASSERT_NE(acerca, nullptr);
    acerca->trigger();
    ASSERT_EQ(ventanasTituladas("Acerca de QUELVA"), 1);
    QWidget* ventana = ventanaTitulada("Acerca de QUELVA");
    EXPECT_TRUE(ventana->isVisible());
    EXPECT_EQ(ventana->width(), 340);
    EXPECT_FALSE(ventana->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(ventana->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(ventana->testAttribute(Qt::WA_QuitOnClose));

    acerca->trigger();
    EXPECT_EQ(ventanasTituladas("Acerca de QUELVA"), 1);

    // Closed, it is found again and shown, not made anew.
    ventana->close();
    acerca->trigger();
    EXPECT_EQ(ventanasTituladas("Acerca de QUELVA"), 1);
    EXPECT_EQ(ventanaTitulada("Acerca de QUELVA"), ventana);
    EXPECT_TRUE(ventana->isVisible());
    delete ventana;
}

TEST(AcercaDe, AWindowAlreadyCarryingTheTitleIsBroughtForwardInstead)
{
    auto otra = std::make_unique<QWidget>();
    otra->setWindowTitle("Acerca de QUELVA");
    quelva::mostrarAcercaDe();
    EXPECT_EQ(ventanasTituladas("Acerca de QUELVA"), 1);
    EXPECT_TRUE(otra->isVisible());
}
