// The canvas tools driven by pointer, wheel and key events.

#include "sections/Vista2DNSView.h"
#include "support/Esperar.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace quelva;

namespace {

// A shown 400 × 400 canvas at 100 px/m, origin at (200, 200), with one cut line "Muro" from
// (-1, 0) to (1, 0) and its hidden label anchored at (0, 0).
struct Lienzo {
    Vista2DNSView v;
    int pintados = 0;

    Lienzo()
    {
        v.resize(400, 400);
        v.setSegmentos({Segmento2D{{-1, 0}, {1, 0}, "ARQ", Qt::black, true, "Muro"}});
        Etiqueta2D e;
        e.nombre = "Muro";
        e.key = "ARQ";
        e.dimensiones = "2.00 × 0.20 m";
        e.offsetTexto = {1.5f, 0};
        v.setEtiquetas({e});
        v.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    }

    void rueda(QPointF p, int delta)
    {
        QWheelEvent ev(p, v.mapToGlobal(p), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                       Qt::NoScrollPhase, false);
        QApplication::sendEvent(&v, &ev);
    }
    void clic(QPointF p) { QTest::mouseClick(&v, Qt::LeftButton, {}, p.toPoint()); }
    void arrastrar(QPointF desde, QPointF hasta)
    {
        QTest::mousePress(&v, Qt::LeftButton, {}, desde.toPoint());
        QTest::mouseMove(&v, ((desde + hasta) / 2).toPoint());
        QTest::mouseMove(&v, hasta.toPoint());
        QTest::mouseRelease(&v, Qt::LeftButton, {}, hasta.toPoint());
    }
    const Etiqueta2D& etiqueta() const { return v.etiquetas().front(); }
};

}  // namespace

TEST(Herramientas2D, ZoomAboutThePointerWithinItsLimits)
{
    Lienzo l;
    const QPointF p(130, 260);
    const Punto2D antes = l.v.aDibujo(p);
    l.rueda(p, 120);
    EXPECT_DOUBLE_EQ(l.v.escala, 115);
    EXPECT_NEAR(l.v.aDibujo(p).u, antes.u, 1e-5);
    EXPECT_NEAR(l.v.aDibujo(p).v, antes.v, 1e-5);
    l.rueda(p, -120);
    EXPECT_NEAR(l.v.escala, 100, 1e-9);
    EXPECT_NEAR(l.v.aDibujo(p).u, antes.u, 1e-5);

    const QPointF pan = l.v.panOffset;
    l.rueda(p, 0);
    EXPECT_NEAR(l.v.escala, 100, 1e-9);
    EXPECT_EQ(l.v.panOffset, pan);

    struct Caso {
        double desde;
        int delta;
        double hasta;
    };
    const Caso casos[] = {{3990, 120, 4000}, {4000, 120, 4000}, {4.2, -120, 4}, {4, -120, 4}};
    for (const Caso& c : casos) {
        l.v.escala = c.desde;
        l.rueda(p, c.delta);
        EXPECT_DOUBLE_EQ(l.v.escala, c.hasta) << c.desde;
    }
}

TEST(Herramientas2D, NoRedrawWhenTheScaleCannotChange)
{
    Lienzo l;
    struct Contador : QObject {
        int n = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            n += e->type() == QEvent::Paint;
            return false;
        }
    } contador;
    l.v.escala = 4000;
    l.v.repaint();
    QApplication::processEvents();
    l.v.installEventFilter(&contador);
    l.rueda(QPointF(100, 100), 120);
    QApplication::processEvents();
    EXPECT_EQ(contador.n, 0);
    l.rueda(QPointF(100, 100), -120);
    ESPERAR_QUE(contador.n > 0);
}

TEST(Herramientas2D, DimensionToolClicks)
{
    Lienzo l;
    l.v.setModoCota(true);
    // Two clicks on one spot: nothing, and no pending origin.
    l.clic({300, 300});
    ASSERT_TRUE(l.v.cotaP1Preview);
    l.clic({300, 300});
    EXPECT_TRUE(l.v.cotas().empty());
    EXPECT_FALSE(l.v.cotaP1Preview);

    // Snapped to the line's ends, left to right: 0.6 m to the right of the direction (below).
    l.clic({97, 203});
    l.clic({303, 198});
    ASSERT_EQ(l.v.cotas().size(), 1u);
    const Cota2D& c = l.v.cotas().front();
    EXPECT_EQ(c.p1, (Punto2D{-1, 0}));
    EXPECT_EQ(c.p2, (Punto2D{1, 0}));
    EXPECT_FLOAT_EQ(c.offsetLateral, 0.6f);
    l.v.setModoCota(false);
    EXPECT_EQ(l.v.cotaEnPunto({200, 260}), c.id);

    // Escape drops a pending origin and stays in the tool; so does any reassignment of the tool.
    l.v.setModoCota(true);
    l.clic({250, 250});
    ASSERT_TRUE(l.v.cotaP1Preview);
    QTest::keyClick(&l.v, Qt::Key_Escape);
    EXPECT_FALSE(l.v.cotaP1Preview);
    EXPECT_TRUE(l.v.modoCota());
    l.clic({250, 250});
    l.v.setModoCota(true);
    EXPECT_FALSE(l.v.cotaP1Preview);
}

TEST(Herramientas2D, DraggingADimensionStopsAtATenthOfAMetre)
{
    Lienzo l;
    Cota2D c;
    c.p1 = {-1, 0};
    c.p2 = {1, 0};
    c.offsetLateral = 0.6f;
    l.v.setCotas({c});
    l.arrastrar({150, 260}, {150, 290});
    EXPECT_NEAR(l.v.cotas().front().offsetLateral, 0.9f, 1e-5);
    EXPECT_FALSE(l.v.cotaSeleccionadaId);  // moved: not a selection
    l.arrastrar({150, 290}, {150, 100});
    EXPECT_FLOAT_EQ(l.v.cotas().front().offsetLateral, 0.1f);
}

TEST(Herramientas2D, SelectHideAndDelete)
{
    Lienzo l;
    auto e = l.v.etiquetas();
    e[0].visible = true;
    l.v.setEtiquetas(e);
    const QRectF caja = l.v.cajaEtiqueta(l.etiqueta());
    l.clic(caja.center());
    ASSERT_EQ(l.v.etiquetaSeleccionadaId, l.etiqueta().id);
    l.clic(l.v.cuadradoOcultar(l.etiqueta()).center());
    EXPECT_FALSE(l.etiqueta().visible);

    // The label tool shows it again 80 px beside the click, away from the anchor.
    l.v.setModoEtiquetar(true);
    l.clic({260, 202});
    EXPECT_TRUE(l.etiqueta().visible);
    EXPECT_NEAR(l.etiqueta().offsetTexto.u, 0.6 + 0.8, 1e-5);
    EXPECT_NEAR(l.etiqueta().offsetTexto.v, -0.02, 1e-5);
    l.v.setModoEtiquetar(false);

    Cota2D c;
    c.p1 = {-1, 1};
    c.p2 = {1, 1};
    c.offsetLateral = 0.5f;
    l.v.setCotas({c});
    l.clic({120, 150});
    ASSERT_EQ(l.v.cotaSeleccionadaId, c.id);
    l.clic(l.v.cuadradoBorrar(c)->center());
    EXPECT_TRUE(l.v.cotas().empty());
    EXPECT_FALSE(l.v.cotaSeleccionadaId);
}

TEST(Herramientas2D, DoubleClickFitsOnlyWithoutATool)
{
    for (int herramienta : {0, 1, 2}) {
        Lienzo l;
        l.v.setSegmentos({Segmento2D{{-1, 0}, {1, 0}, "ARQ", Qt::black, true, "Muro"},
                          Segmento2D{{0, 0}, {0, 1}, "ARQ", Qt::black, true, "Pilar"}});
        l.v.setModoCota(herramienta == 1);
        l.v.setModoEtiquetar(herramienta == 2);
        QTest::mouseDClick(&l.v, Qt::LeftButton, {}, QPoint(350, 350));
        if (herramienta == 0)
            EXPECT_NE(l.v.escala, 100) << herramienta;
        else
            EXPECT_EQ(l.v.escala, 100) << herramienta;
    }
}

TEST(Herramientas2D, WithLabelsHiddenAPressWhereALabelWouldBePans)
{
    Lienzo l;
    auto e = l.v.etiquetas();
    e[0].visible = true;
    l.v.setEtiquetas(e);
    l.v.setMostrarEtiquetas(false);
    const QPointF centro = l.v.cajaEtiqueta(l.etiqueta()).center();
    l.arrastrar(centro, centro + QPointF(30, 10));
    EXPECT_EQ(l.v.panOffset, QPointF(30, 10));
    EXPECT_EQ(l.etiqueta().offsetTexto, (Punto2D{1.5f, 0}));

    // Shown, the same drag moves the label's text.
    l.v.setMostrarEtiquetas(true);
    const QPointF ahora = l.v.cajaEtiqueta(l.etiqueta()).center();
    l.arrastrar(ahora, ahora + QPointF(20, -10));
    EXPECT_NEAR(l.etiqueta().offsetTexto.u, 1.7, 1e-5);
    EXPECT_NEAR(l.etiqueta().offsetTexto.v, 0.1, 1e-5);
    EXPECT_EQ(l.v.panOffset, QPointF(30, 10));
}

// The screen keeps the still drawing between pointer moves: after every kind of change it must
// still show exactly what a full redraw gives.
TEST(Herramientas2D, TheScreenNeverShowsAStaleDrawing)
{
    Lienzo l;
    auto e = l.v.etiquetas();
    e[0].visible = true;
    l.v.setEtiquetas(e);
    const auto imagen = [&](bool pantalla) {
        QImage img(l.v.size(), QImage::Format_ARGB32_Premultiplied);
        img.setDotsPerMeterX(qRound(l.v.logicalDpiX() / 0.0254));
        img.setDotsPerMeterY(qRound(l.v.logicalDpiY() / 0.0254));
        QPainter p(&img);
        if (pantalla)
            l.v.pintar(p);
        else
            l.v.dibujar(p);
        return img;
    };
    struct Paso {
        const char* que;
        std::function<void()> hacer;
    };
    const Paso pasos[] = {
        {"pointer in the dimension tool", [&] { l.v.setModoCota(true); QTest::mouseMove(&l.v, QPoint(150, 230)); }},
        {"first click", [&] { l.clic({97, 203}); }},
        {"pointer with a pending origin", [&] { QTest::mouseMove(&l.v, QPoint(250, 210)); }},
        {"second click makes a dimension", [&] { l.clic({303, 198}); }},
        {"leaving the tool", [&] { l.v.setModoCota(false); }},
        {"selecting the label", [&] { l.clic(l.v.cajaEtiqueta(l.etiqueta()).center()); }},
        {"dragging the label", [&] { l.arrastrar(l.v.cajaEtiqueta(l.etiqueta()).center(), {330, 120}); }},
        {"dragging the dimension", [&] { l.arrastrar({150, 260}, {150, 300}); }},
        {"wheel zoom", [&] { l.rueda({120, 90}, 120); }},
        {"pan set from outside", [&] { l.v.panOffset += QPointF(13, -7); }},
        {"line weight", [&] { l.v.setGrosorCorte(2.5); }},
        {"labels hidden", [&] { l.v.setMostrarEtiquetas(false); }},
        {"resized", [&] { l.v.resize(420, 380); }},
    };
    for (const Paso& paso : pasos) {
        paso.hacer();
        QApplication::processEvents();
        EXPECT_TRUE(imagen(true) == imagen(false)) << paso.que;
    }
}
