#pragma once

#include <QString>

namespace platform {

// The text with a line break allowed anywhere inside its long runs without a space (a path, a
// GUID, a file name): a zero-width space after each of their characters. A word-wrapped label
// otherwise grows as wide as such a run, and its column with it. Shorter words keep breaking at
// spaces only. For shown texts, not for texts the user copies.
QString breakableAnywhere(const QString& text, int longRun = 20);

}  // namespace platform
