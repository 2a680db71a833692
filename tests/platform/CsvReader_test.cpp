#include "platform/Csv.h"
#include "platform/CsvReader.h"

#include <gtest/gtest.h>

using Records = std::vector<QStringList>;

namespace {

std::string mostrar(const Records& rs)
{
    std::string out;
    for (const QStringList& r : rs) {
        out += "[";
        for (const QString& c : r)
            out += "<" + c.toStdString() + ">";
        out += "]";
    }
    return out;
}

}  // namespace

TEST(CsvReader, Records)
{
    struct Caso {
        const char* nombre;
        QString texto;
        Records esperado;
    };
    const Caso casos[] = {
        {"empty text", "", {}},
        {"LF, no final break", "a,b\nc,d", {{"a", "b"}, {"c", "d"}}},
        {"CRLF and a final break", "a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}},
        {"lone CR", "a\rb", {{"a"}, {"b"}}},
        {"blank line", "a\n\nb", {{"a"}, {""}, {"b"}}},
        {"empty cells", ",a,", {{"", "a", ""}}},
        {"byte order mark", QString(QChar(0xFEFF)) + "a,b", {{"a", "b"}}},
        {"quoted separator", "\"a,b\",c", {{"a,b", "c"}}},
        {"quoted line breaks", "\"l1\r\nl2\nl3\",x\ny", {{"l1\r\nl2\nl3", "x"}, {"y"}}},
        {"doubled quote", "\"di \"\"hola\"\"\",z", {{"di \"hola\"", "z"}}},
        {"empty quoted cell", "\"\",a", {{"", "a"}}},
        {"quote inside an unquoted cell", "pulg 12\",b", {{"pulg 12\"", "b"}}},
        {"text after the closing quote", "\"ab\"cd,e", {{"abcd", "e"}}},
        {"blanks before the quote", "a, \"b,c\" ,d", {{"a", "b,c ", "d"}}},
        {"unquoted blanks kept", " a , b ", {{" a ", " b "}}},
        {"open quote closes at its line's end", "x,\"a,b\nc,d\ne", {{"x", "a,b"}, {"c", "d"}, {"e"}}},
        {"open quote with doubled quotes", "\"a\"\"b\nc", {{"a\"b"}, {"c"}}},
        {"open quote on the last line", "a\n\"b,c", {{"a"}, {"b,c"}}},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(mostrar(platform::readCsv(c.texto)), mostrar(c.esperado)) << c.nombre;
}

TEST(CsvReader, OtherSeparatorAndUnicodeLineBreaks)
{
    platform::CsvReadOptions o;
    o.separator = u';';
    EXPECT_EQ(mostrar(platform::readCsv("a;b,c", o)), mostrar({{"a", "b,c"}}));

    const QString texto = QString("a") + QChar(0x2028) + "b" + QChar(0x0085) + "c\fd";
    EXPECT_EQ(mostrar(platform::readCsv(texto)), mostrar({{texto}}));
    platform::CsvReadOptions u;
    u.unicodeLineBreaks = true;
    EXPECT_EQ(mostrar(platform::readCsv(texto, u)), mostrar({{"a"}, {"b"}, {"c"}, {"d"}}));
    // Inside quotes they stay in the cell.
    EXPECT_EQ(mostrar(platform::readCsv("\"a\fb\"", u)), mostrar({{"a\fb"}}));
}

// A large text is cut at record starts found by skipping and its pieces are read side by side:
// wherever it is cut, the pieces must give the records of the whole.
TEST(CsvReader, PiecesCutWhereRecordsStartReadAsTheWhole)
{
    const QString textos[] = {
        "a,b\r\nc,d\r\n",
        QString(QChar(0xFEFF)) + "h1,h2\n\"x\ny\",z\n\n,\n",
        "\"l1\r\nl2\nl3\",x\ny\r\"q\"\"\",w",
        "x,\"a,b\nc,d\ne\n\"f\"\"g\nh",
        "a\n\"b,c",
        "pulg 12\",b\n\"ab\"cd,e\r\n,",
        QString("a") + QChar(0x2028) + "\"b" + QChar(0x0085) + "c\"\fd\v\ve",
    };
    for (const bool unicode : {false, true}) {
        platform::CsvReadOptions o;
        o.unicodeLineBreaks = unicode;
        for (const QString& texto : textos) {
            SCOPED_TRACE(texto.toStdString() + (unicode ? " (Unicode breaks)" : ""));
            const Records todo = platform::readCsv(texto, o);
            platform::CsvRecordReader saltos(texto, o);
            std::vector<qsizetype> inicios{saltos.position()};
            while (saltos.skip())
                inicios.push_back(saltos.position());
            ASSERT_EQ(inicios.size(), todo.size() + 1);
            EXPECT_EQ(inicios.back(), texto.size());
            const auto leer = [&](qsizetype desde, qsizetype hasta) {
                Records rs;
                platform::CsvRecordReader lector(texto, o, desde, hasta);
                QStringList r;
                while (lector.next(r))
                    rs.push_back(r);
                return rs;
            };
            for (const qsizetype corte : inicios) {
                Records piezas = leer(inicios.front(), corte);
                const Records resto = leer(corte, texto.size());
                piezas.insert(piezas.end(), resto.begin(), resto.end());
                EXPECT_EQ(mostrar(piezas), mostrar(todo)) << "cut at " << corte;
            }
        }
    }
}

TEST(CsvReader, ReadsBackWhatTheWriterWrites)
{
    // Every line break either reader may honour, the Unicode ones included.
    const QStringList celdas = {"", "plain", "a,b", "say \"hi\"", "two\nlines", "cr\r\nlf", " pad ", "\"", ",,",
                                "v\vt", "f\ff", QString("nel") + QChar(0x85) + "x", QString("ls") + QChar(0x2028),
                                QChar(0x2029) + QString("ps")};
    for (const auto quoting : {platform::CsvQuoting::always, platform::CsvQuoting::whenNeeded}) {
        platform::CsvWriter w;
        w.addRow(celdas, quoting);
        w.addRow({"last"}, quoting);
        for (const bool unicode : {false, true}) {
            platform::CsvReadOptions o;
            o.unicodeLineBreaks = unicode;
            const Records leido = platform::readCsv(w.text(), o);
            EXPECT_EQ(mostrar(leido), mostrar({celdas, {"last"}})) << "unicode " << unicode;
        }
    }
}

TEST(CsvReader, DecodesUtf8OrWindows1252)
{
    EXPECT_EQ(platform::decodeCsvBytes(QByteArray("\xEF\xBB\xBF" "Se\xC3\xB1" "al")), QString("Señal"));
    EXPECT_EQ(platform::decodeCsvBytes(QByteArray("Se\xF1" "al\xE9tica \x80 \x93x\x94")),
              QString("Señalética € “x”"));
    // A BOM followed by bytes that are not UTF-8 is dropped before the fallback too.
    EXPECT_EQ(platform::decodeCsvBytes(QByteArray("\xEF\xBB\xBF" "a\xE9")), QString("aé"));
    EXPECT_EQ(platform::decodeCsvBytes(QByteArray()), QString());
}
