#include "platform/TextBreaks.h"

#include <QStringList>
#include <gtest/gtest.h>

TEST(TextBreaks, OnlyLongRunsWithoutSpacesBreakAnywhere)
{
    const QChar z(0x200B);
    // The pieces joined by zero-width spaces.
    const auto partido = [&](const QStringList& piezas) { return piezas.join(z); };
    const QString ruta = QStringLiteral("C:\\a\\b\\c\\d\\e\\f\\g\\h\\i\\j.ifc");  // 26 characters
    const QString emoji = QString::fromUtf8("\xF0\x9F\x94\xB5");
    const struct {
        QString texto;
        QString esperado;
    } casos[] = {
        {QString(), QString()},
        {QStringLiteral("Muro exterior de fachada"), QStringLiteral("Muro exterior de fachada")},
        {QStringLiteral("abcdefghijklmnopqrst"), QStringLiteral("abcdefghijklmnopqrst")},  // 20: not long
        {ruta, partido(ruta.split(QString(), Qt::SkipEmptyParts))},
        {QStringLiteral("ver ") + ruta + QStringLiteral("  ya"),
         QStringLiteral("ver ") + partido(ruta.split(QString(), Qt::SkipEmptyParts)) + QStringLiteral("  ya")},
        // A character outside the basic plane stays whole.
        {emoji + QStringLiteral("abcdefghijklmnopqrst"),
         partido(QStringList{emoji} + QStringLiteral("abcdefghijklmnopqrst").split(QString(), Qt::SkipEmptyParts))},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(platform::breakableAnywhere(c.texto), c.esperado) << c.texto.toStdString();
        EXPECT_EQ(QString(platform::breakableAnywhere(c.texto)).remove(z), c.texto);
    }
}
