#pragma once

#include <QString>

#include <string>

namespace platform {

// Qt sets the C library's numeric locale from the environment; this puts
// LC_NUMERIC back to "C" (call once, after the application object exists).
void pinNumericLocale();

// printf-like formatting that always uses a full stop as decimal separator,
// whatever the process or thread locale: format("%.3f m", 1.5) is "1.500 m".
std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
QString qformat(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

// Shortest text that reads back as the same double ("0.1", "12", "-3.5e-07").
std::string shortestText(double value);
// Fixed notation with the given number of decimals ("%.Nf").
std::string fixedText(double value, int decimals);

}  // namespace platform
