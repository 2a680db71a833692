#include "timeline/HojasTimeLiner.h"
#include "timeline/impresion/FichaAWPView.h"
#include "timeline/impresion/FichaPDF.h"
#include "timeline/impresion/RegistroImpresion.h"

#include "support/Entorno.h"
#include "support/LecturaPDF.h"
#include "support/Esperar.h"
#include "support/Paquetes.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace quelva;
using namespace impresion_test;
using tl::paquete;
using tl::utc;

namespace {

class FichaAWP : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* programa : {"pdftotext", "pdfinfo", "pdffonts"})
            if (QStandardPaths::findExecutable(programa).isEmpty())
                FAIL() << programa << " is missing: scripts/setup installs poppler-utils";
    }
    tl::Entorno entorno_{{"LC_ALL", "es_CL.UTF-8"}};
    QTemporaryDir dir_;
};

QStringList textos(const QWidget& w)
{
    QStringList r;
    for (const QLabel* l : w.findChildren<QLabel*>())
        if (!l->text().isEmpty())
            r.append(l->text());
    return r;
}

// A CWA with `hijos` IWPs under it and `elementos` linked names.
DatosFicha cwa(int hijos, int elementos)
{
    DatosFicha d;
    d.config.moneda = "CLP";
    PaqueteAWP a = paquete("CWA-01", NivelAWP::cwa);
    a.nombre = "Edificio norte";
    for (int i = 0; i < elementos; ++i)
        a.elementosNombre.append(QStringLiteral("Muro_%1").arg(i));
    d.config.paquetes.push_back(a);
    for (int i = 0; i < hijos; ++i) {
        PaqueteAWP h = paquete(QStringLiteral("IWP-%1").arg(i, 3, 10, QChar('0')), NivelAWP::iwp, "CWA-01",
                               utc(2025, 6, 1).addDays(i));
        h.nombre = "Tabiquería";
        h.presupuesto = 1000;
        h.progreso = 0.5;
        d.config.paquetes.push_back(h);
    }
    d.paquete = a;
    return d;
}

}  // namespace

TEST_F(FichaAWP, SectionsFollowThePackage)
{
    // A nameless CWA without parent, real dates or man-hours.
    DatosFicha d = cwa(0, 0);
    d.paquete.nombre.clear();
    {
        FichaAWPView ficha(d);
        EXPECT_EQ(ficha.size(), QSize(780, 660));
        const QStringList t = textos(ficha);
        EXPECT_TRUE(t.contains("Construction Work Area"));
        EXPECT_EQ(ficha.findChild<QLabel*>("subtituloFicha")->text(), "CWA-01");
        EXPECT_FALSE(t.contains("Paquete Padre"));
        EXPECT_FALSE(t.contains("OBJETIVO DEL CWA"));
        EXPECT_TRUE(t.contains("Sin fecha real de inicio"));
        EXPECT_TRUE(t.contains("Sin fecha real de término"));
        EXPECT_TRUE(t.contains("CPI"));
        EXPECT_TRUE(t.contains("1.00"));
        EXPECT_FALSE(t.contains("HH Planificadas"));
        EXPECT_FALSE(t.join('|').contains("ELEMENTOS VINCULADOS"));
        EXPECT_FALSE(t.join('|').contains("CONSTRUCTION WORK PACKAGES"));
    }

    // An IWP under that CWA, named, late and with a little planned man-hours.
    PaqueteAWP i = paquete("IWP-001", NivelAWP::iwp, "CWA-01", utc(2025, 6, 10), utc(2025, 6, 20));
    i.nombre = "Tabiques piso 2";
    i.hh = 0.5;
    i.fechaInicioReal = utc(2025, 6, 13);
    i.fechaFinReal = utc(2025, 6, 18);
    i.elementosNombre = {"Muro_1", "Muro_2"};
    d.config.paquetes.push_back(i);
    d.paquete = i;
    FichaAWPView ficha(d);
    const QStringList t = textos(ficha);
    EXPECT_TRUE(t.contains("Construction Work Package"));
    EXPECT_EQ(ficha.findChild<QLabel*>("subtituloFicha")->text(), QString::fromUtf8("IWP-001 — Tabiques piso 2"));
    EXPECT_TRUE(t.contains("Paquete Padre"));
    EXPECT_TRUE(t.contains("OBJETIVO DEL IWP"));
    EXPECT_TRUE(t.contains(QString::fromUtf8("-3 días (retraso)")));
    EXPECT_TRUE(t.contains(QString::fromUtf8("+2 días (adelanto)")));
    EXPECT_TRUE(t.contains(QString::fromUtf8("10 días")));
    EXPECT_TRUE(t.contains("HH Planificadas"));
    EXPECT_TRUE(t.contains("ELEMENTOS VINCULADOS (2)"));
}

TEST_F(FichaAWP, PdfPageHoldsTheSectionsWithEmbeddedFonts)
{
    const DatosFicha d = cwa(3, 250);
    const QString archivo = dir_.filePath("Ficha_AWP_CWA-01.pdf");
    ASSERT_EQ(escribirPDFFicha(archivo, d), std::nullopt);
    const std::vector<QSizeF> tam = paginas(archivo);
    ASSERT_FALSE(tam.empty());
    for (const QSizeF& s : tam)
        EXPECT_EQ(s, QSizeF(732, 1200));

    const QString fuentes = salida("pdffonts", {archivo});
    EXPECT_TRUE(fuentes.contains("DejaVu")) << fuentes.toStdString();
    EXPECT_FALSE(fuentes.contains(QRegularExpression("\\bno\\s+(yes|no)\\s+(yes|no)\\s+\\d+"))) << fuentes.toStdString();

    const QString texto = salida("pdftotext", {archivo, "-"});
    for (const char* titulo : {"OBJETIVO DEL CWA", "FECHAS", "RECURSOS", "ELEMENTOS VINCULADOS (250)",
                               "CONSTRUCTION WORK PACKAGES / IWPS", "+ 210 más…", "PROGRAMADAS", "Presupuesto"})
        EXPECT_TRUE(texto.contains(QString::fromUtf8(titulo))) << titulo;
    // The sheet's header is not part of the page.
    EXPECT_FALSE(texto.contains("Exportar PDF"));
    EXPECT_FALSE(texto.contains("Construction Work Area"));
    // The summary band starts the page, 24 points in.
    const auto codigo = buscar(palabras(archivo), QString::fromUtf8("Código"));
    ASSERT_FALSE(codigo.empty());
    EXPECT_EQ(codigo.front().pagina, 1);
    EXPECT_LT(codigo.front().yMin, 60);
    EXPECT_GT(codigo.front().xMin, 24);
}

TEST_F(FichaAWP, ALongCardGoesOnOverFurtherPagesLosingNoRow)
{
    const DatosFicha d = cwa(60, 250);
    const QString archivo = dir_.filePath("larga.pdf");
    ASSERT_EQ(escribirPDFFicha(archivo, d), std::nullopt);
    const std::vector<QSizeF> tam = paginas(archivo);
    ASSERT_GE(tam.size(), 2u);
    for (const QSizeF& s : tam)
        EXPECT_EQ(s, QSizeF(732, 1200));
    const std::vector<Palabra> ps = palabras(archivo);
    for (int i = 0; i < 60; ++i) {
        const QString codigo = QStringLiteral("IWP-%1").arg(i, 3, 10, QChar('0'));
        const auto encontradas = buscar(ps, codigo);
        ASSERT_EQ(encontradas.size(), 1u) << codigo.toStdString();
        // Whole on its page, not cut at an edge.
        EXPECT_GE(encontradas[0].yMin, 0);
        EXPECT_LE(encontradas[0].yMax, 1200);
    }
}

TEST_F(FichaAWP, ExportProposesTheCodeAndWritesTheCardAsItWas)
{
    registrarImpresionTimeLiner();
    QWidget ventana;
    ventana.show();
    DatosFicha d = cwa(1, 3);
    QDialog* hoja = hojasTimeLiner().ficha(&ventana, d.paquete, d.config, std::nullopt);
    ASSERT_NE(hoja, nullptr);
    auto* ficha = qobject_cast<FichaAWPView*>(hoja);
    ASSERT_NE(ficha, nullptr);
    ficha->show();
    ficha->findChild<QPushButton*>("exportarPDF")->click();
    QFileDialog* dialogo = ficha->dialogoPDF();
    ASSERT_NE(dialogo, nullptr);
    EXPECT_EQ(QFileInfo(dialogo->selectedFiles().value(0)).completeBaseName(), "Ficha_AWP_CWA-01");

    // "Cerrar" before choosing: the card as it was is still written.
    ficha->findChild<QPushButton*>("cerrar")->click();
    delete ficha;
    const QString archivo = dir_.filePath("Ficha_AWP_CWA-01.pdf");
    emit dialogo->fileSelected(archivo);
    ESPERAR_QUE(QFile::exists(archivo));
    EXPECT_TRUE(salida("pdftotext", {archivo, "-"}).contains("CWA-01"));
    EXPECT_EQ(ventana.findChild<QMessageBox*>("alertaErrorPDF"), nullptr);  // no message on success

    // A folder that is gone: the alert, with the reason.
    emit dialogo->fileSelected(dir_.filePath("ya-no-existe/Ficha.pdf"));
    QMessageBox* alerta = nullptr;
    ESPERAR_QUE((alerta = ventana.findChild<QMessageBox*>("alertaErrorPDF")) != nullptr);
    ASSERT_NE(alerta, nullptr);
    EXPECT_TRUE(alerta->text().startsWith("Error al exportar el PDF: "));
    alerta->close();
    dialogo->close();
}
