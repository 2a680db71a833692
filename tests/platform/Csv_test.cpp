#include "platform/Csv.h"
#include "support/Esperar.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

using platform::CsvQuoting;

TEST(Csv, FieldQuoting)
{
    struct Caso {
        QString texto;
        QChar separador;
        QString siempre, siHaceFalta;
    };
    const Caso casos[] = {
        {"Muro", u',', "\"Muro\"", "Muro"},
        {"", u',', "\"\"", ""},
        {"a,b", u',', "\"a,b\"", "\"a,b\""},
        {"a,b", u';', "\"a,b\"", "a,b"},
        {"a;b", u';', "\"a;b\"", "\"a;b\""},
        {"pulg \"12\"", u',', "\"pulg \"\"12\"\"\"", "\"pulg \"\"12\"\"\""},
        {"línea\notra", u',', "\"línea\notra\"", "\"línea\notra\""},
        {"fin\r", u',', "\"fin\r\"", "\"fin\r\""},
        {" espacios ", u',', "\" espacios \"", " espacios "},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(platform::csvField(c.texto, CsvQuoting::always, c.separador), c.siempre) << c.texto.toStdString();
        EXPECT_EQ(platform::csvField(c.texto, CsvQuoting::whenNeeded, c.separador), c.siHaceFalta)
            << c.texto.toStdString();
    }
}

TEST(Csv, WriterJoinsRowsWithoutAFinalLineEndUnlessAsked)
{
    platform::CsvWriter w;
    w.addRow({"Nivel", "Código"});
    w.addCell("IWP", CsvQuoting::always);
    w.addCell("A,1");
    w.endRow();
    EXPECT_EQ(w.text(), "Nivel,Código\n\"IWP\",\"A,1\"");
    EXPECT_EQ(w.toUtf8(), QString("Nivel,Código\n\"IWP\",\"A,1\"").toUtf8());

    platform::CsvWriter crlf({u';', "\r\n", CsvQuoting::always, true});
    crlf.addRow({"a", "b"});
    crlf.addRow({});
    crlf.addRow({"c"});
    EXPECT_EQ(crlf.text(), "\"a\";\"b\"\r\n\r\n\"c\"\r\n");

    EXPECT_EQ(platform::CsvWriter().text(), "");
}

TEST(Csv, PythonReadsBackEveryCell)
{
    const QString python = QStandardPaths::findExecutable("python3");
    if (python.isEmpty())
        FAIL() << "python3 is missing: scripts/setup installs it";
    const QList<QStringList> filas = {
        {"Nombre", "Valor", "Nota"},
        {"Muro \"exterior\"", "1,5", "dos\nlíneas"},
        {"", "=SUMA(A1)", "fin\r\nde línea"},
    };
    platform::CsvWriter w;
    for (const QStringList& f : filas)
        w.addRow(f);
    QProcess p;
    p.start(python, {"-c", "import csv,io,sys,json; print(json.dumps(list(csv.reader(io.StringIO("
                           "sys.stdin.buffer.read().decode('utf-8'), newline='')))))"});
    ASSERT_TRUE(p.waitForStarted(testsupport::kLimiteCuelgue));
    p.write(w.toUtf8());
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(testsupport::kLimiteCuelgue));
    const QJsonArray leidas = QJsonDocument::fromJson(p.readAllStandardOutput()).array();
    ASSERT_EQ(leidas.size(), filas.size()) << p.readAllStandardError().toStdString();
    for (qsizetype i = 0; i < filas.size(); ++i)
        EXPECT_EQ(leidas.at(i).toVariant().toStringList(), filas.at(i)) << "row " << i;
}
