#include "timeline/Gantt.h"

#include "platform/SystemColors.h"
#include "platform/UserDate.h"
#include "support/Paquetes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using quelva::EscalaGantt;
using quelva::NivelAWP;
using quelva::PaqueteAWP;
using quelva::TimeLinerConfig;
using tl::paquete;
using tl::utc;

namespace {

TimeLinerConfig proyecto(QDateTime inicio, QDateTime fin)
{
    TimeLinerConfig c;
    c.fechaInicio = inicio;
    c.fechaFin = fin;
    return c;
}

// Labels of one width, whatever their text.
quelva::RotulosMes fijos(double ancho, double limite = 1e9)
{
    return {[ancho](const QString&) { return ancho; }, false, limite};
}

}  // namespace

TEST(Gantt, DatesMapByWholeDaysClampedToTheChart)
{
    tl::ZonaHoraria zona("UTC");
    const EscalaGantt escala(proyecto(utc(2025, 1, 1), utc(2025, 1, 11)), 1000);
    const struct { QDateTime fecha; double x; } casos[] = {
        {utc(2025, 1, 1), 0}, {utc(2025, 1, 6), 500}, {utc(2025, 1, 6, 11), 400},  // a part day is dropped: the start is at noon
        {utc(2024, 12, 1), 0}, {utc(2025, 3, 1), 1000},
    };
    for (const auto& c : casos)
        EXPECT_DOUBLE_EQ(escala.x(c.fecha), c.x) << c.fecha.toString().toStdString();

    // A window that does not end after it starts lasts one day.
    const EscalaGantt nada(proyecto(utc(2025, 1, 11), utc(2025, 1, 1)), 1000);
    EXPECT_EQ(nada.dias(), 1);
    EXPECT_EQ(nada.x(utc(2025, 1, 10)), 0);
    EXPECT_EQ(nada.x(utc(2025, 1, 12)), 1000);
}

TEST(Gantt, BarsHaveAMinimumWidthLabelsOverThirtySixAndProgressColours)
{
    tl::ZonaHoraria zona("UTC");
    using platform::SystemColor;
    const TimeLinerConfig c = proyecto(utc(2025, 1, 1), utc(2025, 4, 11));  // 100 days
    PaqueteAWP iwp = paquete("I", NivelAWP::iwp, std::nullopt, utc(2025, 1, 11), utc(2025, 1, 12));
    EXPECT_FALSE(quelva::barraGantt(EscalaGantt(c, 3600), iwp, 0, 0).conEtiqueta);  // exactly 36
    const auto ancha = quelva::barraGantt(EscalaGantt(c, 3650), iwp, 2, 0.5);
    EXPECT_TRUE(ancha.conEtiqueta);
    EXPECT_DOUBLE_EQ(ancha.rect.width(), 36.5);
    EXPECT_DOUBLE_EQ(ancha.rect.left(), 365);
    EXPECT_DOUBLE_EQ(ancha.rect.top(), 2 * 22 + 3);
    EXPECT_DOUBLE_EQ(ancha.rect.height(), 16);
    EXPECT_DOUBLE_EQ(ancha.anchoProgreso, 18.25);

    PaqueteAWP alReves = paquete("R", NivelAWP::iwp, std::nullopt, utc(2025, 1, 11), utc(2025, 1, 5));
    const auto minima = quelva::barraGantt(EscalaGantt(c, 1000), alReves, 0, 0);
    EXPECT_DOUBLE_EQ(minima.rect.width(), 4);
    EXPECT_DOUBLE_EQ(minima.rect.left(), 100);
    EXPECT_EQ(minima.anchoProgreso, 0);

    const struct { double guardado; QColor color; } colores[] = {
        {0, QColor::fromRgbF(0.45f, 0.45f, 0.45f)}, {-1, QColor::fromRgbF(0.45f, 0.45f, 0.45f)},
        {0.5, platform::systemColor(SystemColor::orange)}, {1, platform::systemColor(SystemColor::green)},
    };
    for (const auto& caso : colores) {
        iwp.progreso = caso.guardado;
        EXPECT_EQ(quelva::barraGantt(EscalaGantt(c, 1000), iwp, 0, 0.3).colorProgreso, caso.color) << caso.guardado;
    }
}

TEST(Gantt, BracketsSpanTheIwpsThatExist)
{
    TimeLinerConfig c = proyecto(utc(2025, 1, 1), utc(2025, 12, 31));
    c.paquetes = {paquete("A", NivelAWP::cwa), paquete("A-P", NivelAWP::cwp, "A"),
                  paquete("A-P-I", NivelAWP::iwp, "A-P", utc(2025, 3, 1), utc(2025, 4, 1)),
                  paquete("A-I", NivelAWP::iwp, "A", utc(2025, 2, 1), utc(2025, 2, 10)),
                  paquete("B", NivelAWP::cwa), paquete("B-P", NivelAWP::cwp, "B")};
    const auto a = quelva::spanResumen(c, c.paquetes[0]);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->first, utc(2025, 2, 1));
    EXPECT_EQ(a->second, utc(2025, 4, 1));
    const auto ap = quelva::spanResumen(c, c.paquetes[1]);
    ASSERT_TRUE(ap);
    EXPECT_EQ(ap->first, utc(2025, 3, 1));
    EXPECT_FALSE(quelva::spanResumen(c, c.paquetes[4]));
    EXPECT_FALSE(quelva::spanResumen(c, c.paquetes[5]));
    EXPECT_FALSE(quelva::spanResumen(c, c.paquetes[2]));
}

TEST(Gantt, MonthsFromTheStartsMonthAndNoOverlappingLabels)
{
    tl::ZonaHoraria zona("UTC");
    const TimeLinerConfig medio = proyecto(utc(2025, 1, 15, 0), utc(2025, 4, 20, 0));
    const EscalaGantt escala(medio, 95);  // one point a day
    const auto meses = quelva::mesesGantt(medio, escala, fijos(10));
    ASSERT_EQ(meses.size(), 4u);
    EXPECT_EQ(meses[0].x, 0);
    EXPECT_DOUBLE_EQ(meses[1].x, 17);  // 1 February, 17 days in
    EXPECT_TRUE(meses[1].conEtiqueta);
    EXPECT_FALSE(meses[0].texto.isEmpty());

    // The same project squeezed: labels that would overlap are left out, their lines stay; the
    // start's half month gives way to February, which March then runs into.
    const auto apretados = quelva::mesesGantt(medio, EscalaGantt(medio, 95), fijos(40));
    EXPECT_EQ(apretados.size(), 4u);
    EXPECT_FALSE(apretados[0].conEtiqueta);
    EXPECT_TRUE(apretados[1].conEtiqueta);
    EXPECT_FALSE(apretados[2].conEtiqueta);
    EXPECT_TRUE(apretados[3].conEtiqueta);

    // A mistyped year: thousands of years of months never become thousands of lines.
    const TimeLinerConfig absurdo = proyecto(utc(2025, 1, 1), utc(9025, 1, 1));
    const auto muchos = quelva::mesesGantt(absurdo, EscalaGantt(absurdo, 800), fijos(40));
    EXPECT_LE(muchos.size(), 801u);
    int etiquetas = 0;
    for (const auto& m : muchos)
        etiquetas += m.conEtiqueta;
    EXPECT_LE(etiquetas, 21);
}

TEST(Gantt, MonthLabelsAreMeasuredOneByOne)
{
    tl::ZonaHoraria zona("UTC");
    // 2025 over 365 points: February is 28 points, its neighbours 31.
    const TimeLinerConfig anio = proyecto(utc(2025, 1, 1, 0), utc(2026, 1, 1, 0));
    const EscalaGantt escala(anio, 365);
    // A label 24 wide clears the previous one by 4 after a short February too: all are labelled.
    for (const auto& m : quelva::mesesGantt(anio, escala, fijos(24)))
        EXPECT_TRUE(m.conEtiqueta) << m.x;
    // Each label as wide as it is: the long ones of March and May push out the next label, and
    // only that one.
    int mes = 0;
    const quelva::RotulosMes medidos{[&mes](const QString&) { return ++mes == 3 || mes == 5 ? 40.0 : 20.0; }};
    for (const auto& m : quelva::mesesGantt(anio, escala, medidos)) {
        const bool trasLargo = m.x == 90 || m.x == 151;  // April and June
        EXPECT_EQ(m.conEtiqueta, !trasLargo) << m.x;
    }
    // No label runs past the limit: December's line at 334 leaves 31 points.
    const auto meses = quelva::mesesGantt(anio, escala, fijos(24, 360));
    EXPECT_TRUE(meses[10].conEtiqueta);
    EXPECT_FALSE(meses[11].conEtiqueta);
    EXPECT_EQ(meses.size(), 13u);  // January 2026 is the end itself
}

TEST(Gantt, EveryMonthBeginningInTheWindowGetsItsLineAndLabelWhateverDayItStarts)
{
    tl::ZonaHoraria zona("UTC");
    // Windows of about a year from the 1st, late in January, the 31st and the last day of a
    // February, ending on a 1st, at one to four points a day; labels 24 wide, kept in the strip.
    const struct {
        QDate inicio, fin;
    } ventanas[] = {
        {{2015, 1, 1}, {2016, 1, 1}},  {{2015, 1, 20}, {2016, 1, 1}}, {{2015, 1, 31}, {2016, 1, 1}},
        {{2015, 2, 28}, {2016, 2, 1}}, {{2016, 2, 29}, {2017, 2, 1}},
    };
    for (const auto& v : ventanas) {
        for (const double ancho : {400.0, 700.0, 1400.0}) {
            const TimeLinerConfig c = proyecto(QDateTime(v.inicio, QTime(0, 0), Qt::UTC), QDateTime(v.fin, QTime(0, 0), Qt::UTC));
            const EscalaGantt escala(c, ancho);
            const auto meses = quelva::mesesGantt(c, escala, fijos(24, ancho));
            const std::string caso = v.inicio.toString(Qt::ISODate).toStdString() + " en " + std::to_string(int(ancho));
            ASSERT_GE(meses.size(), 2u) << caso;
            // The start's month begins the strip, named when its stub leaves the next label room.
            EXPECT_EQ(meses.front().x, 0) << caso;
            EXPECT_EQ(meses.front().conEtiqueta, meses[1].x >= 28) << caso;
            for (QDate primero(v.inicio.year(), v.inicio.month(), 1); primero < v.fin; primero = primero.addMonths(1)) {
                if (primero < v.inicio)
                    continue;
                const QDateTime instante(primero, QTime(0, 0), Qt::UTC);
                const double x = ancho * v.inicio.daysTo(primero) / escala.dias();
                const auto mes = std::find_if(meses.begin(), meses.end(),
                                              [&](const auto& m) { return std::abs(m.x - x) < 1e-9; });
                ASSERT_NE(mes, meses.end()) << caso << ": sin línea para " << primero.toString(Qt::ISODate).toStdString();
                EXPECT_TRUE(mes->conEtiqueta) << caso << ": sin rótulo para " << primero.toString(Qt::ISODate).toStdString();
                EXPECT_EQ(mes->texto, platform::formatUserPattern(instante, "MMM yy")) << caso;
            }
        }
    }
}
