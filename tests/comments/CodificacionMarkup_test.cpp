#include "comments/CodificacionMarkup.h"

#include <gtest/gtest.h>

using namespace quelva;
using nlohmann::json;

namespace {

ComentarioMarkup ejemplo()
{
    ComentarioMarkup c;
    c.id = QUuid::fromString(QStringLiteral("0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d"));
    c.tag = QStringLiteral("MRK-007");
    TrazadoMarkup t;
    t.puntos = {{1.5, 2.25}, {10, -3}};
    t.r = 1.0;
    t.g = 0.15;
    t.b = 0.15;
    t.grosor = 4.5;
    c.trazados.push_back(t);
    TextoMarkup x;
    x.texto = QStringLiteral("Fisura «junta» & \"muro\"");
    x.x = 40;
    x.y = 50;
    x.r = x.g = x.b = 1.0;
    c.textos.push_back(x);
    c.fecha = QDateTime(QDate(2025, 3, 1), QTime(9, 30, 0), Qt::UTC);
    c.autor = QStringLiteral("Ana Pérez");
    c.descripcion = QStringLiteral("Revisar encuentro");
    return c;
}

void esperarIguales(const ComentarioMarkup& a, const ComentarioMarkup& b)
{
    EXPECT_EQ(a.id, b.id);
    EXPECT_EQ(a.tag, b.tag);
    EXPECT_EQ(a.autor, b.autor);
    EXPECT_EQ(a.descripcion, b.descripcion);
    EXPECT_EQ(a.fecha, b.fecha);
    EXPECT_EQ(a.imagenJPEG, b.imagenJPEG);
    ASSERT_EQ(a.trazados.size(), b.trazados.size());
    for (std::size_t i = 0; i < a.trazados.size(); ++i) {
        EXPECT_EQ(a.trazados[i].id, b.trazados[i].id);
        EXPECT_EQ(a.trazados[i].puntos, b.trazados[i].puntos);
        EXPECT_EQ(a.trazados[i].grosor, b.trazados[i].grosor);
        EXPECT_EQ(a.trazados[i].g, b.trazados[i].g);
    }
    ASSERT_EQ(a.textos.size(), b.textos.size());
    for (std::size_t i = 0; i < a.textos.size(); ++i) {
        EXPECT_EQ(a.textos[i].id, b.textos[i].id);
        EXPECT_EQ(a.textos[i].texto, b.textos[i].texto);
        EXPECT_EQ(a.textos[i].tamano, b.textos[i].tamano);
    }
}

ComentarioMarkup decodificado(const json& j)
{
    auto r = decodificarComentario(j);
    if (auto* error = std::get_if<QString>(&r)) {
        ADD_FAILURE() << error->toStdString();
        return {};
    }
    return std::get<ComentarioMarkup>(r);
}

}  // namespace

TEST(CodificacionMarkup, WritesTheKeysIdsAndDateAsSaved)
{
    const json j = codificar(ejemplo());
    std::vector<std::string> claves;
    for (auto it = j.begin(); it != j.end(); ++it)
        claves.push_back(it.key());
    std::sort(claves.begin(), claves.end());
    EXPECT_EQ(claves, (std::vector<std::string>{"autor", "descripcion", "fecha", "id", "tag", "textos", "trazados"}));
    EXPECT_EQ(j["id"], "0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D");
    EXPECT_EQ(j["fecha"], "2025-03-01T09:30:00Z");
    EXPECT_EQ(j["trazados"][0].size(), 6u);
    EXPECT_EQ(j["trazados"][0]["puntos"][0], (json{{"x", 1.5}, {"y", 2.25}}));
    EXPECT_EQ(j["textos"][0].size(), 8u);
    EXPECT_EQ(j["textos"][0]["tamano"], 16.0);
}

TEST(CodificacionMarkup, RoundTrips)
{
    ComentarioMarkup vacio;
    vacio.tag = QStringLiteral("MRK-001");
    vacio.fecha = QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59), Qt::UTC);
    ComentarioMarkup conImagen = ejemplo();
    static const char bytes[] = "\xFF\xD8\xFF\xE0 jpeg \x00\x01 bytes";
    conImagen.imagenJPEG = QByteArray(bytes, sizeof bytes - 1);
    for (const ComentarioMarkup& c : {vacio, ejemplo(), conImagen}) {
        SCOPED_TRACE(c.tag.toStdString());
        // Through text, as the project file goes.
        const json j = json::parse(codificar(c).dump(2));
        EXPECT_EQ(j.contains("imagenJPEG"), c.imagenJPEG.has_value());
        esperarIguales(decodificado(j), c);
    }
    // Two decodings of one file keep the stored identities.
    const json j = codificar(ejemplo());
    EXPECT_EQ(decodificado(j).trazados[0].id, decodificado(j).trazados[0].id);
}

TEST(CodificacionMarkup, NullImageReadsAsAbsent)
{
    json j = codificar(ejemplo());
    j["imagenJPEG"] = nullptr;
    EXPECT_FALSE(decodificado(j).imagenJPEG.has_value());
}

TEST(CodificacionMarkup, AnyMissingOrMistypedFieldFailsTheDocument)
{
    struct Caso {
        const char* nombre;
        std::function<void(json&)> romper;
    };
    const Caso casos[] = {
        {"tamano missing", [](json& j) { j["textos"][0].erase("tamano"); }},
        {"id not a UUID", [](json& j) { j["id"] = "../../etc"; }},
        {"id with braces", [](json& j) { j["id"] = "{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}"; }},
        {"stroke id not a UUID", [](json& j) { j["trazados"][0]["id"] = "x"; }},
        {"tag a number", [](json& j) { j["tag"] = 7; }},
        {"autor missing", [](json& j) { j.erase("autor"); }},
        {"grosor a text", [](json& j) { j["trazados"][0]["grosor"] = "3"; }},
        {"puntos not a list", [](json& j) { j["trazados"][0]["puntos"] = json::object(); }},
        {"point y missing", [](json& j) { j["trazados"][0]["puntos"][1].erase("y"); }},
        {"fecha not a date", [](json& j) { j["fecha"] = "ayer"; }},
        {"image not Base64", [](json& j) { j["imagenJPEG"] = "###"; }},
        {"image a number", [](json& j) { j["imagenJPEG"] = 3; }},
        {"not an object", [](json& j) { j = json::array(); }},
    };
    for (const Caso& c : casos) {
        json j = codificar(ejemplo());
        c.romper(j);
        EXPECT_TRUE(std::holds_alternative<QString>(decodificarComentario(j))) << c.nombre;
        EXPECT_TRUE(std::holds_alternative<QString>(decodificarComentarios(json::array({codificar(ejemplo()), j}))))
            << c.nombre;
    }
    const auto error = decodificarComentario([] {
        json j = codificar(ejemplo());
        j["textos"][0].erase("tamano");
        return j;
    }());
    EXPECT_TRUE(std::get<QString>(error).contains("tamano"));
}
