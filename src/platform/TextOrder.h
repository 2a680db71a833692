#pragma once

#include <QString>

namespace platform {

// One text order for names from model files, the same on every machine:
// canonically composed form (NFC), compared by Unicode scalar values.
QString nfc(const QString& text);

// <0, 0, >0. Canonically equivalent texts compare equal.
int compareCodePoints(const QString& a, const QString& b);
bool lessCodePoints(const QString& a, const QString& b);

// The same order for texts already in NFC (sorting many keys normalised once).
int compareNormalizedCodePoints(const QString& a, const QString& b);

}  // namespace platform
