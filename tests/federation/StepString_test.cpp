#include "federation/ifc/StepString.h"

#include <gtest/gtest.h>

#include <string>

using quelva::decodificarCadenaSTEP;

namespace {

struct CasoCadena {
    const char* escrito;
    std::string esperado;
};

TEST(StepString, DecodesTheEscapeTable)
{
    const CasoCadena casos[] = {
        {"Muro b\\X\\E1sico", "Muro b\u00e1sico"},
        {"Muro b\\X\\e1sico", "Muro b\u00e1sico"},
        {"L''Hospitalet", "L'Hospitalet"},
        {"C:\\\\planos\\\\a.ifc", "C:\\planos\\a.ifc"},
        {"Espa\\S\\qa", "Espa\u00f1a"},
        {"\\X2\\00E900F1\\X0\\", "\u00e9\u00f1"},
        {"grua \\X2\\D83DDEA7\\X0\\ fin", "grua \U0001F6A7 fin"},
        {"\\X4\\0001F3D7\\X0\\", "\U0001F3D7"},
        {"a\\X4\\000000E9000020AC\\X0\\b", "a\u00e9\u20acb"},
        {"\\PB\\\\S\\#", "\u0141"},       // page B is ISO 8859-2
        {"\\PE\\\\S\\K", "\u042b"},       // page E is ISO 8859-5 (Cyrillic)
        {"\\S\\a\\PA\\\\S\\a", "\u00e1\u00e1"},
        {"Sal\u00f3n", "Sal\u00f3n"},     // raw UTF-8 passes through
        {"", ""},
    };
    for (const auto& caso : casos)
        EXPECT_EQ(decodificarCadenaSTEP(caso.escrito), caso.esperado) << caso.escrito;
}

TEST(StepString, KeepsMalformedEscapesLiterally)
{
    const CasoCadena casos[] = {
        {"\\X\\G1", "\\X\\G1"},
        {"\\X\\E", "\\X\\E"},
        {"\\X2\\00E", "\\X2\\00E"},
        {"\\X2\\00E9", "\\X2\\00E9"},            // no \X0\ terminator
        {"\\X2\\00E9ZZ\\X0\\", "\\X2\\00E9ZZ\\X0\\"},
        {"\\X4\\0001F3\\X0\\", "\\X4\\0001F3\\X0\\"},
        {"\\S\\", "\\S\\"},
        {"\\PZ\\x", "\\PZ\\x"},
        {"fin\\", "fin\\"},
        {"\\Q\\", "\\Q\\"},
        {"a'b", "a'b"},
    };
    for (const auto& caso : casos)
        EXPECT_EQ(decodificarCadenaSTEP(caso.escrito), caso.esperado) << caso.escrito;
}

TEST(StepString, ReplacesUnpairedSurrogatesAndOutOfRangeCodePoints)
{
    EXPECT_EQ(decodificarCadenaSTEP("\\X2\\D83D0041\\X0\\"), "\ufffdA");
    EXPECT_EQ(decodificarCadenaSTEP("\\X2\\DE00\\X0\\"), "\ufffd");
    EXPECT_EQ(decodificarCadenaSTEP("\\X4\\00110000\\X0\\"), "\ufffd");
}

TEST(StepString, SurvivesArbitraryBytes)
{
    std::string basura;
    for (int i = 0; i < 4096; ++i)
        basura.push_back(static_cast<char>((i * 7919 + 13) % 256));
    basura += "\\X2\\\\X4\\\\S\\\\P";
    const std::string salida = decodificarCadenaSTEP(basura);
    EXPECT_FALSE(salida.empty());
}

}  // namespace
