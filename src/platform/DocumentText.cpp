#include "platform/DocumentText.h"

#include <QRegularExpression>
#include <QTimeZone>

namespace platform {

QString documentDateText(const QDateTime& instant)
{
    // Fractional seconds are dropped, not rounded: the text never names a later second.
    const QDateTime utc = instant.toUTC();
    return utc.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'"));
}

std::optional<QDateTime> documentDate(const QString& text)
{
    static const QRegularExpression forma(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})T(\\d{2}):(\\d{2}):(\\d{2})Z$"));
    const QRegularExpressionMatch m = forma.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
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
    static const QRegularExpression forma(
        QStringLiteral("^[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}$"));
    if (!forma.match(text).hasMatch())
        return std::nullopt;
    return QUuid::fromString(text);
}

}  // namespace platform
