// The project document: a hand-written file read and written back byte for byte, the documents
// that must be refused as a whole, and what a reader must accept.

#include "project/ArchivoProyecto.h"
#include "project/CodificacionProyecto.h"
#include "project/HuellaProyecto.h"

#include "support/Fixtures.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <functional>
#include <tuple>
#include <limits>

namespace quelva {
namespace {

using nlohmann::json;

QByteArray fixture() { return QByteArray::fromStdString(testsupport::readFixture("project/proyecto.json")); }

ProyectoQUELVA decodificar(const QByteArray& bytes)
{
    auto r = decodificarProyectoQUELVA(bytes);
    if (auto* e = std::get_if<QString>(&r))
        ADD_FAILURE() << e->toStdString();
    return std::holds_alternative<ProyectoQUELVA>(r) ? std::get<ProyectoQUELVA>(r) : ProyectoQUELVA{};
}

QByteArray codificar(const ProyectoQUELVA& p)
{
    auto r = codificarProyectoQUELVA(p);
    if (auto* e = std::get_if<QString>(&r))
        ADD_FAILURE() << e->toStdString();
    return std::holds_alternative<QByteArray>(r) ? std::get<QByteArray>(r) : QByteArray{};
}

QByteArray texto(const json& j) { return QByteArray::fromStdString(j.dump()); }

TEST(CodificacionProyecto, HandWrittenDocumentReadsAndWritesBackByteForByte)
{
    const ProyectoQUELVA p = decodificar(fixture());
    EXPECT_EQ(codificar(p), fixture());

    // What the records carry, beyond surviving the trip.
    EXPECT_EQ(p.version, 2);
    EXPECT_EQ(p.ordenEspecialidades, QStringList({"ARQ", "EST"}));
    ASSERT_EQ(p.especialidades.size(), 1u);
    const auto& modelos = p.especialidades[0].modelos;
    ASSERT_EQ(modelos.size(), 2u);
    ASSERT_TRUE(modelos[0].transformacion);
    EXPECT_EQ(modelos[0].transformacion->unidades, TransformacionModelo::Unidades::milimetros);
    EXPECT_EQ(modelos[0].transformacion->giroZ, 30.0);
    EXPECT_FALSE(modelos[0].rutaRelativa);
    EXPECT_EQ(modelos[1].rutaRelativa, "modelos/cubierta.ifc");
    EXPECT_FALSE(modelos[1].transformacion);
    const InterferenciaGuardada& i = p.historialAnalisis.at(0).interferencias.at(0);
    EXPECT_EQ(i.estado, "En revisión");
    EXPECT_EQ(i.vpPosY, -2.5);
    EXPECT_EQ(p.historialAnalisis[0].fecha, QDateTime(QDate(2025, 2, 14), QTime(18, 5, 9), Qt::UTC));
    EXPECT_EQ(p.cotasPorSeccion->at("Planta Z = 1.00 m").at(0).p2.u, 1.1f);
    EXPECT_TRUE(p.etiquetasPorSeccion->at("Vacía").empty());
    EXPECT_EQ(p.comentarios->at(0).imagenJPEG, QByteArray::fromHex("ffd8ffe0"));
    EXPECT_EQ(p.timeLiner->paquetes.at(0).parentCodigo, "CWP-01");
    EXPECT_FALSE(p.timeLiner->paquetes[0].fechaInicioReal);
}

TEST(CodificacionProyecto, WrittenDocumentIsSortedPrettyAndOmitsWhatIsAbsent)
{
    ProyectoQUELVA p;
    p.timeLiner = TimeLinerConfig{};
    p.secciones.emplace();
    p.cotasPorSeccion.emplace();
    p.etiquetasPorSeccion.emplace();
    ComentarioMarkup sinImagen;
    sinImagen.fecha = QDateTime(QDate(2025, 3, 1), QTime(9, 30, 0, 999), Qt::UTC);
    p.comentarios = std::vector{sinImagen};
    EspecialidadGuardada e;
    e.key = "ARQ";
    ModeloGuardado m;
    m.transformacion = TransformacionModelo{};  // the identity is not written
    e.modelos = {m};
    p.especialidades = {e};

    const QByteArray bytes = codificar(p);
    EXPECT_TRUE(bytes.startsWith("{\n  \"comentarios\": ["));
    EXPECT_TRUE(bytes.endsWith("  \"version\": 2\n}\n"));
    for (const char* ausente : {"imagenJPEG", "rutaRelativa", "transformacion", "null", ".999"})
        EXPECT_FALSE(bytes.contains(ausente)) << ausente;
    EXPECT_TRUE(bytes.contains("\"fecha\": \"2025-03-01T09:30:00Z\""));
}

TEST(CodificacionProyecto, NumbersThatAreNotFiniteAreRefusedInEveryRecord)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const ProyectoQUELVA base = decodificar(fixture());
    const std::pair<const char*, std::function<void(ProyectoQUELVA&)>> casos[] = {
        {"transparencia", [&](ProyectoQUELVA& p) { p.especialidades[0].modelos[0].transparencia = nan; }},
        {"giroZ", [&](ProyectoQUELVA& p) { p.especialidades[0].modelos[0].transformacion->giroZ = inf; }},
        {"radio", [&](ProyectoQUELVA& p) { p.historialAnalisis[0].interferencias[0].radio = nan; }},
        {"hh", [&](ProyectoQUELVA& p) { p.timeLiner->paquetes[0].hh = inf; }},
        {"posicion", [&](ProyectoQUELVA& p) { p.secciones->at(0).posicion = nan; }},
        {"offsetLateral",
         [&](ProyectoQUELVA& p) { p.cotasPorSeccion->begin()->second[0].offsetLateral = float(inf); }},
        {"offsetTexto", [&](ProyectoQUELVA& p) { p.etiquetasPorSeccion->begin()->second[0].offsetTexto.u = float(nan); }},
        {"grosor", [&](ProyectoQUELVA& p) { p.comentarios->at(0).trazados[0].grosor = nan; }},
        {"x", [&](ProyectoQUELVA& p) { p.comentarios->at(0).trazados[0].puntos[0].x = -inf; }},
    };
    for (const auto& [campo, cambiar] : casos) {
        ProyectoQUELVA p = base;
        cambiar(p);
        auto r = codificarProyectoQUELVA(p);
        ASSERT_TRUE(std::holds_alternative<QString>(r)) << campo;
        EXPECT_TRUE(std::get<QString>(r).contains(campo)) << std::get<QString>(r).toStdString();
    }
}

// Each case breaks the fixture in one place; the whole document must be refused.
TEST(CodificacionProyecto, RefusedDocuments)
{
    const json base = json::parse(fixture().toStdString());
    using Cambio = std::function<void(json&)>;
    auto quitar = [](std::function<json&(json&)> donde, const char* clave) {
        return Cambio([=](json& j) { donde(j).erase(clave); });
    };
    auto poner = [](std::function<json&(json&)> donde, const char* clave, json valor) {
        return Cambio([=](json& j) { donde(j)[clave] = valor; });
    };
    auto raiz = [](json& j) -> json& { return j; };
    auto esp = [](json& j) -> json& { return j["especialidades"][0]; };
    auto modelo = [](json& j) -> json& { return j["especialidades"][0]["modelos"][0]; };
    auto analisis = [](json& j) -> json& { return j["historialAnalisis"][0]; };
    auto clash = [](json& j) -> json& { return j["historialAnalisis"][0]["interferencias"][0]; };
    auto paquete = [](json& j) -> json& { return j["timeLiner"]["paquetes"][0]; };
    auto seccion = [](json& j) -> json& { return j["secciones"][0]; };
    auto cota = [](json& j) -> json& { return j["cotasPorSeccion"]["Planta Z = 1.00 m"][0]; };
    auto etiqueta = [](json& j) -> json& { return j["etiquetasPorSeccion"]["Planta Z = 1.00 m"][0]; };
    auto comentario = [](json& j) -> json& { return j["comentarios"][0]; };
    auto trazado = [](json& j) -> json& { return j["comentarios"][0]["trazados"][0]; };
    auto textoMk = [](json& j) -> json& { return j["comentarios"][0]["textos"][0]; };

    std::vector<std::pair<std::string, Cambio>> casos;
    // Every required key of every record.
    const std::pair<std::function<json&(json&)>, std::vector<const char*>> requeridas[] = {
        {raiz, {"version", "ordenEspecialidades", "especialidades", "historialAnalisis"}},
        {esp, {"key", "nombre", "icono", "colorR", "colorG", "colorB", "isVisible", "modelos"}},
        {modelo, {"nombre", "rutaAbsoluta", "isVisible", "transparencia"}},
        {analisis, {"id", "nombre", "fecha", "tolerancia", "interferencias"}},
        {clash, {"id", "nombreA", "especialidadA", "nombreB", "especialidadB", "estado", "vpPosX", "vpPosY", "vpPosZ",
                 "vpTgtX", "vpTgtY", "vpTgtZ", "radio"}},
        {[](json& j) -> json& { return j["timeLiner"]; }, {"paquetes", "fechaInicio", "fechaFin", "moneda"}},
        {paquete, {"id", "codigo", "nombre", "nivel", "fechaInicio", "fechaFin", "progreso", "presupuesto", "costoReal",
                   "hh", "hhReal", "elementosNombre", "colorIdx"}},
        {seccion, {"id", "nombre", "eje", "posicion"}},
        {cota, {"id", "p1", "p2", "offsetLateral"}},
        {etiqueta, {"nombre", "key", "visible", "offsetTexto"}},
        {comentario, {"id", "tag", "trazados", "textos", "fecha", "autor", "descripcion"}},
        {trazado, {"id", "puntos", "r", "g", "b", "grosor"}},
        {textoMk, {"id", "texto", "x", "y", "r", "g", "b", "tamano"}},
        {[](json& j) -> json& { return j["comentarios"][0]["trazados"][0]["puntos"][0]; }, {"x", "y"}},
        {[](json& j) -> json& { return j["especialidades"][0]["modelos"][0]["transformacion"]; },
         {"unidades", "offsetX", "offsetY", "offsetZ", "giroZ"}},
    };
    for (const auto& [donde, claves] : requeridas)
        for (const char* c : claves)
            casos.push_back({std::string("sin ") + c, quitar(donde, c)});
    // A required key written as null is missing.
    casos.push_back({"version null", poner(raiz, "version", nullptr)});
    // Types.
    casos.push_back({"version 2.7", poner(raiz, "version", 2.7)});
    casos.push_back({"version 2.0", poner(raiz, "version", 2.0)});
    casos.push_back({"version texto", poner(raiz, "version", "2")});
    casos.push_back({"eje 2.7", poner(seccion, "eje", 2.7)});
    casos.push_back({"colorIdx 2.7", poner(paquete, "colorIdx", 2.7)});
    casos.push_back({"radio true", poner(clash, "radio", true)});
    casos.push_back({"transparencia true", poner(modelo, "transparencia", true)});
    casos.push_back({"isVisible 1", poner(modelo, "isVisible", 1)});
    casos.push_back({"nombre número", poner(esp, "nombre", 5)});
    casos.push_back({"modelos objeto", poner(esp, "modelos", json::object())});
    casos.push_back({"orden con número", poner(raiz, "ordenEspecialidades", json::array({"ARQ", 1}))});
    casos.push_back({"p1 de tres", poner(cota, "p1", json::array({1, 2, 3}))});
    casos.push_back({"cotas lista", poner(raiz, "cotasPorSeccion", json::array())});
    casos.push_back({"unidades desconocidas",
                     Cambio([](json& j) { j["especialidades"][0]["modelos"][0]["transformacion"]["unidades"] = "Varas"; })});
    casos.push_back({"raíz lista", Cambio([](json& j) { j = json::array(); })});
    // Dates, identifiers, Base64.
    for (const char* f : {"2025-02-14T18:05:09.123Z", "2025-02-14T18:05:09+00:00", "2025-02-14", "2025-02-30T00:00:00Z"})
        casos.push_back({std::string("fecha ") + f, poner(analisis, "fecha", f)});
    casos.push_back({"fecha de comentario con fracción", poner(comentario, "fecha", "2025-03-01T09:30:00.5Z")});
    casos.push_back({"fecha de paquete con fracción", poner(paquete, "fechaFinReal", "2025-04-20T12:00:00.000Z")});
    for (const char* id : {"no-uuid", "{C0FFEE00-0000-4000-8000-000000000001}", "C0FFEE00000040008000000000000001"})
        casos.push_back({std::string("uuid ") + id, poner(analisis, "id", id)});
    casos.push_back({"uuid de cota", poner(cota, "id", "{AAAAAAAA-BBBB-4CCC-8DDD-EEEEEEEEEEEE}")});
    casos.push_back({"uuid de trazado", poner(trazado, "id", "x")});
    casos.push_back({"base64", poner(comentario, "imagenJPEG", "no es base64!")});

    for (const auto& [nombre, cambiar] : casos) {
        json j = base;
        cambiar(j);
        auto r = decodificarProyectoQUELVA(texto(j));
        EXPECT_TRUE(std::holds_alternative<QString>(r)) << nombre;
    }

    // Bytes the JSON reader itself refuses.
    const std::pair<const char*, QByteArray> bytesMalos[] = {
        {"vacío", QByteArray()},
        {"no JSON", "proyecto"},
        {"cortado", fixture().left(200)},
        {"UTF-8 inválido", fixture().replace("Ana Pérez", "Ana P\xff\xferez")},
        {"anidamiento profundo", QByteArray(100000, '[') + QByteArray(100000, ']')},
    };
    for (const auto& [nombre, bytes] : bytesMalos) {
        auto r = decodificarProyectoQUELVA(bytes);
        EXPECT_TRUE(std::holds_alternative<QString>(r)) << nombre;
    }
}

TEST(CodificacionProyecto, ReadersAcceptWhatOlderOrNewerWritersLeave)
{
    const json base = json::parse(fixture().toStdString());
    const std::pair<const char*, std::function<void(json&)>> casos[] = {
        {"sin opcionales",
         [](json& j) {
             for (const char* c : {"timeLiner", "secciones", "cotasPorSeccion", "etiquetasPorSeccion", "comentarios"})
                 j.erase(c);
         }},
        {"opcionales null",
         [](json& j) {
             for (const char* c : {"timeLiner", "secciones", "cotasPorSeccion", "etiquetasPorSeccion", "comentarios"})
                 j[c] = nullptr;
             j["especialidades"][0]["modelos"][1]["rutaRelativa"] = nullptr;
             j["especialidades"][0]["modelos"][0]["transformacion"] = nullptr;
             j["comentarios"] = json::array();
         }},
        {"claves desconocidas",
         [](json& j) {
             j["futuro"] = {{"a", 1}};
             j["especialidades"][0]["modelos"][0]["hash"] = "abc";
             j["historialAnalisis"][0]["interferencias"][0]["nota"] = true;
         }},
        {"versión 7", [](json& j) { j["version"] = 7; }},
        {"versión negativa", [](json& j) { j["version"] = -1; }},
        {"estado desconocido", [](json& j) { j["historialAnalisis"][0]["interferencias"][0]["estado"] = "Cerrado"; }},
        {"enteros en reales", [](json& j) { j["especialidades"][0]["colorR"] = 1; }},
        {"uuid en minúsculas", [](json& j) { j["historialAnalisis"][0]["id"] = "c0ffee00-0000-4000-8000-000000000001"; }},
        {"sin imagen", [](json& j) { j["comentarios"][0].erase("imagenJPEG"); }},
        {"paquete sin opcionales",
         [](json& j) {
             for (const char* c : {"parentCodigo", "fechaInicioReal", "fechaFinReal"})
                 j["timeLiner"]["paquetes"][0].erase(c);
         }},
    };
    for (const auto& [nombre, cambiar] : casos) {
        json j = base;
        cambiar(j);
        auto r = decodificarProyectoQUELVA(texto(j));
        EXPECT_TRUE(std::holds_alternative<ProyectoQUELVA>(r))
            << nombre << ": " << (std::holds_alternative<QString>(r) ? std::get<QString>(r).toStdString() : "");
    }

    json j = base;
    j["version"] = 7;
    j["historialAnalisis"][0]["interferencias"][0]["estado"] = "Cerrado";
    j.erase("timeLiner");
    const ProyectoQUELVA p = decodificar(texto(j));
    EXPECT_EQ(p.version, 7);
    EXPECT_EQ(p.historialAnalisis[0].interferencias[0].estado, "Cerrado");
    EXPECT_FALSE(p.timeLiner);
    // Written back, the version is what was read; absent stays absent.
    const QByteArray escrito = codificar(p);
    EXPECT_TRUE(escrito.contains("\"version\": 7"));
    EXPECT_FALSE(escrito.contains("timeLiner"));
}

// Saving streams the document piece by piece and opening reads it as it arrives: the bytes must
// still be the one canonical pretty form, and the file must read back whole.
TEST(CodificacionProyecto, StreamedDocumentIsTheCanonicalFormAndReadsBackFromDisk)
{
    ProyectoQUELVA p = decodificar(fixture());
    // Titles whose UTF-16 order differs from the file's UTF-8 key order, and texts to escape.
    const std::vector<Cota2D> cotas = p.cotasPorSeccion->begin()->second;
    for (const QString& titulo : {QStringLiteral("Ω"), QStringLiteral("𝔸 planta"), QStringLiteral("\uFF21"), QStringLiteral("a\"b\\c\n\t\u0001")})
        (*p.cotasPorSeccion)[titulo] = cotas;
    p.especialidades[0].nombre = QStringLiteral("Arq \"tabs\"\t\u0007 ünï");
    ComentarioMarkup conImagen = p.comentarios->at(0);
    conImagen.imagenJPEG = QByteArray(70000, '\xd9');
    ComentarioMarkup sinImagen = conImagen;
    sinImagen.imagenJPEG.reset();
    p.comentarios = std::vector{conImagen, sinImagen, conImagen};
    const PaqueteAWP q = p.timeLiner->paquetes.at(0);
    p.timeLiner->paquetes = std::vector(5, q);
    p.historialAnalisis = std::vector(3, p.historialAnalisis.at(0));
    p.secciones->clear();

    const QByteArray bytes = codificar(p);
    EXPECT_EQ(bytes.toStdString(), json::parse(bytes.toStdString()).dump(2) + "\n");

    QTemporaryDir dir;
    const QString ruta = dir.filePath("obra.json");
    const auto guardado = guardarArchivoProyecto(p, ruta);
    ASSERT_TRUE(std::holds_alternative<QByteArray>(guardado));
    // The save's one encoding gives the same unsaved-changes mark as encoding the project again.
    EXPECT_EQ(std::get<QByteArray>(guardado), huellaProyecto(p));
    QFile archivo(ruta);
    ASSERT_TRUE(archivo.open(QIODevice::ReadOnly));
    EXPECT_EQ(archivo.readAll(), bytes);
    auto leido = leerArchivoProyecto(ruta);
    ASSERT_TRUE(std::holds_alternative<ProyectoQUELVA>(leido));
    EXPECT_EQ(codificar(std::get<ProyectoQUELVA>(leido)), bytes);
    EXPECT_EQ(std::get<ProyectoQUELVA>(leido).comentarios->size(), 3u);
    EXPECT_EQ(std::get<ProyectoQUELVA>(leido).timeLiner->paquetes.size(), 5u);

    // A refused file gives the same reason as the same bytes do.
    json roto = json::parse(fixture().toStdString());
    roto["timeLiner"]["paquetes"][0]["colorIdx"] = 2.5;
    const QByteArray malos = texto(roto);
    QFile salida(ruta);
    ASSERT_TRUE(salida.open(QIODevice::WriteOnly | QIODevice::Truncate));
    salida.write(malos);
    salida.close();
    auto desdeArchivo = leerArchivoProyecto(ruta);
    auto desdeBytes = decodificarProyectoQUELVA(malos);
    ASSERT_TRUE(std::holds_alternative<QString>(desdeArchivo));
    EXPECT_EQ(std::get<QString>(desdeArchivo), std::get<QString>(desdeBytes));
}

// The lists read on the way must follow the reader's rule for a repeated key: the later wins.
TEST(CodificacionProyecto, RepeatedKeyKeepsTheLaterMember)
{
    const json base = json::parse(fixture().toStdString());
    const auto conMiembro = [](const json& j, const std::string& miembro) {
        std::string t = j.dump();
        t.pop_back();
        return QByteArray::fromStdString(t + "," + miembro + "}");
    };
    json sinTimeLiner = base;
    sinTimeLiner.erase("timeLiner");
    const std::string timeLinerRepetido = conMiembro(base["timeLiner"], R"("paquetes":[])").toStdString();
    using Espera = std::function<bool(const ProyectoQUELVA&)>;
    const std::tuple<const char*, QByteArray, Espera> casos[] = {
        {"comentarios", conMiembro(base, R"("comentarios":[])"),
         [](const ProyectoQUELVA& p) { return p.comentarios && p.comentarios->empty(); }},
        {"historialAnalisis", conMiembro(base, R"("historialAnalisis":[])"),
         [](const ProyectoQUELVA& p) { return p.historialAnalisis.empty(); }},
        {"timeLiner", conMiembro(base, R"("timeLiner":null)"), [](const ProyectoQUELVA& p) { return !p.timeLiner; }},
        {"paquetes", conMiembro(sinTimeLiner, "\"timeLiner\":" + timeLinerRepetido),
         [](const ProyectoQUELVA& p) { return p.timeLiner && p.timeLiner->paquetes.empty(); }},
    };
    for (const auto& [nombre, bytes, espera] : casos)
        EXPECT_TRUE(espera(decodificar(bytes))) << nombre;
}

}  // namespace
}  // namespace quelva
