#include "viewport/CajaEscena.h"

#include "scene/Primitives.h"

#include <gtest/gtest.h>

using scene::Node;
using scene::Vec3;

namespace {

scene::NodePtr caja(double ancho, double alto, double largo, const Vec3& posicion)
{
    auto nodo = Node::make(scene::makeBox(ancho, alto, largo));
    nodo->position = posicion;
    return nodo;
}

scene::NodePtr piso()
{
    auto nodo = Node::make(scene::makePlane(5000, 5000));
    nodo->name = "_QUELVA_Piso";
    nodo->position = {0, 0, -0.01};
    return nodo;
}

void expectCaja(const scene::Box& got, const Vec3& min, const Vec3& max)
{
    EXPECT_NEAR(got.min.x, min.x, 1e-9);
    EXPECT_NEAR(got.min.y, min.y, 1e-9);
    EXPECT_NEAR(got.min.z, min.z, 1e-9);
    EXPECT_NEAR(got.max.x, max.x, 1e-9);
    EXPECT_NEAR(got.max.y, max.y, 1e-9);
    EXPECT_NEAR(got.max.z, max.z, 1e-9);
}

}  // namespace

TEST(CajaEscena, LeavesTheFloorOutAtAnyDepth)
{
    auto raiz = Node::make();
    raiz->addChild(caja(2, 2, 2, {10, 0, 1}));
    raiz->addChild(piso());
    auto grupo = Node::make();
    grupo->addChild(piso());  // a floor deeper down is left out too, with what hangs below it
    grupo->children().front()->addChild(caja(100, 100, 100, {}));
    raiz->addChild(grupo);

    const auto box = quelva::cajaMundoSinPiso(*raiz);
    ASSERT_TRUE(box);
    expectCaja(*box, {9, -1, 0}, {11, 1, 2});
}

TEST(CajaEscena, MeasuresEachModelAfterItsScaleOffsetAndRotation)
{
    auto raiz = Node::make();
    auto modelo = Node::make();  // a linked model moved, scaled and turned as a whole
    modelo->position = {100, 0, 0};
    modelo->scale = {0.001, 0.001, 0.001};  // millimetres
    modelo->orientation = scene::Quat::fromAxisAngle({0, 0, 1}, scene::kPi / 2);
    modelo->addChild(caja(4000, 2000, 1000, {2000, 0, 500}));
    raiz->addChild(modelo);

    const auto box = quelva::cajaMundoSinPiso(*raiz);
    ASSERT_TRUE(box);
    // In metres the box spans x 0..4, y -1..1, z 0..1; a quarter turn about z maps x to y.
    expectCaja(*box, {99, 0, 0}, {101, 4, 1});
}

TEST(CajaEscena, EmptyOrFloorOnlyScenesHaveNoBox)
{
    auto raiz = Node::make();
    EXPECT_FALSE(quelva::cajaMundoSinPiso(*raiz));
    raiz->addChild(piso());
    auto luz = Node::make();
    luz->light = std::make_shared<scene::Light>();
    raiz->addChild(luz);
    raiz->addChild(Node::make(std::make_shared<scene::Geometry>()));  // geometry without vertices
    EXPECT_FALSE(quelva::cajaMundoSinPiso(*raiz));
}

TEST(CajaEscena, AutomaticNearDistanceIgnoresTheFloor)
{
    EXPECT_DOUBLE_EQ(quelva::distanciaNearAutomatica(nullptr), 0.01);

    auto raiz = Node::make();
    EXPECT_DOUBLE_EQ(quelva::distanciaNearAutomatica(raiz.get()), 0.01);  // empty scene
    raiz->addChild(piso());
    EXPECT_DOUBLE_EQ(quelva::distanciaNearAutomatica(raiz.get()), 0.01);  // floor alone: still empty

    raiz->addChild(caja(3, 2, 1, {}));
    EXPECT_DOUBLE_EQ(quelva::distanciaNearAutomatica(raiz.get()), 0.01);  // small model: floor value

    raiz->addChild(caja(40, 1, 1, {500, 0, 0}));  // x now from -1.5 to 520: 521.5 wide
    EXPECT_DOUBLE_EQ(quelva::distanciaNearAutomatica(raiz.get()), double(521.5f * 0.001f));
}
