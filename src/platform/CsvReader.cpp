#include "platform/CsvReader.h"

#include "platform/Csv.h"

#include <QStringDecoder>

#include <array>

namespace platform {

std::vector<QStringList> readCsv(const QString& text, const CsvReadOptions& options)
{
    std::vector<QStringList> records;
    const QChar* s = text.constData();
    const qsizetype n = text.size();
    const QChar sep = options.separator;
    const bool uni = options.unicodeLineBreaks;
    auto lineEndFrom = [&](qsizetype k) {
        while (k < n && s[k] != sep && !isCsvLineBreak(s[k], uni))
            ++k;
        return k;
    };
    auto afterBreak = [&](qsizetype k) {
        if (k >= n)
            return n;
        if (s[k] == u'\r' && k + 1 < n && s[k + 1] == u'\n')
            return k + 2;
        return k + 1;
    };

    qsizetype i = (n > 0 && s[0] == QChar(0xFEFF)) ? 1 : 0;
    while (i < n) {
        QStringList record;
        for (;;) {
            qsizetype j = i;
            while (j < n && (s[j] == u' ' || s[j] == u'\t'))
                ++j;
            QString cell;
            qsizetype k;
            if (j < n && s[j] == u'"') {
                const qsizetype abre = j;
                k = j + 1;
                bool cerrada = false;
                while (k < n) {
                    if (s[k] == u'"') {
                        if (k + 1 < n && s[k + 1] == u'"') {
                            cell.append(u'"');
                            k += 2;
                            continue;
                        }
                        cerrada = true;
                        ++k;
                        break;
                    }
                    qsizetype m = k;
                    while (m < n && s[m] != u'"')
                        ++m;
                    cell.append(s + k, m - k);
                    k = m;
                }
                if (!cerrada) {
                    // Only doubled quotes follow the opening one: the quote closes at the end of
                    // its own line and the next line is read as a record of its own.
                    qsizetype e = abre + 1;
                    while (e < n && !isCsvLineBreak(s[e], uni))
                        ++e;
                    cell = QString(s + abre + 1, e - abre - 1);
                    cell.replace(QLatin1String("\"\""), QLatin1String("\""));
                    record.append(cell);
                    records.push_back(std::move(record));
                    i = afterBreak(e);
                    record = {};
                    break;
                }
                const qsizetype m = lineEndFrom(k);
                cell.append(s + k, m - k);
                k = m;
            } else {
                k = lineEndFrom(i);
                cell = QString(s + i, k - i);
            }
            record.append(std::move(cell));
            if (k < n && s[k] == sep) {
                i = k + 1;
                if (i < n)
                    continue;
                record.append(QString());  // a separator before the end: one more empty cell
            }
            records.push_back(std::move(record));
            i = afterBreak(k);
            break;
        }
    }
    return records;
}

QString decodeCsvBytes(const QByteArray& bytes)
{
    QByteArrayView datos(bytes);
    if (datos.startsWith("\xEF\xBB\xBF"))
        datos = datos.sliced(3);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString texto = utf8.decode(datos);
    if (!utf8.hasError())
        return texto;

    // Windows-1252: Latin-1 but for 0x80-0x9F; the five unassigned bytes keep their C1 code.
    static constexpr std::array<char16_t, 32> altos = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    texto = QString(datos.size(), Qt::Uninitialized);
    QChar* out = texto.data();
    for (qsizetype i = 0; i < datos.size(); ++i) {
        const auto b = static_cast<unsigned char>(datos[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? QChar(altos[b - 0x80]) : QChar(char16_t(b));
    }
    return texto;
}

}  // namespace platform
