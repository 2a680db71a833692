#include "federation/grid/GridNode.h"

#include <gtest/gtest.h>

using namespace quelva;

namespace {

using V = scene::Vec3f;

EjeGrilla eje(std::vector<V> puntos, bool esU = true)
{
    return EjeGrilla{QUuid::createUuid(), "A", esU, std::move(puntos)};
}

TEST(GridNode, JoinsConsecutivePointsOfEveryAxisIntoLineSegments)
{
    const auto nodo = crearNodoGrillasIFC({eje({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}), eje({{5, 5, 5}, {6, 6, 6}}, false)});
    ASSERT_NE(nodo, nullptr);
    EXPECT_EQ(nodo->name, "GrillasIFC");
    ASSERT_NE(nodo->geometry, nullptr);
    const auto* fuente = nodo->geometry->source(scene::GeometrySource::Semantic::Vertex);
    ASSERT_NE(fuente, nullptr);
    std::vector<V> vertices;
    for (int i = 0; i < fuente->vectorCount; ++i)
        vertices.push_back(*fuente->vectorAt(i));
    EXPECT_EQ(vertices, (std::vector<V>{{0, 0, 0}, {1, 0, 0}, {1, 0, 0}, {1, 1, 0}, {5, 5, 5}, {6, 6, 6}}));
    ASSERT_EQ(nodo->geometry->elements().size(), 1u);
    EXPECT_EQ(nodo->geometry->elements()[0].primitive, scene::GeometryElement::Primitive::Lines);
    EXPECT_EQ(nodo->geometry->elements()[0].indices, (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5}));
    const auto material = nodo->geometry->firstMaterial();
    ASSERT_NE(material, nullptr);
    EXPECT_TRUE(material->doubleSided);
    ASSERT_NE(material->diffuse.color(), nullptr);
    EXPECT_EQ(*material->diffuse.color(), scene::Color::white(0.55, 0.6));
}

TEST(GridNode, ReplacesTheOldNodeAndLeavesNoneWithoutAxes)
{
    auto raiz = scene::Node::make();
    auto primero = reemplazarNodoGrillasIFC(*raiz, nullptr, {eje({{0, 0, 0}, {1, 0, 0}})});
    ASSERT_NE(primero, nullptr);
    auto segundo = reemplazarNodoGrillasIFC(*raiz, primero, {eje({{0, 0, 0}, {2, 0, 0}})});
    ASSERT_EQ(raiz->children().size(), 1u);
    EXPECT_EQ(raiz->children()[0], segundo);
    EXPECT_EQ(primero->parent(), nullptr);

    EXPECT_EQ(reemplazarNodoGrillasIFC(*raiz, segundo, {}), nullptr);
    EXPECT_TRUE(raiz->children().empty());
    EXPECT_EQ(crearNodoGrillasIFC({eje({{0, 0, 0}})}), nullptr);
}

}  // namespace
