#include "platform/DateFormat.h"

#include <gtest/gtest.h>

TEST(DateFormat, FixedPatternsUseChileanSpanish)
{
    const QDateTime when(QDate(2026, 3, 7), QTime(9, 5, 30));
    EXPECT_EQ(platform::formatDate(when, "dd/MM/yy HH:mm"), "07/03/26 09:05");
    EXPECT_EQ(platform::formatDate(when, "dd/MM/yyyy"), "07/03/2026");
    EXPECT_EQ(platform::formatDate(when.date(), "dd/MM/yyyy"), "07/03/2026");
    EXPECT_EQ(platform::formatDate(when, "d 'de' MMMM"), "7 de marzo");
}
