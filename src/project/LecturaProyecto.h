#pragma once

#include <QtGlobal>

namespace quelva {

// Project documents above this (150 MiB, as the refusal says) are refused before a byte is read:
// a real project stays far below it (50 MB holds thousands of timeline packages and a hundred
// pictured comments).
inline constexpr qint64 kTamanoMaximoProyecto = qint64{150} * 1024 * 1024;

}  // namespace quelva
