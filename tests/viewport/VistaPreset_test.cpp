#include "viewport/VistaPreset.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

using quelva::VistaPreset;
using scene::Vec3;

namespace {

void expectVec(const Vec3& got, const Vec3& want)
{
    EXPECT_DOUBLE_EQ(got.x, want.x);
    EXPECT_DOUBLE_EQ(got.y, want.y);
    EXPECT_DOUBLE_EQ(got.z, want.z);
}

}  // namespace

TEST(VistaPreset, ButtonsComeInToolbarOrderWithTheirLabelsAndSymbols)
{
    const char* etiquetas[] = {"Top", "Front", "Back", "Left", "Right", "ISO L", "ISO R"};
    const char* simbolos[] = {"arrow.up.square", "rectangle.portrait", "rectangle.portrait.fill",
                              "arrow.left.square", "arrow.right.square", "view.3d", "view.3d"};
    for (size_t i = 0; i < quelva::kBotonesPreset.size(); ++i) {
        EXPECT_EQ(int(quelva::kBotonesPreset[i].preset), int(i));
        EXPECT_STREQ(quelva::kBotonesPreset[i].etiqueta, etiquetas[i]);
        EXPECT_STREQ(quelva::kBotonesPreset[i].simbolo, simbolos[i]);
    }
}

TEST(VistaPreset, EachPresetPlacesTheCameraTwoAndAHalfSizesFromTheCentre)
{
    const Vec3 c{10, 20, 3};
    const double d = 2.5 * 4;
    const struct { VistaPreset preset; Vec3 posicion; Vec3 arriba; } casos[] = {
        {VistaPreset::arriba, {10, 20, 3 + d}, {0, 1, 0}},
        {VistaPreset::frontal, {10, 20 - d, 3}, {0, 0, 1}},
        {VistaPreset::posterior, {10, 20 + d, 3}, {0, 0, 1}},
        {VistaPreset::izquierda, {10 - d, 20, 3}, {0, 0, 1}},
        {VistaPreset::derecha, {10 + d, 20, 3}, {0, 0, 1}},
        {VistaPreset::isoIzquierda, {10 - d, 20 - d, 3 + 0.7 * d}, {0, 0, 1}},
        {VistaPreset::isoDerecha, {10 + d, 20 - d, 3 + 0.7 * d}, {0, 0, 1}},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(int(caso.preset));
        const auto pose = quelva::poseVista(caso.preset, c.x, c.y, c.z, 4.0f);
        ASSERT_TRUE(pose);
        expectVec(pose->posicion, caso.posicion);
        expectVec(pose->arriba, caso.arriba);
        expectVec(pose->objetivo, c);
        EXPECT_DOUBLE_EQ(pose->zFar, 800.0);
        EXPECT_DOUBLE_EQ(pose->zNear, 0.01);
    }
}

TEST(VistaPreset, ClippingDistancesFollowTheSizeWithANearFloorOfOneCentimetre)
{
    const struct { float r; double near, farEnfoque, farVista; } casos[] = {
        {20.0f, double(20.0f * 0.001f), 2000, 4000},
        {9.0f, 0.01, 900, 1800},  // a small model never gets a nearer plane than 1 cm
        {5000.0f, 5.0, 500000, 1000000},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.r);
        const auto enfoque = quelva::poseEnfoque(0, 0, 0, caso.r);
        const auto vista = quelva::poseVista(VistaPreset::arriba, 0, 0, 0, caso.r);
        ASSERT_TRUE(enfoque && vista);
        EXPECT_DOUBLE_EQ(enfoque->zNear, caso.near);
        EXPECT_DOUBLE_EQ(enfoque->zFar, caso.farEnfoque);
        EXPECT_DOUBLE_EQ(vista->zNear, enfoque->zNear);
        EXPECT_DOUBLE_EQ(vista->zFar, caso.farVista);
    }
}

TEST(VistaPreset, FocusLooksFromPlusXMinusYPlusZWithZUp)
{
    const auto pose = quelva::poseEnfoque(1, 2, 3, 20.0f);
    ASSERT_TRUE(pose);
    expectVec(pose->posicion, {21, -18, 23});
    expectVec(pose->objetivo, {1, 2, 3});
    expectVec(pose->arriba, {0, 0, 1});
}

TEST(VistaPreset, UnusableInputNeverReachesTheCamera)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const float fnan = std::numeric_limits<float>::quiet_NaN();
    const float finf = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(quelva::poseEnfoque(nan, 0, 0, 1));
    EXPECT_FALSE(quelva::poseEnfoque(0, inf, 0, 1));
    EXPECT_FALSE(quelva::poseEnfoque(0, 0, 0, fnan));
    EXPECT_FALSE(quelva::poseEnfoque(0, 0, 0, finf));
    EXPECT_FALSE(quelva::poseVista(VistaPreset::frontal, 0, 0, -inf, 1));
    // Far plane would overflow single precision.
    EXPECT_FALSE(quelva::poseVista(VistaPreset::frontal, 0, 0, 0, 3e37f));
    // Too far from the origin for the offset to register: the camera would sit on its target.
    EXPECT_FALSE(quelva::poseVista(VistaPreset::izquierda, 1e300, 0, 0, 1));

    // A size of zero (a point) frames 10 m instead of collapsing the camera onto the point.
    const auto punto = quelva::poseEnfoque(0, 0, 0, 0.0f);
    ASSERT_TRUE(punto);
    expectVec(punto->posicion, {10, -10, 10});
}

TEST(VistaPreset, FramingUsesTheCentreAndLargestSideOfTheBox)
{
    EXPECT_FALSE(quelva::encuadreDeCaja(std::nullopt));
    EXPECT_FALSE(quelva::encuadreDeCaja(scene::Box{{2, 2, 2}, {2, 2, 2}}));

    const auto normal = quelva::encuadreDeCaja(scene::Box{{-10, 0, 0}, {10, 4, 6}});
    ASSERT_TRUE(normal);
    expectVec(normal->centro, {0, 2, 3});
    EXPECT_FLOAT_EQ(normal->radio, 20.0f);

    // Flat in z: framed normally with its largest side.
    const auto plano = quelva::encuadreDeCaja(scene::Box{{0, 0, 5}, {3, 8, 5}});
    ASSERT_TRUE(plano);
    expectVec(plano->centro, {1.5, 4, 5});
    EXPECT_FLOAT_EQ(plano->radio, 8.0f);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(quelva::encuadreDeCaja(scene::Box{{0, 0, 0}, {nan, 1, 1}}));
}
