#include "timeline/CodificacionTimeLiner.h"

#include "support/Fixtures.h"
#include "support/Paquetes.h"
#include "timeline/Sincronizacion4D.h"

#include <gtest/gtest.h>

#include <cmath>

using nlohmann::json;
using quelva::NivelAWP;
using quelva::PaqueteAWP;
using quelva::TimeLinerConfig;

namespace {

PaqueteAWP completo()
{
    PaqueteAWP p = tl::paquete("IWP-001", NivelAWP::iwp, "CWP-1", tl::utc(2025, 3, 1, 9, 30), tl::utc(2025, 4, 1));
    p.id = QUuid::fromString(QStringLiteral("a1b2c3d4-0000-4000-8000-00000000abcd"));
    p.nombre = "Losa nivel 1 — ñandú";
    p.fechaInicioReal = tl::utc(2025, 3, 2);
    p.fechaFinReal = tl::utc(2025, 4, 3);
    p.progreso = 0.5;
    p.presupuesto = 1234.5;
    p.costoReal = 1000;
    p.hh = 80;
    p.hhReal = 90.25;
    p.elementosNombre = {"Muro 1", "Losa"};
    p.colorIdx = -3;
    return p;
}

template <class T>
T valor(const std::variant<T, QString>& r)
{
    if (const QString* e = std::get_if<QString>(&r))
        ADD_FAILURE() << e->toStdString();
    return std::get<T>(r);
}

}  // namespace

TEST(CodificacionTimeLiner, APackageRoundTripsWithTheDocumentForms)
{
    const PaqueteAWP p = completo();
    const json j = valor(quelva::codificarPaquete(p));
    EXPECT_EQ(j.at("id"), "A1B2C3D4-0000-4000-8000-00000000ABCD");
    EXPECT_EQ(j.at("fechaInicio"), "2025-03-01T09:30:00Z");
    EXPECT_EQ(j.at("nivel"), "IWP");
    EXPECT_EQ(j.at("colorIdx"), -3);
    // Keys come out sorted, whatever the field order.
    const std::string texto = j.dump(2);
    EXPECT_LT(texto.find("\"codigo\""), texto.find("\"colorIdx\""));
    EXPECT_LT(texto.find("\"colorIdx\""), texto.find("\"costoReal\""));
    EXPECT_LT(texto.find("\"hhReal\""), texto.find("\"id\""));

    EXPECT_EQ(valor(quelva::decodificarPaquete(json::parse(texto))), p);

    TimeLinerConfig c;
    c.fechaInicio = tl::utc(2025, 1, 1, 0);
    c.fechaFin = tl::utc(2026, 1, 1, 0);
    c.moneda = "CLP";
    c.paquetes = {p, tl::paquete("CWA-1", NivelAWP::cwa)};
    const json jc = valor(quelva::codificarTimeLiner(c));
    EXPECT_EQ(jc.at("fechaFin"), "2026-01-01T00:00:00Z");
    TimeLinerConfig leido = valor(quelva::decodificarTimeLiner(json::parse(jc.dump(2))));
    // The document keeps whole seconds: the default "now" of the second package is cut.
    c.paquetes[1].fechaInicio = c.paquetes[1].fechaInicio.addMSecs(-c.paquetes[1].fechaInicio.time().msec());
    c.paquetes[1].fechaFin = c.paquetes[1].fechaFin.addMSecs(-c.paquetes[1].fechaFin.time().msec());
    EXPECT_EQ(leido, c);
}

TEST(CodificacionTimeLiner, AbsentOptionalsAreLeftOutAndReadBackAbsent)
{
    PaqueteAWP p = completo();
    p.parentCodigo.reset();
    p.fechaInicioReal.reset();
    p.fechaFinReal.reset();
    const json j = valor(quelva::codificarPaquete(p));
    for (const char* clave : {"parentCodigo", "fechaInicioReal", "fechaFinReal"})
        EXPECT_FALSE(j.contains(clave)) << clave;
    EXPECT_EQ(j.size(), 13u);

    json conNulos = j;
    conNulos["fechaFinReal"] = nullptr;
    const PaqueteAWP leido = valor(quelva::decodificarPaquete(conNulos));
    EXPECT_FALSE(leido.fechaFinReal);
    EXPECT_FALSE(leido.parentCodigo);
}

TEST(CodificacionTimeLiner, BadPackagesFailWithTheirReason)
{
    const json bueno = valor(quelva::codificarPaquete(completo()));
    struct Caso {
        const char* nombre;
        std::function<void(json&)> romper;
        const char* motivo;
    };
    const Caso casos[] = {
        {"sin colorIdx", [](json& j) { j.erase("colorIdx"); }, "colorIdx"},
        {"sin hh", [](json& j) { j.erase("hh"); }, "«hh»"},
        {"nivel en minúsculas", [](json& j) { j["nivel"] = "iwp"; }, "nivel"},
        {"progreso como texto", [](json& j) { j["progreso"] = "0.5"; }, "progreso"},
        {"colorIdx con fracción", [](json& j) { j["colorIdx"] = 1.5; }, "colorIdx"},
        {"fecha sin zona", [](json& j) { j["fechaFin"] = "2025-04-01T12:00:00"; }, "fechaFin"},
        {"fecha real mal escrita", [](json& j) { j["fechaFinReal"] = "mañana"; }, "fechaFinReal"},
        {"id no válido", [](json& j) { j["id"] = "123"; }, "id"},
        {"elemento numérico", [](json& j) { j["elementosNombre"] = json::array({"a", 3}); }, "elementosNombre"},
        {"padre numérico", [](json& j) { j["parentCodigo"] = 7; }, "parentCodigo"},
    };
    for (const Caso& c : casos) {
        json j = bueno;
        c.romper(j);
        const auto r = quelva::decodificarPaquete(j);
        ASSERT_TRUE(std::holds_alternative<QString>(r)) << c.nombre;
        EXPECT_TRUE(std::get<QString>(r).contains(QString::fromUtf8(c.motivo))) << std::get<QString>(r).toStdString();
        EXPECT_TRUE(std::get<QString>(r).contains("IWP-001")) << c.nombre;
    }
    EXPECT_TRUE(std::holds_alternative<QString>(quelva::decodificarPaquete(json::array())));

    // One bad package fails the whole timeline.
    json c = valor(quelva::codificarTimeLiner(TimeLinerConfig{}));
    json malo = bueno;
    malo.erase("colorIdx");
    c["paquetes"] = json::array({bueno, malo});
    EXPECT_TRUE(std::holds_alternative<QString>(quelva::decodificarTimeLiner(c)));
    for (const char* clave : {"paquetes", "fechaInicio", "fechaFin", "moneda"}) {
        json sin = valor(quelva::codificarTimeLiner(TimeLinerConfig{}));
        sin.erase(clave);
        EXPECT_TRUE(std::holds_alternative<QString>(quelva::decodificarTimeLiner(sin))) << clave;
    }
}

TEST(CodificacionTimeLiner, ANumberThatIsNotFiniteCannotBeWritten)
{
    PaqueteAWP p = completo();
    p.presupuesto = std::nan("");
    const auto r = quelva::codificarPaquete(p);
    ASSERT_TRUE(std::holds_alternative<QString>(r));
    EXPECT_TRUE(std::get<QString>(r).contains("presupuesto"));
    TimeLinerConfig c;
    c.paquetes = {p};
    EXPECT_TRUE(std::holds_alternative<QString>(quelva::codificarTimeLiner(c)));
}

TEST(CodificacionTimeLiner, AStoreyScheduleReadsFromAProjectFile)
{
    const auto r = quelva::decodificarTimeLiner(json::parse(testsupport::readFixture("timeline/fzk_haus_timeline.json")));
    const TimeLinerConfig c = valor(r);
    EXPECT_EQ(c.moneda, "CLP");
    ASSERT_EQ(c.cwas().size(), 1u);
    EXPECT_EQ(c.iwpsDeCWA("CWA-01").size(), 5u);
    EXPECT_DOUBLE_EQ(c.presupuestoAgregado(c.cwas().front()), 135000);
    // In mid-May the ground floor is built, the upper floor under way, the roof not begun.
    const QDateTime mayo = tl::utc(2025, 5, 15);
    const struct { const char* elemento; int estado; } casos[] = {
        {"Bodenplatte", 2}, {"Haustuer", 2}, {"Wand-Ext-OG-1", 1}, {"Sparren-7", 0}, {"Dach-2", 0},
    };
    for (const auto& caso : casos)
        EXPECT_EQ(quelva::Sincronizacion4D::estado4DElemento(caso.elemento, c.paquetes, mayo), caso.estado)
            << caso.elemento;
    // Written again, the file's own text comes back.
    const json otra = valor(quelva::codificarTimeLiner(c));
    EXPECT_EQ(otra, json::parse(testsupport::readFixture("timeline/fzk_haus_timeline.json")));
}
