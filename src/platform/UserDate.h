#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

namespace platform {

// Dates as the user's locale writes them, in the user's time zone. The locale
// is the system's (LC_ALL, LC_TIME, LANG); es_CL when that is C or POSIX,
// since the interface is Spanish.
enum class DateStyle { none, short_, medium, long_, full };

// The ICU name of that locale ("es_CL", "en_US").
QString userLocaleName();

// The locale's own date and time forms; DateStyle::none leaves that part out.
QString formatUserDate(const QDateTime& dateTime, DateStyle date, DateStyle time = DateStyle::none);

// The locale's best form for the fields of a skeleton: "dMMMMy" gives
// "5 de enero de 2024" in es_CL and "January 5, 2024" in en_US.
QString formatUserSkeleton(const QDateTime& dateTime, const QString& skeleton);
QString userSkeletonPattern(const QString& skeleton);

// A fixed ICU pattern ("MMM yy") with the locale's names of months and days.
QString formatUserPattern(const QDateTime& dateTime, const QString& pattern);

// The calendar day of an instant in the user's time zone, and how many
// calendar days lie from one instant to another (negative when `to` is earlier).
QDate userCalendarDate(const QDateTime& dateTime);
qint64 calendarDaysBetween(const QDateTime& from, const QDateTime& to);
// Whole days from one instant to another in the user's calendar and time zone: the midnights
// crossed, less a last day whose time of day is not reached (10th 18:00 to 11th 09:00 is 0);
// negative when `to` is earlier, 0 when either is invalid.
qint64 wholeDaysBetween(const QDateTime& from, const QDateTime& to);

}  // namespace platform
