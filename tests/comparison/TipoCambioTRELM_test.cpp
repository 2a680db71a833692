#include "comparison/ResultadoTRELM.h"

#include <gtest/gtest.h>

using quelva::TipoCambioTRELM;

TEST(TipoCambioTRELM, OnlyTheExactStoredTextsGiveAKind)
{
    const struct { const char* texto; std::optional<TipoCambioTRELM> tipo; } casos[] = {
        {"Agregado", TipoCambioTRELM::agregado},
        {"Eliminado", TipoCambioTRELM::eliminado},
        {"Modificado", TipoCambioTRELM::modificado},
        {"agregado", std::nullopt},
        {" Modificado", std::nullopt},
        {"Igual", std::nullopt},
    };
    for (const auto& c : casos)
        EXPECT_EQ(quelva::tipoCambioTRELMDesdeTexto(QString::fromUtf8(c.texto)), c.tipo) << c.texto;
}

TEST(ResultadoTRELM, KindListsKeepTheOrderOfTheElements)
{
    quelva::ResultadoTRELM r;
    const struct { const char* nombre; TipoCambioTRELM tipo; } elementos[] = {
        {"Muro", TipoCambioTRELM::modificado}, {"Muro", TipoCambioTRELM::agregado},
        {"Viga", TipoCambioTRELM::modificado}, {"Muro", TipoCambioTRELM::modificado},
    };
    for (const auto& e : elementos) {
        quelva::ElementoCambioTRELM el;
        el.nombre = e.nombre;
        el.tipoCambio = e.tipo;
        r.elementos.push_back(el);
    }
    const auto modificados = r.modificados();
    ASSERT_EQ(modificados.size(), 3u);
    EXPECT_EQ(modificados[0].id, r.elementos[0].id);
    EXPECT_EQ(modificados[1].id, r.elementos[2].id);
    EXPECT_EQ(modificados[2].id, r.elementos[3].id);
    EXPECT_EQ(r.agregados().size(), 1u);
    EXPECT_TRUE(r.eliminados().empty());
}
