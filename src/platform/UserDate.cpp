#include "platform/UserDate.h"

#include <QTimeZone>

#include <map>
#include <memory>
#include <unicode/ucal.h>
#include <unicode/udat.h>
#include <unicode/udatpg.h>

namespace platform {

namespace {

const UChar* u16(const QString& s)
{
    return reinterpret_cast<const UChar*>(s.utf16());
}

UDateFormatStyle estiloICU(DateStyle s)
{
    switch (s) {
    case DateStyle::none: return UDAT_NONE;
    case DateStyle::short_: return UDAT_SHORT;
    case DateStyle::medium: return UDAT_MEDIUM;
    case DateStyle::long_: return UDAT_LONG;
    case DateStyle::full: return UDAT_FULL;
    }
    return UDAT_NONE;
}

// ICU knows the zone by its name; a zone it does not know (a POSIX TZ rule)
// becomes the fixed offset Qt computes for that instant.
QString zonaICU(const QDateTime& dateTime)
{
    const QByteArray id = QTimeZone::systemTimeZoneId();
    if (!id.isEmpty()) {
        const QString nombre = QString::fromUtf8(id);
        UChar canonica[128];
        UBool sistema = false;
        UErrorCode status = U_ZERO_ERROR;
        ucal_getCanonicalTimeZoneID(u16(nombre), static_cast<int32_t>(nombre.size()), canonica, 128, &sistema,
                                    &status);
        if (U_SUCCESS(status) && sistema)
            return nombre;
    }
    const int segundos = dateTime.toLocalTime().offsetFromUtc();
    const int minutos = std::abs(segundos) / 60;
    return QStringLiteral("GMT%1%2:%3")
        .arg(segundos < 0 ? u'-' : u'+')
        .arg(minutos / 60, 2, 10, QChar(u'0'))
        .arg(minutos % 60, 2, 10, QChar(u'0'));
}

struct CerrarFormato {
    void operator()(UDateFormat* f) const { udat_close(f); }
};
struct CerrarGenerador {
    void operator()(UDateTimePatternGenerator* g) const { udatpg_close(g); }
};

// Opening a formatter loads locale data: keep the few in use per thread.
UDateFormat* formato(const QString& locale, const QString& zona, UDateFormatStyle fecha, UDateFormatStyle hora,
                     const QString& patron)
{
    thread_local std::map<QString, std::unique_ptr<UDateFormat, CerrarFormato>> cache;
    const QString clave = QStringLiteral("%1|%2|%3|%4|%5").arg(locale, zona).arg(int(fecha)).arg(int(hora)).arg(patron);
    if (auto it = cache.find(clave); it != cache.end())
        return it->second.get();
    if (cache.size() > 64)
        cache.clear();
    UErrorCode status = U_ZERO_ERROR;
    const QByteArray loc = locale.toLatin1();
    UDateFormat* f = nullptr;
    if (fecha == UDAT_PATTERN)
        f = udat_open(UDAT_PATTERN, UDAT_PATTERN, loc.constData(), u16(zona), static_cast<int32_t>(zona.size()),
                      u16(patron), static_cast<int32_t>(patron.size()), &status);
    else
        f = udat_open(hora, fecha, loc.constData(), u16(zona), static_cast<int32_t>(zona.size()), nullptr, 0,
                      &status);
    if (U_FAILURE(status) || !f) {
        if (f)
            udat_close(f);
        return nullptr;
    }
    return cache.emplace(clave, f).first->second.get();
}

QString formatear(UDateFormat* f, const QDateTime& dateTime)
{
    if (!f || !dateTime.isValid())
        return {};
    const UDate instante = static_cast<UDate>(dateTime.toMSecsSinceEpoch());
    UErrorCode status = U_ZERO_ERROR;
    const int32_t largo = udat_format(f, instante, nullptr, 0, nullptr, &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status))
        return {};
    QString out(largo, Qt::Uninitialized);
    status = U_ZERO_ERROR;
    udat_format(f, instante, reinterpret_cast<UChar*>(out.data()), largo, nullptr, &status);
    return U_SUCCESS(status) || status == U_STRING_NOT_TERMINATED_WARNING ? out : QString();
}

QString patronDeEsqueleto(const QString& locale, const QString& skeleton)
{
    thread_local std::map<QString, std::unique_ptr<UDateTimePatternGenerator, CerrarGenerador>> generadores;
    auto it = generadores.find(locale);
    if (it == generadores.end()) {
        UErrorCode status = U_ZERO_ERROR;
        UDateTimePatternGenerator* g = udatpg_open(locale.toLatin1().constData(), &status);
        if (U_FAILURE(status) || !g) {
            if (g)
                udatpg_close(g);
            return {};
        }
        it = generadores.emplace(locale, g).first;
    }
    UErrorCode status = U_ZERO_ERROR;
    const int32_t largo = udatpg_getBestPattern(it->second.get(), u16(skeleton),
                                                static_cast<int32_t>(skeleton.size()), nullptr, 0, &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status))
        return {};
    QString patron(largo, Qt::Uninitialized);
    status = U_ZERO_ERROR;
    udatpg_getBestPattern(it->second.get(), u16(skeleton), static_cast<int32_t>(skeleton.size()),
                          reinterpret_cast<UChar*>(patron.data()), largo, &status);
    return U_SUCCESS(status) || status == U_STRING_NOT_TERMINATED_WARNING ? patron : QString();
}

}  // namespace

QString userLocaleName()
{
    QString nombre;
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        nombre = qEnvironmentVariable(variable);
        if (!nombre.isEmpty())
            break;
    }
    // "es_CL.UTF-8@modifier" → "es_CL".
    nombre = nombre.section(u'.', 0, 0).section(u'@', 0, 0);
    if (nombre.isEmpty() || nombre == QLatin1String("C") || nombre == QLatin1String("POSIX"))
        return QStringLiteral("es_CL");
    return nombre;
}

QString formatUserDate(const QDateTime& dateTime, DateStyle date, DateStyle time)
{
    if (date == DateStyle::none && time == DateStyle::none)
        return {};
    return formatear(formato(userLocaleName(), zonaICU(dateTime), estiloICU(date), estiloICU(time), {}), dateTime);
}

QString userSkeletonPattern(const QString& skeleton)
{
    return patronDeEsqueleto(userLocaleName(), skeleton);
}

QString formatUserSkeleton(const QDateTime& dateTime, const QString& skeleton)
{
    const QString patron = userSkeletonPattern(skeleton);
    return patron.isEmpty() ? QString() : formatUserPattern(dateTime, patron);
}

QString formatUserPattern(const QDateTime& dateTime, const QString& pattern)
{
    return formatear(formato(userLocaleName(), zonaICU(dateTime), UDAT_PATTERN, UDAT_PATTERN, pattern), dateTime);
}

QDate userCalendarDate(const QDateTime& dateTime)
{
    return dateTime.toLocalTime().date();
}

qint64 calendarDaysBetween(const QDateTime& from, const QDateTime& to)
{
    return userCalendarDate(from).daysTo(userCalendarDate(to));
}

qint64 wholeDaysBetween(const QDateTime& from, const QDateTime& to)
{
    if (!from.isValid() || !to.isValid())
        return 0;
    const QDateTime a = from.toLocalTime();
    const QDateTime b = to.toLocalTime();
    qint64 days = a.date().daysTo(b.date());
    if (days > 0 && a.addDays(days) > b)
        --days;
    else if (days < 0 && a.addDays(days) < b)
        ++days;
    return days;
}

}  // namespace platform
