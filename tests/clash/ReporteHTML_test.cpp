// The HTML clash report: the page as written, hostile names read back intact, the file name and
// a write that fails.

#include "clash/ReporteHTML.h"
#include "support/Fixtures.h"
#include "support/Esperar.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quelva;

namespace {

AnalisisInterferencias dosColisiones()
{
    AnalisisInterferencias a;
    a.nombre = "Coordinación <ARQ> & \"EST\"";
    a.fecha = QDateTime(QDate(2026, 12, 9), QTime(8, 5));
    a.tolerancia = 0.01;
    Interferencia i;
    i.id = QUuid("{6f1d6a2e-1f4b-4c3e-9a55-0b7d2f1e9c01}");
    i.nombreA = "Muro <script>alert('x')</script>";
    i.especialidadA = "ARQ";
    i.nombreB = "Viga & 'B' \"1\"";
    i.especialidadB = "EST";
    i.estado = EstadoClash::enRevision;
    a.interferencias.push_back(i);
    i.id = QUuid("{6f1d6a2e-1f4b-4c3e-9a55-0b7d2f1e9c02}");
    i.nombreA = "Losa";
    i.nombreB = "Ducto &lt;";
    i.especialidadB = "MEP";
    i.estado = EstadoClash::resuelto;
    a.interferencias.push_back(i);
    return a;
}

MiniaturasClash unaMiniatura(const QUuid& id)
{
    QImage img(4, 2, QImage::Format_ARGB32);
    img.fill(Qt::red);
    MiniaturaClash m;
    QBuffer b(&m.png);
    b.open(QIODevice::WriteOnly);
    img.save(&b, "PNG");
    return {{id, m}};
}

}  // namespace

TEST(ReporteHTML, PageMatchesTheGoldenFile)
{
    const AnalisisInterferencias a = dosColisiones();
    const QString pagina = paginaReporteHTML(a, unaMiniatura(a.interferencias[0].id));
    QFile dorado(testsupport::fixturePath("clash/reporte_dos_colisiones.html"));
    ASSERT_TRUE(dorado.open(QIODevice::ReadOnly));
    EXPECT_EQ(pagina.toStdString(), QString::fromUtf8(dorado.readAll()).toStdString());
}

TEST(ReporteHTML, CellsReadBackAsTheirHostileInputs)
{
    const AnalisisInterferencias a = dosColisiones();
    QTemporaryDir dir;
    const QString ruta = dir.filePath("p.html");
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(paginaReporteHTML(a, {}).toUtf8());
    f.close();
    // Python's own parser: the text of every <b> and <h2>, one per line.
    const char* programa =
        "import sys, html.parser\n"
        "class P(html.parser.HTMLParser):\n"
        "    def __init__(s):\n"
        "        super().__init__(); s.en=False; s.t=''\n"
        "    def handle_starttag(s, tag, a):\n"
        "        if tag in ('b','h2'): s.en=True; s.t=''\n"
        "        if tag == 'script': print('SCRIPT')\n"
        "    def handle_endtag(s, tag):\n"
        "        if tag in ('b','h2') and s.en: print(s.t); s.en=False\n"
        "    def handle_data(s, d):\n"
        "        if s.en: s.t += d\n"
        "P().feed(open(sys.argv[1], encoding='utf-8').read())\n";
    QProcess p;
    p.start("python3", {"-c", programa, ruta});
    ASSERT_TRUE(p.waitForFinished(testsupport::kLimiteCuelgue));
    const QStringList lineas = QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lineas, (QStringList{a.nombre, a.interferencias[0].nombreA, a.interferencias[0].nombreB,
                                   a.interferencias[1].nombreA, a.interferencias[1].nombreB}));
}

TEST(ReporteHTML, FileNamesAndWriting)
{
    const struct { const char* nombre; const char* archivo; } casos[] = {
        {"Análisis 09/12/26 08:05", "Análisis 09-12-26 08-05.html"}, {"", ".html"}, {"a:b/c", "a-b-c.html"}};
    for (const auto& c : casos)
        EXPECT_EQ(nombreArchivoReporteHTML(QString::fromUtf8(c.nombre)), QString::fromUtf8(c.archivo));

    AnalisisInterferencias a = dosColisiones();
    a.nombre = "x/y";
    QTemporaryDir dir;
    const auto escrito = escribirReporteHTML(a, {}, dir.path());
    ASSERT_EQ(escrito.index(), 0u);
    EXPECT_EQ(std::get<0>(escrito), QDir(dir.path()).filePath("x-y.html"));
    // Written again: replaced.
    EXPECT_EQ(escribirReporteHTML(a, {}, dir.path()).index(), 0u);
    // A folder where the page goes: the error text names the failure.
    ASSERT_TRUE(QDir(dir.path()).mkdir("z.html"));
    a.nombre = "z";
    const auto fallo = escribirReporteHTML(a, {}, dir.path());
    ASSERT_EQ(fallo.index(), 1u);
    EXPECT_TRUE(std::get<1>(fallo).startsWith("No se pudo generar el reporte: "));
}

TEST(ReporteHTML, EmptyAnalysisClosesTheTableOnTheHeadLine)
{
    AnalisisInterferencias a;
    a.nombre = "Vacío";
    a.fecha = QDateTime(QDate(2026, 1, 5), QTime(17, 30));
    const QString pagina = paginaReporteHTML(a, {});
    EXPECT_TRUE(pagina.contains("\n  </tr></thead><tbody></tbody></table>\n"));
    EXPECT_TRUE(pagina.contains("<div class=\"pie\">Generado por QUELVA · 5 de enero de 2026, 17:30</div>"));
    EXPECT_TRUE(pagina.endsWith("</body></html>"));
    EXPECT_EQ(pagina.count("<div class=\"n\">0</div>"), 5);
}
