#include "viewport/GeometriaLineas.h"

#include "platform/SystemColors.h"

#include <gtest/gtest.h>

using scene::Vec3;

namespace {

// World end points of each segment node of the outline.
std::vector<std::pair<Vec3, Vec3>> segmentos(const scene::Node& contenedor)
{
    std::vector<std::pair<Vec3, Vec3>> r;
    for (const auto& hijo : contenedor.children()) {
        const auto* fuente = hijo->geometry->source(scene::GeometrySource::Semantic::Vertex);
        EXPECT_EQ(fuente->vectorCount, 2);
        r.push_back({hijo->convertToWorld(scene::toDouble(*fuente->vectorAt(0))),
                     hijo->convertToWorld(scene::toDouble(*fuente->vectorAt(1)))});
    }
    return r;
}

void expectCerca(const Vec3& a, const Vec3& b)
{
    EXPECT_NEAR(a.x, b.x, 1e-4);
    EXPECT_NEAR(a.y, b.y, 1e-4);
    EXPECT_NEAR(a.z, b.z, 1e-4);
}

}  // namespace

TEST(GeometriaLineas, OutlineRunsThroughThePointerAndClosesFromTwoPointsOn)
{
    const Vec3 p0{0, 0, 0}, p1{4, 0, 0}, p2{4, 3, 0}, cursor{0, 3, 1};
    const struct { std::vector<Vec3> puntos; std::vector<std::pair<Vec3, Vec3>> esperados; } casos[] = {
        {{}, {}},
        {{p0}, {{p0, cursor}}},
        {{p0, p1}, {{p0, p1}, {p1, cursor}, {cursor, p0}}},
        {{p0, p1, p2}, {{p0, p1}, {p1, p2}, {p2, cursor}, {cursor, p0}}},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.puntos.size());
        const auto contenedor = quelva::geometriaLineas(caso.puntos, cursor);
        ASSERT_TRUE(contenedor);
        EXPECT_FALSE(contenedor->geometry);
        const auto got = segmentos(*contenedor);
        ASSERT_EQ(got.size(), caso.esperados.size());
        for (size_t i = 0; i < got.size(); ++i) {
            expectCerca(got[i].first, caso.esperados[i].first);
            expectCerca(got[i].second, caso.esperados[i].second);
        }
    }
}

TEST(GeometriaLineas, SegmentsAreGreenLinesDrawnOverTheModel)
{
    const auto contenedor = quelva::geometriaLineas({{1, 1, 1}}, {2, 2, 2});
    ASSERT_EQ(contenedor->children().size(), 1u);
    const auto& nodo = contenedor->children().front();
    EXPECT_EQ(nodo->renderingOrder, 10);
    ASSERT_EQ(nodo->geometry->elements().size(), 1u);
    const auto& elemento = nodo->geometry->elements().front();
    EXPECT_EQ(elemento.primitive, scene::GeometryElement::Primitive::Lines);
    EXPECT_EQ(elemento.indices, (std::vector<std::int32_t>{0, 1}));
    const auto material = nodo->geometry->firstMaterial();
    ASSERT_TRUE(material);
    const QColor verde = platform::systemColor(platform::SystemColor::green);
    const scene::Color esperado{verde.redF(), verde.greenF(), verde.blueF(), 0.8};
    ASSERT_TRUE(material->diffuse.color());
    EXPECT_EQ(*material->diffuse.color(), esperado);
    ASSERT_TRUE(material->emission.color());
    EXPECT_EQ(*material->emission.color(), esperado);
    EXPECT_EQ(material->lightingModel, scene::LightingModel::Constant);
    EXPECT_FALSE(material->readsFromDepthBuffer);
    EXPECT_FALSE(material->writesToDepthBuffer);
}

TEST(GeometriaLineas, GeoreferencedCoordinatesKeepTheirCentimetres)
{
    // Far from the origin a float has a step of half a metre; the segment must still end exactly.
    const Vec3 a{6'300'000.12, 2'100'000.34, 10}, b{6'300'003.45, 2'100'000.34, 10};
    const auto got = segmentos(*quelva::geometriaLineas({a}, b));
    ASSERT_EQ(got.size(), 1u);
    expectCerca(got[0].first, a);
    expectCerca(got[0].second, b);
}
