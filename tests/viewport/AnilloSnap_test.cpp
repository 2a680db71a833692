#include "viewport/AnilloSnap.h"

#include <limits>

#include <gtest/gtest.h>

TEST(AnilloSnap, RingGrowsWithDistanceButNeverBelowFiveCentimetres)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct { float distancia; double radio; } casos[] = {
        {0.0f, 0.05}, {1.0f, 0.05}, {4.0f, 0.05}, {-10.0f, 0.05}, {nan, 0.05}, {inf, 0.05},
        {100.0f, double(0.012f * 100.0f)}, {1000.0f, double(0.012f * 1000.0f)},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.distancia);
        const double r = quelva::radioAnilloSnap(caso.distancia);
        EXPECT_GE(r, 0.05);
        EXPECT_NEAR(r, caso.radio, 1e-7);
    }
}

TEST(AnilloSnap, RingSitsAtThePointAndIsDrawnOverTheModel)
{
    const auto nodo = quelva::nodoAnilloSnap({1, 2, 3}, 500.0f);
    EXPECT_EQ(nodo->position, (scene::Vec3{1, 2, 3}));
    EXPECT_EQ(nodo->renderingOrder, 10);
    EXPECT_FALSE(nodo->name);
    const auto material = nodo->geometry->firstMaterial();
    ASSERT_TRUE(material);
    EXPECT_EQ(material->lightingModel, scene::LightingModel::Constant);
    EXPECT_FALSE(material->readsFromDepthBuffer);
    EXPECT_FALSE(material->writesToDepthBuffer);
    // Ring radius 6 m plus the pipe (0.18 of it) on either side.
    const scene::Box caja = nodo->geometry->localBounds();
    EXPECT_NEAR(caja.max.x, 6.0 * 1.18, 0.01);
}
