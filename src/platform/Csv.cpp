#include "platform/Csv.h"

namespace platform {

bool isCsvLineBreak(QChar c, bool unicodeLineBreaks)
{
    const char16_t u = c.unicode();
    if (u == u'\n' || u == u'\r')
        return true;
    return unicodeLineBreaks && (u == 0x0B || u == 0x0C || u == 0x85 || u == 0x2028 || u == 0x2029);
}

namespace {

bool necesitaComillas(const QString& text, QChar separator)
{
    for (const QChar c : text) {
        if (c == separator || c == u'"' || isCsvLineBreak(c, true))
            return true;
    }
    return false;
}

void anadirCampo(QString& out, const QString& text, CsvQuoting quoting, QChar separator)
{
    if (quoting == CsvQuoting::whenNeeded && !necesitaComillas(text, separator)) {
        out.append(text);
        return;
    }
    out.append(u'"');
    if (text.contains(u'"')) {
        QString doble = text;
        doble.replace(QLatin1String("\""), QLatin1String("\"\""));
        out.append(doble);
    } else {
        out.append(text);
    }
    out.append(u'"');
}

}  // namespace

QString csvField(const QString& text, CsvQuoting quoting, QChar separator)
{
    QString out;
    anadirCampo(out, text, quoting, separator);
    return out;
}

CsvWriter::CsvWriter() = default;

CsvWriter::CsvWriter(Options options) : options_(std::move(options)) {}

void CsvWriter::addCell(const QString& text)
{
    addCell(text, options_.quoting);
}

void CsvWriter::addCell(const QString& text, CsvQuoting quoting)
{
    if (rowOpen_) {
        text_.append(options_.separator);
    } else {
        if (anyRow_)
            text_.append(options_.lineEnd);
        rowOpen_ = true;
        anyRow_ = true;
    }
    anadirCampo(text_, text, quoting, options_.separator);
}

void CsvWriter::endRow()
{
    if (!rowOpen_) {
        // An empty row is still a row.
        if (anyRow_)
            text_.append(options_.lineEnd);
        anyRow_ = true;
    }
    rowOpen_ = false;
}

void CsvWriter::addRow(const QStringList& cells)
{
    addRow(cells, options_.quoting);
}

void CsvWriter::addRow(const QStringList& cells, CsvQuoting quoting)
{
    for (const QString& cell : cells)
        addCell(cell, quoting);
    endRow();
}

QString CsvWriter::text() const
{
    if (options_.finalLineEnd && anyRow_)
        return text_ + options_.lineEnd;
    return text_;
}

QByteArray CsvWriter::toUtf8() const
{
    return text().toUtf8();
}

}  // namespace platform
