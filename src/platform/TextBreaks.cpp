#include "platform/TextBreaks.h"

namespace platform {

QString breakableAnywhere(const QString& text, int longRun)
{
    constexpr QChar kZeroWidthSpace(0x200B);
    QString out;
    out.reserve(text.size() * 2);
    qsizetype start = 0;
    while (start < text.size()) {
        if (text[start].isSpace()) {
            out += text[start++];
            continue;
        }
        qsizetype end = start;
        while (end < text.size() && !text[end].isSpace())
            ++end;
        if (end - start <= longRun) {
            out += QStringView(text).mid(start, end - start);
        } else {
            for (qsizetype i = start; i < end; ++i) {
                out += text[i];
                // Not inside a surrogate pair.
                if (i + 1 < end && !text[i].isHighSurrogate())
                    out += kZeroWidthSpace;
            }
        }
        start = end;
    }
    return out;
}

}  // namespace platform
