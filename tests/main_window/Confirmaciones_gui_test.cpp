// The confirmations of the main window, answered with their confirm button: what each one changes.

#include "clash/Resaltado.h"
#include "main_window/ContentView.h"
#include "support/Buscar.h"
#include "support/Esperar.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

using namespace quelva;
using testsupport::alertaVisible;

namespace {

scene::NodePtr elemento(const scene::Color& emision)
{
    auto n = scene::Node::make(scene::makeTriangleGeometry(std::vector<scene::Vec3f>{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
                                                           std::vector<std::int32_t>{0, 1, 2}));
    n->geometry->firstMaterial()->emission.contents = emision;
    return n;
}

scene::Color emision(const scene::NodePtr& n)
{
    return *n->geometry->firstMaterial()->emission.color();
}

AnalisisInterferencias analisis(const char* nombre)
{
    AnalisisInterferencias a;
    a.nombre = QString::fromUtf8(nombre);
    return a;
}

struct Caso {
    const char* descripcion;
    QString titulo;
    std::function<void(ContentView&)> preparar;       // sets the state and the pending field
    std::function<void(ContentView&)> mientras;       // runs while the alert is up
    std::function<void(const ContentView&)> comprobar;
};

}  // namespace

TEST(ConfirmacionesVentana, ConfirmingChangesWhatEachAlertSays)
{
    const scene::Color amarillo{1.0, 0.85, 0.0, 1.0};
    const scene::NodePtr enClash = elemento(amarillo);
    const scene::NodePtr suelto = elemento(amarillo);
    const scene::NodePtr otroLado = elemento(scene::Color::black());
    const scene::NodePtr muro = elemento(scene::Color::black());
    const scene::NodePtr base = scene::Node::make();
    const scene::NodePtr nuevo = scene::Node::make();

    const Caso casos[] = {
        {"deleting an analysis clears the history highlight first", QString::fromUtf8("Eliminar análisis"),
         [&](ContentView& v) {
             v.clashes.historialAnalisis = {analisis("Primero"), analisis("Segundo")};
             Interferencia i;
             i.nodoA = enClash;
             i.nodoB = otroLado;
             v.clashes.interferencias = {i};
             v.clashes.nodosDestacadosHistorial = {enClash, suelto};
             v.clashes.analisisPendienteEliminar = 0;
         },
         nullptr,
         [&](const ContentView& v) {
             ASSERT_EQ(v.clashes.historialAnalisis.size(), 1u);
             EXPECT_EQ(v.clashes.historialAnalisis[0].nombre, "Segundo");
             EXPECT_EQ(emision(enClash), colorResaltadoInterferencia());
             EXPECT_EQ(emision(suelto), scene::Color::black());
             EXPECT_TRUE(v.clashes.nodosDestacadosHistorial.empty());
             EXPECT_EQ(v.clashes.interferencias.size(), 1u);
         }},
        {"clearing the comparison hides both versions and brings the discipline colours back",
         QString::fromUtf8("Limpiar comparación TRELM"),
         [&](ContentView& v) {
             v.modificarEspecialidades([&](auto& tabla) {
                 EspecialidadBIM& arq = tabla.at("ARQ");
                 arq.nodoRaiz = scene::Node::make();
                 arq.nodoRaiz->hidden = true;  // as the comparison left it
                 ModeloVinculado m;
                 m.nombre = "muros.ifc";
                 m.nodo = scene::Node::make();
                 m.nodo->addChild(muro);
                 arq.nodoRaiz->addChild(m.nodo);
                 arq.modelos.push_back(m);
                 v.escena.scene->rootNode()->addChild(arq.nodoRaiz);
             });
             muro->geometry->firstMaterial()->diffuse.contents = scene::Color{0, 1, 0, 1};  // a legend colour
             for (const scene::NodePtr& n : {base, nuevo})
                 v.escena.scene->rootNode()->addChild(n);
             v.federacion.modeloBase = base;
             v.federacion.modeloNuevo = nuevo;
             v.comparacion.trelmActivo = true;
             v.comparacion.resultadoTRELM = ResultadoTRELM{};
             v.comparacion.trelmStats = {1, 2, 3, 4};
             v.comparacion.confirmarLimpiarTRELM = true;
         },
         nullptr,
         [&](const ContentView& v) {
             EXPECT_FALSE(v.comparacion.trelmActivo);
             EXPECT_FALSE(v.comparacion.resultadoTRELM);
             EXPECT_EQ(v.comparacion.trelmStats, EstadisticasTRELM{});
             for (const scene::NodePtr& n : {base, nuevo}) {
                 EXPECT_TRUE(n->hidden);
                 EXPECT_EQ(n->parent(), v.escena.scene->rootNode().get());
             }
             EXPECT_FALSE(v.federacion.especialidades.at("ARQ").nodoRaiz->hidden);
             const scene::Color* gris = muro->geometry->firstMaterial()->diffuse.color();
             ASSERT_TRUE(gris);
             EXPECT_NEAR(gris->r, 0.85, 1e-4);
             EXPECT_NEAR(gris->g, 0.85, 1e-4);
             EXPECT_FALSE(v.comparacion.confirmarLimpiarTRELM);
         }},
        {"an analysis index past the history deletes nothing", QString::fromUtf8("Eliminar análisis"),
         [&](ContentView& v) {
             v.clashes.historialAnalisis = {analisis("Primero"), analisis("Segundo")};
             v.clashes.analisisPendienteEliminar = 7;
         },
         nullptr,
         [&](const ContentView& v) {
             EXPECT_EQ(v.clashes.historialAnalisis.size(), 2u);
             EXPECT_FALSE(v.clashes.analisisPendienteEliminar);
         }},
        {"an analysis removed while the alert is up takes no other with it", QString::fromUtf8("Eliminar análisis"),
         [&](ContentView& v) {
             v.clashes.historialAnalisis = {analisis("Primero"), analisis("Segundo")};
             v.clashes.analisisPendienteEliminar = 0;
         },
         [&](ContentView& v) { v.clashes.historialAnalisis.erase(v.clashes.historialAnalisis.begin()); },
         [&](const ContentView& v) {
             ASSERT_EQ(v.clashes.historialAnalisis.size(), 1u);
             EXPECT_EQ(v.clashes.historialAnalisis[0].nombre, "Segundo");
             EXPECT_FALSE(v.clashes.analisisPendienteEliminar);
         }},
    };

    for (const Caso& c : casos) {
        SCOPED_TRACE(c.descripcion);
        ContentView v;
        v.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
        c.preparar(v);
        v.refrescar();
        QMessageBox* alerta = nullptr;
        ESPERAR_QUE((alerta = alertaVisible()) != nullptr);
        EXPECT_EQ(alerta->windowTitle(), c.titulo);
        if (c.mientras)
            c.mientras(v);
        QTest::mouseClick(alerta->findChild<QPushButton*>("botonConfirmar"), Qt::LeftButton);
        ESPERAR_QUE(alertaVisible() == nullptr);
        c.comprobar(v);
    }
}
