#include "platform/Symbols.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

// Every symbol name the interface asks for.
const QStringList nombresDeLaInterfaz = QString(
    "folder folder.fill square.and.arrow.up square.and.arrow.down square.and.arrow.up.on.square "
    "exclamationmark.triangle exclamationmark.triangle.fill exclamationmark.circle.fill doc doc.fill "
    "doc.text.fill doc.text.magnifyingglass doc.richtext doc.viewfinder doc.badge.plus chart.bar.doc.horizontal "
    "checkmark.circle checkmark.circle.fill checkmark.square.fill checkmark.seal.fill xmark.circle "
    "xmark.circle.fill trash ruler person.fill person.fill.clock magnifyingglass magnifyingglass.circle "
    "info.circle cube cube.fill cube.box cube.transparent cube.transparent.fill scope scissors scissors.fill "
    "plus plus.circle plus.circle.fill plus.rectangle.on.folder pencil pencil.circle pencil.tip "
    "pencil.tip.crop.circle minus.circle minus.circle.fill lineweight calendar calendar.badge.clock "
    "calendar.badge.checkmark viewfinder textformat textformat.size tag tag.fill tag.circle tag.circle.fill "
    "sum square.3.layers.3d square.3.layers.3d.slash slider.horizontal.3 rotate.left printer.fill "
    "paintpalette paintbrush.fill list.bullet list.clipboard.fill hand.point.up flag.checkered eye eye.slash "
    "clock.arrow.circlepath clock.arrow.2.circlepath clock.circle.fill chevron.up chevron.down chevron.right "
    "building.2 bookmark bookmark.fill arrow.uturn.left.circle arrow.up.circle.fill arrow.down.circle.fill "
    "arrow.triangle.2.circlepath arrow.triangle.2.circlepath.circle.fill arrow.3.trianglepath arrow.right "
    "arrow.right.circle arrow.right.square arrow.left.square arrow.up.square archivebox backward.frame "
    "forward.frame play.fill pause.fill equal.circle equal.circle.fill map mappin.circle pipe.and.drop "
    "rectangle.dashed rectangle.portrait rectangle.portrait.fill rectangle.split.2x1 skew angle view.3d "
    "wrench.and.screwdriver.fill")
    .split(' ', Qt::SkipEmptyParts);

QImage pintar(const QString& nombre, int lado, const QBrush& pincel = QColor(Qt::black))
{
    QImage img(lado, lado, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    platform::paintSymbol(p, QRectF(0, 0, lado, lado), nombre, pincel);
    return img;
}

int pixelesPintados(const QImage& img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += qAlpha(img.pixel(x, y)) > 100;
    return n;
}

}  // namespace

TEST(Symbols, EveryInterfaceNameHasADrawingThatLeavesRoomAroundIt)
{
    for (const QString& nombre : nombresDeLaInterfaz) {
        EXPECT_TRUE(platform::hasSymbol(nombre)) << nombre.toStdString();
        const QImage img = pintar(nombre, 32);
        const int pintados = pixelesPintados(img);
        EXPECT_GT(pintados, 20) << nombre.toStdString();
        EXPECT_LT(pintados, 32 * 32 * 9 / 10) << nombre.toStdString();
    }
}

TEST(Symbols, VariantsOfOneShapeLookDifferent)
{
    const std::pair<const char*, const char*> pares[] = {
        {"folder", "folder.fill"}, {"eye", "eye.slash"}, {"plus.circle", "plus.circle.fill"},
        {"scissors", "scissors.fill"}, {"doc", "doc.badge.plus"}, {"chevron.up", "chevron.down"},
    };
    for (const auto& [a, b] : pares)
        EXPECT_NE(pintar(a, 32), pintar(b, 32)) << a << " / " << b;
}

TEST(Symbols, UnknownNamesStillGiveAMarkAndIconsDrawAtAnySize)
{
    EXPECT_FALSE(platform::hasSymbol("simbolo.que.no.existe"));
    EXPECT_FALSE(platform::hasSymbol(""));
    EXPECT_GT(pixelesPintados(pintar("simbolo.que.no.existe", 32)), 20);
    EXPECT_GT(pixelesPintados(pintar("", 32)), 20);
    // Whitespace-only names from the new-discipline sheet are kept as typed.
    EXPECT_GT(pixelesPintados(pintar("   ", 32)), 20);

    const QIcon icono = platform::symbolIcon("building.2", Qt::blue);
    for (int lado : {12, 16, 64}) {
        const QImage img = icono.pixmap(lado, lado).toImage();
        EXPECT_EQ(img.width(), lado);
        EXPECT_GT(pixelesPintados(img), 0) << lado;
    }
}

TEST(Symbols, GradientFillsFollowTheSymbol)
{
    QLinearGradient g(0, 0, 0, 64);
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, Qt::blue);
    const QImage img = pintar("cube.transparent.fill", 64, g);
    QColor arriba, abajo;
    for (int y = 0; y < 64 && !arriba.isValid(); ++y)
        for (int x = 0; x < 64; ++x)
            if (qAlpha(img.pixel(x, y)) == 255) { arriba = img.pixelColor(x, y); break; }
    for (int y = 63; y >= 0 && !abajo.isValid(); --y)
        for (int x = 0; x < 64; ++x)
            if (qAlpha(img.pixel(x, y)) == 255) { abajo = img.pixelColor(x, y); break; }
    ASSERT_TRUE(arriba.isValid() && abajo.isValid());
    EXPECT_GT(arriba.red(), abajo.red());
}
