#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace platform {

// Reads comma-separated text as spreadsheets write it (RFC 4180, leniently):
// - outside quotes a line break ends the record: CR LF, LF or CR (and, when asked, the other
//   Unicode line breaks: VT, FF, NEL, LS, PS); inside quotes it belongs to the cell;
// - a cell that starts with a quote (blanks before it are dropped) is quoted: "" inside is one
//   quote, the closing quote ends the quoting and whatever follows up to the separator is kept;
// - a quote inside an unquoted cell is a plain character;
// - a quote still open at the end of the text closes at the end of its own line, and reading
//   goes on with the next line, so one stray quote costs one record, not the rest of the file;
// - a leading byte order mark (U+FEFF) is dropped; a blank line is a record of one empty cell,
//   and a text ending in a line break has no empty last record.
struct CsvReadOptions {
    QChar separator = u',';
    bool unicodeLineBreaks = false;
};

std::vector<QStringList> readCsv(const QString& text, const CsvReadOptions& options = {});

// The same records one at a time, for texts too large to hold all their records at once. The
// text must outlive the reader.
class CsvRecordReader {
public:
    explicit CsvRecordReader(const QString& text, const CsvReadOptions& options = {});
    // Only [begin, end) of the text: `begin` is where a record starts (a position() of a reader
    // over the whole text), `end` is the text's end or another such position. Pieces cut so are
    // read exactly as the whole text would be, so they can be read side by side.
    CsvRecordReader(const QString& text, const CsvReadOptions& options, qsizetype begin, qsizetype end);

    // The next record into `record` (its room is reused); false when the text is done.
    bool next(QStringList& record);
    // Passes over the next record without building its cells; false when the text is done.
    bool skip();
    // Where the next record starts.
    qsizetype position() const { return i_; }

private:
    template <bool cells>
    bool advance(QStringList* record);

    const QChar* s_;
    qsizetype n_;
    qsizetype i_;
    CsvReadOptions options_;
};

// The text of a CSV file's bytes: UTF-8 without its byte order mark, or, when the bytes are not
// valid UTF-8, Windows-1252 (what spreadsheets in Western European locales write).
QString decodeCsvBytes(const QByteArray& bytes);

}  // namespace platform
