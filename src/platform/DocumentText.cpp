#include "platform/DocumentText.h"

#include <QTimeZone>

#include <array>
#include <cstdint>
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

namespace {

constexpr std::array<std::int8_t, 256> kValorBase64 = [] {
    std::array<std::int8_t, 256> t{};
    t.fill(-1);
    const char alfabeto[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int i = 0; i < 64; ++i)
        t[static_cast<unsigned char>(alfabeto[i])] = static_cast<std::int8_t>(i);
    return t;
}();

// The padded standard form, four characters at a time; none when the text is in another form.
std::optional<QByteArray> base64Padded(std::string_view text)
{
    if (text.empty() || text.size() % 4 != 0)
        return std::nullopt;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t cuartetos = text.size() / 4;
    QByteArray bytes(qsizetype(cuartetos * 3), Qt::Uninitialized);
    char* o = bytes.data();
    for (std::size_t i = 0; i < cuartetos; ++i, p += 4) {
        const int a = kValorBase64[p[0]], b = kValorBase64[p[1]], c = kValorBase64[p[2]], d = kValorBase64[p[3]];
        if ((a | b | c | d) >= 0) {
            const std::uint32_t v = std::uint32_t(a) << 18 | std::uint32_t(b) << 12 | std::uint32_t(c) << 6 | std::uint32_t(d);
            *o++ = char(v >> 16);
            *o++ = char(v >> 8);
            *o++ = char(v);
            continue;
        }
        // Only the last four may end in "=" or "==".
        if (i + 1 != cuartetos || a < 0 || b < 0 || p[3] != '=' || (c < 0 && p[2] != '='))
            return std::nullopt;
        *o++ = char(a << 2 | b >> 4);
        if (c >= 0)
            *o++ = char((b & 0xF) << 4 | c >> 2);
    }
    bytes.truncate(o - bytes.constData());
    return bytes;
}

}  // namespace

std::optional<QByteArray> documentBase64(std::string_view text)
{
    if (auto bytes = base64Padded(text))
        return bytes;
    const auto r = QByteArray::fromBase64Encoding(QByteArray::fromRawData(text.data(), qsizetype(text.size())),
                                                  QByteArray::AbortOnBase64DecodingErrors);
    if (!r)
        return std::nullopt;
    return *r;
}

}  // namespace platform
