#include "timeline/TimeLiner.h"
#include "timeline/TimeLinerStore.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using quelva::NivelAWP;

TEST(NivelAWP, OnlyTheUpperCaseTextsGiveALevel)
{
    const struct { const char* texto; std::optional<NivelAWP> nivel; } casos[] = {
        {"CWA", NivelAWP::cwa}, {"CWP", NivelAWP::cwp}, {"IWP", NivelAWP::iwp}, {"PWP", NivelAWP::pwp},
        {"iwp", std::nullopt},  {"IWP ", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& c : casos)
        EXPECT_EQ(quelva::nivelAWPDesdeTexto(c.texto), c.nivel) << c.texto;
}

TEST(TimeLinerConfig, DefaultWindowEndsTwelveCalendarMonthsLater)
{
    const struct { QDate inicio; QDate fin; } casos[] = {
        {QDate(2026, 3, 15), QDate(2027, 3, 15)},
        {QDate(2028, 2, 29), QDate(2029, 2, 28)},  // no 29 February next year
        {QDate(2026, 12, 31), QDate(2027, 12, 31)},
    };
    for (const auto& c : casos) {
        const QDateTime inicio(c.inicio, QTime(10, 30));
        EXPECT_EQ(quelva::sumarMeses(inicio, 12), QDateTime(c.fin, QTime(10, 30))) << c.inicio.toString().toStdString();
    }
    const quelva::TimeLinerConfig config;
    EXPECT_EQ(config.fechaFin, quelva::sumarMeses(config.fechaInicio, 12));
    EXPECT_EQ(config.moneda, "USD");
    EXPECT_TRUE(config.paquetes.empty());

    const quelva::PaqueteAWP paquete;
    EXPECT_EQ(paquete.nivel, NivelAWP::iwp);
    EXPECT_EQ(paquete.fechaFin, paquete.fechaInicio.addDays(30));
}

TEST(TimeLinerStore, EveryNewConfigIsAnnounced)
{
    quelva::TimeLinerStore store;
    QSignalSpy avisos(&store, &quelva::TimeLinerStore::configChanged);
    quelva::TimeLinerConfig c = store.config();
    c.moneda = "CLP";
    store.setConfig(c);
    store.setConfig(c);
    EXPECT_EQ(avisos.count(), 2);
    EXPECT_EQ(store.config().moneda, "CLP");
}
