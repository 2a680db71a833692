// The layers over the 3D view: the processing overlay and the welcome screen's fade.

#include "federation/ControladorFederacion.h"
#include "main_window/ColumnaViewport.h"
#include "main_window/ContentView.h"
#include "main_window/bienvenida/PantallaBienvenida.h"
#include "platform/Resources.h"
#include "project/ProyectoQUELVA.h"
#include "support/Capturas.h"
#include "support/Esperar.h"
#include "support/Fixtures.h"
#include "viewport/BarraViewport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

using namespace quelva;

TEST(ColumnaViewport, OverlayNamesTheDisciplineTheFileWasChosenForAndSitsTopTrailing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString puerta = dir.filePath("puerta");
    platform::Resources::setBundleDir(testsupport::fixturePath("federation/conv"));
    qputenv("QUELVA_CONV_ESPERA", puerta.toUtf8());
    qputenv("QUELVA_CONV_OBJ", testsupport::fixturePath("federation/conv/dos_muros.obj").toUtf8());

    ContentView v;
    v.resize(1440, 900);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    v.seleccionarArchivoIFC({testsupport::fixturePath("federation/conv/muros_a.ifc")});
    ColumnaViewport& columna = *v.columnaViewport();
    ESPERAR_QUE(columna.overlayProcesando()->isVisible());

    // Another discipline is selected while the file converts: the overlay keeps naming the first.
    v.federacion.seleccionActual = "EST";
    v.refrescar();
    EXPECT_EQ(columna.textoProcesando(), "Procesando Arquitectura...");

    // Top trailing, beside the toolbar's buttons and not over them, inside the column.
    const QRect overlay = columna.overlayProcesando()->geometry();
    EXPECT_FALSE(columna.zonaBarra().intersects(overlay));
    EXPECT_TRUE(columna.rect().contains(overlay));
    EXPECT_GT(overlay.center().x(), columna.width() / 2);
    EXPECT_LT(overlay.top(), columna.height() / 8);
    testsupport::guardarCaptura(v, "overlay_procesando");

    QFile(puerta).open(QIODevice::WriteOnly);
    ESPERAR_QUE(!v.federacion.isProcessing);
    ASSERT_FALSE(v.federacion.showError) << v.federacion.errorMessage.value_or("").toStdString();
    EXPECT_EQ(v.federacion.especialidades.at("ARQ").modelos.size(), 1u);
    EXPECT_TRUE(v.federacion.especialidades.at("EST").modelos.empty());
    EXPECT_FALSE(columna.overlayProcesando()->isVisible());

    qunsetenv("QUELVA_CONV_ESPERA");
    qunsetenv("QUELVA_CONV_OBJ");
    platform::Resources::setBundleDir(QString());
}

TEST(ColumnaViewport, OverlayShowsWhileARestoreConvertsAndNamesTheComparisonVersionThatLoads)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    platform::Resources::setBundleDir(testsupport::fixturePath("federation/conv"));
    qputenv("QUELVA_CONV_OBJ", testsupport::fixturePath("federation/conv/dos_muros.obj").toUtf8());
    ContentView v;
    v.resize(1440, 900);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
    ColumnaViewport& columna = *v.columnaViewport();

    struct Caso {
        const char* nombre;
        std::function<void()> empezar;
        const char* texto;
    };
    const Caso casos[] = {
        {"restoring a project converts its saved model",
         [&] {
             ProyectoQUELVA proyecto;
             proyecto.ordenEspecialidades = {"ARQ", "EST"};
             EspecialidadGuardada est;
             est.key = "EST";
             est.nombre = "Estructura";
             est.icono = "building.columns";
             ModeloGuardado m;
             m.nombre = "muros_a.ifc";
             m.rutaAbsoluta = testsupport::fixturePath("federation/conv/muros_a.ifc");
             est.modelos = {m};
             EspecialidadGuardada arq = est;
             arq.key = "ARQ";
             arq.nombre = "Arquitectura";
             arq.modelos.clear();
             proyecto.especialidades = {arq, est};
             v.restaurarProyecto(proyecto, std::nullopt);
         },
         "Procesando Estructura..."},
        {"the comparison's base slot loads",
         [&] { v.controladorFederacion().cargarIFCEnSlot(testsupport::fixturePath("federation/conv/muros_a.ifc"), "BASE"); },
         "Procesando versión base..."},
        {"the comparison's new slot loads",
         [&] { v.controladorFederacion().cargarIFCEnSlot(testsupport::fixturePath("federation/conv/muros_b.ifc"), "NUEVO"); },
         "Procesando versión nueva..."},
    };
    int n = 0;
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        // The converter waits at this gate until the overlay has been read.
        const QString puerta = dir.filePath(QString::number(n++));
        qputenv("QUELVA_CONV_ESPERA", puerta.toUtf8());
        c.empezar();
        v.refrescar();
        EXPECT_TRUE(columna.overlayProcesando()->isVisible());
        EXPECT_EQ(columna.textoProcesando(), QString::fromUtf8(c.texto));
        QFile(puerta).open(QIODevice::WriteOnly);
        ESPERAR_QUE(!v.federacion.isProcessing && v.controladorFederacion().restauracionesEnCurso() == 0);
        ASSERT_FALSE(v.federacion.showError) << v.federacion.errorMessage.value_or("").toStdString();
        ESPERAR_QUE(!columna.overlayProcesando()->isVisible());
    }
    EXPECT_EQ(v.federacion.especialidades.at("EST").modelos.size(), 1u);
    EXPECT_TRUE(v.federacion.modeloBase);
    EXPECT_TRUE(v.federacion.modeloNuevo);

    qunsetenv("QUELVA_CONV_ESPERA");
    qunsetenv("QUELVA_CONV_OBJ");
    platform::Resources::setBundleDir(QString());
}

TEST(ColumnaViewport, WelcomeScreenFadesOutWhenAModelArrivesAndBackWhenItGoes)
{
    ContentView v;
    v.resize(1440, 900);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    PantallaBienvenida& bienvenida = *v.columnaViewport()->bienvenida();
    EXPECT_TRUE(bienvenida.isVisible());
    EXPECT_EQ(bienvenida.opacidad(), 1.0);

    v.modificarEspecialidades([&](auto& tabla) {
        tabla.at("ARQ").nodoRaiz = scene::Node::make();
        v.escena.scene->rootNode()->addChild(tabla.at("ARQ").nodoRaiz);
    });
    v.refrescar();
    // Still there, fading; gone once the fade is over.
    EXPECT_TRUE(bienvenida.isVisible());
    ESPERAR_QUE(!bienvenida.isVisible());
    EXPECT_EQ(bienvenida.opacidad(), 0.0);

    v.modificarEspecialidades([&](auto& tabla) {
        tabla.at("ARQ").nodoRaiz->removeFromParent();
        tabla.at("ARQ").nodoRaiz.reset();
    });
    v.refrescar();
    EXPECT_TRUE(bienvenida.isVisible());
    EXPECT_LT(bienvenida.opacidad(), 1.0);
    ESPERAR_QUE(bienvenida.opacidad() == 1.0);
    EXPECT_TRUE(bienvenida.isVisible());
}
