#include "platform/DocumentText.h"

#include <QTimeZone>

#include <string>
#include <vector>

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

// The quick path must not change what reads: every text gives what Qt's aborting decoder gives.
TEST(DocumentText, Base64ReadsAsQtsDecoderReadsIt)
{
    std::vector<std::string> textos;
    QByteArray bytes;
    for (int n = 0; n < 12; ++n) {
        textos.push_back(bytes.toBase64().toStdString());
        textos.push_back(bytes.toBase64(QByteArray::OmitTrailingEquals).toStdString());
        bytes.append(char(0xF7 - 37 * n));
    }
    for (const char* t : {"QR==", "QUI=", "QUJD", "====", "QQ=", "Q===", "QQ=Q", "Q=Q=", "QQ==QUJD", "QUJD====",
                          "QU!D", "QUJ!", "QUJ\n", "QUJ-", "QUJ_", "QU=D", "A", "AB", "ABC", "ABCDE", " QUJD", "QUJD "})
        textos.emplace_back(t);
    for (const std::string& t : textos) {
        const auto qt = QByteArray::fromBase64Encoding(QByteArray::fromStdString(t), QByteArray::AbortOnBase64DecodingErrors);
        const auto nuestro = platform::documentBase64(t);
        ASSERT_EQ(bool(nuestro), bool(qt)) << t;
        if (nuestro) {
            EXPECT_EQ(*nuestro, *qt) << t;
        }
    }
}
