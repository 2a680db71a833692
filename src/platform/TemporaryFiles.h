#pragma once

#include <QString>

namespace platform {

// A new UUID in canonical upper-case text: 36 characters, no braces.
QString newUuidText();

// A fresh path directly in this run's private work folder, named by a new
// UUID followed by the extension (".obj", ".ifc", or empty for a folder).
// Nothing is created.
QString temporaryWorkPath(const QString& extension = {});

}  // namespace platform
