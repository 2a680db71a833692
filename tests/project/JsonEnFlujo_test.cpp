#include "project/JsonEnFlujo.h"

#include "support/JsonParejo.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using nlohmann::json;
using quelva::LectorJsonEnFlujo;

std::optional<json> biblioteca(const std::string& texto)
{
    try {
        return json::parse(texto);
    } catch (const json::exception&) {
        return std::nullopt;
    }
}

// Each text, whole and a few bytes at a time: read as the JSON library reads it, or refused
// where the library refuses it.
TEST(LectorJsonEnFlujo, ReadsAndRefusesAsTheJsonLibraryDoes)
{
    const std::vector<std::string> textos = {
        // Structure.
        "{}", "[]", " \t\r\n{ \"a\" : [ 1 , { } , [ ] ] }\n ", R"({"a":{"b":{"c":[[[]]]}}})", R"([{"x":1},{"x":2}])",
        "", " ", "{", "[", "}", "]", "[1,]", "{,}", R"({"a":1,})", R"({"a" 1})", R"({"a":})", "{1:2}", "{a:1}",
        "[1 2]", "[1]x", "[1] [2]", "[1]\x0b", R"({"a":1 "b":2})", "[,1]",
        // A NUL byte where a token would start ends the input.
        std::string("[1] \0x", 6), std::string("18\0garbage", 11), std::string("\0", 1), std::string("[1,\0]", 6),
        std::string("tru\0", 4), std::string("\"a\0b\"", 5),
        // Literals.
        "true", "false", "null", "[true,false,null]", "tru", "nul", "nulll", "True", "[t]", "falsey",
        // Byte-order mark: skipped whole, refused in part.
        "\xEF\xBB\xBF[1]", "\xEF\xBB[1]", "\xEF[1]", "[\xEF\xBB\xBF" "1]",
        // Numbers.
        "0", "-0", "7", "-7", "01", "-01", "00", "1.5", "-1.5e-3", "1e5", "1E+5", "1e-5", "0.0", "-0.0", "1.", ".5",
        "+1", "-", "1e", "1e+", "1.e5", "0x10", "1.5.5", "18446744073709551615", "18446744073709551616",
        "9223372036854775807", "-9223372036854775808", "-9223372036854775809", "1e308", "1e309", "-1e400",
        "1e-400", "4.9e-324", "2.2250738585072014e-308", "0.1", "123456789012345678901234567890",
        "[1.7976931348623157e308]", "[-0]", "[1,-2,3.25]",
        // Texts.
        R"("")", R"("abc")", R"("a\"b\\c\/d\be\ff\ng\rh\ti")", R"("\u0041\u00e9\u20AC")", R"("\u0000")",
        R"("\ud83d\ude00")", R"("\uD834\uDD1E")", R"("\ud800")", R"("\udc00")", R"("\ud800\u0041")", R"("\ud800x")",
        R"("\ud800\udbff")", R"("\u12G4")", R"("\u12")", R"("\x")", R"("\U0041")", R"("abc)", "\"a\nb\"",
        "\"a\tb\"", "\"\x7f\"", "\"\x1f\"",
        // UTF-8 as it stands in a text: valid of every length, and what is not.
        "\"\xC3\xA9\"", "\"\xE2\x82\xAC\"", "\"\xF0\x9F\x98\x80\"", "\"\xF4\x8F\xBF\xBF\"", "\"\xED\x9F\xBF\"",
        "\"\xEE\x80\x80\"", "\"\xC0\x80\"", "\"\xC1\xBF\"", "\"\xE0\x80\x80\"", "\"\xE0\x9F\xBF\"", "\"\xED\xA0\x80\"",
        "\"\xF0\x80\x80\x80\"", "\"\xF0\x8F\xBF\xBF\"", "\"\xF4\x90\x80\x80\"", "\"\xF5\x80\x80\x80\"", "\"\xFF\"",
        "\"\x80\"", "\"\xC3\"", "\"\xE2\x82\"", "\"\xC3\x28\"", "\"\xE2\x28\xA1\"",
        // Keys are texts too, and a key met twice keeps the later value.
        R"({"\u00e9":1,"\ud83d\ude00":[2]})", R"({"a":1,"a":2})", "{\"\xC3\":1}", R"({"":0})",
        // A bit of everything, as a saved project has it.
        R"({"comentarios":[{"id":"X","imagenJPEG":"QUJD","tag":"MRK-1"}],"version":2,"timeLiner":{"paquetes":[{"progreso":0.4,"elementosNombre":["Muro-1","Viga \u00d1"]}]}})",
    };
    for (const std::string& texto : textos) {
        const std::optional<json> esperado = biblioteca(texto);
        for (const qint64 porVez : {qint64(0), qint64(1), qint64(2), qint64(3), qint64(7)}) {
            LectorJsonEnFlujo lector(64, [](const std::vector<std::string>&, json&) { return false; });
            bool leido;
            if (porVez == 0) {
                leido = lector.leer(texto.data(), texto.data() + texto.size());
            } else {
                testsupport::Goteo goteo(texto.data(), qint64(texto.size()), porVez);
                leido = lector.leer(goteo);
            }
            const std::string caso = "«" + texto + "» de a " + std::to_string(porVez);
            ASSERT_EQ(leido, esperado.has_value()) << caso;
            if (leido)
                EXPECT_TRUE(testsupport::mismoArbolJson(lector.raiz(), *esperado)) << caso << ": " << lector.raiz().dump();
        }
    }
}

// Records handed out keep the keys that lead to them and leave the tree; deeper documents than
// the limit are refused.
TEST(LectorJsonEnFlujo, HandsOutRecordsOfListsUnderObjectsAndRefusesDeepDocuments)
{
    const std::string texto = R"({"a":[{"n":1},{"n":2}],"b":{"c":[{"n":3}]},"d":[[{"n":4}]]})";
    std::vector<std::pair<std::string, int>> tomados;
    LectorJsonEnFlujo lector(64, [&](const std::vector<std::string>& claves, json& o) {
        std::string ruta;
        for (const std::string& c : claves)
            ruta += "/" + c;
        tomados.emplace_back(ruta, o["n"].get<int>());
        return o["n"] != 2;
    });
    ASSERT_TRUE(lector.leer(texto.data(), texto.data() + texto.size()));
    const std::vector<std::pair<std::string, int>> esperados = {{"/a", 1}, {"/a", 2}, {"/b/c", 3}};
    EXPECT_EQ(tomados, esperados);
    EXPECT_EQ(lector.raiz(), json::parse(R"({"a":[{"n":2}],"b":{"c":[]},"d":[[{"n":4}]]})"));

    const std::string hondo = std::string(10, '[') + std::string(10, ']');
    LectorJsonEnFlujo diez(10, [](const std::vector<std::string>&, json&) { return false; });
    EXPECT_TRUE(diez.leer(hondo.data(), hondo.data() + hondo.size()));
    LectorJsonEnFlujo nueve(9, [](const std::vector<std::string>&, json&) { return false; });
    EXPECT_FALSE(nueve.leer(hondo.data(), hondo.data() + hondo.size()));
}

}  // namespace
