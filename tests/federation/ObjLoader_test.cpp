#include "federation/obj/ObjLoader.h"

#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace quelva;

namespace {

using V = scene::Vec3f;

std::vector<V> posiciones(const scene::Node& nodo)
{
    std::vector<V> salida;
    const auto* fuente = nodo.geometry->source(scene::GeometrySource::Semantic::Vertex);
    for (int i = 0; fuente && i < fuente->vectorCount; ++i)
        salida.push_back(*fuente->vectorAt(i));
    return salida;
}

std::vector<V> normales(const scene::Node& nodo)
{
    std::vector<V> salida;
    const auto* fuente = nodo.geometry->source(scene::GeometrySource::Semantic::Normal);
    for (int i = 0; fuente && i < fuente->vectorCount; ++i)
        salida.push_back(*fuente->vectorAt(i));
    return salida;
}

std::vector<std::string> nombres(const scene::Node& contenedor)
{
    std::vector<std::string> salida;
    for (const auto& hijo : contenedor.children())
        salida.push_back(hijo->name.value_or("<sin nombre>"));
    return salida;
}

const char* kCuatroVertices =
    "v 0 0 0\n"
    "v 1 0 0\n"
    "v 1 1 0\n"
    "v 0 1 0\n"
    "vn 0 0 1\n"
    "vn 0 0 2\n"
    "vn 0 0 3\n";

TEST(ObjLoader, BuildsOneNodePerGroupWithGreyDoubleSidedMaterial)
{
    const auto contenedor = cargarOBJ(testsupport::fixturePath("federation/dos_grupos.obj").toStdString());
    ASSERT_NE(contenedor, nullptr);
    EXPECT_FALSE(contenedor->name.has_value());
    ASSERT_EQ(nombres(*contenedor), (std::vector<std::string>{"IfcWall/Muro b\u00e1sico", "IfcSlab/Losa 1"}));
    const auto& muro = *contenedor->children()[0];
    ASSERT_NE(muro.geometry, nullptr);
    EXPECT_EQ(muro.geometry->name, "IfcWall/Muro b\u00e1sico");
    EXPECT_EQ(posiciones(muro), (std::vector<V>{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}));
    EXPECT_EQ(normales(muro), (std::vector<V>{{0, 0, 1}, {0, 0, 1}, {0, 0, 1}}));
    ASSERT_EQ(muro.geometry->elements().size(), 1u);
    EXPECT_EQ(muro.geometry->elements()[0].primitive, scene::GeometryElement::Primitive::Triangles);
    EXPECT_EQ(muro.geometry->elements()[0].indices, (std::vector<std::int32_t>{0, 1, 2}));
    const auto material = muro.geometry->firstMaterial();
    ASSERT_NE(material, nullptr);
    ASSERT_NE(material->diffuse.color(), nullptr);
    EXPECT_EQ(*material->diffuse.color(), scene::Color::white(0.75, 1.0));
    EXPECT_EQ(material->lightingModel, scene::LightingModel::Phong);
    EXPECT_TRUE(material->doubleSided);
    // Every group gets its own material.
    EXPECT_NE(contenedor->children()[1]->geometry->firstMaterial(), material);
}

TEST(ObjLoader, CrLfFileLoadsLikeLfFile)
{
    const auto lf = cargarOBJ(testsupport::fixturePath("federation/dos_grupos.obj").toStdString());
    const auto crlf = cargarOBJ(testsupport::fixturePath("federation/dos_grupos_crlf.obj").toStdString());
    ASSERT_NE(crlf, nullptr);
    EXPECT_EQ(nombres(*crlf), nombres(*lf));
    for (size_t i = 0; i < lf->children().size(); ++i) {
        EXPECT_EQ(posiciones(*crlf->children()[i]), posiciones(*lf->children()[i]));
        EXPECT_EQ(normales(*crlf->children()[i]), normales(*lf->children()[i]));
    }
}

TEST(ObjLoader, FacesBeforeAnyGroupAndNamelessGroupsAreDefault)
{
    const auto c = cargarOBJDesdeTexto(std::string(kCuatroVertices)
                                       + "f 1 2 3\n"
                                       + "g a b  \n"
                                       + "f 1 2 3\n"
                                       + "g\n"
                                       + "g    \n"
                                       + "f 1 2 3\n"
                                       + "o primero\n"
                                       + "o segundo\n"
                                       + "f 1 2 3\n"
                                       + "g a b\n"
                                       + "f 1 2 3\n");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(nombres(*c), (std::vector<std::string>{"default", "a b", "default", "segundo", "a b"}));
}

TEST(ObjLoader, FansPolygonsIntoTrianglesInFileOrder)
{
    const auto c = cargarOBJDesdeTexto(std::string(kCuatroVertices) + "f 1 2 3 4\nf 1 2\n");
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->children().size(), 1u);
    EXPECT_EQ(posiciones(*c->children()[0]),
              (std::vector<V>{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, 0}, {1, 1, 0}, {0, 1, 0}}));
    EXPECT_EQ(c->children()[0]->geometry->elements()[0].indices, (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5}));
}

TEST(ObjLoader, KeepsNormalsOnlyWhenEveryCornerHasOne)
{
    struct Caso {
        const char* cara;
        std::vector<V> esperado;
    };
    const Caso casos[] = {
        {"f 1//1 2//2 3//3", {{0, 0, 1}, {0, 0, 2}, {0, 0, 3}}},
        {"f 1/1/1 2/2/2 3/3/3", {{0, 0, 1}, {0, 0, 2}, {0, 0, 3}}},
        {"f 1/1 2/2 3/3", {}},
        {"f 1//1 2//2 3", {}},
        {"f 1//1 2//2 3//9", {}},   // normal index beyond the list
        {"f 1//1 2//2 3//x", {}},
        {"f 1//1 2//2 3//-1", {}},
    };
    for (const auto& caso : casos) {
        const auto c = cargarOBJDesdeTexto(std::string(kCuatroVertices) + caso.cara + "\n");
        ASSERT_NE(c, nullptr) << caso.cara;
        EXPECT_EQ(normales(*c->children()[0]), caso.esperado) << caso.cara;
        EXPECT_EQ(posiciones(*c->children()[0]).size(), 3u) << caso.cara;
    }
}

TEST(ObjLoader, NormalsAreAllOrNothingAcrossTheWholeGroup)
{
    const auto c = cargarOBJDesdeTexto(std::string(kCuatroVertices) + "f 1//1 2//2 3//3\nf 1 3 4\n");
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(normales(*c->children()[0]).empty());
    EXPECT_EQ(posiciones(*c->children()[0]).size(), 6u);
}

TEST(ObjLoader, EveryVertexLineKeepsItsNumberAndUnusableOnesDropTheirFaces)
{
    const char* vertices =
        "v 1 2 x\n"           // 1: not a number
        "v 1 2\n"             // 2: too few
        "v 1e39 0 0\n"        // 3: out of float range
        "v  +1.5   -2e1 3.  extra\n"  // 4
        "V 9 9 9\n"           // not a vertex line
        "v\t5\t5\t5\n"        // tabs do not separate tokens: not a vertex line either
        "v 7 8 9\n"           // 5
        "v 0 0 0\n"           // 6
        "v inf 0 0\n"         // 7: not finite
        "v 1 1 1\n";          // 8
    const auto c = cargarOBJDesdeTexto(std::string(vertices) +
                                       "g lejos\nf 3 4 5\nf 1 2 4\nf 5 6 8 7\n"  // every face uses an unusable vertex
                                       "g muro\nf 4 5 6\nf 6 5 8 4\n");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(nombres(*c), (std::vector<std::string>{"muro"}));
    EXPECT_EQ(posiciones(*c->children()[0]), (std::vector<V>{{1.5f, -20, 3}, {7, 8, 9}, {0, 0, 0},
                                                             {0, 0, 0}, {7, 8, 9}, {1, 1, 1},
                                                             {0, 0, 0}, {1, 1, 1}, {1.5f, -20, 3}}));
    // an unusable normal leaves its corners without one, so the group gets none
    const auto n = cargarOBJDesdeTexto(std::string(kCuatroVertices) + "vn 0 0 x\nvn 0 0 5\nf 1//1 2//2 3//5\n"
                                       "g b\nf 1//1 2//2 3//4\n");
    ASSERT_NE(n, nullptr);
    ASSERT_EQ(n->children().size(), 2u);
    EXPECT_EQ(normales(*n->children()[0]), (std::vector<V>{{0, 0, 1}, {0, 0, 2}, {0, 0, 5}}));
    EXPECT_TRUE(normales(*n->children()[1]).empty());
}

TEST(ObjLoader, ReadingInStretchesGivesTheSameNodes)
{
    // groups, vertices and unusable lines fall on every side of the stretch ends
    std::string texto;
    int vertices = 0;
    for (int g = 0; g < 40; ++g) {
        if (g % 3 != 1)
            texto += "g grupo " + std::to_string(g) + "\n";
        if (g % 7 == 2)
            texto += "g repetido\n";
        for (int k = 0; k < 5; ++k)
            texto += g % 5 == 3 && k == 2 ? "v 1e40 0 0\n" : "v " + std::to_string(g) + " " + std::to_string(k) + " 1\n";
        texto += "vn 0 0 1\n";
        vertices += 5;
        for (int k = 0; k + 2 < 5; ++k)
            texto += "f " + std::to_string(vertices - 4) + "//" + std::to_string(g + 1) + " " +
                     std::to_string(vertices - 3 + k) + "//" + std::to_string(g + 1) + " " +
                     std::to_string(vertices - 2 + k) + "//" + std::to_string(g + 1) + "\n";
    }
    const auto uno = cargarOBJDesdeTexto(texto, 1);
    ASSERT_NE(uno, nullptr);
    for (unsigned hilos : {2u, 3u, 7u, 16u}) {
        SCOPED_TRACE(hilos);
        const auto varios = cargarOBJDesdeTexto(texto, hilos);
        ASSERT_NE(varios, nullptr);
        ASSERT_EQ(nombres(*varios), nombres(*uno));
        for (size_t i = 0; i < uno->children().size(); ++i) {
            EXPECT_EQ(posiciones(*varios->children()[i]), posiciones(*uno->children()[i])) << i;
            EXPECT_EQ(normales(*varios->children()[i]), normales(*uno->children()[i])) << i;
        }
    }
}

TEST(ObjLoader, OutOfRangeIndicesPutTheCornerAtTheOrigin)
{
    const auto c = cargarOBJDesdeTexto(
        "v 1 1 1\nv 2 2 2\nv 3 3 3\n"
        "f 0 -1 4\n"
        "f 99999999999999999999 2 x/1/1\n"
        "f 1/2/3/4 2 3\n");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(posiciones(*c->children()[0]), (std::vector<V>{{0, 0, 0}, {0, 0, 0}, {0, 0, 0},
                                                             {0, 0, 0}, {2, 2, 2}, {1, 1, 1},  // "x" counts as 1
                                                             {1, 1, 1}, {2, 2, 2}, {3, 3, 3}}));
}

TEST(ObjLoader, IgnoresOtherStatements)
{
    const auto c = cargarOBJDesdeTexto(
        "# comentario\n"
        "mtllib a.mtl\n"
        "usemtl rojo\n"
        "vt 0 0\n"
        "s off\n"
        "l 1 2\n"
        "  \u00a0\n"
        "  v 0 0 0  \n"
        "v 1 0 0\nv 0 1 0\n"
        "F 1 2 3\n"
        "f 1 2 3\n");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(nombres(*c), (std::vector<std::string>{"default"}));
    EXPECT_EQ(posiciones(*c->children()[0]).size(), 3u);
}

TEST(ObjLoader, NoFaceOrUnreadableInputGivesNothing)
{
    EXPECT_EQ(cargarOBJDesdeTexto(kCuatroVertices), nullptr);
    EXPECT_EQ(cargarOBJDesdeTexto(""), nullptr);
    EXPECT_EQ(cargarOBJDesdeTexto(std::string(kCuatroVertices) + "g Mur\xe9\nf 1 2 3\n"), nullptr);  // not UTF-8
    EXPECT_EQ(cargarOBJ("/nonexistent/a.obj"), nullptr);
    EXPECT_EQ(cargarOBJ("/"), nullptr);

    std::string basura;
    for (int i = 0; i < 200000; ++i)
        basura.push_back(static_cast<char>(1 + ((i * 2654435761u) >> 25)));
    (void)cargarOBJDesdeTexto(basura);
    (void)cargarOBJDesdeTexto("f\nf 1\nf 1 2\ng\no\nv\nvn\n\n\n");
    // Truncated in the middle of a face line.
    const auto truncado = cargarOBJDesdeTexto(std::string(kCuatroVertices) + "f 1 2 3\nf 1 2");
    ASSERT_NE(truncado, nullptr);
    EXPECT_EQ(posiciones(*truncado->children()[0]).size(), 3u);
}

TEST(ObjLoader, ReadsAHundredMegabyteLine)
{
    std::string texto = "v 0 0 0\nv 1 0 0\nv 0 1 0\ng ";
    texto.append(100u * 1024 * 1024, 'n');
    texto += "\nf 1 2 3\n";
    const auto c = cargarOBJDesdeTexto(texto);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->children()[0]->name->size(), 100u * 1024 * 1024);
}

}  // namespace
