#include "timeline/Indicadores.h"
#include "timeline/Moneda.h"
#include "timeline/analitica/FigurasAnalitica.h"

#include "platform/NumberFormat.h"
#include "platform/SystemColors.h"
#include "support/Entorno.h"
#include "support/Paquetes.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quelva;
using platform::SystemColor;
using tl::paquete;
using tl::utc;

namespace {

QColor verde() { return platform::systemColor(SystemColor::green); }
QColor naranja() { return platform::systemColor(SystemColor::orange); }
QColor rojo() { return platform::systemColor(SystemColor::red); }

PaqueteAWP iwp(const QString& codigo, double presupuesto, double progreso, double costo,
               std::optional<QString> padre = std::nullopt)
{
    PaqueteAWP p = paquete(codigo, NivelAWP::iwp, std::move(padre), utc(2025, 1, 1), utc(2025, 3, 1));
    p.presupuesto = presupuesto;
    p.progreso = progreso;
    p.costoReal = costo;
    return p;
}

TimeLinerConfig proyecto(std::vector<PaqueteAWP> paquetes, QDateTime inicio = utc(2025, 1, 1),
                         QDateTime fin = utc(2026, 1, 1))
{
    TimeLinerConfig c;
    c.fechaInicio = inicio;
    c.fechaFin = fin;
    c.moneda = QStringLiteral("CLP");
    c.paquetes = std::move(paquetes);
    return c;
}

bool finito(const QString& texto)
{
    return !texto.contains(QStringLiteral("nan"), Qt::CaseInsensitive) &&
           !texto.contains(QStringLiteral("inf"), Qt::CaseInsensitive) && !texto.contains(QChar(0x221E));
}

}  // namespace

TEST(ValorGanado, FiguresIndicesAndTheirColours)
{
    tl::Entorno entorno{{"LC_ALL", nullptr}, {"LC_TIME", nullptr}, {"LANG", "es_CL.UTF-8"}, {"TZ", "UTC"}};
    // The own money of a CWA never enters: only IWPs count.
    PaqueteAWP cwa = paquete("A", NivelAWP::cwa);
    cwa.presupuesto = 99999;
    cwa.costoReal = 99999;
    TimeLinerConfig c = proyecto({cwa, iwp("I1", 1000, 0.9, 1000), iwp("I2", 3000, 0.5, 1500)});
    FigurasValorGanado f = figurasValorGanado(c, {});
    EXPECT_EQ(formatoMoneda(f.bac, c.moneda), QStringLiteral("$4.000"));
    EXPECT_DOUBLE_EQ(f.ac, 2500);
    EXPECT_DOUBLE_EQ(f.ev, 2400);
    EXPECT_EQ(textoIndice(f.spi), "0.60");
    EXPECT_EQ(colorIndice(f.spi), rojo());
    EXPECT_EQ(textoIndice(f.cpi), "0.96");
    EXPECT_EQ(colorIndice(f.cpi), naranja());

    // Automatic progress: the scrubber moves EV and the indices, never BAC or AC.
    const FigurasValorGanado auto1 = figurasValorGanado(c, {true, utc(2025, 1, 31, 0)});
    const FigurasValorGanado auto2 = figurasValorGanado(c, {true, utc(2025, 3, 1, 12)});
    EXPECT_DOUBLE_EQ(auto1.bac, 4000);
    EXPECT_DOUBLE_EQ(auto1.ac, 2500);
    EXPECT_DOUBLE_EQ(auto1.ev, 2000);
    EXPECT_DOUBLE_EQ(auto2.ev, 4000);
    EXPECT_DOUBLE_EQ(auto2.spi, 1);
    EXPECT_DOUBLE_EQ(auto2.cpi, 1.6);

    // No actual cost: CPI 1, however small EV is.
    for (PaqueteAWP& p : c.paquetes)
        p.costoReal = 0;
    c.paquetes[1].progreso = 0.01;
    f = figurasValorGanado(c, {});
    EXPECT_EQ(textoIndice(f.cpi), "1.00");
    EXPECT_EQ(colorIndice(f.cpi), verde());

    // Without IWPs: zero money, both indices 1.
    f = figurasValorGanado(proyecto({cwa, paquete("P", NivelAWP::cwp, "A")}), {});
    EXPECT_EQ(formatoMoneda(f.bac, "CLP"), QStringLiteral("$0"));
    EXPECT_EQ(f.ev, 0);
    EXPECT_EQ(f.spi, 1);
    EXPECT_EQ(f.cpi, 1);
}

TEST(ValorGanado, ColourRulesAtTheirEdges)
{
    const struct { double valor; QColor indice; QColor productividad; } casos[] = {
        {1.0, verde(), verde()},    {1.6, verde(), verde()},     {0.9999, naranja(), naranja()},
        {0.85, naranja(), naranja()}, {0.8499, rojo(), naranja()}, {0.5, rojo(), naranja()},
        {std::nan(""), rojo(), naranja()},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(colorIndice(c.valor), c.indice) << c.valor;
        EXPECT_EQ(colorProductividad(c.valor), c.productividad) << c.valor;
    }
}

TEST(HorasHombre, FiguresTextsAndWhenTheCardStands)
{
    PaqueteAWP a = iwp("I", 0, 0.5, 0);
    a.hh = 2000;
    a.hhReal = 1250;
    TimeLinerConfig c = proyecto({a});
    FigurasHorasHombre f = figurasHorasHombre(c, {});
    EXPECT_EQ(formatoHH(f.ganadas), "1.0 k HH");
    EXPECT_EQ(textoIndice(f.factor), "0.80");
    EXPECT_EQ(colorIndice(f.factor), rojo());
    EXPECT_TRUE(conTarjetaHorasHombre(c));

    // Planned per project day; a window that does not end after it starts is one day.
    const struct { double hh; QDateTime fin; const char* texto; } dias[] = {
        {3650, utc(2026, 1, 1), "10.00"}, {500, utc(2027, 9, 28), "0.50"}, {7, utc(2024, 1, 1), "7.00"},
    };
    for (const auto& d : dias) {
        c.paquetes[0].hh = d.hh;
        c.fechaFin = d.fin;
        EXPECT_EQ(textoIndice(figurasHorasHombre(c, {}).porDia), d.texto) << d.texto;
    }

    // No actual man-hours: factor 1.
    c.paquetes[0].hhReal = 0;
    EXPECT_EQ(figurasHorasHombre(c, {}).factor, 1);

    // Actual man-hours without planned ones: no card (and none on a CWA's own hours).
    c.paquetes[0].hh = 0;
    c.paquetes[0].hhReal = 40;
    PaqueteAWP cwa = paquete("A", NivelAWP::cwa);
    cwa.hh = 500;
    c.paquetes.push_back(cwa);
    EXPECT_FALSE(conTarjetaHorasHombre(c));

    const struct { double v; const char* texto; } textos[] = {
        {999, "999 HH"}, {999.6, "1000 HH"}, {1000, "1.0 k HH"}, {1500, "1.5 k HH"},
        {2500, "2.5 k HH"}, {800, "800 HH"}, {-5, "-5 HH"}, {0, "0 HH"},
    };
    for (const auto& t : textos)
        EXPECT_EQ(formatoHH(t.v), t.texto) << t.v;
}

// Zeros, empty lists, equal dates and negative budgets: every figure stays a number.
TEST(Analitica, NoFigureIsNanOrInfinite)
{
    tl::Entorno entorno{{"LC_ALL", nullptr}, {"LC_TIME", nullptr}, {"LANG", "es_CL.UTF-8"}, {"TZ", "UTC"}};
    PaqueteAWP mismoDia = iwp("D", 0, 0, 0);
    mismoDia.fechaFin = mismoDia.fechaInicio;
    PaqueteAWP negativo = iwp("N", -500, 0.5, 0);
    negativo.hh = -10;
    PaqueteAWP compensado = iwp("C", 500, 0.5, -200);
    PaqueteAWP cwa = paquete("A", NivelAWP::cwa);
    cwa.progreso = 0.3;
    const TimeLinerConfig casos[] = {
        proyecto({}),
        proyecto({cwa}),
        proyecto({mismoDia}, utc(2025, 1, 1), utc(2025, 1, 1)),
        proyecto({negativo, compensado}),
        proyecto({iwp("Z", 0, 0, 0)}),
    };
    for (const TimeLinerConfig& c : casos) {
        for (const ModoAvance& modo : {ModoAvance{}, ModoAvance{true, utc(2025, 1, 1)}}) {
            const FigurasValorGanado ev = figurasValorGanado(c, modo);
            const FigurasHorasHombre hh = figurasHorasHombre(c, modo);
            for (double v : {ev.bac, ev.ac, ev.ev, ev.spi, ev.cpi, hh.planificadas, hh.reales, hh.ganadas, hh.factor,
                             hh.porDia})
                EXPECT_TRUE(std::isfinite(v)) << c.paquetes.size();
            for (const QString& t : {textoIndice(ev.spi), textoIndice(ev.cpi), textoIndice(hh.factor),
                                     textoIndice(hh.porDia), formatoHH(hh.ganadas), formatoMoneda(ev.ev, c.moneda)})
                EXPECT_TRUE(finito(t)) << t.toStdString();
            EXPECT_TRUE(ev.spi > 0 || c.paquetes.size() == 2);
            for (const PaqueteAWP& p : paquetesTarjetas(c, std::nullopt)) {
                const FigurasPaquete f = figurasPaquete(c, p, modo);
                for (double v : {f.progreso, f.cpi, f.productividad, f.valorGanado, f.hhGanadas})
                    EXPECT_TRUE(std::isfinite(v)) << p.codigo.toStdString();
            }
        }
    }
    // Negative budgets add up to nothing: SPI 1, not a negative share.
    const FigurasValorGanado ev = figurasValorGanado(proyecto({negativo, iwp("M", 200, 1, 0)}), {});
    EXPECT_EQ(ev.spi, 1);
    // A CWA without IWPs gives its own progress, zero sums and 0 IWPs.
    const FigurasPaquete vacio = figurasPaquete(proyecto({cwa}), cwa, {});
    EXPECT_DOUBLE_EQ(vacio.progreso, 0.3);
    EXPECT_EQ(vacio.presupuesto, 0);
    EXPECT_EQ(vacio.hh, 0);
    EXPECT_EQ(vacio.iwpsIncluidos, 0);
    EXPECT_EQ(vacio.cpi, 1);
    // A quotient too large for a double is not shown as infinity.
    EXPECT_EQ(indiceGuardado(1e308, 1e-300), 1);
}

TEST(TarjetasPaquete, WhichPackagesGetACard)
{
    auto codigos = [](const std::vector<PaqueteAWP>& ps) {
        QStringList r;
        for (const PaqueteAWP& p : ps)
            r << p.codigo;
        return r.join(',');
    };
    PaqueteAWP tarde = iwp("I-TARDE", 0, 0, 0);
    tarde.fechaInicio = utc(2025, 5, 1);
    PaqueteAWP pronto = iwp("I-PRONTO", 0, 0, 0);
    pronto.fechaInicio = utc(2025, 2, 1);
    TimeLinerConfig c = proyecto({tarde, pronto, paquete("P", NivelAWP::pwp)});
    EXPECT_EQ(codigos(paquetesTarjetas(c, std::nullopt)), "I-PRONTO,I-TARDE");
    c.paquetes.push_back(paquete("B", NivelAWP::cwa));
    c.paquetes.push_back(paquete("A", NivelAWP::cwa));
    c.paquetes.push_back(paquete("A-1", NivelAWP::cwp, "A"));
    EXPECT_EQ(codigos(paquetesTarjetas(c, std::nullopt)), "A,B");
    EXPECT_EQ(codigos(paquetesTarjetas(c, c.paquetes[2])), "P");
    EXPECT_EQ(codigos(paquetesTarjetas(proyecto({paquete("P", NivelAWP::pwp)}), std::nullopt)), "");
}

TEST(TarjetasPaquete, FiguresOfACard)
{
    tl::ZonaHoraria zona("UTC");
    PaqueteAWP cwa = paquete("A", NivelAWP::cwa);
    PaqueteAWP a = iwp("I1", 1000, 0.6, 1000, "A-1");
    a.hh = 1000;
    a.hhReal = 500;
    PaqueteAWP b = iwp("I2", 1000, 0.6, 0, "A");
    b.hh = 500;
    const TimeLinerConfig c = proyecto({cwa, paquete("A-1", NivelAWP::cwp, "A"), a, b});
    const FigurasPaquete f = figurasPaquete(c, cwa, {});
    EXPECT_DOUBLE_EQ(f.progreso, 0.6);
    EXPECT_DOUBLE_EQ(f.presupuesto, 2000);
    EXPECT_DOUBLE_EQ(f.valorGanado, 1200);
    EXPECT_EQ(textoIndice(f.cpi), "1.20");
    EXPECT_EQ(formatoHH(f.hh), "1.5 k HH");
    EXPECT_EQ(textoIndice(f.productividad), "1.80");
    EXPECT_EQ(f.iwpsIncluidos, 2);
    // The stored progress of the CWA itself colours its card: grey while its IWPs report 60 %.
    EXPECT_EQ(colorAvanceTarjeta(cwa.progreso), QColor::fromRgbF(0.45f, 0.45f, 0.45f));
    EXPECT_EQ(platform::qformat("%.0f%%", f.progreso * 100), "60%");
    EXPECT_EQ(figurasPaquete(c, c.paquetes[1], {}).iwpsIncluidos, 1);
    EXPECT_FALSE(figurasPaquete(c, a, {}).iwpsIncluidos);

    // Automatic progress: the scrubber halfway through the IWPs' span earns half.
    const FigurasPaquete enMarcha = figurasPaquete(c, cwa, {true, utc(2025, 1, 31, 0)});
    EXPECT_DOUBLE_EQ(enMarcha.valorGanado, 1000);
    EXPECT_DOUBLE_EQ(enMarcha.hhGanadas, 750);

    // 150 %: a full bar, no error.
    PaqueteAWP demas = iwp("X", 100, 1.5, 0);
    EXPECT_EQ(platform::qformat("%.0f%%", figurasPaquete(proyecto({demas}), demas, {}).progreso * 100), "150%");
    EXPECT_EQ(colorAvanceTarjeta(1.5), verde());
    EXPECT_EQ(colorAvanceTarjeta(0.4), naranja());
}

TEST(TarjetasPaquete, VarianceLabels)
{
    tl::ZonaHoraria zona("UTC");
    PaqueteAWP p = iwp("I", 0, 0, 0);
    p.fechaInicio = utc(2025, 1, 10);
    const struct { QDateTime real; const char* texto; bool rojo; } inicio[] = {
        {utc(2025, 1, 12), "Inicio -2d", true}, {utc(2025, 1, 8), "Inicio +2d", false},
        {utc(2025, 1, 10), "Inicio en plazo", false},
    };
    for (const auto& c : inicio) {
        p.fechaInicioReal = c.real;
        const int d = *figurasPaquete(proyecto({p}), p, {}).desfaseInicio;
        EXPECT_EQ(textoDesfase(QStringLiteral("Inicio"), d), QString::fromUtf8(c.texto));
        EXPECT_EQ(colorDesfase(d), c.rojo ? rojo() : verde()) << c.texto;
    }
    const struct { int dias; const char* texto; } fin[] = {{0, "Fin en plazo"}, {2, "Fin +2d"}, {-14, "Fin -14d"}};
    for (const auto& c : fin)
        EXPECT_EQ(textoDesfase(QStringLiteral("Fin"), c.dias), QString::fromUtf8(c.texto));
    // An actual end without an actual start: only the end variance.
    p.fechaInicioReal.reset();
    p.fechaFinReal = p.fechaFin;
    const FigurasPaquete f = figurasPaquete(proyecto({p}), p, {});
    EXPECT_FALSE(f.desfaseInicio);
    EXPECT_EQ(f.desfaseFin, 0);
}
