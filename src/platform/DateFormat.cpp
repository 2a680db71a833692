#include "platform/DateFormat.h"

namespace platform {

QLocale chileanLocale()
{
    return QLocale(QStringLiteral("es_CL"));
}

QString formatDate(const QDateTime& dateTime, const QString& pattern)
{
    return chileanLocale().toString(dateTime, pattern);
}

QString formatDate(const QDate& date, const QString& pattern)
{
    return chileanLocale().toString(date, pattern);
}

QString formatDateStyle(const QDateTime& dateTime, QLocale::FormatType style, bool withTime)
{
    const QLocale loc = chileanLocale();
    return withTime ? loc.toString(dateTime, style) : loc.toString(dateTime.date(), style);
}

}  // namespace platform
