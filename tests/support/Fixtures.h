#pragma once

#include <QString>
#include <string>

namespace testsupport {

// Folder of the hand-written fixtures (tests/fixtures).
QString fixturesDir();
QString fixturePath(const QString& relative);
std::string readFixture(const QString& relative);

// Folder of the executables and resources of this build.
QString bundleDir();

}  // namespace testsupport
