// The main window end to end: link a real IFC file through the importer's completion, select an
// element in the 3D view, read it in the inspector, and unlink its model with the confirmation.

#include "main_window/ColumnaViewport.h"
#include "main_window/ContentView.h"
#include "main_window/bienvenida/PantallaBienvenida.h"
#include "main_window/dialogos/HojaNuevaEspecialidad.h"
#include "main_window/inspector/ColumnaInspector.h"
#include "platform/Resources.h"
#include "render/SceneView.h"
#include "support/Buscar.h"
#include "support/Capturas.h"
#include "support/Esperar.h"
#include "platform/Queues.h"
#include "support/Fixtures.h"
#include "timeline/HojasTimeLiner.h"
#include "timeline/detector/ui/DetectorAWPView.h"
#include "timeline/editor/ui/EditorPaqueteView.h"
#include "timeline/ui/TimeLinerView.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace quelva;
using testsupport::alertaVisible;
using testsupport::hijoVisible;

namespace {

std::map<QString, QString> filasInspector(const ContentView& v)
{
    std::map<QString, QString> filas;
    for (QWidget* fila : v.columnaInspector()->findChildren<QWidget*>("fila"))
        if (fila->isVisibleTo(v.columnaInspector()))
            filas[fila->property("etiqueta").toString()] = fila->property("valor").toString();
    return filas;
}

}  // namespace

TEST(VentanaPrincipal, LinksSelectsInspectsAndUnlinksAModel)
{
    platform::Resources::setBundleDir(testsupport::bundleDir());
    ContentView v;
    v.resize(1440, 900);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));

    // Nothing loaded: the welcome screen covers the 3D view.
    EXPECT_TRUE(v.columnaViewport()->bienvenida()->isVisible());

    v.seleccionarArchivoIFC({testsupport::fixturePath("federation/modelo_arq.ifc")});
    EXPECT_TRUE(v.columnaViewport()->overlayProcesando()->isVisible());
    EXPECT_EQ(v.columnaViewport()->textoProcesando(), "Procesando Arquitectura...");
    ESPERAR_QUE(v.hayModelosCargados() && !v.federacion.isProcessing);
    ASSERT_FALSE(v.federacion.showError) << v.federacion.errorMessage.value_or("").toStdString();
    EXPECT_FALSE(v.columnaViewport()->overlayProcesando()->isVisible());
    ESPERAR_QUE(!v.columnaViewport()->bienvenida()->isVisible());  // after its fade
    EXPECT_EQ(v.federacion.fileName, "modelo_arq.ifc");

    // Let the camera frame the model (the fit starts 0.15 s after insertion), then click the south wall's outer face.
    render::SceneView* vista3D = v.columnaViewport()->vista3D();
    ESPERAR_QUE(platform::MainQueue::delayedPending() == 0 && !vista3D->isAnimatingCamera());
    const scene::Vec3 punto = vista3D->projectPoint({2.0, 0.0, 1.5});
    QTest::mouseClick(vista3D, Qt::LeftButton, Qt::NoModifier, QPoint(int(punto.x), int(punto.y)));
    ASSERT_TRUE(v.seleccion.nodoSeleccionado);
    EXPECT_EQ(v.seleccion.nombreSeleccionado, "Muro-Sur");
    const scene::Material& material = *v.seleccion.nodoSeleccionado->geometry->firstMaterial();
    EXPECT_EQ(material.emission.contents, scene::Contents(scene::Color{1.0, 0.85, 0.0, 1.0}));

    // Freshly built rows are shown by the next turn of the event loop.
    ESPERAR_QUE(!filasInspector(v).empty());
    const auto filas = filasInspector(v);
    EXPECT_EQ(filas.at("Tipo IFC"), "Elemento");
    EXPECT_EQ(filas.at("Nombre"), "Muro-Sur");
    EXPECT_EQ(filas.at("Especialidad"), "Arquitectura");
    EXPECT_EQ(filas.at("Dimensiones (m)"), "W:4.00 H:3.00 D:0.20");  // a 3 m high wall
    EXPECT_EQ(filas.at(QString::fromUtf8("Posición (m)")), "X:2.00 Y:0.10 Z:1.50");
    EXPECT_EQ(filas.at(QString::fromUtf8("Vol. aprox. (m³)")), "2.4000");
    EXPECT_EQ(filas.at("__tipoIFC"), "IFCWALL");
    EXPECT_EQ(filas.at(QString::fromUtf8("Pset_WallCommon \u203A IsExternal")), ".T.");
    testsupport::guardarCaptura(v, "ventana_seleccion");

    // Deleting the model asks first; "Eliminar" removes it and the welcome screen returns.
    auto* quitar = hijoVisible<QToolButton>(v, "botonEliminarModelo");
    ASSERT_TRUE(quitar);
    QTest::mouseClick(quitar, Qt::LeftButton);
    QMessageBox* alerta = nullptr;
    ESPERAR_QUE((alerta = alertaVisible()) != nullptr);
    EXPECT_EQ(alerta->windowTitle(), "Eliminar modelo");
    EXPECT_EQ(alerta->text(),
              QString::fromUtf8("¿Eliminar \"modelo_arq.ifc\" de la escena? Esta acción no se puede deshacer."));
    EXPECT_TRUE(v.hayModelosCargados());
    QTest::mouseClick(alerta->findChild<QPushButton*>("botonConfirmar"), Qt::LeftButton);
    ESPERAR_QUE(!v.hayModelosCargados());
    EXPECT_FALSE(v.modelosVinculados.modeloPendienteEliminar);
    EXPECT_TRUE(v.federacion.especialidades.at("ARQ").modelos.empty());
    EXPECT_FALSE(v.federacion.propiedadesIFC.count("ARQ"));
    ESPERAR_QUE(v.columnaViewport()->bienvenida()->isVisible());
}

TEST(VentanaPrincipal, ElementsWithABlankOrNoNameShowTheirPropertiesWhenClicked)
{
    platform::Resources::setBundleDir(testsupport::bundleDir());
    ContentView v;
    v.resize(1440, 900);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    v.seleccionarArchivoIFC({testsupport::fixturePath("federation/sin_nombre.ifc")});
    ESPERAR_QUE(v.hayModelosCargados() && !v.federacion.isProcessing);
    ASSERT_FALSE(v.federacion.showError) << v.federacion.errorMessage.value_or("").toStdString();
    render::SceneView* vista3D = v.columnaViewport()->vista3D();
    ESPERAR_QUE(platform::MainQueue::delayedPending() == 0 && !vista3D->isAnimatingCamera());

    // Name ' ', '' and unset: each element is known by its GlobalId, in the scene and in the table.
    const struct {
        double x;
        const char* globalId;
        const char* mueble;
    } casos[] = {
        {0.5, "1Blanco0000000000000001", "Mesa"},
        {3.5, "1Vacio00000000000000002", "Silla"},
        {6.5, "1SinNombre000000000003", "Estante"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.globalId);
        const scene::Vec3 punto = vista3D->projectPoint({c.x, 0.5, 0.5});
        QTest::mouseClick(vista3D, Qt::LeftButton, Qt::NoModifier, QPoint(int(punto.x), int(punto.y)));
        ASSERT_TRUE(v.seleccion.nodoSeleccionado);
        EXPECT_EQ(v.seleccion.nombreSeleccionado, c.globalId);
        ESPERAR_QUE(filasInspector(v).count("Nombre") && filasInspector(v).at("Nombre") == c.globalId);
        const auto filas = filasInspector(v);
        EXPECT_EQ(filas.at("__tipoIFC"), "IFCFURNISHINGELEMENT");
        EXPECT_EQ(filas.at(QString::fromUtf8("Pset_Mobiliario \u203A Mueble")), c.mueble);
    }
}

TEST(VentanaPrincipal, CancellingAConfirmationChangesNothingButThePendingField)
{
    ContentView v;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    v.clashes.historialAnalisis.resize(2);
    v.clashes.historialAnalisis[0].nombre = "Primero";
    v.clashes.analisisPendienteEliminar = 0;
    v.refrescar();
    QMessageBox* alerta = nullptr;
    ESPERAR_QUE((alerta = alertaVisible()) != nullptr);
    EXPECT_EQ(alerta->windowTitle(), QString::fromUtf8("Eliminar análisis"));
    EXPECT_EQ(alerta->text(), QString::fromUtf8("¿Eliminar \"Primero\"? Esta acción no se puede deshacer."));
    QTest::mouseClick(alerta->findChild<QPushButton*>("botonCancelar"), Qt::LeftButton);
    ESPERAR_QUE(!v.clashes.analisisPendienteEliminar);
    EXPECT_EQ(v.clashes.historialAnalisis.size(), 2u);

    v.clashes.analisisPendienteEliminar = 1;
    v.refrescar();
    ESPERAR_QUE((alerta = alertaVisible()) != nullptr);
    QTest::mouseClick(alerta->findChild<QPushButton*>("botonConfirmar"), Qt::LeftButton);
    ESPERAR_QUE(!v.clashes.analisisPendienteEliminar);
    ASSERT_EQ(v.clashes.historialAnalisis.size(), 1u);
    EXPECT_EQ(v.clashes.historialAnalisis[0].nombre, "Primero");
}

TEST(VentanaPrincipal, NewDisciplineSheetResetsItsFieldsAndAddsTheDerivedKey)
{
    ContentView v;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    v.disciplinas.nuevaEspNombre = "resto de antes";
    auto* boton = hijoVisible<QPushButton>(v, "botonNuevaEspecialidad");
    ASSERT_TRUE(boton);
    QTest::mouseClick(boton, Qt::LeftButton);
    HojaNuevaEspecialidad* hoja = nullptr;
    ESPERAR_QUE((hoja = v.findChild<HojaNuevaEspecialidad*>()) != nullptr && hoja->isVisible());
    EXPECT_EQ(hoja->campoNombre()->text(), "");
    EXPECT_EQ(hoja->campoIcono()->text(), "folder");
    EXPECT_FALSE(hoja->botonAgregar()->isEnabled());
    testsupport::guardarCaptura(*hoja, "hoja_nueva_especialidad");

    QTest::keyClicks(hoja->campoNombre(), "  Arquitectura ");
    EXPECT_TRUE(hoja->botonAgregar()->isEnabled());
    QTest::mouseClick(hoja->botonAgregar(), Qt::LeftButton);
    ESPERAR_QUE(!v.disciplinas.mostrarNuevaEsp);
    EXPECT_EQ(v.federacion.ordenEspecialidades.back(), "ARQ1");
    EXPECT_EQ(v.federacion.especialidades.at("ARQ1").nombre, "Arquitectura");
    EXPECT_EQ(v.federacion.especialidades.at("ARQ1").icono, "folder");
    ESPERAR_QUE(hijoVisible<QWidget>(v, "bloque_ARQ1") != nullptr);
}

TEST(VentanaPrincipal, QuantityTakeOffWithNothingLoadedReportsIt)
{
    ContentView v;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    v.abrirQTO();
    QMessageBox* alerta = nullptr;
    ESPERAR_QUE((alerta = alertaVisible()) != nullptr);
    EXPECT_EQ(alerta->windowTitle(), "Error");
    EXPECT_EQ(alerta->text(),
              QString::fromUtf8("No hay elementos cargados para cuantificar. Vincula al menos un archivo IFC."));
    EXPECT_TRUE(v.ventanas.reportWindows.isEmpty());
    QTest::mouseClick(alerta->findChild<QPushButton*>("botonCancelar"), Qt::LeftButton);
    ESPERAR_QUE(!v.federacion.showError);
}

TEST(VentanaPrincipal, ErrorAlertShowsTheLatestErrorWhileItIsUp)
{
    ContentView v;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    v.informarError("Primer fallo");
    QMessageBox* alerta = nullptr;
    ESPERAR_QUE((alerta = alertaVisible()) != nullptr);
    EXPECT_EQ(alerta->text(), "Primer fallo");
    // A second run fails while the alert is up: the alert tells the error it will dismiss.
    v.informarError("Segundo fallo");
    EXPECT_EQ(alertaVisible(), alerta);
    EXPECT_EQ(alerta->text(), "Segundo fallo");
    QTest::mouseClick(alerta->findChild<QPushButton*>("botonCancelar"), Qt::LeftButton);
    ESPERAR_QUE(!v.federacion.showError);
    EXPECT_FALSE(v.federacion.errorMessage);
}

TEST(VentanaPrincipal, AModelLinkedWhileTheTimelineIsOpenReachesItsDetectorAndEditor)
{
    platform::Resources::setBundleDir(testsupport::bundleDir());
    registrarDetectorAWP();
    registrarEditorPaquete();
    struct Quitar {
        ~Quitar() { hojasTimeLiner() = {}; }  // other tests expect an empty registry
    } quitar;
    ContentView v;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
    v.abrirVentanaTimeLiner();
    auto* ventana = qobject_cast<TimeLinerView*>(v.timeline.timeLinerWindows.value(0).data());
    ASSERT_TRUE(ventana);

    v.seleccionarArchivoIFC({testsupport::fixturePath("timeline/modelo_awp.ifc")});
    ESPERAR_QUE(v.hayModelosCargados() && !v.federacion.isProcessing);
    ASSERT_FALSE(v.federacion.showError) << v.federacion.errorMessage.value_or("").toStdString();

    ventana->controlador().abrirDetector();
    DetectorAWPView* detector = nullptr;
    ESPERAR_QUE((detector = ventana->findChild<DetectorAWPView*>()) != nullptr);
    detector->controlador().detectar();
    ESPERAR_QUE(!detector->controlador().detectando());
    ASSERT_EQ(detector->controlador().resultados().size(), 1u);
    EXPECT_EQ(detector->controlador().resultados()[0].codigo, "CWP-MUROS");
    EXPECT_EQ(detector->controlador().resultados()[0].elementos.size(), 2);
    detector->reject();
    ESPERAR_QUE(!ventana->findChild<DetectorAWPView*>());

    ventana->controlador().nuevoPaquete();
    EditorPaqueteView* editor = nullptr;
    ESPERAR_QUE((editor = ventana->findChild<EditorPaqueteView*>()) != nullptr);
    QWidget* sinModelos = editor->findChild<QWidget*>("sinModelos");
    ASSERT_TRUE(sinModelos);
    EXPECT_FALSE(sinModelos->isVisibleTo(editor)) << "the editor lists the model linked after the window opened";
    editor->reject();
}
