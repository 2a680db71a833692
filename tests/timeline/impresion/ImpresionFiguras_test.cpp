#include "timeline/FigurasTimeLiner.h"
#include "timeline/impresion/FichaPDF.h"
#include "timeline/impresion/FigurasFicha.h"
#include "timeline/impresion/FlowLayout.h"
#include "timeline/impresion/PaginaGanttPDF.h"
#include "timeline/ui/EstiloTimeLiner.h"

#include "platform/SystemColors.h"

#include "support/Paquetes.h"

#include <gtest/gtest.h>

using namespace quelva;
using platform::SystemColor;
using platform::systemColor;
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

TEST(PaginaGantt, DatesMapToWholeDaysClampedToTheChart)
{
    tl::ZonaHoraria zona("UTC");
    TimeLinerConfig c;
    c.fechaInicio = utc(2025, 1, 1, 0);
    c.fechaFin = utc(2025, 1, 11, 0);  // 10 days over 929 points
    const double W = 1200, paso = (W - 271) / 10;
    const struct { QDateTime fecha; double x; } casos[] = {
        {utc(2024, 6, 1), 271},
        {utc(2025, 1, 1, 0), 271},
        {utc(2025, 1, 1, 23, 59), 271},  // a part day does not move
        {utc(2025, 1, 2, 0), 271 + paso},
        {utc(2025, 1, 6, 13), 271 + 5 * paso},
        {utc(2025, 1, 11, 0), W},
        {utc(2030, 1, 1), W},
    };
    for (const auto& caso : casos)
        EXPECT_DOUBLE_EQ(xParaFecha(c, caso.fecha, W), caso.x) << caso.fecha.toString().toStdString();

    // A project that ends where it starts still spans one day.
    c.fechaFin = c.fechaInicio;
    EXPECT_DOUBLE_EQ(xParaFecha(c, utc(2025, 1, 2, 0), W), W);
}

TEST(PaginaGantt, TallChartsGoOnOverPagesReadersShow)
{
    const struct { int filas; std::vector<double> altos; } casos[] = {
        {0, {88}},
        {40, {968}},
        {650, {14388}},
        {651, {14360, 110}},
        {2000, {14360, 14360, 14360, 88 + 22 * 50}},
    };
    for (const auto& caso : casos) {
        const std::vector<TramoGantt> t = tramosGantt(caso.filas);
        ASSERT_EQ(t.size(), caso.altos.size()) << caso.filas;
        int siguiente = 0;
        for (size_t k = 0; k < t.size(); ++k) {
            EXPECT_EQ(t[k].alto, caso.altos[k]) << caso.filas << " page " << k;
            EXPECT_LE(t[k].alto, kAltoMaximoPDF);
            EXPECT_EQ(t[k].desde, siguiente);
            EXPECT_EQ(t[k].conPie, k + 1 == t.size());
            siguiente = t[k].hasta;
        }
        EXPECT_EQ(siguiente, caso.filas);
    }
}

TEST(FlowLayout, MeasuringAndPlacingFollowOneRule)
{
    using Items = std::vector<QSizeF>;
    const Items tres(3, QSizeF(40, 10));
    const struct {
        const char* caso;
        Items items;
        std::optional<double> ancho;
        QSizeF tamano;
        std::vector<QPointF> posiciones;
    } casos[] = {
        {"empty, no width", {}, std::nullopt, {600, 0}, {}},
        {"three fit exactly", tres, 128, {128, 10}, {{0, 0}, {44, 0}, {88, 0}}},
        {"third wraps", tres, 127, {127, 24}, {{0, 0}, {44, 0}, {0, 14}}},
        {"zero width: one per row", tres, 0, {0, 38}, {{0, 0}, {0, 14}, {0, 28}}},
        {"wide first stands alone", {{300, 10}, {10, 10}}, 100, {100, 24}, {{0, 0}, {0, 14}}},
        {"rows top-aligned, tallest sets the row", {{50, 10}, {50, 20}, {50, 10}}, 110, {110, 34},
         {{0, 0}, {54, 0}, {0, 24}}},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(medirFlujo(c.items, 4, c.ancho), c.tamano) << c.caso;
        const double ancho = c.ancho.value_or(600);
        EXPECT_EQ(colocarFlujo(c.items, 4, QRectF(10, 20, ancho, 500)),
                  [&] {
                      std::vector<QPointF> r;
                      for (const QPointF& p : c.posiciones)
                          r.push_back(p + QPointF(10, 20));
                      return r;
                  }())
            << c.caso;
    }
}

TEST(FichaAWP, TileTextsAndColours)
{
    const struct { double valor; const char* texto; } horas[] = {
        {1500, "1.5k HH"}, {1000, "1.0k HH"}, {999.6, "1000 HH"}, {12, "12 HH"},
    };
    for (const auto& h : horas)
        EXPECT_EQ(formatearHH(h.valor, "%.1fk HH"), QString::fromUtf8(h.texto)) << h.valor;

    // The CPI and factor tiles take the timeline's index colours (tested with the earned-value
    // figures); a child row's progress takes the window's progress colour.
    const QColor gris(128, 128, 128);
    EXPECT_EQ(estilo::colorAvance(0, gris), gris);
    EXPECT_EQ(estilo::colorAvance(0.004, gris), systemColor(SystemColor::orange));
    EXPECT_EQ(estilo::colorAvance(1.2, gris), systemColor(SystemColor::green));
}

TEST(FichaAWP, RatiosAreOneWithoutRealFigures)
{
    TimeLinerConfig c;
    PaqueteAWP cwa = paquete("A", NivelAWP::cwa);
    PaqueteAWP i1 = paquete("I1", NivelAWP::iwp, "A");
    i1.presupuesto = 1000, i1.progreso = 0.85, i1.costoReal = 1000;
    i1.hh = 100, i1.hhReal = 0;
    c.paquetes = {cwa, i1};
    EXPECT_DOUBLE_EQ(cpiFicha(c, cwa), 0.85);
    EXPECT_EQ(factorProductividad(c, cwa), 1.0);

    c.paquetes[1].costoReal = 0;  // earned value but no real cost
    EXPECT_EQ(cpiFicha(c, cwa), 1.0);

    // A CWA with no IWP: nothing spent, nothing earned.
    TimeLinerConfig solo;
    solo.paquetes = {cwa};
    EXPECT_EQ(cpiFicha(solo, cwa), 1.0);
    EXPECT_EQ(factorProductividad(solo, cwa), 1.0);
}

TEST(FichaAWP, VarianceTexts)
{
    const struct { int dias; const char* texto; SystemColor color; } casos[] = {
        {0, "+0 días (adelanto)", SystemColor::green},
        {2, "+2 días (adelanto)", SystemColor::green},
        {-3, "-3 días (retraso)", SystemColor::red},
    };
    for (const auto& c : casos) {
        const TextoColor t = textoVariacion(c.dias);
        EXPECT_EQ(t.texto, QString::fromUtf8(c.texto));
        EXPECT_EQ(t.color, systemColor(c.color));
    }
}

TEST(FichaAWP, ChipsShowTheFirstFortyAndCountTheRest)
{
    const struct { int n; int visibles; const char* desborde; } casos[] = {
        {0, 0, ""}, {40, 40, ""}, {41, 40, "+ 1 más…"}, {250, 40, "+ 210 más…"},
    };
    for (const auto& c : casos) {
        QStringList nombres;
        for (int i = 0; i < c.n; ++i)
            nombres.append(QStringLiteral("E%1").arg(i));
        const ChipsElementos chips = chipsElementos(nombres);
        EXPECT_EQ(chips.visibles.size(), c.visibles) << c.n;
        EXPECT_EQ(chips.desborde, QString::fromUtf8(c.desborde)) << c.n;
        if (c.visibles > 0) {
            EXPECT_EQ(chips.visibles.last(), QStringLiteral("E%1").arg(c.visibles - 1));
        }
    }
}

TEST(FichaAWP, ChildRowsStripeFromTheSecondAndTheLastHasNoDivider)
{
    const EstiloFilaHijo uno = estiloFilaHijo(0, 1);
    EXPECT_FALSE(uno.tintada);
    EXPECT_FALSE(uno.divisor);
    const bool tintadas[] = {false, true, false}, divisores[] = {true, true, false};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(estiloFilaHijo(i, 3).tintada, tintadas[i]) << i;
        EXPECT_EQ(estiloFilaHijo(i, 3).divisor, divisores[i]) << i;
    }
}

TEST(FichaAWP, ParentAndChildrenByLevel)
{
    TimeLinerConfig c;
    c.paquetes = {
        paquete("A", NivelAWP::cwa),
        paquete("A", NivelAWP::cwp),  // a second "A": the first in stored order is the parent
        paquete("P2", NivelAWP::cwp, "A", utc(2025, 6, 9)),
        paquete("P1", NivelAWP::cwp, "A", utc(2025, 6, 5)),
        paquete("I-temprano", NivelAWP::iwp, "A", utc(2025, 1, 1)),  // before every CWP, still after them
        paquete("P1-I", NivelAWP::iwp, "P1", utc(2025, 6, 6)),
        paquete("P1-I-W", NivelAWP::pwp, "P1-I"),
        paquete("P1-I-I", NivelAWP::iwp, "P1-I"),
    };
    EXPECT_EQ(paquetePadre(c, c.paquetes[3])->nivel, NivelAWP::cwa);
    EXPECT_FALSE(paquetePadre(c, c.paquetes[0]));
    EXPECT_FALSE(paquetePadre(c, paquete("X", NivelAWP::iwp, "NADIE")));

    EXPECT_EQ(codigos(hijosFicha(c, c.paquetes[0])), QStringList({"P1", "P2", "I-temprano", "P1-I"}));
    EXPECT_EQ(codigos(hijosFicha(c, c.paquetes[3])), QStringList({"P1-I"}));
    // An IWP lists only IWPs under it, never its PWPs.
    EXPECT_EQ(codigos(hijosFicha(c, c.paquetes[5])), QStringList({"P1-I-I"}));
    EXPECT_EQ(tituloHijos(NivelAWP::cwa), "Construction Work Packages / IWPs");
    EXPECT_EQ(tituloHijos(NivelAWP::pwp), "Installation Work Packages");
}

TEST(FichaPDF, PagesBreakAtTheLastPieceThatFits)
{
    const struct {
        const char* caso;
        double alto;
        std::vector<double> cortes;
        std::vector<double> inicios;
    } casos[] = {
        {"fits one page", 900, {0, 300, 600}, {0}},
        {"exactly one page", 1200, {0, 1100}, {0}},
        {"breaks before the row that would be cut", 2000, {0, 500, 1190, 1210}, {0, 1190}},
        {"a piece taller than a page is cut at the edge", 2600, {0, 2500}, {0, 1200, 2376}},
        {"a break at the page's edge", 1500, {1200}, {0, 1200}},
        {"continued pages hold 1176", 2400, {1200, 2370, 2380}, {0, 1200, 2370}},
    };
    for (const auto& c : casos)
        EXPECT_EQ(iniciosPaginasFicha(c.alto, c.cortes), c.inicios) << c.caso;
}
