#include "timeline/analitica/CurvaS.h"

#include "platform/SystemColors.h"
#include "support/Entorno.h"
#include "support/Paquetes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

using namespace quelva;
using platform::SystemColor;
using tl::paquete;
using tl::utc;

namespace {

PaqueteAWP iwp(const QString& codigo, QDateTime inicio, QDateTime fin, double presupuesto, double progreso = 0,
               double hh = 0)
{
    PaqueteAWP p = paquete(codigo, NivelAWP::iwp, std::nullopt, inicio, fin);
    p.presupuesto = presupuesto;
    p.progreso = progreso;
    p.hh = hh;
    return p;
}

TimeLinerConfig proyecto(std::vector<PaqueteAWP> paquetes)
{
    TimeLinerConfig c;
    c.fechaInicio = utc(2024, 12, 1);
    c.fechaFin = utc(2026, 1, 1);
    c.paquetes = std::move(paquetes);
    return c;
}

// A 300 x 200 surface: plot 34..290 across, 10..178 down.
constexpr QSizeF superficie(300, 200);

// Centred labels of one width, whatever their text.
RotulosMes fijos(double ancho)
{
    return {[ancho](const QString&) { return ancho; }, true};
}

}  // namespace

TEST(CurvaS, PlannedCurveOfOneIwpRunsCornerToCorner)
{
    tl::ZonaHoraria zona("UTC");
    const DatosCurvaS d = datosCurvaS(proyecto({iwp("I", utc(2025, 1, 1), utc(2025, 3, 1), 777)}), 0);
    const GeometriaCurvaS g = geometriaCurvaS(d, superficie);
    EXPECT_DOUBLE_EQ(g.b, 178);
    EXPECT_DOUBLE_EQ(g.r, 290);
    const std::vector<QPointF> plan = puntosSerie(d, g, SerieCurvaS::costoPlan);
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_EQ(plan[0], QPointF(34, 178));
    EXPECT_EQ(plan[1], QPointF(290, 10));
    // No progress: the earned curve is a single point, so it is not drawn.
    EXPECT_EQ(puntosSerie(d, g, SerieCurvaS::valorGanado).size(), 1u);
    // Man-hours are not shown in cost mode.
    EXPECT_EQ(puntosSerie(d, g, SerieCurvaS::hhPlan).size(), 1u);

    // Starting and ending on the same day: a vertical straight line at the left edge.
    const DatosCurvaS dia = datosCurvaS(proyecto({iwp("I", utc(2025, 1, 1), utc(2025, 1, 1), 5)}), 2);
    const GeometriaCurvaS gd = geometriaCurvaS(dia, superficie);
    const std::vector<QPointF> vertical = puntosSerie(dia, gd, SerieCurvaS::costoPlan);
    ASSERT_EQ(vertical.size(), 2u);
    EXPECT_EQ(vertical[1], QPointF(34, 10));
    const auto tramos = tramosSuaves(vertical);
    ASSERT_EQ(tramos.size(), 1u);
    EXPECT_FALSE(tramos[0].curva);
}

TEST(CurvaS, EarnedAmountsStandWhereTheProgressHasReached)
{
    tl::ZonaHoraria zona("UTC");
    // 100 days from 1 Jan; the plot is 256 wide, so a day is 2.56 points.
    PaqueteAWP mitad = iwp("M", utc(2025, 1, 1, 0), utc(2025, 4, 11, 0), 100, 0.5);
    PaqueteAWP real = iwp("R", utc(2025, 1, 1, 0), utc(2025, 4, 11, 0), 300, 0.2);
    real.fechaFinReal = utc(2025, 1, 21, 0);
    PaqueteAWP sinAvance = iwp("S", utc(2025, 1, 1, 0), utc(2025, 4, 11, 0), 600, 0);
    const DatosCurvaS d = datosCurvaS(proyecto({mitad, real, sinAvance}), 0);
    const GeometriaCurvaS g = geometriaCurvaS(d, superficie);
    EXPECT_EQ(fechaAvance(mitad), utc(2025, 2, 20, 0));
    const std::vector<QPointF> ev = puntosSerie(d, g, SerieCurvaS::valorGanado);
    ASSERT_EQ(ev.size(), 3u);  // the package without progress adds nothing
    EXPECT_DOUBLE_EQ(ev[1].x(), 34 + 20 * 2.56);  // the actual end, though only 20 % done
    EXPECT_DOUBLE_EQ(ev[1].y(), 178 - 168 * 60.0 / 1000);
    EXPECT_DOUBLE_EQ(ev[2].x(), 34 + 50 * 2.56);  // halfway through its span
    EXPECT_DOUBLE_EQ(ev[2].y(), 178 - 168 * 110.0 / 1000);

    // An actual start moves the halfway point with it.
    mitad.fechaInicioReal = utc(2025, 1, 11, 0);
    EXPECT_EQ(fechaAvance(mitad), utc(2025, 2, 25, 0));

    // Three equal ends: points on one vertical, joined straight.
    const std::vector<QPointF> plan = puntosSerie(d, g, SerieCurvaS::costoPlan);
    ASSERT_EQ(plan.size(), 4u);
    const auto tramos = tramosSuaves(plan);
    EXPECT_TRUE(tramos[0].curva);
    EXPECT_FALSE(tramos[1].curva);
    EXPECT_FALSE(tramos[2].curva);
    EXPECT_EQ(plan[3], QPointF(290, 10));
}

// Spans across a clock change, in zones whose offset moves by an hour or half an hour: each
// package stands on the curves where its own dates put it, local, UTC or at a fixed offset.
TEST(CurvaS, PointsStandOnTheDaysOfTheDatesAcrossClockChanges)
{
    for (const char* nombreZona : {"America/Santiago", "Australia/Lord_Howe", "Europe/Madrid", "UTC"}) {
        tl::ZonaHoraria zona(nombreZona);
        auto local = [](int y, int m, int d, int h, int min = 0) { return QDateTime(QDate(y, m, d), QTime(h, min)); };
        struct Caso {
            QDateTime inicio, fin;
            double progreso;
            std::optional<QDateTime> inicioReal, finReal;
        };
        const Caso casos[] = {
            {local(2025, 3, 20, 0), local(2025, 4, 20, 0), 0.5, {}, {}},
            {local(2025, 4, 5, 23, 30), local(2025, 4, 6, 1), 0.5, {}, {}},
            {local(2025, 9, 6, 22), local(2025, 9, 8, 2), 0.37, {}, {}},
            {local(2025, 10, 4, 12), local(2025, 10, 27, 3), 0.999, local(2025, 10, 1, 0), {}},
            {local(2025, 3, 29, 0).toUTC(), local(2025, 3, 31, 0), 0.25, {}, {}},
            {local(2025, 3, 1, 0).toOffsetFromUtc(3 * 3600), local(2025, 11, 1, 0), 0.8, {}, {}},
            {local(2025, 1, 1, 0), local(2025, 12, 31, 0), 0.1, {}, local(2025, 4, 6, 0, 30)},
            {local(2025, 2, 1, 0), local(2025, 6, 1, 0), 1.0, {}, {}},
            // Ends on a short day and just after it (Santiago, Madrid, Lord Howe).
            {local(2025, 8, 1, 0), local(2025, 9, 7, 12), 0, {}, {}},
            {local(2025, 8, 1, 0), local(2025, 9, 8, 0, 30), 0, {}, {}},
            {local(2025, 3, 1, 0), local(2025, 3, 30, 12), 0, {}, {}},
            {local(2025, 3, 1, 0), local(2025, 3, 31, 0, 30), 0, {}, {}},
            {local(2025, 9, 1, 0), local(2025, 10, 5, 12), 0, {}, {}},
            {local(2025, 9, 1, 0), local(2025, 10, 6, 0, 15), 0, {}, {}},
        };
        std::vector<PaqueteAWP> paquetes;
        for (const Caso& c : casos) {
            PaqueteAWP p = iwp(QString::number(paquetes.size()), c.inicio, c.fin, 100, c.progreso, 10);
            p.fechaInicioReal = c.inicioReal;
            p.fechaFinReal = c.finReal;
            paquetes.push_back(p);
        }
        const DatosCurvaS d = datosCurvaS(proyecto(paquetes), 2);
        for (const QSizeF s : {superficie, QSizeF(2000, 200)}) {
            const GeometriaCurvaS g = geometriaCurvaS(d, s);
            std::vector<double> plan, ganado;
            for (const PaqueteAWP& p : paquetes) {
                plan.push_back(g.x(p.fechaFin));
                if (p.progreso > 0)
                    ganado.push_back(g.x(fechaAvance(p)));
            }
            std::sort(plan.begin(), plan.end());
            std::sort(ganado.begin(), ganado.end());
            auto xs = [&](SerieCurvaS serie) {
                std::vector<double> r;
                for (const QPointF& punto : puntosSerie(d, g, serie))
                    r.push_back(punto.x());
                r.erase(r.begin());  // the origin
                return r;
            };
            EXPECT_EQ(xs(SerieCurvaS::costoPlan), plan) << nombreZona << " " << s.width();
            EXPECT_EQ(xs(SerieCurvaS::hhPlan), plan) << nombreZona << " " << s.width();
            EXPECT_EQ(xs(SerieCurvaS::valorGanado), ganado) << nombreZona << " " << s.width();
            EXPECT_EQ(xs(SerieCurvaS::hhGanadas), ganado) << nombreZona << " " << s.width();
        }
    }
}

TEST(CurvaS, SmoothingKeepsControlPointsWithinTheStep)
{
    const std::vector<QPointF> p = {{34, 178}, {40, 100}, {200, 90}, {201, 10}, {290, 10}};
    const auto tramos = tramosSuaves(p);
    ASSERT_EQ(tramos.size(), 4u);
    EXPECT_TRUE(tramos[0].curva);
    // c1 = P0 + 0.3 (P1 - P0); c2 = P1 - 0.3 (P2 - P0), its x pulled back into 34..40.
    EXPECT_DOUBLE_EQ(tramos[0].c1.x(), 34 + 0.3 * 6);
    EXPECT_DOUBLE_EQ(tramos[0].c1.y(), 178 - 0.3 * 78);
    EXPECT_DOUBLE_EQ(tramos[0].c2.x(), 34);
    EXPECT_DOUBLE_EQ(tramos[0].c2.y(), 100 + 0.3 * 88);  // y is left as it is
    EXPECT_TRUE(tramos[1].curva);
    EXPECT_GE(tramos[1].c1.x(), 40);
    EXPECT_LE(tramos[1].c2.x(), 200);
    EXPECT_FALSE(tramos[2].curva);  // under 2 points across
    EXPECT_FALSE(tramos[3].curva);  // under half a point up
    EXPECT_TRUE(tramosSuaves({{34, 178}}).empty());
}

// Many packages a day: the path through the kept points has the same curves, and straight
// vertical steps where the dropped points stood.
TEST(CurvaS, OnlyThePointsThePathReadsAreStroked)
{
    std::vector<QPointF> p = {{34, 178}};
    for (double x : {40.0, 41.0, 90.0, 200.0})
        for (int k = 0; k < 6; ++k)
            p.push_back({x, 170 - x / 2 - k * 3});
    p.push_back({201, 10});
    const std::vector<QPointF> kept = puntosParaTrazo(p);
    EXPECT_EQ(kept.size(), 2u + 4 * 4);
    EXPECT_EQ(kept.front(), p.front());
    EXPECT_EQ(kept.back(), p.back());

    auto curvas = [](const std::vector<TramoCurvaS>& tramos) {
        std::vector<std::array<QPointF, 3>> r;
        for (const TramoCurvaS& t : tramos)
            if (t.curva)
                r.push_back({t.c1, t.c2, t.hasta});
        return r;
    };
    const auto todos = tramosSuaves(p), pocos = tramosSuaves(kept);
    EXPECT_EQ(curvas(pocos), curvas(todos));
    EXPECT_EQ(curvas(todos).size(), 3u);
    EXPECT_EQ(puntosParaTrazo({{1, 2}}), (std::vector<QPointF>{{1, 2}}));
}

TEST(CurvaS, ModesPickColoursDashesAndFills)
{
    using S = SerieCurvaS;
    auto c = [](SystemColor s) { return platform::systemColor(s); };
    const struct { S serie; int modo; QColor color; bool discontinua; bool relleno; } casos[] = {
        {S::costoPlan, 2, c(SystemColor::blue), false, true},   {S::valorGanado, 2, c(SystemColor::green), false, true},
        {S::hhPlan, 2, c(SystemColor::cyan), true, false},      {S::hhGanadas, 2, c(SystemColor::mint), true, false},
        {S::hhPlan, 1, c(SystemColor::blue), false, true},      {S::hhGanadas, 1, c(SystemColor::green), false, true},
    };
    for (const auto& k : casos) {
        const EstiloSerie e = estiloSerie(k.serie, k.modo);
        EXPECT_EQ(e.color, k.color) << int(k.serie) << " " << k.modo;
        EXPECT_EQ(e.discontinua, k.discontinua) << int(k.serie) << " " << k.modo;
        EXPECT_EQ(e.relleno, k.relleno) << int(k.serie) << " " << k.modo;
    }
}

TEST(CurvaS, NothingToDrawWithoutBudgetOrManHoursInTheMode)
{
    const PaqueteAWP conPresupuesto = iwp("P", utc(2025, 1, 1), utc(2025, 2, 1), 100);
    const PaqueteAWP conHoras = iwp("H", utc(2025, 1, 1), utc(2025, 2, 1), 0, 0, 40);
    PaqueteAWP cwa = paquete("A", NivelAWP::cwa);
    cwa.presupuesto = 1000;  // only IWPs feed the curves
    const struct { std::vector<PaqueteAWP> paquetes; int modo; bool vacio; } casos[] = {
        {{}, 2, true},           {{cwa}, 2, true},        {{iwp("Z", utc(2025, 1, 1), utc(2025, 2, 1), 0)}, 2, true},
        {{conPresupuesto}, 1, true}, {{conHoras}, 0, true}, {{conPresupuesto}, 0, false},
        {{conHoras}, 1, false},  {{conHoras}, 2, false},
    };
    for (const auto& c : casos)
        EXPECT_EQ(datosCurvaS(proyecto(c.paquetes), c.modo).vacio(), c.vacio)
            << c.paquetes.size() << " modo " << c.modo;
    // Without IWPs the project's own window stands in.
    const DatosCurvaS sin = datosCurvaS(proyecto({}), 2);
    EXPECT_EQ(sin.inicio, utc(2024, 12, 1));
    EXPECT_EQ(sin.fin, utc(2026, 1, 1));
}

TEST(CurvaS, ReadoutUnderThePointer)
{
    tl::Entorno entorno{{"LC_ALL", nullptr}, {"LC_TIME", nullptr}, {"LANG", "es_CL.UTF-8"}, {"TZ", "UTC"}};
    // 100 days from 1 Jan 2025 (2.56 points a day).
    PaqueteAWP a = iwp("A", utc(2025, 1, 1, 0), utc(2025, 1, 21, 0), 300, 1, 10);
    PaqueteAWP b = iwp("B", utc(2025, 1, 1, 0), utc(2025, 4, 11, 0), 100, 0.5, 30);
    const DatosCurvaS d = datosCurvaS(proyecto({a, b}), 2);
    EXPECT_FALSE(d.fechasReales);
    const GeometriaCurvaS g = geometriaCurvaS(d, superficie);
    EXPECT_EQ(g.fechaEn(34), utc(2025, 1, 1, 0));
    EXPECT_EQ(g.fechaEn(290), utc(2025, 4, 11, 0));

    // Day 60: A is planned complete and earned; B is earned (halfway, day 50), not complete.
    const auto l = lecturaCurvaS(d, g, 34 + 60 * 2.56);
    ASSERT_TRUE(l);
    EXPECT_EQ(l->titulo, QStringLiteral("mar 2025"));
    ASSERT_EQ(l->entradas.size(), 4u);
    const char* textos[] = {"75%  $ Planificado", "88%  Valor Ganado", "25%  HH Planificadas", "62%  HH Valor Ganado"};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(l->entradas[i].texto, QString::fromUtf8(textos[i]));
    EXPECT_EQ(l->entradas[2].color, platform::systemColor(SystemColor::cyan));
    EXPECT_DOUBLE_EQ(l->entradas[0].y, 178 - 168 * 0.75);
    // h + 140 passes the right edge (290): the box opens to the left of the line.
    EXPECT_EQ(l->caja, QRectF(34 + 60 * 2.56 - 136, 14, 130, 16 + 13 * 4));

    EXPECT_DOUBLE_EQ(lecturaCurvaS(d, g, 290 - 140)->caja.left(), 290 - 140 + 6);
    // Mid-plot neither side of the line holds the box: it stays inside the plot, over the line.
    EXPECT_DOUBLE_EQ(lecturaCurvaS(d, g, 290 - 139)->caja.left(), 34);
    // Whatever the pointer, on this plot and on the narrow one of the analytics panel.
    for (const double ancho : {300.0, 244.0, 180.0}) {
        const GeometriaCurvaS gi = geometriaCurvaS(d, QSizeF(ancho, 200));
        for (double h = 34; h <= gi.r; h += 1) {
            const QRectF caja = lecturaCurvaS(d, gi, h)->caja;
            EXPECT_GE(caja.left(), 34) << ancho << " " << h;
            EXPECT_LE(caja.right(), gi.r) << ancho << " " << h;
        }
    }

    // Off the plot, without a pointer: none.
    EXPECT_FALSE(lecturaCurvaS(d, g, 33.9));
    EXPECT_FALSE(lecturaCurvaS(d, g, 290.1));
    EXPECT_FALSE(lecturaCurvaS(d, g, std::nullopt));
    // A low surface keeps the box at its top edge of 10.
    const auto baja = lecturaCurvaS(d, geometriaCurvaS(d, QSizeF(300, 90)), 100);
    ASSERT_TRUE(baja);
    EXPECT_DOUBLE_EQ(baja->caja.top(), 10);
}

TEST(CurvaS, SurfacesTooSmallForAPlotDrawNothing)
{
    tl::ZonaHoraria zona("UTC");
    const DatosCurvaS d = datosCurvaS(proyecto({iwp("I", utc(2025, 1, 1), utc(2025, 3, 1), 100, 0.5)}), 0);
    for (QSizeF s : {QSizeF(40, 200), QSizeF(44, 200), QSizeF(300, 32), QSizeF(0, 0)}) {
        const GeometriaCurvaS g = geometriaCurvaS(d, s);
        EXPECT_FALSE(g.valida()) << s.width() << "x" << s.height();
        EXPECT_FALSE(lecturaCurvaS(d, g, 34));
        EXPECT_FALSE(lecturaCurvaS(d, g, 35));
        EXPECT_TRUE(mesesCurvaS(d, g, fijos(30)).empty());
    }
    EXPECT_TRUE(geometriaCurvaS(d, QSizeF(45, 33)).valida());
}

TEST(CurvaS, MonthTicksOfAnAbsurdWindowDoNotOverlap)
{
    tl::Entorno entorno{{"LC_ALL", nullptr}, {"LC_TIME", nullptr}, {"LANG", "es_CL.UTF-8"}, {"TZ", "UTC"}};
    // A mistyped year: 900 years of months under a plot 256 wide.
    const DatosCurvaS absurdo =
        datosCurvaS(proyecto({iwp("I", utc(2025, 1, 15), utc(2925, 1, 1), 100)}), 0);
    const GeometriaCurvaS g = geometriaCurvaS(absurdo, superficie);
    const std::vector<MesGantt> meses = mesesCurvaS(absurdo, g, fijos(30));
    EXPECT_LE(meses.size(), 260u);
    double anterior = -1e9;
    for (const MesGantt& m : meses) {
        EXPECT_GE(m.x, 34);
        EXPECT_LE(m.x, 290);
        if (m.conEtiqueta) {
            EXPECT_GE(m.x - anterior, 30);
            anterior = m.x;
        }
    }
    // An ordinary window labels every month, the first at the plot's left edge.
    const DatosCurvaS normal = datosCurvaS(proyecto({iwp("I", utc(2025, 1, 15), utc(2025, 6, 1), 100)}), 0);
    const std::vector<MesGantt> cinco = mesesCurvaS(normal, geometriaCurvaS(normal, QSizeF(600, 200)), fijos(30));
    ASSERT_EQ(cinco.size(), 6u);  // January to June
    EXPECT_DOUBLE_EQ(cinco[0].x, 34);
    EXPECT_EQ(cinco[0].texto, QStringLiteral("ene 25"));
    for (const MesGantt& m : cinco)
        EXPECT_TRUE(m.conEtiqueta);
}
