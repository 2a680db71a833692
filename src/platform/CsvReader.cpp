#include "platform/CsvReader.h"

#include "platform/Csv.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace platform {

CsvRecordReader::CsvRecordReader(const QString& text, const CsvReadOptions& options)
    : s_(text.constData()), n_(text.size()), i_((n_ > 0 && s_[0] == QChar(0xFEFF)) ? 1 : 0), options_(options)
{
}

CsvRecordReader::CsvRecordReader(const QString& text, const CsvReadOptions& options, qsizetype begin,
                                 qsizetype end)
    : s_(text.constData()), n_(std::clamp<qsizetype>(end, 0, text.size())), i_(std::clamp<qsizetype>(begin, 0, n_)),
      options_(options)
{
}

bool CsvRecordReader::next(QStringList& record)
{
    return advance<true>(&record);
}

bool CsvRecordReader::skip()
{
    return advance<false>(nullptr);
}

// One walk for reading and for skipping, so a skipped record ends exactly where a read one does.
template <bool cells>
bool CsvRecordReader::advance(QStringList* record)
{
    const QChar* s = s_;
    const qsizetype n = n_;
    qsizetype& i = i_;
    const QChar sep = options_.separator;
    const bool uni = options_.unicodeLineBreaks;
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

    if (i >= n)
        return false;
    if constexpr (cells)
        record->clear();
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
                        if constexpr (cells)
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
                if constexpr (cells)
                    cell.append(s + k, m - k);
                k = m;
            }
            if (!cerrada) {
                // Only doubled quotes follow the opening one: the quote closes at the end of
                // its own line and the next line is read as a record of its own.
                qsizetype e = abre + 1;
                while (e < n && !isCsvLineBreak(s[e], uni))
                    ++e;
                if constexpr (cells) {
                    cell = QString(s + abre + 1, e - abre - 1);
                    cell.replace(QLatin1String("\"\""), QLatin1String("\""));
                    record->append(cell);
                }
                i = afterBreak(e);
                return true;
            }
            const qsizetype m = lineEndFrom(k);
            if constexpr (cells)
                cell.append(s + k, m - k);
            k = m;
        } else {
            k = lineEndFrom(i);
            if constexpr (cells)
                cell = QString(s + i, k - i);
        }
        if constexpr (cells)
            record->append(std::move(cell));
        if (k < n && s[k] == sep) {
            i = k + 1;
            if (i < n)
                continue;
            if constexpr (cells)
                record->append(QString());  // a separator before the end: one more empty cell
        }
        i = afterBreak(k);
        return true;
    }
}

std::vector<QStringList> readCsv(const QString& text, const CsvReadOptions& options)
{
    std::vector<QStringList> records;
    CsvRecordReader reader(text, options);
    QStringList record;
    while (reader.next(record))
        records.push_back(record);
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
