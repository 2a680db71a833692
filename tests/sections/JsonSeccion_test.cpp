// JSON forms of dimensions, saved sections and label states.

#include "sections/JsonSeccion.h"

#include <gtest/gtest.h>

using namespace quelva;
using nlohmann::json;

TEST(JsonSeccion, DimensionRoundTripWithShortestFloatsAndUpperCaseId)
{
    Cota2D c;
    c.p1 = {0.6f, -1.25f};
    c.p2 = {3.1f, 2};
    c.offsetLateral = 0.6f;
    const json j = cotaAJson(c);
    const std::string texto = j.dump();
    EXPECT_EQ(texto, "{\"id\":\"" + c.id.toString(QUuid::WithoutBraces).toUpper().toStdString() +
                         "\",\"offsetLateral\":0.6,\"p1\":[0.6,-1.25],\"p2\":[3.1,2.0]}");
    const auto r = cotaDesdeJson(json::parse(texto));
    ASSERT_TRUE(std::holds_alternative<Cota2D>(r));
    EXPECT_EQ(std::get<Cota2D>(r), c);
}

TEST(JsonSeccion, SavedSectionAndLabelRoundTrip)
{
    SeccionGuardada s;
    s.nombre = QString::fromUtf8("Planta baja ñ");
    s.eje = 1;
    s.posicion = 2.35;
    const json js = seccionGuardadaAJson(s);
    EXPECT_EQ(js.dump().find("\"posicion\":2.35"), js.dump().find("\"posicion\""));
    const auto rs = seccionGuardadaDesdeJson(json::parse(js.dump()));
    ASSERT_TRUE(std::holds_alternative<SeccionGuardada>(rs));
    EXPECT_EQ(std::get<SeccionGuardada>(rs), s);

    Etiqueta2D e;
    e.nombre = "Muro";
    e.key = "ARQ";
    e.visible = true;
    e.offsetTexto = {-4, 1.5f};
    const json je = etiquetaGuardadaAJson(guardarEtiqueta(e));
    EXPECT_EQ(je.dump(), "{\"key\":\"ARQ\",\"nombre\":\"Muro\",\"offsetTexto\":[-4.0,1.5],\"visible\":true}");
    const auto re = etiquetaGuardadaDesdeJson(je);
    ASSERT_TRUE(std::holds_alternative<Etiqueta2DGuardada>(re));
    const Etiqueta2D vuelta = etiquetaDesdeGuardada(std::get<Etiqueta2DGuardada>(re));
    EXPECT_EQ(vuelta.claveFusion(), e.claveFusion());
    EXPECT_TRUE(vuelta.visible);
    EXPECT_EQ(vuelta.offsetTexto, e.offsetTexto);
}

TEST(JsonSeccion, MissingOrWrongKeysFail)
{
    const json cota = cotaAJson(Cota2D{});
    const json seccion = seccionGuardadaAJson(SeccionGuardada{});
    const json etiqueta = etiquetaGuardadaAJson(Etiqueta2DGuardada{});
    for (const char* k : {"id", "p1", "p2", "offsetLateral"}) {
        json j = cota;
        j.erase(k);
        EXPECT_TRUE(std::holds_alternative<QString>(cotaDesdeJson(j))) << k;
    }
    for (const char* k : {"id", "nombre", "eje", "posicion"}) {
        json j = seccion;
        j.erase(k);
        EXPECT_TRUE(std::holds_alternative<QString>(seccionGuardadaDesdeJson(j))) << k;
    }
    for (const char* k : {"nombre", "key", "visible", "offsetTexto"}) {
        json j = etiqueta;
        j.erase(k);
        EXPECT_TRUE(std::holds_alternative<QString>(etiquetaGuardadaDesdeJson(j))) << k;
    }
    struct Caso {
        const char* clave;
        json valor;
    };
    const Caso malos[] = {{"id", "no-uuid"}, {"p1", json::array({1})}, {"p2", json::array({1, "x"})},
                          {"offsetLateral", "0.6"}};
    for (const Caso& m : malos) {
        json j = cota;
        j[m.clave] = m.valor;
        EXPECT_TRUE(std::holds_alternative<QString>(cotaDesdeJson(j))) << m.clave;
    }
    json eje = seccion;
    eje["eje"] = 1.5;
    EXPECT_TRUE(std::holds_alternative<QString>(seccionGuardadaDesdeJson(eje)));
    EXPECT_TRUE(std::holds_alternative<QString>(cotaDesdeJson(json::array())));
}
