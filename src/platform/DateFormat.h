#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace platform {

// Dates in the interface and in reports: Chilean Spanish, fixed patterns.
QLocale chileanLocale();
// pattern in Qt's notation, e.g. "dd/MM/yy HH:mm" or "dd/MM/yyyy".
QString formatDate(const QDateTime& dateTime, const QString& pattern);
QString formatDate(const QDate& date, const QString& pattern);
// The locale's own short or long date (and time) forms, for reports.
QString formatDateStyle(const QDateTime& dateTime, QLocale::FormatType style, bool withTime);

}  // namespace platform
