#include "viewport/Iluminacion.h"

#include <QImage>

#include <gtest/gtest.h>

using scene::Node;

namespace {

int contarLucesQuelva(const scene::Scene& escena)
{
    int n = 0;
    for (const auto& hijo : escena.rootNode()->children())
        if (hijo->light && hijo->name && hijo->name->starts_with("_QUELVA_Luz"))
            ++n;
    return n;
}

scene::NodePtr nodoLuz(const char* nombre)
{
    auto nodo = Node::make();
    nodo->name = nombre;
    nodo->light = std::make_shared<scene::Light>();
    return nodo;
}

}  // namespace

TEST(Iluminacion, ReplacesOnlyTheRigsOwnLights)
{
    scene::Scene escena;
    auto& raiz = escena.rootNode();
    auto vieja = nodoLuz("_QUELVA_LuzVieja");
    auto ajena = nodoLuz("Sol");
    auto sinLuz = Node::make();
    sinLuz->name = "_QUELVA_LuzMarcador";  // the name alone does not make it part of the rig
    auto profunda = nodoLuz("_QUELVA_LuzDir");
    auto grupo = Node::make();
    grupo->addChild(profunda);  // only direct children of the root belong to the rig
    for (const auto& n : {vieja, ajena, sinLuz, grupo})
        raiz->addChild(n);

    quelva::configurarIluminacion(escena);
    quelva::configurarIluminacion(escena);

    EXPECT_EQ(vieja->parent(), nullptr);
    EXPECT_EQ(ajena->parent(), raiz.get());
    EXPECT_EQ(sinLuz->parent(), raiz.get());
    EXPECT_EQ(profunda->parent(), grupo.get());
    EXPECT_EQ(contarLucesQuelva(escena), 2);
    EXPECT_TRUE(raiz->childNamed("_QUELVA_LuzDir", false));
    EXPECT_TRUE(raiz->childNamed("_QUELVA_LuzAmb", false));
}

TEST(Iluminacion, DirectionalLightCastsSoftShadowsDownwardsAndAmbientFillsIn)
{
    scene::Scene escena;
    quelva::configurarIluminacion(escena);

    const auto dir = escena.rootNode()->childNamed("_QUELVA_LuzDir", false);
    ASSERT_TRUE(dir && dir->light);
    const scene::Light& luz = *dir->light;
    EXPECT_EQ(luz.type, scene::Light::Type::Directional);
    EXPECT_EQ(luz.intensity, 900);
    EXPECT_TRUE(luz.castsShadow);
    EXPECT_EQ(luz.shadowRadius, 5);
    EXPECT_EQ(luz.shadowSampleCount, 16);
    EXPECT_EQ(luz.shadowBias, 1);
    EXPECT_EQ(luz.shadowColor, (scene::Color{0, 0, 0, 0.45}));
    EXPECT_EQ(luz.orthographicScale, 150);
    EXPECT_EQ(dir->position, (scene::Vec3{0, 0, 0}));
    // The light shines along its local -Z, towards (0.5, 0.5, -0.7).
    const scene::Vec3 haciaDonde = dir->orientation.rotate({0, 0, -1});
    const scene::Vec3 esperado = scene::normalized({0.5, 0.5, -0.7});
    EXPECT_NEAR(haciaDonde.x, esperado.x, 1e-9);
    EXPECT_NEAR(haciaDonde.y, esperado.y, 1e-9);
    EXPECT_NEAR(haciaDonde.z, esperado.z, 1e-9);

    const auto amb = escena.rootNode()->childNamed("_QUELVA_LuzAmb", false);
    ASSERT_TRUE(amb && amb->light);
    EXPECT_EQ(amb->light->type, scene::Light::Type::Ambient);
    EXPECT_EQ(amb->light->intensity, 350);
    EXPECT_EQ(amb->light->color, scene::Color::white());
}

TEST(Iluminacion, BackgroundIsLilacAtTheBottomAndAlmostWhiteAtTheTop)
{
    const auto imagen = quelva::dibujarDegradado();
    EXPECT_EQ(imagen->size(), QSizeF(4, 512));
    EXPECT_FALSE(imagen->flipped());
    const QImage raster = imagen->render(1.0);
    ASSERT_EQ(raster.height(), 512);
    const QColor abajo = raster.pixelColor(2, 511);
    const QColor arriba = raster.pixelColor(2, 0);
    EXPECT_NEAR(abajo.redF(), 0.68, 0.01);
    EXPECT_NEAR(abajo.greenF(), 0.64, 0.01);
    EXPECT_NEAR(abajo.blueF(), 0.84, 0.01);
    EXPECT_NEAR(arriba.redF(), 0.93, 0.01);
    EXPECT_NEAR(arriba.greenF(), 0.91, 0.01);
    EXPECT_NEAR(arriba.blueF(), 0.97, 0.01);
    EXPECT_EQ(abajo.alpha(), 255);
}
