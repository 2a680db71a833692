#include "main_window/comparacion/ReporteTRELMView.h"

#include <gtest/gtest.h>

#include <clocale>

using namespace quelva;

TEST(ReporteTRELM, DeltaTextShowsMillimetresAboveOne)
{
    // A comma locale must not reach the text.
    const char* antes = std::setlocale(LC_NUMERIC, "es_ES.UTF-8");
    const struct { float d; const char* texto; } casos[] = {
        {0.06f, "0.060 m"}, {1.23456f, "1.235 m"}, {0.0015f, "0.002 m"}, {0.001f, "—"}, {0.0f, "—"}, {-0.5f, "—"}};
    for (const auto& c : casos)
        EXPECT_EQ(textoDeltaTRELM(c.d), QString::fromUtf8(c.texto)) << c.d;
    if (antes)
        std::setlocale(LC_NUMERIC, "C");
}

TEST(ReporteTRELM, ModifiedOrderIsByTheLargerDeltaDescendingAndStable)
{
    ResultadoTRELM r;
    const struct { const char* nombre; TipoCambioTRELM tipo; float pos; float tam; } elementos[] = {
        {"a", TipoCambioTRELM::modificado, 0.2f, 0.1f},
        {"b", TipoCambioTRELM::agregado, 0, 0},
        {"c", TipoCambioTRELM::modificado, 0.0f, 0.3f},
        {"d", TipoCambioTRELM::modificado, 0.1f, 0.0f},
        {"e", TipoCambioTRELM::modificado, 0.0f, 0.2f},
        {"f", TipoCambioTRELM::modificado, 0.1f, 0.1f},
    };
    for (const auto& e : elementos) {
        ElementoCambioTRELM el;
        el.nombre = e.nombre;
        el.tipoCambio = e.tipo;
        el.deltaPosicion = e.pos;
        el.deltaTamano = e.tam;
        r.elementos.push_back(el);
    }
    QStringList orden;
    for (const auto& e : modificadosOrdenados(r))
        orden << e.nombre;
    EXPECT_EQ(orden, (QStringList{"c", "a", "e", "d", "f"}));
}
