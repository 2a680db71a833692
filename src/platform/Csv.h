#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace platform {

enum class CsvQuoting {
    always,      // every cell in quotes
    whenNeeded,  // only cells holding the separator, a quote or a line break
};

// What ends a record outside quotes: LF and CR, and, for readers that ask, the other Unicode
// line breaks (VT, FF, NEL, LS, PS). The writer quotes a cell holding any of them, so whatever
// the reader's choice a cell never splits.
bool isCsvLineBreak(QChar c, bool unicodeLineBreaks);

// One cell: inner quotes doubled, and the whole in quotes when asked or needed.
QString csvField(const QString& text, CsvQuoting quoting, QChar separator = u',');

// Builds CSV text row by row. Rows are joined by the line end; the last row
// gets one only when asked.
class CsvWriter {
public:
    struct Options {
        QChar separator = u',';
        QString lineEnd = QStringLiteral("\n");
        CsvQuoting quoting = CsvQuoting::whenNeeded;  // for cells added without their own choice
        bool finalLineEnd = false;
    };

    CsvWriter();
    explicit CsvWriter(Options options);

    void addCell(const QString& text);
    void addCell(const QString& text, CsvQuoting quoting);
    void endRow();
    void addRow(const QStringList& cells);
    void addRow(const QStringList& cells, CsvQuoting quoting);

    // The text so far; an unfinished row counts as finished.
    QString text() const;
    QByteArray toUtf8() const;  // no byte order mark
    void reserve(qsizetype characters) { text_.reserve(characters); }

private:
    Options options_;
    QString text_;
    bool rowOpen_ = false;
    bool anyRow_ = false;
};

}  // namespace platform
