#include "platform/TextOrder.h"

#include <QStringList>

#include <algorithm>
#include <gtest/gtest.h>

TEST(TextOrder, ComposedFormComparedByCodePoints)
{
    const QString compuesta = QString::fromUtf8("Señal");
    const QString descompuesta = QString("Sen") + QChar(0x0303) + "al";
    EXPECT_EQ(platform::nfc(descompuesta), compuesta);
    EXPECT_EQ(platform::compareCodePoints(compuesta, descompuesta), 0);
    EXPECT_FALSE(platform::lessCodePoints(compuesta, descompuesta));

    const QString alto = QString::fromUcs4(U"\U0001F3D7");  // above U+FFFF: a surrogate pair in UTF-16
    const QString privado = QString(QChar(0xE000));
    const QString fffd = QString(QChar(0xFFFD));
    struct Caso {
        QString a, b;
        int signo;
    };
    const Caso casos[] = {
        {"Muro", "Muro estándar", -1},
        {"Z", "a", -1},   // capitals first, whatever the locale says
        {"a", "á", -1},
        {"é", "f", 1},
        {privado, alto, -1},  // UTF-16 units would put the pair first
        {fffd, alto, -1},
        {alto, alto + "a", -1},
        {"", "", 0},
        {"", "a", -1},
    };
    for (const Caso& c : casos) {
        const int r = platform::compareCodePoints(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.signo) << c.a.toStdString() << " vs " << c.b.toStdString();
        const int inverso = platform::compareCodePoints(c.b, c.a);
        EXPECT_EQ((inverso > 0) - (inverso < 0), -c.signo);
    }

    QStringList nombres{"b", alto, "Á", descompuesta, "A", privado};
    std::transform(nombres.begin(), nombres.end(), nombres.begin(), platform::nfc);
    std::sort(nombres.begin(), nombres.end(), platform::lessCodePoints);
    EXPECT_EQ(nombres, QStringList({"A", compuesta, "b", "Á", privado, alto}));
}
