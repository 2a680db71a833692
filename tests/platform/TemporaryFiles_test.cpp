#include "platform/TemporaryFiles.h"
#include "platform/WorkFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

TEST(TemporaryFiles, WorkPathIsAnUpperCaseUuidWithTheExtensionInThePrivateFolder)
{
    static const QRegularExpression canonical(
        "^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$");
    QSet<QString> seen;
    for (int i = 0; i < 50; ++i) {
        const QString path = platform::temporaryWorkPath(".obj");
        const QFileInfo info(path);
        EXPECT_EQ(QDir(info.absolutePath()).canonicalPath(), QDir(platform::privateWorkFolder()).canonicalPath());
        ASSERT_TRUE(info.fileName().endsWith(".obj"));
        const QString stem = info.fileName().chopped(4);
        EXPECT_EQ(stem.size(), 36);
        EXPECT_TRUE(canonical.match(stem).hasMatch()) << stem.toStdString();
        EXPECT_FALSE(info.exists());
        seen.insert(path);
    }
    EXPECT_EQ(seen.size(), 50);
    EXPECT_TRUE(canonical.match(platform::newUuidText()).hasMatch());
    EXPECT_TRUE(canonical.match(QFileInfo(platform::temporaryWorkPath()).fileName()).hasMatch());
}
