#include "platform/XmlText.h"

namespace platform {

namespace {

bool permitido(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
           || (c >= 0x10000 && c <= 0x10FFFF);
}

QString escapar(const QString& text, bool apostrofo)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            out.append(c);
            out.append(text.at(++i));
            continue;
        }
        switch (c.unicode()) {
        case '&': out.append(QLatin1String("&amp;")); break;
        case '<': out.append(QLatin1String("&lt;")); break;
        case '>': out.append(QLatin1String("&gt;")); break;
        case '"': out.append(QLatin1String("&quot;")); break;
        case '\'':
            if (apostrofo)
                out.append(QLatin1String("&#39;"));
            else
                out.append(c);
            break;
        default:
            if (permitido(c.unicode()))
                out.append(c);
        }
    }
    return out;
}

}  // namespace

QString escapeXml(const QString& text)
{
    return escapar(text, false);
}

QString escapeHtml(const QString& text)
{
    return escapar(text, true);
}

QString dropXmlForbidden(const QString& text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            out.append(c);
            out.append(text.at(++i));
        } else if (permitido(c.unicode())) {
            out.append(c);
        }
    }
    return out;
}

}  // namespace platform
