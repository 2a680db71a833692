#include "comparison/MiniaturasTRELM.h"
#include "comparison/support/ModelosTRELM.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace quelva;

namespace {

ElementoCambioTRELM elemento(const char* tipo, const char* nombre, TipoCambioTRELM cambio)
{
    ElementoCambioTRELM e;
    e.tipoIFC = QString::fromUtf8(tipo);
    e.nombre = QString::fromUtf8(nombre);
    e.tipoCambio = cambio;
    return e;
}

}  // namespace

TEST(MiniaturasTRELM, ElementsAreFoundByTheirSplitNameAlsoWhenItHoldsASlash)
{
    auto m = pruebas_trelm::modelo({{"IfcDoor/Puerta 90/210", {0, 0, 0}, {1, 1, 2}},
                                    {"Muro", {0, 0, 0}, {1, 1, 1}},
                                    {"IfcWall/Muro", {5, 0, 0}, {6, 1, 1}}});
    const struct { const char* tipo; const char* nombre; int hijo; } casos[] = {
        {"IfcDoor", "Puerta 90/210", 0}, {"", "Muro", 1}, {"IfcWall", "Muro", 2}, {"IfcSlab", "Muro", -1}};
    for (const auto& c : casos) {
        const scene::NodePtr n = buscarNodoTRELM(elemento(c.tipo, c.nombre, TipoCambioTRELM::agregado), m);
        EXPECT_EQ(n, c.hijo < 0 ? nullptr : m->children()[size_t(c.hijo)]) << c.tipo << "/" << c.nombre;
    }
    EXPECT_EQ(buscarNodoTRELM(elemento("", "Muro", TipoCambioTRELM::agregado), nullptr), nullptr);
}

TEST(MiniaturasTRELM, GatheringSearchesTheModelOfEachKindAndCopiesWithoutTouchingIt)
{
    auto base = pruebas_trelm::modelo({{"IfcWall/Quitado", {0, 0, 0}, {1, 1, 1}},
                                       {"IfcWall/Renombrado", {0, 0, 0}, {1, 1, 1}}});
    auto nuevo = pruebas_trelm::modelo({{"IfcWall/Puesto", {0, 0, 0}, {1, 1, 1}},
                                        {"IfcWall/Movido", {0, 0, 0}, {1, 1, 1}}});
    base->addChild(pruebas_trelm::nodoCaja("IfcWall/Movido", {2, 0, 0}, {3, 1, 1}));
    const std::vector<ElementoCambioTRELM> elementos{
        elemento("IfcWall", "Puesto", TipoCambioTRELM::agregado),
        elemento("IfcWall", "Quitado", TipoCambioTRELM::eliminado),
        elemento("IfcWall", "Movido", TipoCambioTRELM::modificado),
        // Matched by GlobalId under another name in the new version: pictured from the base.
        elemento("IfcWall", "Renombrado", TipoCambioTRELM::modificado),
        elemento("IfcWall", "Puesto", TipoCambioTRELM::eliminado),  // not in the base
    };
    const auto entradas = reunirMiniaturasTRELM(elementos, nuevo, base);
    ASSERT_EQ(entradas.size(), 4u);
    const struct { const char* nombre; scene::NodePtr fuente; TipoCambioTRELM tipo; } esperado[] = {
        {"Puesto", nuevo->children()[0], TipoCambioTRELM::agregado},
        {"Quitado", base->children()[0], TipoCambioTRELM::eliminado},
        {"Movido", nuevo->children()[1], TipoCambioTRELM::modificado},
        {"Renombrado", base->children()[1], TipoCambioTRELM::modificado},
    };
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(entradas[i].nombre, esperado[i].nombre);
        EXPECT_EQ(entradas[i].color, colorMiniaturaTRELM(esperado[i].tipo));
        ASSERT_TRUE(entradas[i].copia);
        EXPECT_NE(entradas[i].copia, esperado[i].fuente);
        EXPECT_EQ(entradas[i].copia->boundingBox(), esperado[i].fuente->boundingBox());
        EXPECT_EQ(entradas[i].copia->parent(), nullptr);
    }
    // Without a new model the modified ones come from the base.
    const auto soloBase = reunirMiniaturasTRELM({elementos[2]}, nullptr, base);
    ASSERT_EQ(soloBase.size(), 1u);
    EXPECT_EQ(soloBase[0].copia->boundingBox(), base->children()[2]->boundingBox());
    EXPECT_EQ(base->children().size(), 3u);
    EXPECT_EQ(nuevo->children().size(), 2u);
}

TEST(MiniaturasTRELM, CameraLooksAtTheBoxAndStaysUsableWithoutExtent)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct { const char* caso; scene::Box caja; double L; scene::Vec3 centro; } casos[] = {
        {"caja de 2 m", {{0, 0, 0}, {2, 1, 0.5}}, 2, {1, 0.5, 0.25}},
        {"caja pequeña", {{0, 0, 0}, {0.1, 0.1, 0.1}}, 0.1, {0.05, 0.05, 0.05}},
        {"un punto", {{3, 3, 3}, {3, 3, 3}}, 1, {3, 3, 3}},
        {"no finita", {{0, 0, 0}, {inf, 1, 1}}, 1, {}},
        {"NaN", {{nan, 0, 0}, {1, 1, 1}}, 1, {}},
    };
    for (const auto& c : casos) {
        const render::ThumbnailCamera cam = camaraMiniaturaTRELM(c.caja);
        const double d = std::max(0.15, 0.75 * c.L);
        EXPECT_NEAR(cam.zFar, 50 * c.L, 1e-9) << c.caso;
        EXPECT_NEAR(cam.zNear, std::max(0.005, 0.001 * c.L), 1e-12) << c.caso;
        EXPECT_GT(cam.zFar, cam.zNear) << c.caso;
        if (std::string(c.caso) == "no finita" || std::string(c.caso) == "NaN") {
            EXPECT_TRUE(std::isfinite(cam.target.x) && std::isfinite(cam.position.x)) << c.caso;
            continue;
        }
        EXPECT_EQ(cam.target, c.centro) << c.caso;
        EXPECT_NEAR(cam.position.x - c.centro.x, d, 1e-12) << c.caso;
        EXPECT_NEAR(cam.position.y - c.centro.y, d, 1e-12) << c.caso;
        EXPECT_NEAR(cam.position.z - c.centro.z, 0.6 * d, 1e-12) << c.caso;  // Z up: above the element
    }
}
