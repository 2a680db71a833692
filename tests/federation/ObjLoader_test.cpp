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

TEST(ObjLoader, IgnoresBadVertexLinesWhichShiftsLaterVertices)
{
    const auto c = cargarOBJDesdeTexto(
        "v 1 2 x\n"
        "v 1 2\n"
        "v\t5\t5\t5\n"       // tabs do not separate tokens
        "v 1e999 0 0\n"      // out of float range
        "v  +1.5   -2e1 3.  extra\n"
        "V 9 9 9\n"
        "v 7 8 9\n"
        "v 0 0 0\n"
        "f 1 2 3\n");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(posiciones(*c->children()[0]), (std::vector<V>{{1.5f, -20, 3}, {7, 8, 9}, {0, 0, 0}}));
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
