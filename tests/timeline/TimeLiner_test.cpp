#include "timeline/TimeLiner.h"
#include "timeline/TimeLinerStore.h"

#include "platform/SystemColors.h"
#include "support/Paquetes.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using quelva::NivelAWP;
using quelva::PaqueteAWP;
using quelva::TimeLinerConfig;
using tl::paquete;
using tl::utc;

namespace {

QStringList codigos(const std::vector<PaqueteAWP>& lista)
{
    QStringList r;
    for (const PaqueteAWP& p : lista)
        r.append(p.codigo);
    return r;
}

}  // namespace

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

TEST(TimeLinerStore, AChangeInPlaceIsAnnouncedOnce)
{
    quelva::TimeLinerStore store;
    QSignalSpy avisos(&store, &quelva::TimeLinerStore::configChanged);
    const quint64 antes = store.version();
    store.modificar([](TimeLinerConfig& c) {
        c.paquetes.push_back(paquete("A", NivelAWP::cwa));
        c.paquetes.push_back(paquete("B", NivelAWP::cwa));
        c.moneda = "EUR";
    });
    EXPECT_EQ(avisos.count(), 1);
    EXPECT_GT(store.version(), antes);
    EXPECT_EQ(store.config().paquetes.size(), 2u);
}

TEST(PaqueteAWP, DurationAndVariancesInWholeDays)
{
    tl::ZonaHoraria zona("UTC");
    struct Caso {
        QDateTime inicio, fin;
        int duracion;
    };
    const Caso duraciones[] = {
        {utc(2025, 6, 1), utc(2025, 6, 11), 10},
        {utc(2025, 6, 1), utc(2025, 6, 1), 1},   // same instant
        {utc(2025, 6, 11), utc(2025, 6, 1), 1},  // end before start
        {utc(2025, 6, 10, 18), utc(2025, 6, 11, 9), 1},  // less than a day still lasts one
        {utc(2025, 6, 1), utc(2025, 6, 3, 11, 59), 1},
        {QDateTime(), utc(2025, 6, 3), 1},  // no date: no day count
    };
    for (const Caso& c : duraciones) {
        PaqueteAWP p = paquete("X", NivelAWP::iwp, std::nullopt, c.inicio, c.fin);
        EXPECT_EQ(p.duracionDias(), c.duracion) << c.inicio.toString().toStdString();
    }

    PaqueteAWP p = paquete("X", NivelAWP::iwp, std::nullopt, utc(2025, 6, 10, 9), utc(2025, 6, 20, 9));
    EXPECT_FALSE(p.desfaseInicioDias());
    EXPECT_FALSE(p.desfaseFinDias());
    p.fechaInicioReal = utc(2025, 6, 12, 9);  // two days late
    p.fechaFinReal = utc(2025, 6, 18, 9);     // two days early
    EXPECT_EQ(p.desfaseInicioDias(), -2);
    EXPECT_EQ(p.desfaseFinDias(), 2);
    p.fechaInicioReal = utc(2025, 6, 11, 8);  // a part day is dropped toward zero
    EXPECT_EQ(p.desfaseInicioDias(), 0);
    EXPECT_EQ(quelva::diasCompletos(utc(2025, 6, 10, 18), utc(2025, 6, 11, 9)), 0);
    EXPECT_EQ(quelva::diasCompletos(utc(2025, 6, 11, 9), utc(2025, 6, 10, 18)), 0);
}

TEST(PaqueteAWP, WholeDaysFollowTheLocalCalendarAcrossAClockChange)
{
    // Santiago moved its clocks from 00:00 to 01:00 on 8 September 2024: noon to noon is
    // 23 hours and still one day; 24 hours after noon of the 7th is already 13:00 of the 8th.
    tl::ZonaHoraria zona("America/Santiago");
    const QTimeZone santiago("America/Santiago");
    const QDateTime antes(QDate(2024, 9, 7), QTime(12, 0), santiago);
    const QDateTime despues(QDate(2024, 9, 8), QTime(12, 0), santiago);
    ASSERT_EQ(antes.secsTo(despues), 23 * 3600);
    EXPECT_EQ(quelva::diasCompletos(antes, despues), 1);
    EXPECT_EQ(quelva::diasCompletos(despues, antes), -1);
    EXPECT_EQ(quelva::diasCompletos(antes, despues.addSecs(-1)), 0);

    TimeLinerConfig config;
    config.fechaInicio = antes;
    config.fechaFin = QDateTime(QDate(2024, 9, 17), QTime(12, 0), santiago);
    EXPECT_EQ(config.duracionDias(), 10);
}

TEST(TimeLinerConfig, ListsByLevelSortStablyByCodeOrStart)
{
    TimeLinerConfig c;
    c.paquetes = {
        paquete("CWA-2", NivelAWP::cwa),
        paquete("CWA-10", NivelAWP::cwa),
        paquete("cwa-1", NivelAWP::cwa),  // lower case after upper case
        paquete("CWA-10", NivelAWP::cwa),
        paquete("I-late", NivelAWP::iwp, "CWA-2", utc(2025, 7, 1), utc(2025, 7, 2)),
        paquete("I-early", NivelAWP::iwp, "CWA-2", utc(2025, 5, 1), utc(2025, 5, 2)),
        paquete("I-tie", NivelAWP::iwp, "CWA-2", utc(2025, 7, 1), utc(2025, 7, 2)),
    };
    c.paquetes[3].nombre = "segundo";
    const auto cwas = c.cwas();
    EXPECT_EQ(codigos(cwas), QStringList({"CWA-10", "CWA-10", "CWA-2", "cwa-1"}));
    EXPECT_EQ(cwas[1].nombre, "segundo");
    EXPECT_EQ(codigos(c.iwps()), QStringList({"I-early", "I-late", "I-tie"}));
    EXPECT_EQ(codigos(c.hijos("CWA-2", NivelAWP::iwp)), QStringList({"I-early", "I-late", "I-tie"}));
    EXPECT_TRUE(c.hijos("CWA-2", NivelAWP::cwp).empty());
}

TEST(TimeLinerConfig, IwpScopeFollowsTheHierarchyOnly)
{
    TimeLinerConfig c;
    c.paquetes = {
        paquete("A", NivelAWP::cwa),
        paquete("B", NivelAWP::cwa),
        paquete("A-P1", NivelAWP::cwp, "A"),
        paquete("B-P1", NivelAWP::cwp, "B"),
        paquete("", NivelAWP::cwp, "A"),  // a CWP with an empty code
        paquete("A-I1", NivelAWP::iwp, "A"),
        paquete("A-P1-I1", NivelAWP::iwp, "A-P1"),
        paquete("B-P1-I1", NivelAWP::iwp, "B-P1"),
        paquete("A-P1-I1-W", NivelAWP::pwp, "A-P1-I1"),
        paquete("I-I", NivelAWP::iwp, "A-I1"),  // an IWP under an IWP
        paquete("sin-padre", NivelAWP::iwp),
    };
    const struct { int indice; QStringList alcance; } casos[] = {
        {0, {"A-I1", "A-P1-I1"}},
        {1, {"B-P1-I1"}},
        {2, {"A-P1-I1"}},
        {4, {}},  // the parentless IWP belongs to nobody
        {5, {"A-I1"}},
        {8, {"A-P1-I1-W"}},
    };
    for (const auto& caso : casos) {
        QStringList alcance = codigos(c.alcanceIWP(c.paquetes[std::size_t(caso.indice)]));
        alcance.sort();
        EXPECT_EQ(alcance, caso.alcance) << caso.indice;
    }
}

TEST(TimeLinerConfig, AggregatesSumTheIwpsOfTheScope)
{
    TimeLinerConfig c;
    PaqueteAWP cwa = paquete("A", NivelAWP::cwa);
    cwa.presupuesto = 1e6;  // a CWA's own money never counts
    cwa.progreso = 0.9;
    PaqueteAWP cwp = paquete("A-P", NivelAWP::cwp, "A");
    cwp.progreso = 0.3;
    PaqueteAWP i1 = paquete("I1", NivelAWP::iwp, "A");
    PaqueteAWP i2 = paquete("I2", NivelAWP::iwp, "A");
    i1.presupuesto = 100, i1.progreso = 1.0, i1.costoReal = 90, i1.hh = 10, i1.hhReal = 12;
    i2.presupuesto = 300, i2.progreso = 0.0, i2.costoReal = 20, i2.hh = 30, i2.hhReal = 1;
    PaqueteAWP pwp = paquete("W", NivelAWP::pwp, "I1");
    pwp.presupuesto = 5000;
    c.paquetes = {cwa, cwp, i1, i2, pwp};

    EXPECT_DOUBLE_EQ(c.progresoAgregado(cwa), 0.25);
    EXPECT_DOUBLE_EQ(c.presupuestoAgregado(cwa), 400);
    EXPECT_DOUBLE_EQ(c.costoRealAgregado(cwa), 110);
    EXPECT_DOUBLE_EQ(c.hhAgregadas(cwa), 40);
    EXPECT_DOUBLE_EQ(c.hhRealesAgregadas(cwa), 13);
    EXPECT_DOUBLE_EQ(c.hhGanadasAgregadas(cwa), 10);
    EXPECT_DOUBLE_EQ(c.valorGanadoAgregado(cwa), 100);

    // A CWP without IWP children: its own progress, nothing summed.
    EXPECT_DOUBLE_EQ(c.progresoAgregado(cwp), 0.3);
    EXPECT_DOUBLE_EQ(c.presupuestoAgregado(cwp), 0);
    EXPECT_DOUBLE_EQ(c.valorGanadoAgregado(cwp), 0);
    // A PWP stands for itself.
    EXPECT_DOUBLE_EQ(c.presupuestoAgregado(pwp), 5000);

    c.paquetes[2].presupuesto = 0;
    c.paquetes[3].presupuesto = 0;
    EXPECT_DOUBLE_EQ(c.progresoAgregado(cwa), 0.5);  // no budget: the plain mean
    c.paquetes[2].presupuesto = -50;
    EXPECT_DOUBLE_EQ(c.progresoAgregado(cwa), 0.5);
}

TEST(PaqueteAWP, PaletteWrapsEveryIndex)
{
    using platform::SystemColor;
    const struct { int idx; SystemColor color; } casos[] = {
        {0, SystemColor::blue}, {1, SystemColor::purple}, {7, SystemColor::pink}, {8, SystemColor::blue},
        {9, SystemColor::purple}, {-1, SystemColor::pink}, {-8, SystemColor::blue}, {-9, SystemColor::pink},
        {std::numeric_limits<int>::min(), SystemColor::blue},
    };
    for (const auto& c : casos) {
        PaqueteAWP p;
        p.colorIdx = c.idx;
        EXPECT_EQ(p.color(), platform::systemColor(c.color)) << c.idx;
    }
}

TEST(PaqueteAWP, AnyActualEndIsNoticed)
{
    std::vector<PaqueteAWP> lista(2);
    EXPECT_FALSE(quelva::algunoConFinReal(lista));
    EXPECT_FALSE(quelva::algunoConFinReal({}));
    lista[1].fechaFinReal = utc(2025, 1, 1);
    EXPECT_TRUE(quelva::algunoConFinReal(lista));
}
