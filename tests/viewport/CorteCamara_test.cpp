#include "viewport/CorteCamara.h"

#include <limits>

#include <gtest/gtest.h>

using quelva::EstadoCorteCamara;

TEST(CorteCamara, ButtonTurnsTheCutOnOrTogglesItsPanelButNeverTurnsItOff)
{
    const struct { bool modo, popover; bool modoDespues, popoverDespues; } casos[] = {
        {false, false, true, true},
        {true, true, true, false},   // open panel: the click closes it, the cut stays on
        {true, false, true, true},
    };
    for (const auto& caso : casos) {
        EstadoCorteCamara estado;
        estado.modoCorteCamara = caso.modo;
        estado.mostrarPopoverCorte = caso.popover;
        quelva::pulsarBotonCorte(estado);
        EXPECT_EQ(estado.modoCorteCamara, caso.modoDespues);
        EXPECT_EQ(estado.mostrarPopoverCorte, caso.popoverDespues);
    }
}

TEST(CorteCamara, SwitchingOffClosesThePanelSwitchingOnLeavesItAlone)
{
    EstadoCorteCamara estado{true, 0.5, true};
    quelva::cambiarModoCorte(estado, false);
    EXPECT_FALSE(estado.modoCorteCamara);
    EXPECT_FALSE(estado.mostrarPopoverCorte);

    estado.mostrarPopoverCorte = true;
    quelva::cambiarModoCorte(estado, true);
    EXPECT_TRUE(estado.modoCorteCamara);
    EXPECT_TRUE(estado.mostrarPopoverCorte);
}

TEST(CorteCamara, SliderStaysWithinItsRangeInSteps)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct { double pedido, guardado; } casos[] = {
        {1.25, 1.25}, {0.0, 0.05}, {-3, 0.05}, {7.5, 5.0}, {1.27, 1.25}, {1.28, 1.3}, {nan, 0.5},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.pedido);
        EstadoCorteCamara estado;
        quelva::cambiarDistanciaCorte(estado, caso.pedido);
        EXPECT_DOUBLE_EQ(estado.distanciaCorte, caso.guardado);
    }
}

TEST(CorteCamara, HelpTextShowsTheDistanceWhileOn)
{
    EstadoCorteCamara estado;
    EXPECT_EQ(quelva::ayudaBotonCorte(estado),
              QStringLiteral("Corte de cámara — navegación interior sin seccionar la escena"));
    estado.modoCorteCamara = true;
    estado.distanciaCorte = 1.25;
    EXPECT_EQ(quelva::ayudaBotonCorte(estado), QStringLiteral("Corte de cámara activo (1.25 m) — clic para ajustar"));
}

TEST(CorteCamara, TheViewGetsTheDistanceOnlyWhileTheCutIsOn)
{
    EstadoCorteCamara estado;
    EXPECT_FALSE(quelva::nearClipOverride(estado));
    estado.modoCorteCamara = true;
    EXPECT_EQ(quelva::nearClipOverride(estado), 0.5);
}
