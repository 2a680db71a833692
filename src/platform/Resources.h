#pragma once

#include <QString>

#include <optional>

namespace platform {

// The bundle is the folder of the executable; the build puts the converter,
// the road map and the logo there.
namespace Resources {
QString bundleDir();
// Points the lookup at another folder; an empty text goes back to the default.
void setBundleDir(const QString& dir);
// The path of "name.extension" in the bundle when that file exists.
std::optional<QString> path(const QString& name, const QString& extension);
}  // namespace Resources

}  // namespace platform
