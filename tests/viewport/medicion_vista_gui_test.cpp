// Measuring on a model shown in the 3D view: clicks through the view adapter, snapped to the
// box's corners, drawings in the scene; the hover preview goes when measuring stops.

#include "viewport/DibujosMedicion.h"
#include "viewport/Medicion3D.h"
#include "viewport/SceneKitView.h"

#include "render/SceneView.h"
#include "scene/Primitives.h"
#include "scene/Scene.h"
#include "support/Esperar.h"

#include <QDir>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using quelva::EstadoMedicion;
using quelva::ModoMedicion3D;
using scene::Vec3;

namespace {

std::string textos(const scene::NodePtr& nodo)
{
    std::string out;
    nodo->visit([&](scene::Node& n) {
        if (n.geometry && n.geometry->name)
            out += (out.empty() ? "" : "|") + *n.geometry->name;
        return false;
    });
    return out;
}

bool cuelgaDe(const scene::NodePtr& nodo, const scene::NodePtr& raiz)
{
    return nodo && nodo->parent() == raiz.get();
}

class MedicionEnVista : public ::testing::Test {
protected:
    void SetUp() override
    {
        escena = scene::makeScene();
        caja = scene::Node::make(scene::makeBox(2, 2, 2));  // corners at +-1
        escena->rootNode()->addChild(caja);

        adaptador.scene = escena;
        adaptador.onMedicion = [this](const Vec3& p) {
            quelva::procesarClicMedicion(estado, *escena->rootNode(), p);
        };
        coordinador = adaptador.makeCoordinator();
        ventana.resize(960, 640);
        vista = adaptador.makeNSView(*coordinador, &ventana);
        vista->setGeometry(0, 0, 960, 640);
        // Close enough that the box's corners lie well apart on screen.
        vista->pointOfView()->position = {2.2, -4.6, 3.4};
        vista->pointOfView()->lookAt({-0.8, 0.5, 0.5}, {0, 0, 1});
        ventana.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&ventana, testsupport::kLimiteCuelgue));
        actualizar();
    }

    // What the main window does after every state change.
    void actualizar()
    {
        adaptador.modoMedicion = estado.modoMedicion3D;
        adaptador.puntoA = estado.medicionPuntoA;
        adaptador.puntosArea = estado.medicionPuntosArea;
        adaptador.updateNSView(*vista, *coordinador);
    }

    // A view point a few points inside the box face next to a corner: the click hits the box
    // and the snap moves it onto the corner.
    QPointF cercaDe(const Vec3& esquina)
    {
        const Vec3 enVista = vista->projectPoint(esquina);
        const Vec3 centro = vista->projectPoint({0, 0, 0});
        const double dx = centro.x - enVista.x, dy = centro.y - enVista.y;
        const double largo = std::max(1.0, std::hypot(dx, dy));
        return {enVista.x + 6 * dx / largo, enVista.y + 6 * dy / largo};
    }

    void clic(const Vec3& esquina)
    {
        coordinador->handleClick(cercaDe(esquina));
        actualizar();
    }

    EstadoMedicion estado;
    scene::ScenePtr escena;
    scene::NodePtr caja;
    quelva::SceneKitView adaptador;
    std::unique_ptr<quelva::SceneKitView::Coordinator> coordinador;
    QWidget ventana;
    render::SceneView* vista = nullptr;
};

TEST_F(MedicionEnVista, TwoClicksOnABoxMeasureTheEdgeBetweenTwoSnappedCorners)
{
    quelva::accionBotonModo(estado, ModoMedicion3D::distancia);
    actualizar();
    const Vec3 esquina1{1, -1, 1}, esquina2{-1, -1, 1};

    clic(esquina1);
    ASSERT_EQ(estado.nodosMedicion.size(), 1u);
    ASSERT_TRUE(estado.medicionPuntoA);
    EXPECT_EQ(*estado.medicionPuntoA, esquina1);

    clic(esquina2);
    ASSERT_EQ(estado.nodosMedicion.size(), 3u);
    EXPECT_EQ(textos(estado.nodosMedicion[0]), "A");
    EXPECT_EQ(textos(estado.nodosMedicion[1]), "B");
    EXPECT_EQ(textos(estado.nodosMedicion[2]), "2.000 m");
    EXPECT_EQ(estado.nodosMedicion[0]->position, esquina1);
    EXPECT_EQ(estado.nodosMedicion[1]->position, esquina2);
    for (const auto& n : estado.nodosMedicion)
        EXPECT_TRUE(cuelgaDe(n, escena->rootNode()));
}

TEST_F(MedicionEnVista, HoverShowsThePreviewAndLeavingTheModeRemovesIt)
{
    quelva::accionBotonModo(estado, ModoMedicion3D::distancia);
    actualizar();
    clic({1, -1, 1});

    coordinador->mouseMoved(cercaDe({-1, -1, 1}));
    const scene::NodePtr preview = coordinador->nodoPreview;
    ASSERT_TRUE(preview);
    EXPECT_TRUE(cuelgaDe(preview, escena->rootNode()));
    EXPECT_EQ(textos(preview), "2.000 m");

    quelva::accionBotonModo(estado, ModoMedicion3D::distancia);  // the active button: off
    actualizar();
    EXPECT_EQ(estado.modoMedicion3D, ModoMedicion3D::inactivo);
    EXPECT_FALSE(coordinador->nodoPreview);
    EXPECT_FALSE(coordinador->nodoSnap);
    EXPECT_EQ(preview->parent(), nullptr);
    EXPECT_TRUE(estado.nodosMedicion.empty());
    for (const auto& n : escena->rootNode()->children())
        EXPECT_TRUE(n == caja || n->light) << "left over: " << textos(n);
}

int pixelesAmarillos(const QImage& imagen)
{
    int n = 0;
    for (int y = 0; y < imagen.height(); ++y)
        for (int x = 0; x < imagen.width(); ++x) {
            const QColor p = imagen.pixelColor(x, y);
            n += p.red() > 200 && p.green() > 150 && p.blue() < 90;
        }
    return n;
}

// A distance along the box's hidden back edge: the line is hidden by the box, its label is not.
TEST_F(MedicionEnVista, LabelsShowThroughTheModel)
{
    const scene::NodePtr distancia = quelva::crearNodoDistancia({-1, 1, -1}, {1, 1, -1});
    escena->rootNode()->addChild(distancia);
    const int conEtiqueta = pixelesAmarillos(vista->snapshot());
    EXPECT_GT(conEtiqueta, 30);

    distancia->children()[1]->hidden = true;  // the label
    EXPECT_EQ(pixelesAmarillos(vista->snapshot()), 0);
}

// Writes a picture of a distance, an angle and an area on two boxes when QUELVA_CAPTURAS names
// a folder (for looking at the drawings by eye).
TEST_F(MedicionEnVista, DrawsDistanceAngleAndAreaOverTheModel)
{
    auto segunda = scene::Node::make(scene::makeBox(3, 1.5, 1));
    segunda->position = {-2.5, 2, 0.5};
    escena->rootNode()->addChild(segunda);

    const Vec3 a{1, -1, 1}, b{-1, -1, 1}, c{1, 1, 1};
    quelva::accionBotonModo(estado, ModoMedicion3D::distancia);
    actualizar();
    clic(a);
    clic(b);
    auto raiz = escena->rootNode();
    for (const auto& n : {quelva::crearMarcadorPunto(c, "Vértice"), quelva::crearNodoAngulo(a, b, c),
                          quelva::crearNodoArea({{-4, 1.25, 1}, {-1, 1.25, 1}, {-1, 2.75, 1}, {-4, 2.75, 1}}),
                          quelva::crearNodoCoordenadas({-1, 1, 2})})
        raiz->addChild(n);

    const QImage imagen = vista->snapshot();
    ASSERT_FALSE(imagen.isNull());
    const QString carpeta = qEnvironmentVariable("QUELVA_CAPTURAS");
    if (!carpeta.isEmpty()) {
        EXPECT_TRUE(imagen.save(QDir(carpeta).filePath("medicion.png")));
    }

    // The distance label is yellow text drawn over the box (the box itself is grey/white).
    const int amarillos = pixelesAmarillos(imagen);
    EXPECT_GT(amarillos, 50);
}

}  // namespace
