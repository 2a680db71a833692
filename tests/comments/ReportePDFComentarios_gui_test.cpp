#include "comments/ReportePDFComentarios.h"
#include "support/Esperar.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quelva;

namespace {

QByteArray jpeg(QSize tamano)
{
    QImage img(tamano, QImage::Format_RGB32);
    img.fill(QColor(90, 110, 140));
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    img.save(&b, "JPEG", 85);
    return bytes;
}

QString salida(const QString& programa, const QStringList& args)
{
    QProcess p;
    p.start(programa, args);
    p.waitForFinished(testsupport::kLimiteCuelgue);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A word's box from `pdftotext -bbox`: x from the left, y from the top.
struct Caja {
    double xMin = -1, yMin = -1, xMax = -1, yMax = -1;
    bool encontrada() const { return xMin >= 0; }
};

// The first box of `palabra` on page `pagina` (1-based).
Caja caja(const QString& bbox, int pagina, const QString& palabra)
{
    const QStringList paginas = bbox.split("<page ");
    if (pagina >= paginas.size())
        return {};
    static const QRegularExpression re(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>");
    auto it = re.globalMatch(paginas[pagina]);
    while (it.hasNext()) {
        const auto m = it.next();
        if (m.captured(5) == palabra)
            return {m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                    m.captured(4).toDouble()};
    }
    return {};
}

// The text starts at x and its baseline, 842 − y from the top, lies in the word's box.
void esperarEn(const Caja& c, double x, double y, const char* que)
{
    ASSERT_TRUE(c.encontrada()) << que;
    EXPECT_NEAR(c.xMin, x, 1.0) << que;
    const double linea = 842 - y;
    EXPECT_GE(linea, c.yMin) << que;
    EXPECT_LE(linea, c.yMax + 0.5) << que;
}

class ReportePDF : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            FAIL() << "pdftotext is missing: scripts/setup installs poppler-utils";
    }
    QTemporaryDir dir_;
};

}  // namespace

TEST_F(ReportePDF, PagesTextsAndFontsLandWhereTheyBelong)
{
    ComentarioMarkup a;
    a.tag = "MRK-001";
    a.descripcion = QString::fromUtf8("Fisura en losa · eje C");
    a.autor = QString::fromUtf8("José Núñez");
    a.trazados.resize(2);
    a.trazados[0].puntos = {{0, 0}, {1, 1}};
    ComentarioMarkup b;
    b.tag = "MRK-002";
    b.imagenJPEG = jpeg(QSize(1600, 900));
    b.textos.resize(1);
    const QString archivo = dir_.filePath("Reporte_Comentarios_QUELVA.pdf");
    ASSERT_EQ(escribirPDFComentarios(archivo, {a, b}), std::nullopt);

    const QString info = salida("pdfinfo", {archivo});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+3\\n"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+595 x 842 pts"))) << info.toStdString();

    const QString bbox = salida("pdftotext", {"-bbox", archivo, "-"});
    esperarEn(caja(bbox, 1, "Reporte"), 36, 445, "cover title");
    esperarEn(caja(bbox, 2, "MRK-001"), 36, 802, "tag");
    esperarEn(caja(bbox, 2, "Fisura"), 144, 806, "description");
    esperarEn(caja(bbox, 2, QString::fromUtf8("José")), 144, 791, "author");
    esperarEn(caja(bbox, 2, "2"), 36, 756, "counts without a picture");
    EXPECT_FALSE(caja(bbox, 3, "Fisura").encontrada());
    // 1600 × 900 is drawn 523 wide, about 294 high, from y 768 down: counts 14 + 12 below.
    esperarEn(caja(bbox, 3, "1"), 36, 768 - 523.0 * 900 / 1600 - 14 - 12, "counts under the picture");

    const QString texto = salida("pdftotext", {archivo, "-"});
    // pdftotext folds runs of spaces; the characters themselves must come back.
    EXPECT_TRUE(texto.contains(QRegularExpression(QString::fromUtf8("José Núñez\\s+·\\s+")))) << texto.toStdString();
    EXPECT_TRUE(texto.contains(QString::fromUtf8("Fisura en losa · eje C")));
    EXPECT_TRUE(texto.contains(QRegularExpression(QString::fromUtf8("2 comentario\\(s\\)\\s+·\\s+\\S"))));
    EXPECT_TRUE(texto.contains(QString::fromUtf8("2 trazo(s)")));
    EXPECT_TRUE(texto.contains(QRegularExpression(QString::fromUtf8("Generado por QUELVA\\s+·\\s+\\S"))));

    const QStringList fuentes = salida("pdffonts", {archivo}).split('\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fuentes.isEmpty());
    // Columns end in: emb sub uni object gen.
    for (const QString& f : fuentes) {
        const QStringList c = f.split(' ', Qt::SkipEmptyParts);
        ASSERT_GE(c.size(), 5);
        EXPECT_EQ(c[c.size() - 5], "yes") << "not embedded: " << f.toStdString();
    }
}

TEST_F(ReportePDF, EmptyListIsTheCoverAlone)
{
    const QString archivo = dir_.filePath("vacio.pdf");
    ASSERT_EQ(escribirPDFComentarios(archivo, {}), std::nullopt);
    EXPECT_TRUE(salida("pdfinfo", {archivo}).contains(QRegularExpression("Pages:\\s+1\\n")));
    EXPECT_TRUE(salida("pdftotext", {archivo, "-"})
                    .contains(QRegularExpression(QString::fromUtf8("0 comentario\\(s\\)\\s+·\\s+\\S"))));
}

TEST_F(ReportePDF, TheFileHoldsThePicturesAsJpegAndAFailureKeepsTheOldOne)
{
    std::vector<ComentarioMarkup> lista(6);
    qint64 suma = 0;
    for (std::size_t i = 0; i < lista.size(); ++i) {
        QImage img(1440, 900, QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                img.setPixel(x, y, qRgb((x * 7 + int(i) * 31) % 256, (y * 3) % 256, ((x ^ y) + int(i)) % 256));
        QByteArray bytes;
        QBuffer b(&bytes);
        b.open(QIODevice::WriteOnly);
        img.save(&b, "JPEG", 85);
        lista[i].imagenJPEG = bytes;
        suma += bytes.size();
    }
    const QString archivo = dir_.filePath("fotos.pdf");
    ASSERT_EQ(escribirPDFComentarios(archivo, lista), std::nullopt);
    EXPECT_LE(QFileInfo(archivo).size(), 2 * suma) << "pictures must not be stored as raw pixels";

    const QString carpeta = dir_.filePath("carpeta.pdf");
    ASSERT_TRUE(QDir().mkpath(carpeta));
    EXPECT_TRUE(escribirPDFComentarios(carpeta, lista).has_value());
    EXPECT_TRUE(escribirPDFComentarios(dir_.filePath("no/existe.pdf"), lista).has_value());
}
