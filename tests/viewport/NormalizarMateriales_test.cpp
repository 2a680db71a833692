#include "viewport/NormalizarMateriales.h"

#include "scene/Primitives.h"

#include <gtest/gtest.h>

using scene::LightingModel;

TEST(NormalizarMateriales, GivesEveryGeometryAGreyOrItsOwnColourInPhong)
{
    auto sinMateriales = scene::Node::make(scene::makeBox(1, 1, 1));
    sinMateriales->geometry->materials.clear();
    quelva::normalizarMateriales(*sinMateriales);
    ASSERT_EQ(sinMateriales->geometry->materials.size(), 1u);
    const auto& gris = *sinMateriales->geometry->materials.front();
    ASSERT_TRUE(gris.diffuse.color());
    EXPECT_EQ(*gris.diffuse.color(), scene::Color::white(0.75));
    EXPECT_EQ(gris.lightingModel, LightingModel::Phong);

    auto mezclado = scene::Node::make(scene::makeBox(1, 1, 1));
    auto vacio = scene::makeMaterial();
    vacio->diffuse.contents = std::monostate{};
    vacio->lightingModel = LightingModel::Constant;
    auto coloreado = scene::makeMaterial();
    coloreado->diffuse.contents = scene::Color{0.2, 0.4, 0.6, 1};
    coloreado->lightingModel = LightingModel::Lambert;
    auto conImagen = scene::makeMaterial();
    QImage textura(2, 2, QImage::Format_RGBA8888);
    textura.fill(Qt::red);
    conImagen->diffuse.contents = textura;
    mezclado->geometry->materials = {vacio, coloreado, conImagen};

    quelva::normalizarMateriales(*mezclado);
    ASSERT_EQ(mezclado->geometry->materials.size(), 3u);
    EXPECT_EQ(*vacio->diffuse.color(), scene::Color::white(0.75));
    EXPECT_EQ(*coloreado->diffuse.color(), (scene::Color{0.2, 0.4, 0.6, 1}));
    EXPECT_TRUE(std::holds_alternative<QImage>(conImagen->diffuse.contents));
    for (const auto& m : mezclado->geometry->materials)
        EXPECT_EQ(m->lightingModel, LightingModel::Phong);
}

TEST(NormalizarMateriales, LeavesNodesWithoutGeometryAndTheirChildrenAlone)
{
    auto padre = scene::Node::make();
    auto hijo = scene::Node::make(scene::makeBox(1, 1, 1));
    hijo->geometry->firstMaterial()->lightingModel = LightingModel::Constant;
    padre->addChild(hijo);
    quelva::normalizarMateriales(*padre);
    EXPECT_FALSE(padre->geometry);
    EXPECT_EQ(hijo->geometry->firstMaterial()->lightingModel, LightingModel::Constant);
}
