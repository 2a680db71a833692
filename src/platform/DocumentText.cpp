#include "platform/DocumentText.h"

#include <QTimeZone>

#include <cstdio>

namespace platform {

namespace {

// Checked by hand rather than by a pattern: a large project holds tens of thousands of these.
// A single final line feed passes, as it did when a pattern checked them.
QStringView sinSaltoFinal(QStringView text)
{
    return text.endsWith(u'\n') ? text.chopped(1) : text;
}

bool esDigito(QChar c) { return c >= u'0' && c <= u'9'; }

bool esHex(QChar c) { return esDigito(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }

int numero(QStringView t, qsizetype desde, qsizetype cifras)
{
    int n = 0;
    for (qsizetype i = desde; i < desde + cifras; ++i)
        n = n * 10 + (t[i].unicode() - u'0');
    return n;
}

}  // namespace

QString documentDateText(const QDateTime& instant)
{
    // Fractional seconds are dropped, not rounded: the text never names a later second.
    const QDateTime utc = instant.toUTC();
    const QDate d = utc.date();
    const QTime t = utc.time();
    if (!d.isValid() || !t.isValid() || d.year() < 0 || d.year() > 9999)
        return utc.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'"));
    char texto[24];
    std::snprintf(texto, sizeof texto, "%04d-%02d-%02dT%02d:%02d:%02dZ", d.year(), d.month(), d.day(), t.hour(),
                  t.minute(), t.second());
    return QString::fromLatin1(texto);
}

std::optional<QDateTime> documentDate(const QString& text)
{
    // 2025-03-01T09:30:00Z
    const QStringView t = sinSaltoFinal(text);
    if (t.size() != 20 || t[4] != u'-' || t[7] != u'-' || t[10] != u'T' || t[13] != u':' || t[16] != u':' || t[19] != u'Z')
        return std::nullopt;
    for (const qsizetype i : {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18})
        if (!esDigito(t[i]))
            return std::nullopt;
    const QDate date(numero(t, 0, 4), numero(t, 5, 2), numero(t, 8, 2));
    const QTime time(numero(t, 11, 2), numero(t, 14, 2), numero(t, 17, 2));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, Qt::UTC);
}

QString documentUuidText(const QUuid& id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QUuid> documentUuid(const QString& text)
{
    const QStringView t = sinSaltoFinal(text);
    if (t.size() != 36)
        return std::nullopt;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const bool guion = i == 8 || i == 13 || i == 18 || i == 23;
        if (guion ? t[i] != u'-' : !esHex(t[i]))
            return std::nullopt;
    }
    return QUuid::fromString(text);
}

}  // namespace platform
