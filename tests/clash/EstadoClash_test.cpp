#include "clash/Interferencia.h"

#include <gtest/gtest.h>

using quelva::EstadoClash;

TEST(EstadoClash, OnlyTheExactStoredTextsGiveAStatus)
{
    const struct { const char* texto; std::optional<EstadoClash> estado; } casos[] = {
        {"Abierto", EstadoClash::abierto},
        {"En revisión", EstadoClash::enRevision},
        {"Aprobado", EstadoClash::aprobado},
        {"Resuelto", EstadoClash::resuelto},
        {"En revision", std::nullopt},
        {"abierto", std::nullopt},
        {"Open", std::nullopt},
        {" Abierto", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : casos)
        EXPECT_EQ(quelva::estadoClashDesdeTexto(QString::fromUtf8(c.texto)), c.estado) << c.texto;
    EXPECT_EQ(quelva::textoEstadoClash(EstadoClash::enRevision).toUtf8().size(), 12);
    for (EstadoClash e : quelva::todosLosEstadosClash)
        EXPECT_EQ(quelva::estadoClashDesdeTexto(quelva::textoEstadoClash(e)), e);
    EXPECT_EQ(quelva::todosLosEstadosClash.front(), EstadoClash::abierto);
    EXPECT_EQ(quelva::todosLosEstadosClash.back(), EstadoClash::resuelto);
}
