#include "timeline/editor/GuardarPaquete.h"
#include "timeline/editor/LecturaNumero.h"
#include "timeline/editor/ReglasPaquete.h"

#include "support/Entorno.h"
#include "support/Paquetes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using quelva::NivelAWP;
using quelva::PaqueteAWP;
using quelva::TimeLinerConfig;
using tl::paquete;
using tl::utc;

namespace {

TimeLinerConfig configCon(std::vector<PaqueteAWP> paquetes, QDateTime inicio = utc(2025, 1, 1),
                          QDateTime fin = utc(2026, 1, 1))
{
    TimeLinerConfig c;
    c.paquetes = std::move(paquetes);
    c.fechaInicio = inicio;
    c.fechaFin = fin;
    return c;
}

QStringList codigos(const std::vector<PaqueteAWP>& lista)
{
    QStringList r;
    for (const PaqueteAWP& p : lista)
        r.append(p.codigo);
    return r;
}

}  // namespace

TEST(ReglasEditor, SaveRuleAndItsMessage)
{
    const PaqueteAWP cwa = paquete("A", NivelAWP::cwa);
    const PaqueteAWP cwp = paquete("P", NivelAWP::cwp, "A");
    const PaqueteAWP iwp = paquete("I", NivelAWP::iwp, "P");
    const PaqueteAWP pwp = paquete("W", NivelAWP::pwp, "I");
    const std::optional<QString> ok;
    const struct {
        const char* caso;
        PaqueteAWP trabajo;
        std::vector<PaqueteAWP> guardados;
        std::optional<QString> mensaje;
    } casos[] = {
        {"new package, empty code", paquete("", NivelAWP::iwp), {cwa, cwp}, "El código es obligatorio"},
        {"empty code wins over a missing parent", paquete("", NivelAWP::pwp), {}, "El código es obligatorio"},
        {"empty code on a CWA", paquete("", NivelAWP::cwa), {}, "El código es obligatorio"},
        {"one blank is a code", paquete(" ", NivelAWP::cwa), {}, ok},
        {"CWA needs no parent", paquete("A2", NivelAWP::cwa), {cwa, cwp}, ok},
        {"IWP without CWA or CWP", paquete("I2", NivelAWP::iwp), {iwp, pwp},
         "Crea primero un CWP (o CWA) para asignarlo como padre"},
        {"IWP with a CWA to choose", paquete("I2", NivelAWP::iwp), {cwa}, "Selecciona un paquete padre"},
        {"IWP with a CWP to choose", paquete("I2", NivelAWP::iwp), {cwp}, "Selecciona un paquete padre"},
        {"IWP with its parent chosen", paquete("I2", NivelAWP::iwp, "A"), {cwa}, ok},
        {"CWP without CWA", paquete("P2", NivelAWP::cwp), {cwp, iwp}, "Crea primero un CWA para asignarlo como padre"},
        {"PWP without IWP", paquete("W2", NivelAWP::pwp), {cwa, cwp, pwp},
         "Crea primero un IWP para asignarlo como padre"},
        {"PWP with an IWP to choose", paquete("W2", NivelAWP::pwp), {iwp}, "Selecciona un paquete padre"},
        // The parent's text is not examined: one of a former level, or naming nothing, counts.
        {"CWP switched to PWP keeps its CWA", paquete("P2", NivelAWP::pwp, "A"), {cwa}, ok},
        {"parent naming nothing", paquete("I2", NivelAWP::iwp, "NADA"), {}, ok},
        {"codes need not be unique", paquete("A", NivelAWP::cwa), {cwa}, ok},
    };
    for (const auto& c : casos) {
        const TimeLinerConfig config = configCon(c.guardados);
        EXPECT_EQ(quelva::puedeGuardar(c.trabajo), !c.mensaje.has_value()) << c.caso;
        EXPECT_EQ(quelva::errorValidacion(c.trabajo, config), c.mensaje) << c.caso;
    }
}

TEST(ReglasEditor, ParentCandidatesFollowTheLevelInListOrder)
{
    const TimeLinerConfig config = configCon({
        paquete("P1", NivelAWP::cwp, "A1"), paquete("A1", NivelAWP::cwa), paquete("I1", NivelAWP::iwp, "P1"),
        paquete("A0", NivelAWP::cwa), paquete("W1", NivelAWP::pwp, "I1"), paquete("P1", NivelAWP::cwp, "A0"),
    });
    const auto codigosDe = [&](NivelAWP nivel) {
        PaqueteAWP p = paquete("X", nivel);
        QStringList r;
        for (const PaqueteAWP* c : quelva::candidatosPadre(p, config))
            r.append(c->codigo);
        return r;
    };
    EXPECT_EQ(codigosDe(NivelAWP::cwa), QStringList());
    EXPECT_EQ(codigosDe(NivelAWP::cwp), (QStringList{"A1", "A0"}));
    EXPECT_EQ(codigosDe(NivelAWP::iwp), (QStringList{"P1", "A1", "A0", "P1"}));
    EXPECT_EQ(codigosDe(NivelAWP::pwp), QStringList{"I1"});

    // A stored CWP edited is its own candidate once switched to IWP: nothing filters it out.
    PaqueteAWP propio = config.paquetes[0];
    propio.nivel = NivelAWP::iwp;
    EXPECT_EQ(quelva::candidatosPadre(propio, config).front(), &config.paquetes[0]);
}

TEST(ReglasEditor, DateWarning)
{
    tl::Entorno entorno{{"LC_ALL", nullptr}, {"LC_TIME", nullptr}, {"LANG", "es_CL.UTF-8"},
                        {"TZ", "America/Santiago"}};
    // The window from 1 March 2025 to 30 June 2026, Santiago midnights.
    const QDateTime inicio(QDate(2025, 3, 1), QTime(0, 0), Qt::LocalTime);
    const QDateTime fin(QDate(2026, 6, 30), QTime(0, 0), Qt::LocalTime);
    const TimeLinerConfig config = configCon({}, inicio.toUTC(), fin.toUTC());
    const QString fuera = QStringLiteral("Las fechas quedan fuera del rango del proyecto (01-03-25 \u2013 30-06-26)");
    const QString reales = QStringLiteral("La fecha de fin real no puede ser anterior al inicio real.");
    const QDateTime dentro = inicio.addDays(10);
    const std::optional<QDateTime> nada;
    const std::optional<QString> ninguna;

    const struct {
        const char* caso;
        QDateTime inicio, fin;
        std::optional<QDateTime> inicioReal, finReal;
        std::optional<QString> aviso;
    } casos[] = {
        {"exactly the window", inicio, fin, nada, nada, ninguna},
        {"start one second early", inicio.addSecs(-1), fin, nada, nada, fuera},
        {"end one second late", inicio, fin.addSecs(1), nada, nada, fuera},
        {"end before start inside the window", dentro, inicio, nada, nada, ninguna},
        {"real end a day before real start", dentro, dentro, dentro, dentro.addDays(-1), reales},
        {"real end a second before real start", dentro, dentro, dentro, dentro.addSecs(-1), reales},
        {"window hides the real dates", inicio.addDays(-1), fin, dentro, dentro.addDays(-1), fuera},
        {"only a real end", dentro, dentro, nada, inicio, ninguna},
        {"only a real start", dentro, dentro, fin, nada, ninguna},
        {"real dates outside the window", dentro, dentro, inicio.addDays(-9), fin.addDays(9), ninguna},
    };
    for (const auto& c : casos) {
        PaqueteAWP p = paquete("I", NivelAWP::iwp, "A", c.inicio, c.fin);
        p.fechaInicioReal = c.inicioReal;
        p.fechaFinReal = c.finReal;
        EXPECT_EQ(quelva::advertenciaFechas(p, config), c.aviso) << c.caso;
        EXPECT_TRUE(quelva::puedeGuardar(p)) << c.caso;
    }
}

TEST(LecturaNumero, FieldTextReadsOnlyFiniteWholeNumbers)
{
    const std::optional<double> no;
    const struct { const char* texto; std::optional<double> valor; } casos[] = {
        {"12,5", 12.5},       {"12.5", 12.5},  {"1.234,5", no},  {" 7 ", 7.0},     {"\t7\t", 7.0},
        {"7 ab", no},         {"", 0.0},       {"  ", 0.0},      {"-3", -3.0},     {"+2e3", 2000.0},
        {"12.", 12.0},        {".5", 0.5},     {"\n7", no},      {"7\n", no},      {"1 000", no},
        {"inf", no},          {"-INF", no},    {"infinity", no}, {"nan", no},      {"NAN(1)", no},
        {"1e999", no},        {"-1e999", no},  {"1e-999", 0.0},  {"$100", no},     {"١٢", no},
    };
    for (const auto& c : casos)
        EXPECT_EQ(quelva::leerTextoCampo(QString::fromUtf8(c.texto)), c.valor) << c.texto;

    // A NUL in the middle is not the end of the text.
    EXPECT_EQ(quelva::leerTextoCampo(QString("7") + QChar(0) + "5"), no);
}

TEST(LecturaNumero, StrictReadingHasNoFieldConveniences)
{
    const std::optional<double> no;
    const struct { const char* texto; std::optional<double> valor; } casos[] = {
        {"12.5", 12.5}, {"12,5", no}, {" 7", no}, {"7 ", no}, {"", no}, {"1e999", no}, {"nan", no}, {"-0.25", -0.25},
    };
    for (const auto& c : casos)
        EXPECT_EQ(quelva::leerNumeroFinito(c.texto), c.valor) << c.texto;
}

TEST(LecturaNumero, ReadingIgnoresTheProcessLocale)
{
    // A locale with a decimal comma must not change how "12.5" reads.
    const char* antes = std::setlocale(LC_NUMERIC, nullptr);
    const std::string guardado = antes ? antes : "C";
    ASSERT_TRUE(std::setlocale(LC_NUMERIC, "es_ES.UTF-8")) << "scripts/setup installs es_ES.UTF-8";
    EXPECT_EQ(quelva::leerNumeroFinito("12.5"), 12.5);
    EXPECT_EQ(quelva::formatearCampo(12.5, 1), "12.5");
    std::setlocale(LC_NUMERIC, guardado.c_str());
}

TEST(LecturaNumero, TextAfterTheValueChanged)
{
    const std::optional<QString> deja;
    const struct {
        const char* texto;
        double nuevo;
        int decimales;
        std::optional<QString> resultado;
    } casos[] = {
        {"", 12.3456, 2, "12.35"},     {"", 1500, 0, "1500"},       {"", 1234567.8, 0, "1234568"},
        {"", 0.5, -3, "0"},            {"12", 0, 0, ""},            {"12,5", 12.5, 0, deja},
        {"12.", 12, 0, deja},          {"10", 10.001, 0, deja},     {"10", 10.0011, 0, "10"},
        {"abc", 3, 0, "3"},          {"inf", 3, 1, "3.0"},
        {"", 0, 0, ""},                // empty text counts as -1: rewritten to the empty text
        {"-1", -1, 0, deja},
    };
    for (const auto& c : casos)
        EXPECT_EQ(quelva::textoTrasCambio(c.texto, c.nuevo, c.decimales), c.resultado)
            << c.texto << " -> " << c.nuevo;
}

TEST(GuardarPaquete, ReplacesInPlaceOrAppendsAndRecomputesTheWindow)
{
    tl::ZonaHoraria zona("UTC");
    PaqueteAWP a = paquete("A", NivelAWP::cwa, std::nullopt, utc(2025, 3, 1), utc(2025, 12, 1));
    PaqueteAWP b = paquete("B", NivelAWP::iwp, "A", utc(2025, 4, 1), utc(2025, 5, 1));
    PaqueteAWP c = paquete("C", NivelAWP::iwp, "A", utc(2025, 5, 1), utc(2025, 6, 1));
    TimeLinerConfig config = configCon({a, b, c}, utc(2020, 1, 1), utc(2030, 1, 1));

    // The CWA counts like any other level; real dates play no part.
    b.nombre = "editado";
    b.fechaFinReal = utc(2027, 1, 1);
    quelva::guardarPaquete(config, b);
    EXPECT_EQ(codigos(config.paquetes), (QStringList{"A", "B", "C"}));
    EXPECT_EQ(config.paquetes[1].nombre, "editado");
    EXPECT_EQ(config.fechaInicio, utc(2025, 1, 30));  // 1 March less 30 days: the window shrinks
    EXPECT_EQ(config.fechaFin, utc(2025, 12, 16));

    // Moving the earliest start 10 days later moves the window start with it.
    a.fechaInicio = utc(2025, 3, 11);
    quelva::guardarPaquete(config, a);
    EXPECT_EQ(codigos(config.paquetes), (QStringList{"A", "B", "C"}));
    EXPECT_EQ(config.fechaInicio, utc(2025, 2, 9));

    // A new package goes last; a changed code leaves the children of the former code alone.
    const PaqueteAWP nuevo = paquete("N", NivelAWP::iwp, "A", utc(2024, 12, 31), utc(2025, 1, 10));
    quelva::guardarPaquete(config, nuevo);
    a.codigo = "A-renombrado";
    quelva::guardarPaquete(config, a);
    EXPECT_EQ(codigos(config.paquetes), (QStringList{"A-renombrado", "B", "C", "N"}));
    EXPECT_EQ(config.paquetes[1].parentCodigo, "A");
    EXPECT_EQ(config.fechaInicio, utc(2024, 12, 1));

    // Into an empty timeline: its own start less 30 days, end plus 15.
    TimeLinerConfig vacia = configCon({});
    quelva::guardarPaquete(vacia, nuevo);
    EXPECT_EQ(vacia.fechaInicio, utc(2024, 12, 1));
    EXPECT_EQ(vacia.fechaFin, utc(2025, 1, 25));
}

TEST(GuardarPaquete, WindowCountsCalendarDaysAcrossSantiagoClockChanges)
{
    tl::ZonaHoraria zona("America/Santiago");
    // Clocks go back on 6 April 2025 and forward on 7 September 2025 (at midnight).
    const QDateTime inicio(QDate(2025, 4, 20), QTime(0, 30), Qt::LocalTime);
    const QDateTime fin(QDate(2025, 8, 30), QTime(23, 30), Qt::LocalTime);
    TimeLinerConfig config = configCon({});
    quelva::guardarPaquete(config, paquete("A", NivelAWP::cwa, std::nullopt, inicio.toUTC(), fin.toUTC()));
    EXPECT_EQ(config.fechaInicio.toLocalTime(), QDateTime(QDate(2025, 3, 21), QTime(0, 30), Qt::LocalTime));
    EXPECT_EQ(config.fechaFin.toLocalTime(), QDateTime(QDate(2025, 9, 14), QTime(23, 30), Qt::LocalTime));
    EXPECT_EQ(config.fechaInicio.timeSpec(), Qt::UTC);
}

TEST(GuardarPaquete, DeleteDetachesDirectChildrenOfTheStoredCode)
{
    const PaqueteAWP cwa = paquete("A", NivelAWP::cwa);
    const PaqueteAWP otroCwa = paquete("Z", NivelAWP::cwa);
    const TimeLinerConfig inicial = configCon(
        {
            cwa,
            paquete("P1", NivelAWP::cwp, "A"),
            paquete("I1", NivelAWP::iwp, "P1"),
            otroCwa,
            paquete("P2", NivelAWP::cwp, "A"),
            paquete("PZ", NivelAWP::cwp, "Z"),
        },
        utc(2020, 1, 1), utc(2030, 1, 1));

    TimeLinerConfig config = inicial;
    quelva::eliminarPaquete(config, cwa);
    EXPECT_EQ(codigos(config.paquetes), (QStringList{"P1", "I1", "Z", "P2", "PZ"}));
    EXPECT_EQ(config.paquetes[0].parentCodigo, std::nullopt);
    EXPECT_EQ(config.paquetes[1].parentCodigo, "P1");  // grandchildren keep theirs
    EXPECT_EQ(config.paquetes[3].parentCodigo, std::nullopt);
    EXPECT_EQ(config.paquetes[4].parentCodigo, "Z");
    EXPECT_EQ(config.fechaInicio, inicial.fechaInicio);
    EXPECT_EQ(config.fechaFin, inicial.fechaFin);

    // The code typed in the editor is not the one children name: the stored one decides, so
    // an unrelated package's children stay and the deleted package's own are detached.
    PaqueteAWP tecleado = cwa;
    tecleado.codigo = "Z";
    config = inicial;
    quelva::eliminarPaquete(config, tecleado);
    EXPECT_EQ(config.paquetes[0].parentCodigo, std::nullopt);
    EXPECT_EQ(config.paquetes[4].parentCodigo, "Z");

    // A package never stored changes nothing.
    config = inicial;
    quelva::eliminarPaquete(config, paquete("A", NivelAWP::cwa));
    EXPECT_EQ(config, inicial);

    // The last package leaves an empty list and the window as it was.
    TimeLinerConfig una = configCon({cwa}, utc(2020, 1, 1), utc(2030, 1, 1));
    quelva::eliminarPaquete(una, cwa);
    EXPECT_TRUE(una.paquetes.empty());
    EXPECT_EQ(una.fechaInicio, utc(2020, 1, 1));
    EXPECT_EQ(una.fechaFin, utc(2030, 1, 1));
}
