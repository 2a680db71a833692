#include "timeline/HojasTimeLiner.h"
#include "timeline/impresion/PaginaGanttPDF.h"
#include "timeline/impresion/RegistroImpresion.h"

#include "platform/UserDate.h"

#include "support/Entorno.h"
#include "support/LecturaPDF.h"
#include "support/Esperar.h"
#include "support/Paquetes.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace quelva;
using namespace impresion_test;
using tl::paquete;
using tl::utc;

namespace {

class GanttPDF : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* programa : {"pdftotext", "pdfinfo", "pdffonts"})
            if (QStandardPaths::findExecutable(programa).isEmpty())
                FAIL() << programa << " is missing: scripts/setup installs poppler-utils";
    }
    tl::Entorno entorno_{{"TZ", "UTC"}, {"LC_ALL", "es_CL.UTF-8"}};
    QTemporaryDir dir_;
};

// 2025-03-01 .. 2026-03-01 with CWAs, CWPs and IWPs; 40 rows in all.
PaginaGantt pagina40()
{
    PaginaGantt g;
    g.gCfg.fechaInicio = utc(2025, 3, 1, 0);
    g.gCfg.fechaFin = utc(2026, 3, 1, 0);
    g.gCfg.moneda = "CLP";
    for (int a = 0; a < 4; ++a) {
        const QString cwa = QStringLiteral("CWA-%1").arg(a);
        g.gCfg.paquetes.push_back(paquete(cwa, NivelAWP::cwa));
        g.gCfg.paquetes.back().nombre = QStringLiteral("Área %1").arg(a);
        for (int b = 0; b < 3; ++b) {
            const QString cwp = QStringLiteral("%1-P%2").arg(cwa).arg(b);
            g.gCfg.paquetes.push_back(paquete(cwp, NivelAWP::cwp, cwa, utc(2025, 3 + b, 1)));
            for (int i = 0; i < 2; ++i) {
                PaqueteAWP iwp = paquete(QStringLiteral("%1-I%2").arg(cwp).arg(i), NivelAWP::iwp, cwp,
                                         utc(2025, 3 + a + b, 1 + 10 * i), utc(2025, 5 + a + b, 1 + 10 * i));
                iwp.presupuesto = 1000;
                iwp.progreso = 0.5;
                iwp.colorIdx = -3;  // a hand-edited file: still one of the eight colours
                g.gCfg.paquetes.push_back(iwp);
            }
        }
    }
    g.gFilas = filasCompletas(g.gCfg);
    g.gScrubber = utc(2025, 9, 1, 0);
    g.nombreSugerido = "Gantt_202503";
    return g;
}

}  // namespace

TEST_F(GanttPDF, OnePageWithRowsBarsMarkersAndEmbeddedFonts)
{
    PaginaGantt g = pagina40();
    // A short bar (10 days ≈ 25 points) shows no code; the others are wider than 36.
    g.gCfg.paquetes.push_back(paquete("CORTA", NivelAWP::iwp, std::nullopt, utc(2025, 4, 1), utc(2025, 4, 11)));
    g.gFilas = filasCompletas(g.gCfg);
    ASSERT_EQ(g.gFilas.size(), 41u);
    g.gFilas.pop_back();  // keep 40 rows; CORTA is checked on its own page below
    const QString archivo = dir_.filePath("Gantt_202503.pdf");
    const QDateTime ahora = utc(2025, 7, 1, 0);
    ASSERT_EQ(escribirPDFGantt(archivo, g, ahora), std::nullopt);

    const std::vector<QSizeF> tam = paginas(archivo);
    ASSERT_EQ(tam.size(), 1u);
    EXPECT_EQ(tam[0], QSizeF(1200, 968));

    const QString fuentes = salida("pdffonts", {archivo});
    EXPECT_TRUE(fuentes.contains("DejaVu")) << fuentes.toStdString();
    for (const QString& linea : fuentes.split('\n').mid(2))
        if (!linea.trimmed().isEmpty()) {
            EXPECT_TRUE(linea.contains(QRegularExpression("\\byes\\s+(yes|no)\\s+(yes|no)\\s+\\d+"))) << linea.toStdString();
        }

    const std::vector<Palabra> ps = palabras(archivo);
    const auto titulo = buscar(ps, "Diagrama");
    ASSERT_EQ(titulo.size(), 1u);
    EXPECT_NEAR(titulo[0].xMin, 16, 1.5);
    EXPECT_NEAR(titulo[0].yMin, 8, 3);

    // Row i's label at y 60 + 22i + 3, indented 14 per level from x = 18.
    for (size_t i = 0; i < g.gFilas.size(); ++i) {
        auto etiqueta = buscar(ps, g.gFilas[i].pkg.codigo);
        ASSERT_FALSE(etiqueta.empty()) << i;
        std::sort(etiqueta.begin(), etiqueta.end(), [](const Palabra& a, const Palabra& b) { return a.xMin < b.xMin; });
        const Palabra& e = etiqueta.front();  // the label is left of the code inside the bar
        EXPECT_NEAR(e.xMin, 18 + 14 * g.gFilas[i].sangria, 1.5) << i;
        EXPECT_NEAR(e.yMin, 60 + 22 * i + 3, 3) << i;
        if (g.gFilas[i].pkg.nivel == NivelAWP::iwp) {
            // Its code again inside its bar, 4 points into it.
            ASSERT_EQ(etiqueta.size(), 2u) << i;
            const double x1 = xParaFecha(g.gCfg, g.gFilas[i].pkg.fechaInicio, 1200);
            EXPECT_NEAR(etiqueta[1].xMin, x1 + 4, 1.5) << i;
        }
    }

    // Month labels: "mar 25" at the chart's start, none within 28 points of the right edge.
    int meses = 0;
    for (const Palabra& p : ps)
        if (p.yMin > 40 && p.yMax < 60 && p.xMin > 270 && !p.texto.front().isDigit()) {
            ++meses;
            EXPECT_LT(p.xMin - 3 + 28, 1200) << p.texto.toStdString();
        }
    EXPECT_GE(meses, 12);
    const auto marzo = buscar(ps, "mar");
    ASSERT_FALSE(marzo.empty());
    EXPECT_NEAR(marzo.front().xMin, 274, 1.5);

    // Today and the scrubber beside their lines.
    const auto hoy = buscar(ps, "HOY");
    ASSERT_EQ(hoy.size(), 1u);
    EXPECT_NEAR(hoy[0].xMin, xParaFecha(g.gCfg, ahora, 1200) + 2, 1.5);
    const auto scrubber = buscar(ps, "01-09-25");
    ASSERT_EQ(scrubber.size(), 1u);
    EXPECT_NEAR(scrubber[0].xMin, xParaFecha(g.gCfg, g.gScrubber, 1200) + 3, 1.5);
    EXPECT_NEAR(scrubber[0].yMin, 62, 2.5);

    // Footer: rows drawn, IWPs, budget in the project currency.
    const QString texto = salida("pdftotext", {"-layout", archivo, "-"});
    EXPECT_TRUE(texto.contains(QString::fromUtf8("40 paquetes · 25 IWP · $24.000"))) << texto.toStdString();
    EXPECT_TRUE(texto.contains(QString::fromUtf8("Generado: ")));
}

TEST_F(GanttPDF, NarrowBarsCarryNoCode)
{
    PaginaGantt g;
    g.gCfg.fechaInicio = utc(2025, 1, 1, 0);
    g.gCfg.fechaFin = utc(2025, 12, 31, 0);  // 364 days over 929 points: 2.55 per day
    g.gCfg.paquetes = {
        paquete("ANCHA", NivelAWP::iwp, std::nullopt, utc(2025, 2, 1, 0), utc(2025, 2, 16, 0)),     // 15 days
        paquete("ESTRECHA", NivelAWP::iwp, std::nullopt, utc(2025, 3, 1, 0), utc(2025, 3, 15, 0)),  // 14 days
    };
    g.gFilas = filasCompletas(g.gCfg);
    const QString archivo = dir_.filePath("barras.pdf");
    ASSERT_EQ(escribirPDFGantt(archivo, g, utc(2024, 1, 1)), std::nullopt);
    const std::vector<Palabra> ps = palabras(archivo);
    EXPECT_EQ(buscar(ps, "ANCHA").size(), 2u);
    EXPECT_EQ(buscar(ps, "ESTRECHA").size(), 1u);
    // Today before the start: its label at the chart's left edge.
    const auto hoy = buscar(ps, "HOY");
    ASSERT_EQ(hoy.size(), 1u);
    EXPECT_NEAR(hoy[0].xMin, 273, 1.5);
}

TEST_F(GanttPDF, ColourEmojiOfANameGoInAsPictures)
{
    // The emoji font has pictures and no outlines: embedded as a font they come out blank.
    const auto imagenes = [this](const QString& nombre) {
        PaginaGantt g = pagina40();
        g.gFilas[0].pkg.nombre = nombre;
        const QString archivo = dir_.filePath("emoji.pdf");
        EXPECT_EQ(escribirPDFGantt(archivo, g, utc(2025, 6, 1)), std::nullopt);
        // One header line and a rule, then a line per picture (and per mask).
        return salida("pdfimages", {"-list", archivo}).split('\n', Qt::SkipEmptyParts).size() - 2;
    };
    EXPECT_EQ(imagenes(QStringLiteral("Área 0")), 0);
    EXPECT_GT(imagenes(QString::fromUtf8("Área 0 ✅ 🔵")), 0);
}

TEST_F(GanttPDF, ThousandsOfRowsContinueOnPagesReadersShow)
{
    PaginaGantt g;
    g.gCfg.fechaInicio = utc(2025, 1, 1, 0);
    g.gCfg.fechaFin = utc(2027, 1, 1, 0);
    for (int i = 0; i < 1400; ++i)
        g.gCfg.paquetes.push_back(paquete(QStringLiteral("I-%1").arg(i, 4, 10, QChar('0')), NivelAWP::iwp,
                                          std::nullopt, utc(2025, 1 + i % 12, 1), utc(2025, 2 + i % 12, 1)));
    g.gFilas = filasCompletas(g.gCfg);
    const QString archivo = dir_.filePath("largo.pdf");
    ASSERT_EQ(escribirPDFGantt(archivo, g, utc(2025, 6, 1)), std::nullopt);

    const std::vector<QSizeF> tam = paginas(archivo);
    ASSERT_EQ(tam.size(), 3u);
    EXPECT_EQ(tam[0], QSizeF(1200, 14360));
    EXPECT_EQ(tam[2], QSizeF(1200, 60 + 22 * 100 + 28));
    const std::vector<Palabra> ps = palabras(archivo);
    EXPECT_EQ(buscar(ps, "Diagrama").size(), 3u);  // each page starts with the title band
    // Row 650 is the first of page 2, right under the month strip; none is lost.
    const auto fila650 = buscar(ps, g.gFilas[650].pkg.codigo);
    ASSERT_FALSE(fila650.empty());
    EXPECT_EQ(fila650.front().pagina, 2);
    EXPECT_NEAR(fila650.front().yMin, 63, 3);
    EXPECT_FALSE(buscar(ps, g.gFilas.back().pkg.codigo).empty());
}

TEST_F(GanttPDF, FailedWritesLeaveTheEarlierFileAndShowTheAlert)
{
    const PaginaGantt g = pagina40();
    const QString archivo = dir_.filePath("Gantt.pdf");
    ASSERT_EQ(escribirPDFGantt(archivo, g), std::nullopt);
    QFile f(archivo);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray antes = f.readAll();
    f.close();

    {
        LimiteTamano limite(4096);  // the page is larger than this
        const auto error = escribirPDFGantt(archivo, g);
        ASSERT_TRUE(error.has_value()) << antes.size();
    }
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), antes);
    f.close();
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"Gantt.pdf"}));

    // Through the window's hand-over: the dialog proposes the project's start, a path in a
    // folder that is gone ends in the alert.
    registrarImpresionTimeLiner();
    QWidget ventana;
    ventana.show();
    hojasTimeLiner().exportarGantt(&ventana, g);
    auto* dialogo = ventana.findChild<QFileDialog*>("dialogoPDF");
    ASSERT_NE(dialogo, nullptr);
    EXPECT_EQ(dialogo->windowTitle(), "Exportar Gantt a PDF");
    EXPECT_TRUE(QFileInfo(dialogo->selectedFiles().value(0)).completeBaseName() == "Gantt_202503");
    emit dialogo->fileSelected(dir_.filePath("ya-no-existe/Gantt.pdf"));
    dialogo->close();
    QMessageBox* alerta = nullptr;
    ESPERAR_QUE((alerta = ventana.findChild<QMessageBox*>("alertaErrorPDF")) != nullptr);
    ASSERT_NE(alerta, nullptr);
    EXPECT_EQ(alerta->windowTitle(), "Error");
    EXPECT_TRUE(alerta->text().startsWith("Error al exportar el PDF: ")) << alerta->text().toStdString();
    EXPECT_GT(alerta->text().size(), QString("Error al exportar el PDF: ").size());
    alerta->close();
}
