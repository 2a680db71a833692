// The 2D window content: toolbar counts and toggles, line weights, the save flow and the two
// exports (the PDF read back with poppler's tools).

#include "sections/AlmacenesSeccion.h"
#include "sections/Vista2DController.h"
#include "sections/Vista2DNSView.h"
#include "sections/Vista2DView.h"
#include "support/Esperar.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>

using namespace quelva;

namespace {

Segmento2D linea(Punto2D a, Punto2D b, bool corte)
{
    return Segmento2D{a, b, "ARQ", Qt::black, corte, corte ? QStringLiteral("Muro") : QString()};
}

DatosPlano2D datos(std::vector<Segmento2D> s)
{
    DatosPlano2D d;
    d.titulo = QString::fromUtf8("Plano 2D — Eje Z = 1.00 m");
    d.segmentos = std::move(s);
    Etiqueta2D e;
    e.nombre = "Muro Norte";
    e.key = "ARQ";
    e.visible = true;
    e.dimensiones = QString::fromUtf8("3.00 × 0.20 m");
    e.ancla = {0, 0};
    e.offsetTexto = {1.5f, 1};
    d.etiquetas = {e};
    Cota2D c;
    c.p1 = {-2, -1};
    c.p2 = {2, -1};
    c.offsetLateral = 0.6f;
    d.cotas = {c};
    return d;
}

QString ejecutar(const QString& programa, const QStringList& args)
{
    QProcess p;
    p.start(programa, args);
    p.waitForFinished(testsupport::kLimiteCuelgue);
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

TEST(Vista2DView, CountsOfCutAndProjectionLines)
{
    struct Caso {
        std::vector<Segmento2D> s;
        const char* corte;
        const char* proyeccion;
    };
    const Caso casos[] = {
        {{linea({0, 0}, {1, 0}, true), linea({0, 1}, {1, 1}, true)}, "2 líneas de corte", nullptr},
        {{linea({0, 1}, {1, 1}, false)}, "0 líneas de corte", "1 de proyección"},
    };
    for (const Caso& c : casos) {
        Vista2DView v(datos(c.s), nullptr, nullptr);
        EXPECT_EQ(v.findChild<QLabel*>("cuentaCorte")->text(), QString::fromUtf8(c.corte));
        auto* p = v.findChild<QLabel*>("cuentaProyeccion");
        if (c.proyeccion) {
            ASSERT_TRUE(p);
            EXPECT_EQ(p->text(), QString::fromUtf8(c.proyeccion));
        } else {
            EXPECT_FALSE(p);
        }
    }
}

TEST(Vista2DView, ToolsAreExclusiveAndToolbarChangesCancelAPendingOrigin)
{
    Vista2DView v(datos({linea({-2, 0}, {2, 0}, true)}), nullptr, nullptr);
    v.resize(820, 600);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    auto* trash = v.findChild<QToolButton*>("botonBorrarCotas");
    EXPECT_FALSE(trash->isVisible());
    v.findChild<QToolButton*>("botonCota")->click();
    EXPECT_TRUE(v.modoCota);
    EXPECT_TRUE(v.lienzo()->modoCota());
    EXPECT_TRUE(trash->isVisible());
    EXPECT_EQ(v.findChild<QToolButton*>("botonCota")->text(), QString::fromUtf8("Midiendo…"));
    v.findChild<QToolButton*>("botonEtiquetar")->click();
    EXPECT_TRUE(v.modoEtiquetar);
    EXPECT_FALSE(v.modoCota);
    v.findChild<QToolButton*>("botonEtiquetar")->click();
    EXPECT_FALSE(v.modoEtiquetar);
    EXPECT_FALSE(v.modoCota);

    // A pending origin goes with any toolbar change, a line weight among them.
    v.alternarModoCota();
    v.lienzo()->procesarMouseDown(QPointF(100, 100), 1);
    ASSERT_TRUE(v.lienzo()->cotaP1Preview);
    v.cambiarGrosores(2.0, 0.5);
    EXPECT_FALSE(v.lienzo()->cotaP1Preview);

    // The trash clears every dimension; labels and dimensions survive toolbar updates.
    v.alternarEtiquetas();
    EXPECT_EQ(v.lienzo()->cotas().size(), 1u);
    EXPECT_EQ(v.lienzo()->etiquetas().size(), 1u);
    trash->click();
    EXPECT_TRUE(v.lienzo()->cotas().empty());
}

// In the 820-wide window only the title gives way: no button and no count is cut, whatever the
// tools show (the longest texts, the trash, both counts in thousands).
TEST(Vista2DView, TheToolbarFitsTheWindowInEveryToolMode)
{
    std::vector<Segmento2D> s;
    for (int i = 0; i < 1500; ++i)
        s.push_back(linea({0, float(i)}, {1, float(i)}, i % 2 == 0));
    DatosPlano2D d = datos(s);
    d.titulo = QString::fromUtf8("Plano 2D — Eje Z = 1234.56 m");
    Vista2DView v(d, nullptr, nullptr);
    v.resize(820, 600);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    const auto cortados = [&] {
        QStringList r;
        for (QWidget* w : v.findChildren<QWidget*>()) {
            const bool cuenta = w->objectName().startsWith(QStringLiteral("cuenta"));
            if (w->isVisible() && (qobject_cast<QToolButton*>(w) || cuenta) && w->width() < w->sizeHint().width())
                r << w->objectName();
        }
        return r.join(QLatin1Char(' ')).toStdString();
    };
    const std::function<void()> modos[] = {[] {}, [&] { v.alternarModoEtiquetar(); }, [&] { v.alternarModoCota(); }};
    for (const auto& modo : modos) {
        modo();
        QApplication::processEvents();
        EXPECT_EQ(cortados(), "") << "cota " << v.modoCota << " etiquetar " << v.modoEtiquetar;
    }
}

TEST(Vista2DView, SaveHandsBackAndNamesTheSection)
{
    AlmacenCotas cotas;
    AlmacenEtiquetas etiquetas;
    Vista2DController controller;
    const DatosPlano2D d = datos({linea({-2, 0}, {2, 0}, true)});
    controller.alGuardar = devolucionAlmacenes(&controller, d.titulo, &cotas, &etiquetas);
    QStringList nombres;
    Vista2DView v(d, &controller, [&](const QString& n) { nombres << n; });
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    struct Caso {
        const char* escrito;
        QString guardado;
    };
    const Caso casos[] = {{" \t ", d.titulo}, {"  Planta\t", "Planta"}, {"", d.titulo}};
    for (const Caso& c : casos) {
        v.findChild<QToolButton*>("botonGuardar")->click();
        EXPECT_EQ(cotas.porTitulo[d.titulo].size(), 1u);
        EXPECT_EQ(etiquetas.porTitulo[d.titulo].size(), 1u);
        QDialog* dialogo = v.dialogoGuardar();
        ASSERT_TRUE(dialogo);
        EXPECT_EQ(dialogo->windowTitle(), QString::fromUtf8("Guardar sección"));
        auto* campo = dialogo->findChild<QLineEdit*>("nombreSeccion");
        EXPECT_EQ(campo->text(), d.titulo);
        campo->setText(QString::fromUtf8(c.escrito));
        dialogo->findChild<QPushButton*>("botonConfirmar")->click();
        EXPECT_EQ(nombres.back(), c.guardado);
    }
    EXPECT_EQ(v.findChild<QToolButton*>("botonGuardar")->text(), "Guardado");
    // Cancelling stores nothing more.
    v.findChild<QToolButton*>("botonGuardar")->click();
    v.dialogoGuardar()->findChild<QPushButton*>("botonCancelar")->click();
    EXPECT_EQ(nombres.size(), 3);
    // The confirmation reverts on its own after a moment.
    ESPERAR_QUE(v.findChild<QToolButton*>("botonGuardar")->text() == "Guardar");
}

TEST(Vista2DView, DefaultFileName)
{
    EXPECT_EQ(Vista2DView::nombreArchivoPorDefecto(QString::fromUtf8("Plano 2D — Eje X = 1.50 m")),
              QString::fromUtf8("Plano_2D_—_Eje_X_=_1.50_m"));
    EXPECT_EQ(Vista2DView::nombreArchivoPorDefecto("a/b: c"), "a-b_c");
}

TEST(Vista2DView, ExportsProposeTheirExtensionAndNeverReplaceEachOther)
{
    QTemporaryDir dir;
    Vista2DView v(datos({linea({-2, 0}, {2, 0}, true)}), nullptr, nullptr);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
    for (const QString tipo : {"DXF", "PDF"}) {
        SCOPED_TRACE(tipo.toStdString());
        if (tipo == "DXF")
            v.exportarDXF();
        else
            v.exportarPDF();
        auto* panel = v.findChild<QFileDialog*>("panelExportar" + tipo);
        ASSERT_TRUE(panel);
        auto* campo = panel->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_TRUE(campo);
        const QString propuesto = campo->text();
        // A wrong name would stop on the question about replacing the other file.
        ASSERT_EQ(propuesto, QString::fromUtf8("Plano_2D_—_Eje_Z_=_1.00_m.") + tipo.toLower());
        campo->setText(dir.filePath(propuesto));
        panel->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->click();
    }
    const QStringList archivos = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(archivos, (QStringList{QString::fromUtf8("Plano_2D_—_Eje_Z_=_1.00_m.dxf"),
                                     QString::fromUtf8("Plano_2D_—_Eje_Z_=_1.00_m.pdf")}));
    QFile dxf(dir.filePath(archivos[0]));
    QFile pdf(dir.filePath(archivos[1]));
    ASSERT_TRUE(dxf.open(QIODevice::ReadOnly) && pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(dxf.readAll().startsWith("0\nSECTION\n"));
    EXPECT_TRUE(pdf.readAll().startsWith("%PDF"));
}

TEST(Vista2DView, FailedExportShowsTheAlertAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    Vista2DView v(datos({linea({-2, 0}, {2, 0}, true)}), nullptr, nullptr);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    // A folder where the file should be: nothing is replaced.
    const QString ocupada = dir.filePath("carpeta.dxf");
    ASSERT_TRUE(QDir().mkdir(ocupada));
    for (const char* tipo : {"DXF", "PDF"}) {
        SCOPED_TRACE(tipo);
        if (QString::fromLatin1(tipo) == "DXF")
            v.completarExportacionDXF(ocupada);
        else
            v.completarExportacionPDF(ocupada);
        QMessageBox* alerta = nullptr;
        for (QMessageBox* m : v.findChildren<QMessageBox*>())
            if (m->isVisible())
                alerta = m;
        ASSERT_TRUE(alerta);
        EXPECT_EQ(alerta->text(), QStringLiteral("Error al exportar ") + QString::fromLatin1(tipo));
        EXPECT_FALSE(alerta->informativeText().isEmpty());
        alerta->close();
        EXPECT_TRUE(QFileInfo(ocupada).isDir());
    }
    // A good export replaces the old file.
    const QString ruta = dir.filePath("plano.dxf");
    QFile viejo(ruta);
    ASSERT_TRUE(viejo.open(QIODevice::WriteOnly));
    viejo.write("viejo");
    viejo.close();
    EXPECT_FALSE(v.exportarDXFA(ruta));
    QFile nuevo(ruta);
    ASSERT_TRUE(nuevo.open(QIODevice::ReadOnly));
    EXPECT_TRUE(nuevo.readAll().startsWith("0\nSECTION\n"));
}

TEST(Vista2DView, PdfPageTextsAndFonts)
{
    QTemporaryDir dir;
    Vista2DView v(datos({linea({-2, -2}, {2, -2}, true), linea({-2, 2}, {2, 2}, false)}), nullptr, nullptr);
    v.resize(820, 640);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    v.lienzo()->encuadrarTodo();  // as the window does just after opening
    Vista2DNSView* l = v.lienzo();
    const QString ruta = dir.filePath("plano.pdf");
    ASSERT_FALSE(v.exportarPDFA(ruta));
    const QString info = ejecutar("pdfinfo", {ruta});
    if (info.isEmpty())
        FAIL() << "pdfinfo gave nothing (poppler-utils, installed by scripts/setup)";
    const auto tamano = QRegularExpression("Page size:\\s+([0-9.]+) x ([0-9.]+) pts").match(info);
    ASSERT_TRUE(tamano.hasMatch()) << info.toStdString();
    EXPECT_NEAR(tamano.captured(1).toDouble(), l->width(), 0.5);
    EXPECT_NEAR(tamano.captured(2).toDouble(), l->height(), 0.5);

    // Each word's box, and where the canvas draws it.
    const QString html = ejecutar("pdftotext", {"-bbox", ruta, "-"});
    const auto caja = [&](const QString& palabra) {
        const auto m = QRegularExpression("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"[0-9.]+\">" +
                                          QRegularExpression::escape(palabra) + "</word>")
                           .match(html);
        return m.hasMatch() ? std::optional<QPointF>(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()))
                            : std::nullopt;
    };
    const auto muro = caja("Muro");
    ASSERT_TRUE(muro) << html.toStdString();
    const QRectF etiqueta = l->cajaEtiqueta(l->etiquetas().front());
    EXPECT_NEAR(muro->x(), etiqueta.left() + 4, 1.0);
    const auto cota = caja("4.00");
    ASSERT_TRUE(cota) << html.toStdString();
    EXPECT_NEAR(cota->x(), l->rectTextoCota(l->cotas().front()).left(), 1.0);

    const QString fuentes = ejecutar("pdffonts", {ruta});
    EXPECT_TRUE(fuentes.contains("DejaVu")) << fuentes.toStdString();
    for (const QString& f : fuentes.split('\n').mid(2)) {
        if (!f.trimmed().isEmpty()) {
            EXPECT_TRUE(f.contains(" yes ")) << f.toStdString();  // embedded
        }
    }
}
