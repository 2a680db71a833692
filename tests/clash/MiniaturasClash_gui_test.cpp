// Clash thumbnails show both elements: red and blue pixels for every kind of pair, the smaller
// element seen through the larger one that wraps or covers it.

#include "clash/MiniaturasClash.h"
#include "render/Thumbnails.h"
#include "support/ParesClash.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace quelva;

namespace {

struct Conteo {
    int rojos = 0, azules = 0;
};

Conteo contar(const QImage& imagen)
{
    Conteo c;
    for (int y = 0; y < imagen.height(); y += 2)
        for (int x = 0; x < imagen.width(); x += 2) {
            const QColor p = imagen.pixelColor(x, y);
            c.rojos += p.alpha() > 200 && p.red() > 2 * p.blue() && p.red() > 80;
            c.azules += p.alpha() > 200 && p.blue() > 2 * p.red() && p.blue() > 80;
        }
    return c;
}

}  // namespace

TEST(MiniaturasClash, EveryKindOfPairShowsBothColours)
{
    render::Thumbnailer& t = render::sharedThumbnailer();
    if (!t.isValid())
        GTEST_SKIP() << "no OpenGL 3.3 context on this display";
    for (const testsupport::ParClash& par : testsupport::paresClash()) {
        SCOPED_TRACE(par.nombre);
        const Interferencia i = testsupport::interferenciaDe(par);
        const VistaMiniatura v = vistaMiniatura(i, nullptr);
        const QImage imagen = t.render(v.elementos, v.camara);
        ASSERT_EQ(imagen.size(), render::kThumbnailSize);
        const Conteo c = contar(imagen);
        // At least 1 % of the picture each.
        EXPECT_GT(c.rojos, 360) << c.rojos << " " << c.azules;
        EXPECT_GT(c.azules, 360) << c.rojos << " " << c.azules;
        if (const QString dir = qEnvironmentVariable("QUELVA_CAPTURAS"); !dir.isEmpty())
            imagen.save(QDir(dir).filePath(QStringLiteral("miniatura_%1.png").arg(QString::fromUtf8(par.nombre).replace(' ', '_'))));
    }
}
