#include "platform/XmlText.h"

#include <gtest/gtest.h>

TEST(XmlText, EscapesAndDropsWhatXmlForbids)
{
    struct Caso {
        QString entrada, xml, html;
    };
    const QString emoji = QString::fromUcs4(U"\U0001F3D7");
    const Caso casos[] = {
        {"Muro <exterior> & \"A\"", "Muro &lt;exterior&gt; &amp; &quot;A&quot;",
         "Muro &lt;exterior&gt; &amp; &quot;A&quot;"},
        {"&lt;", "&amp;lt;", "&amp;lt;"},  // already escaped text is escaped again
        {"O'Higgins", "O'Higgins", "O&#39;Higgins"},
        {QString("a\x01" "b\x1f" "c\x7f" "d"), QString("ab" "c\x7f" "d"), QString("ab" "c\x7f" "d")},
        {"tab\tlf\ncr\r", "tab\tlf\ncr\r", "tab\tlf\ncr\r"},
        {QString("x") + QChar(0xFFFE) + QChar(0xFFFF) + "y", "xy", "xy"},
        {QString("lone") + QChar(0xD800) + "|" + QChar(0xDC00), "lone|", "lone|"},
        {"grúa " + emoji, "grúa " + emoji, "grúa " + emoji},
        {"", "", ""},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(platform::escapeXml(c.entrada), c.xml) << c.entrada.toStdString();
        EXPECT_EQ(platform::escapeHtml(c.entrada), c.html) << c.entrada.toStdString();
    }
    EXPECT_EQ(platform::dropXmlForbidden(QString("<a\x02>&") + emoji), QString("<a>&") + emoji);
}
