// The main window's views are rebuilt on every state change; these cases rebuild them, or destroy
// the window, while something of theirs is still running.

#include "main_window/ContentView.h"
#include "main_window/sidebar/Sidebar.h"
#include "platform/Queues.h"
#include "platform/Resources.h"
#include "support/Buscar.h"
#include "support/Esperar.h"
#include "support/Fixtures.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>
#include <gtest/gtest.h>

using namespace quelva;
using testsupport::alertaVisible;
using testsupport::hijoVisible;

namespace {

scene::NodePtr modeloDePrueba()
{
    auto contenedor = scene::Node::make();
    auto elemento = scene::Node::make(scene::makeTriangleGeometry(
        std::vector<scene::Vec3f>{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, std::vector<std::int32_t>{0, 1, 2}));
    elemento->name = "Muro";
    contenedor->addChild(elemento);
    return contenedor;
}

void vincularModelo(ContentView& v, const QString& key, const QString& nombre)
{
    ModeloVinculado modelo;
    modelo.nombre = nombre;
    modelo.nodo = modeloDePrueba();
    v.modificarEspecialidades([&](auto& tabla) {
        EspecialidadBIM& esp = tabla.at(key);
        if (!esp.nodoRaiz) {
            esp.nodoRaiz = scene::Node::make();
            v.escena.scene->rootNode()->addChild(esp.nodoRaiz);
        }
        esp.nodoRaiz->addChild(modelo.nodo);
        esp.modelos.push_back(modelo);
    });
}

}  // namespace

TEST(CiclosDeVida, ModelRowMenuSurvivesTheSidebarBeingRebuiltWhileItIsOpen)
{
    ContentView v;
    vincularModelo(v, "ARQ", "A.ifc");
    v.resize(1440, 900);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    v.refrescar();
    QWidget* fila = nullptr;
    ESPERAR_QUE((fila = hijoVisible<QWidget>(v, "filaModelo")) != nullptr);
    QPointer<QWidget> filaVigilada(fila);

    // While the menu is up, a finished conversion refreshes the window; then "50%" is chosen.
    bool elegido = false;
    QTimer::singleShot(50, &v, [&] { v.refrescar(); });
    QTimer::singleShot(300, &v, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* a : menu->actions())
            if (a->text() == "50%") {
                a->trigger();
                elegido = true;
            }
        menu->close();
    });
    QContextMenuEvent evento(QContextMenuEvent::Mouse, QPoint(5, 5), fila->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(fila, &evento);

    EXPECT_TRUE(elegido);
    EXPECT_DOUBLE_EQ(v.federacion.especialidades.at("ARQ").modelos.front().transparencia, 0.5);
    ESPERAR_QUE(filaVigilada.isNull());
}


TEST(CiclosDeVida, SlotLoadAlertClosedAnyWayButContinuarOnlyForgetsTheSlot)
{
    ContentView v;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    v.comparacion.trelmActivo = true;
    const std::function<void(QMessageBox&)> cierres[] = {
        [](QMessageBox& a) { QTest::mouseClick(a.findChild<QPushButton*>("botonCancelar"), Qt::LeftButton); },
        [](QMessageBox& a) { QTest::keyClick(&a, Qt::Key_Escape); },
        [](QMessageBox& a) { a.close(); },  // the window's close button
    };
    for (const auto& cerrar : cierres) {
        v.cargarSlotTRELM("BASE");
        QPointer<QMessageBox> alerta;
        ESPERAR_QUE((alerta = alertaVisible()) != nullptr);
        EXPECT_EQ(alerta->windowTitle(), "Cargar nuevo archivo");
        cerrar(*alerta);
        ESPERAR_QUE(alerta.isNull());
        EXPECT_FALSE(v.comparacion.trelmSlotPendienteCargar);
        EXPECT_TRUE(v.comparacion.trelmActivo);
        EXPECT_FALSE(v.vinculacion.showFilePicker);
        EXPECT_FALSE(v.federacion.seleccionandoTRELM);
    }

    // "Continuar" clears the comparison, then the importer opens for the slot; cancelling it
    // forgets the slot.
    v.cargarSlotTRELM("NUEVO");
    QPointer<QMessageBox> alerta;
    ESPERAR_QUE((alerta = alertaVisible()) != nullptr);
    QTest::mouseClick(alerta->findChild<QPushButton*>("botonConfirmar"), Qt::LeftButton);
    QPointer<QFileDialog> selector;
    ESPERAR_QUE((selector = qobject_cast<QFileDialog*>(v.dialogoActivo())) != nullptr);
    EXPECT_FALSE(v.comparacion.trelmActivo);
    EXPECT_FALSE(v.comparacion.trelmSlotPendienteCargar);
    EXPECT_EQ(v.federacion.seleccionandoTRELM, std::optional<QString>("NUEVO"));
    selector->reject();
    ESPERAR_QUE(selector.isNull());
    EXPECT_FALSE(v.federacion.seleccionandoTRELM);
    EXPECT_FALSE(v.vinculacion.showFilePicker);

    // With no comparison shown the importer opens at once.
    v.cargarSlotTRELM("BASE");
    ESPERAR_QUE(qobject_cast<QFileDialog*>(v.dialogoActivo()) != nullptr);
    EXPECT_EQ(alertaVisible(), nullptr);
    EXPECT_EQ(v.federacion.seleccionandoTRELM, std::optional<QString>("BASE"));
}

TEST(CiclosDeVida, ClosingTheWindowWithSheetsAlertsWindowsAndARunOpenIsClean)
{
    platform::Resources::setBundleDir(testsupport::bundleDir());
    {
        ContentView v;
        vincularModelo(v, "ARQ", "A.ifc");
        v.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
        v.seleccionarArchivoIFC({testsupport::fixturePath("federation/modelo_arq.ifc")});
        ASSERT_TRUE(v.federacion.isProcessing);
        v.cargarSlotTRELM("BASE");
        v.prepararNuevaEspecialidad();
        v.cambiarColorEspecialidad("ARQ");
        v.editarTransformacionModelo("ARQ", v.federacion.especialidades.at("ARQ").modelos.front());
        v.pedirEliminarModelo("ARQ", v.federacion.especialidades.at("ARQ").modelos.front());
        v.informarError("x");
        v.abrirQTO();
        v.abrirVentanaTimeLiner();
        testsupport::entregarEventos();
    }
    // The run finishes with nobody to take its result.
    platform::BackgroundQueue::waitForIdle();
    ESPERAR_QUE(QApplication::topLevelWidgets().isEmpty());
}
