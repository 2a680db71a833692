#include "platform/DocumentText.h"

#include <QTimeZone>

#include <gtest/gtest.h>

TEST(DocumentText, DatesAreUtcSecondsWithZ)
{
    const QDateTime santiago(QDate(2025, 3, 1), QTime(6, 30, 0, 750), QTimeZone("America/Santiago"));
    EXPECT_EQ(platform::documentDateText(santiago), "2025-03-01T09:30:00Z");
    EXPECT_EQ(platform::documentDate("2025-03-01T09:30:00Z"),
              QDateTime(QDate(2025, 3, 1), QTime(9, 30), Qt::UTC));

    for (const char* malo : {"2025-03-01", "2025-03-01T09:30:00", "2025-03-01T09:30:00.000Z",
                             "2025-03-01T09:30:00+01:00", "2025-02-30T09:30:00Z", " 2025-03-01T09:30:00Z", ""})
        EXPECT_FALSE(platform::documentDate(malo)) << malo;
}

TEST(DocumentText, UuidsAreWrittenUpperCase)
{
    const QUuid id = QUuid::fromString(QStringLiteral("a1b2c3d4-0000-4000-8000-00000000abcd"));
    EXPECT_EQ(platform::documentUuidText(id), "A1B2C3D4-0000-4000-8000-00000000ABCD");
    EXPECT_EQ(platform::documentUuid("A1B2C3D4-0000-4000-8000-00000000ABCD"), id);
    EXPECT_EQ(platform::documentUuid("a1b2c3d4-0000-4000-8000-00000000abcd"), id);
    for (const char* malo : {"{A1B2C3D4-0000-4000-8000-00000000ABCD}", "A1B2C3D4", "", "Z1B2C3D4-0000-4000-8000-00000000ABCD"})
        EXPECT_FALSE(platform::documentUuid(malo)) << malo;
}
