#pragma once

// Reads a CSV file back with Python's csv module, as a spreadsheet-minded reader would.

#include "support/Esperar.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace qtotest {

inline QString python()
{
    return QStandardPaths::findExecutable(QStringLiteral("python3"));
}

// The rows and fields of the file; none when Python could not read it.
inline std::optional<std::vector<QStringList>> leerConPython(const QString& ruta)
{
    QProcess p;
    p.start(python(), {QStringLiteral("-c"),
                       QStringLiteral("import csv, json, sys\n"
                                      "with open(sys.argv[1], newline='', encoding='utf-8', errors='strict') as f:\n"
                                      "    print(json.dumps(list(csv.reader(f))))\n"),
                       ruta});
    if (!p.waitForFinished(testsupport::kLimiteCuelgue) || p.exitCode() != 0)
        return std::nullopt;
    std::vector<QStringList> filas;
    for (const QJsonValue& fila : QJsonDocument::fromJson(p.readAllStandardOutput()).array()) {
        QStringList campos;
        for (const QJsonValue& c : fila.toArray())
            campos.append(c.toString());
        filas.push_back(campos);
    }
    return filas;
}

}  // namespace qtotest
