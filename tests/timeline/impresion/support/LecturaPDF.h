#pragma once

// Reading written PDFs back with poppler's tools, and the cap on file sizes that makes a write
// fail part way (root included).

#include "support/LimiteTamano.h"
#include "support/Esperar.h"

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <vector>

namespace impresion_test {

using testsupport::LimiteTamano;

inline QString salida(const QString& programa, const QStringList& args)
{
    QProcess p;
    p.start(programa, args);
    p.waitForFinished(testsupport::kLimiteCuelgue);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A word of `pdftotext -bbox`: x from the left, y from the top of its page (1-based).
struct Palabra {
    int pagina;
    double xMin, yMin, xMax, yMax;
    QString texto;
};

inline std::vector<Palabra> palabras(const QString& pdf)
{
    std::vector<Palabra> r;
    const QStringList paginas = salida("pdftotext", {"-bbox", pdf, "-"}).split("<page ");
    static const QRegularExpression re(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>");
    for (int k = 1; k < paginas.size(); ++k) {
        auto it = re.globalMatch(paginas[k]);
        while (it.hasNext()) {
            const auto m = it.next();
            QString t = m.captured(5);
            t.replace("&amp;", "&").replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"");
            r.push_back({k, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                         m.captured(4).toDouble(), t});
        }
    }
    return r;
}

inline std::vector<Palabra> buscar(const std::vector<Palabra>& todas, const QString& texto)
{
    std::vector<Palabra> r;
    for (const Palabra& p : todas)
        if (p.texto == texto)
            r.push_back(p);
    return r;
}

// Page sizes in points from pdfinfo, in page order.
inline std::vector<QSizeF> paginas(const QString& pdf)
{
    const QString info = salida("pdfinfo", {"-f", "1", "-l", "999", pdf});
    std::vector<QSizeF> r;
    static const QRegularExpression re("Page\\s+\\d+ size:\\s+([0-9.]+) x ([0-9.]+) pts");
    auto it = re.globalMatch(info);
    while (it.hasNext()) {
        const auto m = it.next();
        r.emplace_back(m.captured(1).toDouble(), m.captured(2).toDouble());
    }
    return r;
}

}  // namespace impresion_test
