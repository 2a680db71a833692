#include "platform/UserDate.h"

#include <QTimeZone>

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

namespace {

// Pins the locale variables and the time zone for one test, then restores them.
class Entorno {
public:
    Entorno(const char* lang, const char* tz)
    {
        for (const char* v : {"LC_ALL", "LC_TIME", "LANG", "TZ"}) {
            const char* actual = std::getenv(v);
            guardado_.push_back({v, actual ? std::optional<std::string>(actual) : std::nullopt});
        }
        unsetenv("LC_ALL");
        unsetenv("LC_TIME");
        setenv("LANG", lang, 1);
        setenv("TZ", tz, 1);
        tzset();
    }
    ~Entorno()
    {
        for (const auto& [v, valor] : guardado_) {
            if (valor)
                setenv(v, valor->c_str(), 1);
            else
                unsetenv(v);
        }
        tzset();
    }

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> guardado_;
};

// 2024-01-06 02:30 UTC: still the 5th in Santiago (UTC-3 in summer).
const QDateTime instante(QDate(2024, 1, 6), QTime(2, 30), Qt::UTC);

}  // namespace

TEST(UserDate, LocaleFormsAndSkeletonsInTheUsersZone)
{
    struct Caso {
        const char* lang;
        const char* tz;
        QString locale, skeleton, corto, largo, patron;
    };
    const Caso casos[] = {
        {"es_CL.UTF-8", "America/Santiago", "es_CL", "5 de enero de 2024", "05-01-24, 23:30",
         "5 de enero de 2024", "ene 24"},
        {"C", "America/Santiago", "es_CL", "5 de enero de 2024", "05-01-24, 23:30", "5 de enero de 2024",
         "ene 24"},
        {"POSIX", "UTC", "es_CL", "6 de enero de 2024", "06-01-24, 02:30", "6 de enero de 2024", "ene 24"},
        {"en_US.UTF-8", "UTC", "en_US", "January 6, 2024", QString("1/6/24, 2:30") + QChar(0x202F) + "AM",
         "January 6, 2024", "Jan 24"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(std::string(c.lang) + " " + c.tz);
        Entorno entorno(c.lang, c.tz);
        EXPECT_EQ(platform::userLocaleName(), c.locale);
        EXPECT_EQ(platform::formatUserSkeleton(instante, "dMMMMy"), c.skeleton);
        EXPECT_EQ(platform::formatUserDate(instante, platform::DateStyle::short_, platform::DateStyle::short_),
                  c.corto);
        EXPECT_EQ(platform::formatUserDate(instante, platform::DateStyle::long_), c.largo);
        EXPECT_EQ(platform::formatUserPattern(instante, "MMM yy"), c.patron);
    }
}

TEST(UserDate, FullStyleNamesTheWeekdayAndTimeOnlyLeavesTheDateOut)
{
    Entorno entorno("es_CL.UTF-8", "America/Santiago");
    EXPECT_EQ(platform::formatUserDate(instante, platform::DateStyle::full), "viernes, 5 de enero de 2024");
    EXPECT_EQ(platform::formatUserDate(instante, platform::DateStyle::none, platform::DateStyle::short_), "23:30");
    EXPECT_EQ(platform::formatUserDate(instante, platform::DateStyle::none), "");
    EXPECT_EQ(platform::formatUserSkeleton(QDateTime(), "dMMMMy"), "");
}

TEST(UserDate, CalendarDaysCountInTheUsersZone)
{
    const QDateTime tarde(QDate(2024, 1, 6), QTime(2, 30), Qt::UTC);   // 5th, 23:30 in Santiago
    const QDateTime manana(QDate(2024, 1, 6), QTime(3, 30), Qt::UTC);  // 6th, 00:30 in Santiago
    {
        Entorno entorno("es_CL.UTF-8", "America/Santiago");
        EXPECT_EQ(platform::userCalendarDate(tarde), QDate(2024, 1, 5));
        EXPECT_EQ(platform::calendarDaysBetween(tarde, manana), 1);
        EXPECT_EQ(platform::calendarDaysBetween(manana, tarde), -1);
    }
    {
        Entorno entorno("es_CL.UTF-8", "UTC");
        EXPECT_EQ(platform::calendarDaysBetween(tarde, manana), 0);
        EXPECT_EQ(platform::calendarDaysBetween(tarde, tarde.addDays(30)), 30);
    }
}
