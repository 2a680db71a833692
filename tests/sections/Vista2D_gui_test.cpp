// The 2D canvas: mapping, grid, label and dimension geometry, hit geometry and fit.

#include "sections/Vista2DNSView.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <cmath>

using namespace quelva;

namespace {

Segmento2D corte(Punto2D a, Punto2D b, const QString& nombre = QStringLiteral("Muro"))
{
    return Segmento2D{a, b, QStringLiteral("ARQ"), Qt::black, true, nombre};
}

QImage pintar(const Vista2DNSView& v)
{
    QImage img(v.size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    v.dibujar(p);
    return img;
}

}  // namespace

TEST(Vista2DNSView, MappingRoundTripAndOriginAtTheCentre)
{
    Vista2DNSView v;
    v.resize(400, 300);
    v.panOffset = QPointF(10, -20);
    v.escala = 50;
    EXPECT_EQ(v.aVista({0, 0}), QPointF(210, 130));
    EXPECT_EQ(v.aVista({1, 1}), QPointF(260, 80));  // v grows upwards
    const Punto2D p{-2.5f, 3.25f};
    EXPECT_EQ(v.aDibujo(v.aVista(p)), p);
}

TEST(Vista2DNSView, MetreGridOnlyAboveEightPixelsPerMetre)
{
    Vista2DNSView v;
    v.resize(200, 200);
    v.panOffset = QPointF(-37, -41);  // keep the grid off the origin axes
    // A grid line at cx mod escala; with escala 20 one runs at x = 63 - 60 = 3 + 20k.
    for (double escala : {20.0, 8.0}) {
        v.escala = escala;
        const QImage img = pintar(v);
        const double cx = 100 - 37;
        const int x = int(std::fmod(cx, escala) + escala * 2);
        const QColor c = img.pixelColor(x, 10);
        if (escala > 8)
            EXPECT_LT(c.red(), 255) << escala;
        else
            EXPECT_EQ(c, QColor(Qt::white)) << escala;
    }
}

TEST(Vista2DNSView, NamesCutByWholeCharacters)
{
    const QString treintaYDos = QString(31, QLatin1Char('a')) + QString::fromUtf8("ñ");
    EXPECT_EQ(Vista2DNSView::nombreCorto(treintaYDos), treintaYDos);
    // 33 characters, one of them outside the basic plane: 30 whole characters and "…".
    const QString treintaYTres = QString::fromUtf8("𝔸") + QString(32, QLatin1Char('b'));
    const QString corto = Vista2DNSView::nombreCorto(treintaYTres);
    EXPECT_EQ(corto, QString::fromUtf8("𝔸") + QString(29, QLatin1Char('b')) + QString::fromUtf8("…"));
}

TEST(Vista2DNSView, DimensionTextGrowsFromSevenToEleven)
{
    const std::pair<double, double> casos[] = {{10, 7}, {70, 7}, {90, 9}, {110, 11}, {4000, 11}};
    for (const auto& [escala, tamano] : casos)
        EXPECT_DOUBLE_EQ(Vista2DNSView::tamanoTextoCota(escala), tamano) << escala;
}

TEST(Vista2DNSView, FitAllCentresTheLinesOrDoesNothing)
{
    Vista2DNSView v;
    v.resize(600, 400);
    v.setSegmentos({corte({0, 0}, {10, 0}), corte({10, 0}, {10, 2})});
    v.setSegmentosGrilla({Segmento2D{{-100, -100}, {100, 100}, "GRILLA", Qt::gray, false, "A"}});
    v.encuadrarTodo();
    EXPECT_DOUBLE_EQ(v.escala, std::min(500.0 / 10, 300.0 / 2));
    EXPECT_EQ(v.aVista({5, 1}), QPointF(300, 200));

    // One extent zero, or a canvas of 100 px or less: nothing changes.
    struct Caso {
        QSize tamano;
        std::vector<Segmento2D> s;
    };
    const Caso casos[] = {{{600, 400}, {corte({0, 0}, {10, 0})}},
                          {{600, 400}, {corte({3, 0}, {3, 5})}},
                          {{600, 400}, {}},
                          {{100, 400}, {corte({0, 0}, {10, 2})}},
                          {{600, 90}, {corte({0, 0}, {10, 2})}}};
    for (const Caso& c : casos) {
        Vista2DNSView w;
        w.resize(c.tamano);
        w.setSegmentos(c.s);
        w.encuadrarTodo();
        EXPECT_EQ(w.escala, 100.0);
        EXPECT_EQ(w.panOffset, QPointF());
    }
}

TEST(Vista2DNSView, SnapToCutLinesEndsFirstEarlierLineOnTies)
{
    Vista2DNSView v;
    v.resize(400, 400);  // escala 100, origin at (200, 200)
    Segmento2D proyeccion = corte({-1, 0.5f}, {1, 0.5f});
    proyeccion.esCorte = false;
    v.setSegmentos({proyeccion, corte({0, 0}, {1, 0}), corte({0, 0}, {0, 1}), corte({-1, -1}, {1, -1})});
    struct Caso {
        QPointF p;
        std::optional<Punto2D> esperado;
    };
    const Caso casos[] = {
        {{195, 203}, Punto2D{0, 0}},           // past the ends: the end point
        {{206, 203}, Punto2D{0.06f, 0}},       // a closer point on the line beats the end
        {{250, 190}, Punto2D{0.5f, 0}},        // projection on the line
        {{250, 214.9}, Punto2D{0.5f, 0}},      // 14.9 px away
        {{250, 215}, std::nullopt},            // 15 px: nothing
        {{250, 150}, std::nullopt},            // projection lines never snap
        {{210, 190}, Punto2D{0.1f, 0}},        // as close to two lines: the earlier
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(testing::Message() << c.p.x() << "," << c.p.y());
        const auto r = v.puntoSnap(c.p);
        ASSERT_EQ(r.has_value(), c.esperado.has_value());
        if (r) {
            EXPECT_NEAR(r->u, c.esperado->u, 1e-5);
            EXPECT_NEAR(r->v, c.esperado->v, 1e-5);
        }
    }
    // The label tool picks named cut lines only.
    v.setSegmentos({corte({0, 0}, {1, 0}, QString()), corte({0, 0.05f}, {1, 0.05f}, "Losa")});
    const auto s = v.segmentoEnPunto(QPointF(250, 200), 12);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->nombreElemento, "Losa");
}

TEST(Vista2DNSView, LabelAndDimensionHitGeometry)
{
    Vista2DNSView v;
    v.resize(400, 400);
    Etiqueta2D derecha;
    derecha.nombre = "Muro";
    derecha.dimensiones = "1.00 × 1.00 m";
    derecha.visible = true;
    derecha.ancla = {0, 0};
    derecha.offsetTexto = {0, 0};  // u of exactly 0 leaves on the left
    Etiqueta2D oculta = derecha;
    oculta.id = QUuid::createUuid();
    oculta.visible = false;
    v.setEtiquetas({oculta, derecha});
    const QRectF caja = v.cajaEtiqueta(derecha);
    EXPECT_DOUBLE_EQ(caja.left(), 196);
    EXPECT_DOUBLE_EQ(caja.height(), 13 * 2 + 6);
    EXPECT_EQ(v.etiquetaEnPunto(caja.center()), derecha.id);
    EXPECT_EQ(v.etiquetaEnPunto(QPointF(caja.left() - 7, 200)), derecha.id);   // over the leader
    EXPECT_EQ(v.etiquetaEnPunto(QPointF(caja.right() + 7, 200)), std::nullopt);
    EXPECT_EQ(v.cuadradoOcultar(derecha), QRectF(caja.right(), caja.top() - 8, 14, 14));

    Cota2D c;
    c.p1 = {-1, 1};
    c.p2 = {1, 1};
    c.offsetLateral = 0.5f;  // drawn left to right: the line lies below the points
    Cota2D nula;
    nula.p1 = nula.p2 = {0, 0};
    v.setCotas({nula, c});
    EXPECT_EQ(v.cotaEnPunto(QPointF(200, 150)), c.id);
    EXPECT_EQ(v.cotaEnPunto(QPointF(200, 100)), std::nullopt);
    EXPECT_EQ(v.cotaEnPunto(QPointF(200, 200)), std::nullopt);  // the empty one cannot be hit
    EXPECT_FALSE(v.cuadradoBorrar(nula));
    const QRectF texto = v.rectTextoCota(c);
    EXPECT_NEAR(texto.center().x(), 200, 0.01);
    EXPECT_NEAR(texto.center().y(), 150, 0.01);
}

// Discipline colours are made for the 3D view: a white or pale one must still read on the white
// sheet, a dark one is drawn as it is.
TEST(Vista2DNSView, PaleDisciplineColoursReadOnWhitePaper)
{
    struct Caso {
        QColor color;
        bool oscurecido;
    };
    const Caso casos[] = {{Qt::white, true}, {QColor(255, 240, 150), true}, {QColor(30, 60, 200), false}};
    for (const Caso& c : casos) {
        Vista2DNSView v;
        v.resize(200, 200);
        v.escala = 4;  // no metre grid under the line
        v.setGrosorCorte(4);
        v.setSegmentos({Segmento2D{{-10, 5}, {10, 5}, QStringLiteral("ARQ"), c.color, true, QStringLiteral("Muro")}});
        const QColor pixel = pintar(v).pixelColor(60, 100 - 20);
        const double luminancia = 0.2126 * pixel.redF() + 0.7152 * pixel.greenF() + 0.0722 * pixel.blueF();
        if (c.oscurecido) {
            EXPECT_LT(luminancia, 0.5) << c.color.name().toStdString();
            // The hue stays: the yellow stays warmer than it is blue.
            EXPECT_GE(pixel.red(), pixel.blue()) << c.color.name().toStdString();
        } else {
            EXPECT_EQ(pixel, c.color) << c.color.name().toStdString();
        }
    }
}
