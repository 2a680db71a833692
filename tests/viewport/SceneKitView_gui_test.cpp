#include "viewport/SceneKitView.h"

#include "render/SceneView.h"
#include "scene/Primitives.h"
#include "viewport/Encuadre.h"
#include "viewport/ViewportController.h"
#include "support/Esperar.h"

#include <QCoreApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

using quelva::ModoMedicion3D;
using quelva::SceneKitView;
using quelva::VistaPreset;
using scene::Vec3;

namespace {

scene::NodePtr caja(const char* nombre, double ancho, double alto, double largo, const Vec3& centro)
{
    auto nodo = scene::Node::make(scene::makeBox(ancho, alto, largo));
    nodo->name = nombre;
    nodo->position = centro;
    return nodo;
}

scene::NodePtr piso(double z)
{
    auto nodo = scene::Node::make(scene::makePlane(5000, 5000));
    nodo->name = "_QUELVA_Piso";
    nodo->position = {0, 0, z};
    return nodo;
}

int lucesQuelva(const scene::Scene& escena)
{
    int n = 0;
    for (const auto& hijo : escena.rootNode()->children())
        if (hijo->light && hijo->name && hijo->name->starts_with("_QUELVA_Luz"))
            ++n;
    return n;
}

// A model from (0, 0, 0) to (20, 10, 5) on the floor: largest side 20, centre (10, 5, 2.5).
class Vista3D : public ::testing::Test {
protected:
    void SetUp() override
    {
        escena = scene::makeScene();
        muro = caja("Muro", 20, 1, 5, {10, 0.5, 2.5});
        losa = caja("Losa", 6, 6, 0.5, {10, 7, 0.25});
        escena->rootNode()->addChild(muro);
        escena->rootNode()->addChild(losa);
        escena->rootNode()->addChild(piso(-0.01));

        adaptador.scene = escena;
        adaptador.viewport = &controlador;
        adaptador.onNodeSelected = [this](const scene::NodePtr& n) { selecciones.push_back(n); };
        adaptador.onMedicion = [this](const Vec3& p) { mediciones.push_back(p); };
        coordinador = adaptador.makeCoordinator();
        ventana.resize(800, 600);
        vista = adaptador.makeNSView(*coordinador, &ventana);
        vista->setGeometry(0, 0, 800, 600);
        ventana.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&ventana, testsupport::kLimiteCuelgue));
        adaptador.updateNSView(*vista, *coordinador);
    }

    void esperarCamara()
    {
        ESPERAR_QUE(!vista->isAnimatingCamera());
    }

    // Camera looking from -y straight at the wall: its face at y = 0 fills the middle of the view.
    void mirarDeFrente()
    {
        controlador.aplicarVista(VistaPreset::frontal, 10, 5, 2.5, 20.0f);
        esperarCamara();
    }

    QPointF enPantalla(const Vec3& p) const
    {
        const Vec3 v = vista->projectPoint(p);
        return {v.x, v.y};
    }

    void clic(QPointF p) { QTest::mouseClick(vista, Qt::LeftButton, {}, p.toPoint()); }
    void clic(QPoint p) { QTest::mouseClick(vista, Qt::LeftButton, {}, p); }

    scene::ScenePtr escena;
    scene::NodePtr muro, losa;
    quelva::ViewportController controlador;
    SceneKitView adaptador;
    std::unique_ptr<SceneKitView::Coordinator> coordinador;
    QWidget ventana;
    render::SceneView* vista = nullptr;
    std::vector<scene::NodePtr> selecciones;
    std::vector<Vec3> mediciones;
};

}  // namespace

TEST_F(Vista3D, MakingTheViewConnectsTheControllerAndLightsTheScene)
{
    EXPECT_EQ(controlador.scnView.data(), vista);
    EXPECT_TRUE(vista->allowsCameraControl());
    EXPECT_EQ(vista->multisampling(), 4);
    EXPECT_TRUE(std::holds_alternative<scene::DrawnImagePtr>(escena->background.contents));
    EXPECT_EQ(lucesQuelva(*escena), 2);
}

TEST_F(Vista3D, ClickSelectsABoxAndClearsOnTheFloorOrEmptySpace)
{
    mirarDeFrente();
    clic(enPantalla({10, 0, 2.5}));
    ASSERT_EQ(selecciones.size(), 1u);
    EXPECT_EQ(selecciones.back(), muro);

    clic(enPantalla({10, -20, -0.01}));  // the floor in front of the wall
    ASSERT_EQ(selecciones.size(), 2u);
    EXPECT_EQ(selecciones.back(), nullptr);

    clic(QPointF(400, 20));  // sky above the wall
    ASSERT_EQ(selecciones.size(), 3u);
    EXPECT_EQ(selecciones.back(), nullptr);
    EXPECT_TRUE(mediciones.empty());
}

TEST_F(Vista3D, MeasuringClickOnTheFloorGivesAPointOnTheFloorAndNothingOnEmptySpace)
{
    mirarDeFrente();
    adaptador.modoMedicion = ModoMedicion3D::distancia;
    adaptador.updateNSView(*vista, *coordinador);

    clic(QPointF(400, 20));  // nothing hit: no callback at all
    EXPECT_TRUE(mediciones.empty());

    const QPoint enElPiso = enPantalla({12, -15, -0.01}).toPoint();
    clic(enElPiso);
    ASSERT_EQ(mediciones.size(), 1u);
    EXPECT_NEAR(mediciones[0].z, -0.01, 1e-6);
    // The point under the clicked pixel (the floor is seen at a grazing angle here).
    const QPointF devuelta = enPantalla(mediciones[0]);
    EXPECT_NEAR(devuelta.x(), enElPiso.x(), 0.5);
    EXPECT_NEAR(devuelta.y(), enElPiso.y(), 0.5);
    EXPECT_TRUE(selecciones.empty());
}

TEST_F(Vista3D, TheSnapRingUnderThePointerIsNotMeasuredInsteadOfTheModel)
{
    // From above, the upright ring stands edge-on under the pointer: its top would be hit first.
    controlador.aplicarVista(VistaPreset::arriba, 10, 5, 2.5, 20.0f);
    esperarCamara();
    adaptador.modoMedicion = ModoMedicion3D::punto;
    adaptador.updateNSView(*vista, *coordinador);

    const QPointF sobreLaLosa = enPantalla({10, 7, 0.5});
    coordinador->mouseMoved(sobreLaLosa);
    ASSERT_TRUE(coordinador->nodoSnap);
    clic(sobreLaLosa);
    ASSERT_EQ(mediciones.size(), 1u);
    EXPECT_NEAR(mediciones[0].z, 0.5, 1e-6);
    EXPECT_NEAR(mediciones[0].x, 10, 0.2);
    EXPECT_NEAR(mediciones[0].y, 7, 0.2);
    EXPECT_FALSE(coordinador->nodoSnap->hidden);
}

TEST_F(Vista3D, SameSceneKeepsTheRigAndANewSceneGetsExactlyTwoLights)
{
    const auto dir = escena->rootNode()->childNamed("_QUELVA_LuzDir", false);
    const auto fondo = std::get<scene::DrawnImagePtr>(escena->background.contents);
    adaptador.modoMedicion = ModoMedicion3D::area;
    adaptador.updateNSView(*vista, *coordinador);
    EXPECT_EQ(escena->rootNode()->childNamed("_QUELVA_LuzDir", false), dir);
    EXPECT_EQ(std::get<scene::DrawnImagePtr>(escena->background.contents), fondo);
    EXPECT_EQ(lucesQuelva(*escena), 2);

    auto nueva = scene::makeScene();
    auto vieja = scene::Node::make();
    vieja->name = "_QUELVA_LuzDir";
    vieja->light = std::make_shared<scene::Light>();
    nueva->rootNode()->addChild(vieja);  // a rig saved with the scene is replaced, not doubled
    adaptador.scene = nueva;
    adaptador.updateNSView(*vista, *coordinador);
    EXPECT_EQ(vista->scene(), nueva);
    EXPECT_EQ(coordinador->escena.lock(), nueva);
    EXPECT_EQ(lucesQuelva(*nueva), 2);
    EXPECT_EQ(vieja->parent(), nullptr);
    EXPECT_TRUE(std::holds_alternative<scene::DrawnImagePtr>(nueva->background.contents));
}

TEST_F(Vista3D, ZoomExtentsAndPresetsFrameTheModelWithoutTheFloor)
{
    const Vec3 c{10, 5, 2.5};
    const double s = 20, d = 2.5 * s;
    const auto& camara = vista->pointOfView();

    quelva::encuadrarTodo(*escena, controlador);
    esperarCamara();
    EXPECT_NEAR(camara->position.x, c.x + s, 1e-9);
    EXPECT_NEAR(camara->position.y, c.y - s, 1e-9);
    EXPECT_NEAR(camara->position.z, c.z + s, 1e-9);
    EXPECT_DOUBLE_EQ(camara->camera->zNear, double(20.0f * 0.001f));
    EXPECT_DOUBLE_EQ(camara->camera->zFar, 2000);
    EXPECT_EQ(vista->cameraTarget(), c);

    const struct { VistaPreset preset; Vec3 posicion; Vec3 arriba; } casos[] = {
        {VistaPreset::arriba, {c.x, c.y, c.z + d}, {0, 1, 0}},
        {VistaPreset::frontal, {c.x, c.y - d, c.z}, {0, 0, 1}},
        {VistaPreset::posterior, {c.x, c.y + d, c.z}, {0, 0, 1}},
        {VistaPreset::izquierda, {c.x - d, c.y, c.z}, {0, 0, 1}},
        {VistaPreset::derecha, {c.x + d, c.y, c.z}, {0, 0, 1}},
        {VistaPreset::isoIzquierda, {c.x - d, c.y - d, c.z + 0.7 * d}, {0, 0, 1}},
        {VistaPreset::isoDerecha, {c.x + d, c.y - d, c.z + 0.7 * d}, {0, 0, 1}},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(int(caso.preset));
        quelva::aplicarPresetVista(*escena, controlador, caso.preset);
        esperarCamara();
        EXPECT_NEAR(camara->position.x, caso.posicion.x, 1e-9);
        EXPECT_NEAR(camara->position.y, caso.posicion.y, 1e-9);
        EXPECT_NEAR(camara->position.z, caso.posicion.z, 1e-9);
        EXPECT_DOUBLE_EQ(camara->camera->zNear, double(20.0f * 0.001f));
        EXPECT_DOUBLE_EQ(camara->camera->zFar, 4000);
        // Looks at the centre, and its own up lies in the plane of the view direction and the up vector.
        const Vec3 frente = camara->orientation.rotate({0, 0, -1});
        const Vec3 haciaCentro = scene::normalized(c - camara->position);
        EXPECT_NEAR(scene::dot(frente, haciaCentro), 1.0, 1e-9);
        const Vec3 arribaCamara = camara->orientation.rotate({0, 1, 0});
        EXPECT_NEAR(scene::dot(scene::cross(frente, caso.arriba), arribaCamara), 0.0, 1e-9);
        EXPECT_GT(scene::dot(arribaCamara, caso.arriba), 0.0);
    }
}

TEST_F(Vista3D, AnEmptyOrZeroSizeSceneLeavesTheCameraAlone)
{
    auto vacia = scene::makeScene();
    vacia->rootNode()->addChild(piso(0));
    vacia->rootNode()->addChild(caja("Punto", 0, 0, 0, {5, 5, 5}));
    const auto& camara = vista->pointOfView();
    const Vec3 antes = camara->position;
    const double nearAntes = camara->camera->zNear;
    quelva::encuadrarTodo(*vacia, controlador);
    quelva::aplicarPresetVista(*vacia, controlador, VistaPreset::arriba);
    EXPECT_FALSE(vista->isAnimatingCamera());
    EXPECT_EQ(camara->position, antes);
    EXPECT_EQ(camara->camera->zNear, nearAntes);

    // Nor does the near distance after a cut: the fallback, never a NaN.
    adaptador.scene = vacia;
    adaptador.nearClipOverride = 0.5;
    adaptador.updateNSView(*vista, *coordinador);
    adaptador.nearClipOverride.reset();
    adaptador.updateNSView(*vista, *coordinador);
    EXPECT_EQ(camara->camera->zNear, 0.01);
}

TEST_F(Vista3D, NearClipIsPinnedWhileCutAndAutomaticOnlyRightAfter)
{
    const auto& camara = vista->pointOfView()->camera;
    camara->zNear = 0.3;
    adaptador.updateNSView(*vista, *coordinador);
    EXPECT_EQ(camara->zNear, 0.3);  // never cut: the camera keeps its own

    adaptador.nearClipOverride = 0.5;
    adaptador.updateNSView(*vista, *coordinador);
    EXPECT_EQ(camara->zNear, 0.5);
    quelva::encuadrarTodo(*escena, controlador);  // a camera move sets its own near...
    adaptador.updateNSView(*vista, *coordinador);
    EXPECT_EQ(camara->zNear, 0.5);                 // ...and the next update pins it again
    adaptador.nearClipOverride = 1.25;
    adaptador.updateNSView(*vista, *coordinador);
    EXPECT_EQ(camara->zNear, 1.25);

    adaptador.nearClipOverride.reset();
    adaptador.updateNSView(*vista, *coordinador);
    // The model's largest side is 20: a 5 km floor would make this 5 m.
    EXPECT_DOUBLE_EQ(camara->zNear, double(20.0f * 0.001f));

    camara->zNear = 7;
    adaptador.updateNSView(*vista, *coordinador);
    EXPECT_EQ(camara->zNear, 7);

    adaptador.nearClipOverride = 0.5;
    adaptador.updateNSView(*vista, *coordinador);
    adaptador.scene = scene::makeScene();
    adaptador.nearClipOverride.reset();
    adaptador.updateNSView(*vista, *coordinador);
    EXPECT_EQ(camara->zNear, 0.01);  // empty scene
}

TEST_F(Vista3D, SnapRingKeepsItsScreenSizeButNeverShrinksBelowFiveCentimetres)
{
    adaptador.modoMedicion = ModoMedicion3D::distancia;
    adaptador.updateNSView(*vista, *coordinador);
    const auto radioAnillo = [&] { return coordinador->nodoSnap->geometry->localBounds().max.x / 1.18; };

    // Close up: 1 m from the wall.
    controlador.aplicarVista(VistaPreset::frontal, 10, 0, 2.5, 0.4f);
    esperarCamara();
    coordinador->mouseMoved(QPointF(400, 300));
    ASSERT_TRUE(coordinador->nodoSnap);
    EXPECT_NEAR(radioAnillo(), 0.05, 1e-3);
    EXPECT_GE(radioAnillo(), 0.05 - 1e-9);
    EXPECT_FALSE(coordinador->nodoPreview);  // no anchor point: only the ring

    // 500 m away: 6 m ring.
    controlador.aplicarVista(VistaPreset::frontal, 10, 0, 2.5, 200.0f);
    esperarCamara();
    coordinador->mouseMoved(QPointF(400, 300));
    ASSERT_TRUE(coordinador->nodoSnap);
    EXPECT_NEAR(radioAnillo(), 0.012 * 500, 0.05);
    EXPECT_EQ(coordinador->nodoSnap->parent(), escena->rootNode().get());
}

TEST_F(Vista3D, HoverPreviewFollowsTheModeAndGoesWhenMeasuringStops)
{
    mirarDeFrente();
    const QPointF sobreElMuro = enPantalla({7, 0, 2});

    adaptador.modoMedicion = ModoMedicion3D::area;
    adaptador.puntosArea = {{1, 0, 1}, {3, 0, 1}, {3, 0, 3}};
    adaptador.updateNSView(*vista, *coordinador);
    coordinador->mouseMoved(sobreElMuro);
    ASSERT_TRUE(coordinador->nodoPreview);
    EXPECT_EQ(coordinador->nodoPreview->children().size(), 4u);

    adaptador.puntosArea = {{1, 0, 1}};
    adaptador.updateNSView(*vista, *coordinador);
    coordinador->mouseMoved(sobreElMuro);
    EXPECT_EQ(coordinador->nodoPreview->children().size(), 1u);

    adaptador.modoMedicion = ModoMedicion3D::distancia;
    adaptador.puntosArea.clear();
    adaptador.puntoA = Vec3{1, 0, 1};
    adaptador.updateNSView(*vista, *coordinador);
    coordinador->mouseMoved(sobreElMuro);
    ASSERT_TRUE(coordinador->nodoPreview);
    EXPECT_EQ(coordinador->nodoPreview->parent(), escena->rootNode().get());

    const auto anillo = coordinador->nodoSnap;
    const auto preview = coordinador->nodoPreview;
    coordinador->mouseMoved(QPointF(400, 20));  // over empty space
    EXPECT_FALSE(coordinador->nodoSnap);
    EXPECT_EQ(anillo->parent(), nullptr);

    coordinador->mouseMoved(sobreElMuro);
    ASSERT_TRUE(coordinador->nodoSnap && coordinador->nodoPreview);
    adaptador.modoMedicion = ModoMedicion3D::inactivo;
    adaptador.updateNSView(*vista, *coordinador);
    EXPECT_FALSE(coordinador->nodoSnap);
    EXPECT_FALSE(coordinador->nodoPreview);
    EXPECT_EQ(preview->parent(), nullptr);
    for (const auto& hijo : escena->rootNode()->children())
        EXPECT_NE(hijo->renderingOrder, 10);
}

// Moving onto the toolbar or out of the window takes the ring and the preview text with it,
// and a measurement that has just ended leaves no line following the pointer.
TEST_F(Vista3D, HoverMarkersGoWhenThePointerLeavesOrTheMeasurementEnds)
{
    mirarDeFrente();
    const QPointF sobreElMuro = enPantalla({7, 0, 2});
    adaptador.modoMedicion = ModoMedicion3D::distancia;
    adaptador.puntoA = Vec3{1, 0, 1};
    adaptador.updateNSView(*vista, *coordinador);
    coordinador->mouseMoved(sobreElMuro);
    ASSERT_TRUE(coordinador->nodoSnap && coordinador->nodoPreview);
    const auto preview = coordinador->nodoPreview;

    QEvent salida(QEvent::Leave);
    QCoreApplication::sendEvent(vista, &salida);
    EXPECT_FALSE(coordinador->nodoSnap);
    EXPECT_FALSE(coordinador->nodoPreview);
    EXPECT_EQ(preview->parent(), nullptr);

    coordinador->mouseMoved(sobreElMuro);
    ASSERT_TRUE(coordinador->nodoPreview);
    adaptador.puntoA.reset();  // the second point was set: the distance is done
    adaptador.updateNSView(*vista, *coordinador);
    EXPECT_FALSE(coordinador->nodoPreview);
    EXPECT_TRUE(coordinador->nodoSnap);
}

TEST_F(Vista3D, SelectionCallbackIsTakenOnceWhenTheCoordinatorIsMade)
{
    mirarDeFrente();
    std::vector<scene::NodePtr> otra;
    adaptador.onNodeSelected = [&](const scene::NodePtr& n) { otra.push_back(n); };
    adaptador.updateNSView(*vista, *coordinador);
    clic(enPantalla({10, 0, 2.5}));
    EXPECT_EQ(selecciones.size(), 1u);
    EXPECT_TRUE(otra.empty());
}
