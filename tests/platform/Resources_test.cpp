#include "platform/Resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(Resources, FindsFilesInTheBundleOnlyWhenTheyExist)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile roadmap(dir.filePath("ROADMAP.md"));
    ASSERT_TRUE(roadmap.open(QIODevice::WriteOnly));
    roadmap.close();
    QDir(dir.path()).mkdir("logoQUELVA.png");  // a folder is not a resource

    platform::Resources::setBundleDir(dir.path());
    EXPECT_EQ(platform::Resources::bundleDir(), dir.path());
    EXPECT_EQ(platform::Resources::path("ROADMAP", "md"), QFileInfo(roadmap).absoluteFilePath());
    EXPECT_EQ(platform::Resources::path("ROADMAP", "txt"), std::nullopt);
    EXPECT_EQ(platform::Resources::path("logoQUELVA", "png"), std::nullopt);
    EXPECT_EQ(platform::Resources::path("", "md"), std::nullopt);

    platform::Resources::setBundleDir({});
    EXPECT_EQ(platform::Resources::bundleDir(), QCoreApplication::applicationDirPath());
}
