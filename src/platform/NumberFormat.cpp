#include "platform/NumberFormat.h"

#include <charconv>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <locale.h>
#include <vector>

namespace platform {

namespace {

locale_t cLocale()
{
    // Created once, never freed: it is used until the process ends.
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

std::string vformat(const char* pattern, va_list args)
{
    if (!pattern)
        return {};
    // The thread locale overrides the global one for this call only.
    const locale_t previous = uselocale(cLocale());
    char small[256];
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(small, sizeof small, pattern, copy);
    va_end(copy);
    std::string out;
    if (needed >= 0 && static_cast<size_t>(needed) < sizeof small) {
        out.assign(small, static_cast<size_t>(needed));
    } else if (needed >= 0) {
        std::vector<char> big(static_cast<size_t>(needed) + 1);
        std::vsnprintf(big.data(), big.size(), pattern, args);
        out.assign(big.data(), static_cast<size_t>(needed));
    }
    uselocale(previous);
    return out;
}

}  // namespace

void pinNumericLocale()
{
    std::setlocale(LC_NUMERIC, "C");
}

std::string format(const char* pattern, ...)
{
    va_list args;
    va_start(args, pattern);
    std::string out = vformat(pattern, args);
    va_end(args);
    return out;
}

QString qformat(const char* pattern, ...)
{
    va_list args;
    va_start(args, pattern);
    std::string out = vformat(pattern, args);
    va_end(args);
    return QString::fromStdString(out);
}

std::string shortestText(double value)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

std::string fixedText(double value, int decimals)
{
    if (decimals < 0)
        decimals = 0;
    char buf[512];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (res.ec != std::errc())
        return format("%.*f", decimals, value);
    return std::string(buf, res.ptr);
}

}  // namespace platform
