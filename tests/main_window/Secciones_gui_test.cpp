// The section card, the plane indicator with the hiding rule, and the 2D windows it opens.

#include "main_window/ContentView.h"
#include "scene/Primitives.h"
#include "sections/AlmacenesSeccion.h"
#include "sections/Ventana2D.h"
#include "sections/Vista2DController.h"
#include "sections/Vista2DNSView.h"
#include "support/Buscar.h"
#include "support/CajaEnVentana.h"
#include "support/Esperar.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

using namespace quelva;
using testsupport::agregarCaja;
using testsupport::alertaVisible;
using testsupport::hijoVisible;

namespace {

Ventana2D* ultimaVentana(ContentView& v)
{
    if (v.secciones.vista2DWindows.isEmpty())
        return nullptr;
    return qobject_cast<Ventana2D*>(v.secciones.vista2DWindows.back().data());
}

}  // namespace

TEST(Secciones, SwitchOnWithNothingLoadedShowsTheIndicatorAtThePosition)
{
    ContentView v;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    auto* interruptor = hijoVisible<QAbstractButton>(v, "activarCorte");
    ASSERT_TRUE(interruptor);
    interruptor->click();
    EXPECT_TRUE(v.secciones.seccionActiva);
    EXPECT_EQ(v.secciones.seccionRangoMin, -50);
    EXPECT_EQ(v.secciones.seccionRangoMax, 50);
    ASSERT_TRUE(v.secciones.nodoPlanVisual);
    EXPECT_EQ(v.secciones.nodoPlanVisual->parent(), v.escena.scene->rootNode().get());
    EXPECT_EQ(v.secciones.nodoPlanVisual->position, (scene::Vec3{0, 0, 0}));
    ESPERAR_QUE(hijoVisible<QSlider>(v, "sliderPosicion") != nullptr);

    // Off: the indicator goes.
    hijoVisible<QAbstractButton>(v, "activarCorte")->click();
    EXPECT_FALSE(v.secciones.nodoPlanVisual);
    EXPECT_EQ(v.escena.scene->rootNode()->childNamed("_QUELVA_PlanoSeccion", false), nullptr);
}

TEST(Secciones, AxisRangeClampingHidingAndTheSlider)
{
    ContentView v;
    auto cruza = agregarCaja(v, "Cruza", {0, 0, 2}, {1, 1, 4});
    auto encima = agregarCaja(v, "Encima", {0, 0, 3.5}, {1, 1, 6});
    auto toca = agregarCaja(v, "Toca", {0, 0, 3}, {1, 1, 5});
    v.secciones.seccionPosicion = 3.0;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    v.activarSeccion(true);
    EXPECT_DOUBLE_EQ(v.secciones.seccionRangoMin, 1.5);
    EXPECT_DOUBLE_EQ(v.secciones.seccionRangoMax, 6.5);
    EXPECT_FALSE(cruza->hidden);
    EXPECT_TRUE(encima->hidden);
    EXPECT_FALSE(toca->hidden);
    EXPECT_EQ(v.secciones.nodoPlanVisual->position, (scene::Vec3{0, 0, 3}));

    // Re-applying colours runs the hiding rule again.
    encima->hidden = false;
    v.aplicarColoresEspecialidades();
    EXPECT_TRUE(encima->hidden);

    // Another axis: range of that axis, position clamped into it, indicator moved.
    v.cambiarEjeSeccion(0);
    EXPECT_DOUBLE_EQ(v.secciones.seccionRangoMin, -0.5);
    EXPECT_DOUBLE_EQ(v.secciones.seccionRangoMax, 1.5);
    EXPECT_DOUBLE_EQ(v.secciones.seccionPosicion, 1.5);
    EXPECT_EQ(v.secciones.nodoPlanVisual->position, (scene::Vec3{1.5, 0, 0}));
    EXPECT_FALSE(encima->hidden);

    // The slider moves the plane in steps of 0.1 from the range's minimum.
    QSlider* slider = nullptr;
    ESPERAR_QUE((slider = hijoVisible<QSlider>(v, "sliderPosicion")) != nullptr);
    slider->setValue(3);
    EXPECT_NEAR(v.secciones.seccionPosicion, -0.2, 1e-9);
    EXPECT_NEAR(v.secciones.nodoPlanVisual->position.x, -0.2, 1e-6);
    EXPECT_TRUE(cruza->hidden);
    EXPECT_EQ(hijoVisible<QLabel>(v, "valorPosicion")->text(), "-0.20 m");

    // Off: every element node is shown, a model switched off stays off.
    v.federacion.especialidades["ARQ"].nodoRaiz->children().front()->hidden = true;
    v.activarSeccion(false);
    EXPECT_FALSE(cruza->hidden);
    EXPECT_TRUE(v.federacion.especialidades["ARQ"].nodoRaiz->children().front()->hidden);
}

TEST(Secciones, EmptyCutShowsTheAlertAndOpensNoWindow)
{
    ContentView v;
    agregarCaja(v, "Muro", {0, 0, 0}, {1, 1, 1});
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    v.secciones.seccionPosicion = 20;
    v.generarPlano2D();
    EXPECT_TRUE(v.secciones.vista2DWindows.isEmpty());
    ESPERAR_QUE(alertaVisible() != nullptr);
    EXPECT_EQ(alertaVisible()->text(),
              QString::fromUtf8("No se encontraron elementos en el plano de corte. Ajusta la posición de la sección."));
}

TEST(Secciones, WindowsHandBackUnderTheirTitleAndReopenFromTheStores)
{
    ContentView v;
    agregarCaja(v, "Muro", {0, 0, 0}, {4, 1, 3});
    v.secciones.seccionPosicion = 1.0;
    v.generarPlano2D();
    Ventana2D* w = ultimaVentana(v);
    ASSERT_TRUE(w);
    const QString titulo = QString::fromUtf8("Plano 2D — Eje Z = 1.00 m");
    EXPECT_EQ(w->windowTitle(), titulo);
    EXPECT_EQ(w->size(), QSize(820, 680));
    Vista2DNSView* lienzo = w->contenido()->lienzo();
    ASSERT_EQ(lienzo->etiquetas().size(), 1u);
    EXPECT_FALSE(lienzo->segmentos().empty());

    // Edits in the canvas go to the stores when the window closes; it is only hidden.
    std::vector<Etiqueta2D> etiquetas = lienzo->etiquetas();
    etiquetas[0].visible = true;
    etiquetas[0].offsetTexto = {2, 2};
    lienzo->setEtiquetas(etiquetas);
    Cota2D c;
    c.p1 = {0, 0};
    c.p2 = {4, 0};
    lienzo->setCotas({c});
    w->close();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(v.almacenCotas()->porTitulo[titulo], std::vector<Cota2D>{c});
    ASSERT_EQ(v.almacenEtiquetas()->porTitulo[titulo].size(), 1u);

    // Reopening restores them under new label ids.
    v.generarPlano2D();
    Ventana2D* w2 = ultimaVentana(v);
    ASSERT_TRUE(w2);
    ASSERT_NE(w2, w);
    const auto& restauradas = w2->contenido()->lienzo()->etiquetas();
    ASSERT_EQ(restauradas.size(), 1u);
    EXPECT_TRUE(restauradas[0].visible);
    EXPECT_EQ(restauradas[0].offsetTexto, (Punto2D{2, 2}));
    EXPECT_NE(restauradas[0].id, etiquetas[0].id);
    EXPECT_EQ(w2->contenido()->lienzo()->cotas(), std::vector<Cota2D>{c});

    // Opening the same title again while it is open: the open window hands back first.
    Cota2D otra;
    otra.p1 = {0, 1};
    otra.p2 = {4, 1};
    w2->contenido()->lienzo()->setCotas({c, otra});
    QPointer<Ventana2D> anterior = w2;
    v.generarPlano2D();
    EXPECT_EQ(v.secciones.vista2DWindows.size(), 1);
    EXPECT_EQ(ultimaVentana(v)->contenido()->lienzo()->cotas().size(), 2u);
    ESPERAR_QUE(anterior.isNull());
}

TEST(Secciones, HandBackWithoutCanvasStoresEmptyLists)
{
    AlmacenCotas cotas;
    AlmacenEtiquetas etiquetas;
    cotas.porTitulo["T"] = {Cota2D{}};
    cotas.porTitulo["Otro"] = {Cota2D{}};
    etiquetas.porTitulo["T"] = {Etiqueta2D{}};
    Vista2DController controller;
    devolucionAlmacenes(&controller, "T", &cotas, &etiquetas)();
    EXPECT_TRUE(cotas.porTitulo["T"].empty());
    EXPECT_TRUE(etiquetas.porTitulo["T"].empty());
    EXPECT_EQ(cotas.porTitulo["Otro"].size(), 1u);
}

TEST(Secciones, RestoringASavedSectionClampsAndOpensTheDrawing)
{
    ContentView v;
    agregarCaja(v, "Muro", {0, 0, 0}, {4, 1, 3});
    SeccionGuardada s;
    s.nombre = "Lejos";
    s.eje = 2;
    s.posicion = 40;
    v.secciones.seccionesGuardadas.push_back(s);
    v.restaurarSeccionGuardada(s.id);
    EXPECT_DOUBLE_EQ(v.secciones.seccionPosicion, 3.5);
    // At the clamped position nothing is cut: the alert, no window.
    EXPECT_TRUE(v.secciones.vista2DWindows.isEmpty());
    EXPECT_TRUE(v.federacion.showError);
}

TEST(Secciones, SavingKeepsTheWindowsAxisAndPositionAndHandsBack)
{
    ContentView v;
    agregarCaja(v, "Muro", {0, 0, 0}, {4, 1, 3});
    v.secciones.seccionPosicion = 1.0;
    v.generarPlano2D();
    Ventana2D* w = ultimaVentana(v);
    ASSERT_TRUE(w);
    v.moverSeccion(2.0);  // the slider moved after the window opened
    Cota2D c;
    c.p1 = {0, 0};
    c.p2 = {4, 0};
    w->contenido()->lienzo()->setCotas({c});
    w->contenido()->guardar();
    w->contenido()->confirmarGuardar(QStringLiteral("  "));
    w->contenido()->confirmarGuardar(QStringLiteral("Planta"));
    w->contenido()->confirmarGuardar(QStringLiteral("Planta"));
    ASSERT_EQ(v.secciones.seccionesGuardadas.size(), 3u);
    const QString titulo = QString::fromUtf8("Plano 2D — Eje Z = 1.00 m");
    EXPECT_EQ(v.secciones.seccionesGuardadas[0].nombre, titulo);
    EXPECT_EQ(v.secciones.seccionesGuardadas[1].nombre, "Planta");
    EXPECT_EQ(v.secciones.seccionesGuardadas[2].nombre, "Planta 3");
    for (const SeccionGuardada& s : v.secciones.seccionesGuardadas) {
        EXPECT_EQ(s.eje, 2);
        EXPECT_DOUBLE_EQ(s.posicion, 1.0);
    }
    EXPECT_EQ(v.almacenCotas()->porTitulo[titulo], std::vector<Cota2D>{c});
}
