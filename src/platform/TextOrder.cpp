#include "platform/TextOrder.h"

namespace platform {

QString nfc(const QString& text)
{
    return text.normalized(QString::NormalizationForm_C);
}

int compareNormalizedCodePoints(const QString& a, const QString& b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        char16_t x = a.at(i).unicode();
        char16_t y = b.at(i).unicode();
        if (x == y)
            continue;
        // UTF-16 units order code points except that surrogates (above
        // U+FFFF) sort below U+E000..U+FFFF: lift them above.
        if (x >= 0xD800 && y >= 0xD800) {
            x = (x >= 0xE000) ? char16_t(x - 0x800) : char16_t(x + 0x2000);
            y = (y >= 0xE000) ? char16_t(y - 0x800) : char16_t(y + 0x2000);
        }
        return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

int compareCodePoints(const QString& a, const QString& b)
{
    return compareNormalizedCodePoints(nfc(a), nfc(b));
}

bool lessCodePoints(const QString& a, const QString& b)
{
    return compareCodePoints(a, b) < 0;
}

}  // namespace platform
