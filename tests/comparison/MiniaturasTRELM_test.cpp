#include "comparison/MiniaturasTRELM.h"
#include "comparison/NombresTRELM.h"
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
    const IndiceNodosTRELM indice(m);
    for (const auto& c : casos) {
        const scene::NodePtr n = indice.buscar(elemento(c.tipo, c.nombre, TipoCambioTRELM::agregado));
        EXPECT_EQ(n, c.hijo < 0 ? nullptr : m->children()[size_t(c.hijo)]) << c.tipo << "/" << c.nombre;
    }
    EXPECT_EQ(IndiceNodosTRELM(nullptr).buscar(elemento("", "Muro", TipoCambioTRELM::agregado)), nullptr);
}

TEST(MiniaturasTRELM, AnElementNamedTwiceIsFoundAtItsFirstNodeWithGeometryModelFirstThenDepthFirst)
{
    // modelo "IfcSlab/Losa" (with geometry)
    //   grupo "IfcWall/Muro" (no geometry)
    //     muro "IfcWall/Muro"
    //   otroMuro "/IfcWall/Muro" (splits the same way)
    //   losa "IfcSlab/Losa"
    //   viga "Viga", otraViga "Viga"
    auto m = pruebas_trelm::nodoCaja("IfcSlab/Losa", {0, 0, 0}, {9, 9, 1});
    auto grupo = scene::Node::make();
    grupo->name = "IfcWall/Muro";
    auto muro = pruebas_trelm::nodoCaja("IfcWall/Muro", {0, 0, 0}, {1, 1, 1});
    grupo->addChild(muro);
    auto otroMuro = pruebas_trelm::nodoCaja("/IfcWall/Muro", {2, 0, 0}, {3, 1, 1});
    auto losa = pruebas_trelm::nodoCaja("IfcSlab/Losa", {0, 0, 1}, {9, 9, 2});
    auto viga = pruebas_trelm::nodoCaja("Viga", {0, 0, 3}, {9, 1, 4});
    auto otraViga = pruebas_trelm::nodoCaja("Viga", {0, 5, 3}, {9, 6, 4});
    for (const scene::NodePtr& n : {grupo, otroMuro, losa, viga, otraViga})
        m->addChild(n);
    const IndiceNodosTRELM indice(m);
    const struct { const char* tipo; const char* nombre; scene::NodePtr nodo; } casos[] = {
        {"IfcWall", "Muro", muro}, {"IfcSlab", "Losa", m}, {"", "Viga", viga}, {"", "IfcWall/Muro", nullptr}};
    for (const auto& c : casos)
        EXPECT_EQ(indice.buscar(elemento(c.tipo, c.nombre, TipoCambioTRELM::eliminado)), c.nodo)
            << c.tipo << "/" << c.nombre;
}

TEST(MiniaturasTRELM, ARecordNamedAsTheComparisonNamesItFindsItsNodeWhateverBytesTheNameHolds)
{
    // Names read as text: accents, a byte-order mark that the reading drops, bytes that are not
    // UTF-8 and read as replacement characters, a nameless node.
    const char* nombres[] = {"IfcWall/Muro Ñandú", "\xEF\xBB\xBFMuro", "IfcWall/\xEF\xBB\xBFMuro",
                             "IfcWall/Mur\xFF", "Ifc\xC3Wall/Muro", "IfcWall/"};
    auto m = scene::Node::make();
    for (const char* n : nombres)
        m->addChild(pruebas_trelm::nodoCaja(n, {0, 0, 0}, {1, 1, 1}));
    m->addChild(scene::Node::make(m->children()[0]->geometry));  // no name
    const IndiceNodosTRELM indice(m);
    for (const scene::NodePtr& hijo : m->children()) {
        const NombreYTipoTRELM n = tipoYNombreDeNodo(*hijo);
        ElementoCambioTRELM e = elemento("", "", TipoCambioTRELM::agregado);
        e.tipoIFC = n.tipoIFC;
        e.nombre = n.nombre;
        EXPECT_EQ(indice.buscar(e), hijo) << (hijo->name ? *hijo->name : std::string("(sin nombre)"));
    }
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
