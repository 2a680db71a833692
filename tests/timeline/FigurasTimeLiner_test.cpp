#include "timeline/FigurasTimeLiner.h"
#include "timeline/Moneda.h"

#include "support/Entorno.h"
#include "support/Paquetes.h"

#include <gtest/gtest.h>

using quelva::FilaVisible;
using quelva::ModoAvance;
using quelva::NivelAWP;
using quelva::PaqueteAWP;
using quelva::TimeLinerConfig;
using tl::paquete;
using tl::utc;

namespace {

QStringList filas(const std::vector<FilaVisible>& lista)
{
    QStringList r;
    for (const FilaVisible& f : lista)
        r.append(QStringLiteral("%1:%2").arg(f.pkg.codigo).arg(f.sangria));
    return r;
}

}  // namespace

TEST(FigurasTimeLiner, AutomaticProgressFollowsTheScrubber)
{
    const PaqueteAWP junio = paquete("I", NivelAWP::iwp, std::nullopt, utc(2025, 6, 1), utc(2025, 6, 11));
    const struct { QDateTime fecha; double esperado; } casos[] = {
        {utc(2025, 6, 6), 0.5}, {utc(2025, 6, 20), 1.0}, {utc(2025, 5, 1), 0.0},
        {utc(2025, 6, 1), 0.0}, {utc(2025, 6, 11), 1.0},
    };
    for (const auto& c : casos)
        EXPECT_DOUBLE_EQ(quelva::progresoEfectivo(junio, {true, c.fecha}), c.esperado)
            << c.fecha.toString().toStdString();

    // No span: nothing before its end, everything from it on.
    const PaqueteAWP instante = paquete("Z", NivelAWP::iwp, std::nullopt, utc(2025, 6, 5), utc(2025, 6, 5));
    EXPECT_EQ(quelva::progresoEfectivo(instante, {true, utc(2025, 6, 5).addSecs(-1)}), 0.0);
    EXPECT_EQ(quelva::progresoEfectivo(instante, {true, utc(2025, 6, 5)}), 1.0);

    // Off: the stored value, unclamped.
    PaqueteAWP guardado = junio;
    guardado.progreso = 1.3;
    EXPECT_EQ(quelva::progresoEfectivo(guardado, {false, utc(2025, 5, 1)}), 1.3);
}

TEST(FigurasTimeLiner, EffectiveAggregatesAndEarnedValueCountIwpsOnly)
{
    TimeLinerConfig c;
    PaqueteAWP cwa = paquete("A", NivelAWP::cwa, std::nullopt, utc(2025, 6, 1), utc(2025, 6, 21));
    cwa.presupuesto = 9999, cwa.hh = 999, cwa.progreso = 1;
    PaqueteAWP i1 = paquete("I1", NivelAWP::iwp, "A", utc(2025, 6, 1), utc(2025, 6, 11));
    PaqueteAWP i2 = paquete("I2", NivelAWP::iwp, "A", utc(2025, 6, 11), utc(2025, 6, 21));
    i1.presupuesto = 100, i1.hh = 10, i1.progreso = 0.2;
    i2.presupuesto = 300, i2.hh = 30, i2.progreso = 0.6;
    PaqueteAWP pwp = paquete("W", NivelAWP::pwp, "I1");
    pwp.presupuesto = 5000, pwp.progreso = 1;
    c.paquetes = {cwa, i1, i2, pwp};

    const ModoAvance manual{false, utc(2025, 6, 6)};
    const ModoAvance automatico{true, utc(2025, 6, 6)};
    EXPECT_DOUBLE_EQ(quelva::valorGanadoTotal(c, manual), 20 + 180);
    EXPECT_DOUBLE_EQ(quelva::hhGanadasTotal(c, manual), 2 + 18);
    EXPECT_DOUBLE_EQ(quelva::valorGanadoTotal(c, automatico), 50);
    EXPECT_DOUBLE_EQ(quelva::hhGanadasTotal(c, automatico), 5);
    EXPECT_DOUBLE_EQ(quelva::progresoAgregadoEfectivo(c, cwa, manual), c.progresoAgregado(cwa));
    EXPECT_DOUBLE_EQ(quelva::progresoAgregadoEfectivo(c, cwa, automatico), 50.0 / 400.0);

    // A CWA without IWPs in automatic mode: the progress of its own dates.
    TimeLinerConfig solo;
    solo.paquetes = {cwa};
    EXPECT_DOUBLE_EQ(quelva::progresoAgregadoEfectivo(solo, cwa, automatico), 0.25);
    EXPECT_EQ(quelva::valorGanadoTotal(solo, manual), 0);

    // Budgets that add up to nothing: the plain mean.
    c.paquetes[1].presupuesto = 0;
    c.paquetes[2].presupuesto = 0;
    EXPECT_DOUBLE_EQ(quelva::progresoAgregadoEfectivo(c, cwa, automatico), 0.25);
}

TEST(FigurasTimeLiner, VisibleRowsFollowExpansion)
{
    TimeLinerConfig c;
    c.paquetes = {
        paquete("B", NivelAWP::cwa),
        paquete("A", NivelAWP::cwa),
        paquete("A-P2", NivelAWP::cwp, "A", utc(2025, 6, 5)),
        paquete("A-P1", NivelAWP::cwp, "A", utc(2025, 6, 1)),
        paquete("A-P1-I", NivelAWP::iwp, "A-P1"),
        paquete("A-I", NivelAWP::iwp, "A"),
        paquete("A-P1-I-W", NivelAWP::pwp, "A-P1-I"),
        paquete("huerfano", NivelAWP::iwp, "NADIE", utc(2025, 7, 1)),
        paquete("suelto", NivelAWP::iwp, std::nullopt, utc(2025, 5, 1)),
        paquete("P-sin-CWA", NivelAWP::cwp, "NADIE"),
        paquete("P-sin-CWA-I", NivelAWP::iwp, "P-sin-CWA", utc(2025, 8, 1)),
    };
    EXPECT_EQ(filas(quelva::filasVisibles(c, {})),
              QStringList({"A:0", "B:0", "suelto:0", "huerfano:0", "P-sin-CWA-I:0"}));
    EXPECT_EQ(filas(quelva::filasVisibles(c, {"A"})),
              QStringList({"A:0", "A-P1:1", "A-P1-I:2", "A-P2:1", "A-I:1", "B:0", "suelto:0", "huerfano:0",
                           "P-sin-CWA-I:0"}));
    EXPECT_EQ(filas(quelva::filasCompletas(c)), filas(quelva::filasVisibles(c, {"A", "B"})));

    TimeLinerConfig vacio;
    vacio.paquetes = {paquete("P", NivelAWP::cwp), paquete("W", NivelAWP::pwp)};
    EXPECT_TRUE(quelva::filasVisibles(vacio, {}).empty());
}

TEST(FigurasTimeLiner, CsvConfirmationSkipsCodesAlreadyThere)
{
    TimeLinerConfig c;
    c.paquetes = {paquete("IWP-1", NivelAWP::iwp)};
    const std::vector<PaqueteAWP> elegidos = {paquete("IWP-1", NivelAWP::iwp), paquete("IWP-2", NivelAWP::iwp),
                                              paquete("IWP-3", NivelAWP::cwp), paquete("IWP-2", NivelAWP::cwa)};
    QStringList codigos;
    for (const PaqueteAWP& p : quelva::paquetesCSVNuevos(c, elegidos))
        codigos.append(p.codigo);
    EXPECT_EQ(codigos, QStringList({"IWP-2", "IWP-3"}));
}

TEST(FigurasTimeLiner, ManHourTexts)
{
    const struct { double valor; const char* texto; } casos[] = {
        {0, "0 HH"}, {999, "999 HH"}, {999.6, "1000 HH"}, {1000, "1.0 k HH"}, {2500, "2.5 k HH"}, {-5, "-5 HH"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(quelva::formatearHH(c.valor, "%.1f k HH"), c.texto) << c.valor;
    EXPECT_EQ(quelva::formatearHH(12345, "%.0fk"), "12k");
}

TEST(FigurasTimeLiner, IwpSummaryIgnoresOtherLevels)
{
    TimeLinerConfig c;
    const quelva::ResumenIWP nada = quelva::resumenIWP(c);
    EXPECT_EQ(nada.paquetes, 0);
    EXPECT_EQ(nada.presupuesto, 0);
    EXPECT_EQ(nada.avance, 0);
    PaqueteAWP cwa = paquete("A", NivelAWP::cwa);
    cwa.presupuesto = 1000;
    PaqueteAWP i1 = paquete("I1", NivelAWP::iwp), i2 = paquete("I2", NivelAWP::iwp);
    i1.presupuesto = 10, i1.progreso = 1;
    i2.presupuesto = 30, i2.progreso = 0;
    c.paquetes = {cwa, i1, i2};
    const quelva::ResumenIWP r = quelva::resumenIWP(c);
    EXPECT_EQ(r.paquetes, 2);
    EXPECT_EQ(r.presupuesto, 40);
    EXPECT_EQ(r.avance, 0.5);  // plain mean, not weighted
}

TEST(Moneda, IcuCurrencyInTheUsersLocale)
{
    const struct { const char* lang; double valor; const char* moneda; const char* texto; } casos[] = {
        {"es_CL.UTF-8", 1234567.8, "CLP", "$1.234.568"},
        {"es_CL.UTF-8", 1234567.8, "USD", "US$1.234.568"},
        {"C", 1234567.8, "CLP", "$1.234.568"},  // C falls back to es_CL
        {"en_US.UTF-8", 1234567.8, "USD", "$1,234,568"},
        {"en_US.UTF-8", 1234567.8, "CLP", "CLP\u00A01,234,568"},
        {"es_CL.UTF-8", 0, "CLP", "$0"},
    };
    for (const auto& c : casos) {
        tl::Entorno entorno{{"LC_ALL", nullptr}, {"LC_TIME", nullptr}, {"LANG", c.lang}};
        EXPECT_EQ(quelva::formatoMoneda(c.valor, c.moneda).toStdString(), c.texto) << c.lang << " " << c.moneda;
    }
    tl::Entorno entorno{{"LC_ALL", nullptr}, {"LC_TIME", nullptr}, {"LANG", "es_CL.UTF-8"}};
    // A code ICU does not take: the whole number in plain digits.
    EXPECT_EQ(quelva::formatoMoneda(1234.9, ""), "1234");
    EXPECT_EQ(quelva::formatoMoneda(-1234.9, "PESOS"), "-1234");
}
