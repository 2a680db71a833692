// The clash report window: title and count, thumbnails published at once, print enabled after
// them, a restored clash found by name, the page's texts, and the HTML and BCF actions.

#include "clash/MiniaturasClash.h"
#include "main_window/ContentView.h"
#include "main_window/interferencias/ReporteContenidoView.h"
#include "main_window/interferencias/VentanaReporteAnalisis.h"
#include "platform/OpenWithDefault.h"
#include "platform/SystemColors.h"
#include "scene/Primitives.h"
#include "support/Capturas.h"
#include "support/Esperar.h"
#include "support/PanelGuardar.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quelva;

namespace {

// Two boxes crossing at the origin, under `padre`, named.
std::pair<scene::NodePtr, scene::NodePtr> dosCajas(const scene::NodePtr& padre)
{
    auto a = scene::Node::make(scene::makeBox(2, 0.3, 1));
    a->name = "Muro";
    auto b = scene::Node::make(scene::makeBox(0.3, 2, 0.5));
    b->name = "Viga";
    padre->addChild(a);
    padre->addChild(b);
    return {a, b};
}

AnalisisInterferencias analisis(const scene::NodePtr& a, const scene::NodePtr& b, int n)
{
    AnalisisInterferencias r;
    r.nombre = "Revisión";
    r.fecha = QDateTime(QDate(2026, 12, 9), QTime(8, 5));
    r.tolerancia = 0.01;
    for (int k = 0; k < n; ++k) {
        Interferencia i;
        i.nodoA = a;
        i.nodoB = b;
        i.nombreA = "Muro";
        i.nombreB = "Viga";
        i.especialidadA = "ARQ";
        i.especialidadB = "EST";
        i.viewpointTarget = {0, 0, 0};
        i.radio = 2;
        i.estado = EstadoClash(k % 4);
        r.interferencias.push_back(i);
    }
    return r;
}

// Pages go to the user's cache: a private one while a test runs.
struct CacheTemporal {
    QTemporaryDir dir;
    QByteArray antes = qgetenv("XDG_CACHE_HOME");
    CacheTemporal() { qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.path())); }
    ~CacheTemporal() { antes.isNull() ? qunsetenv("XDG_CACHE_HOME") : qputenv("XDG_CACHE_HOME", antes); }
};

// The status symbol beside the BCF outcome.
QImage simbolo(VentanaReporteAnalisis& v)
{
    return v.findChild<QLabel*>("simboloEstadoBCF")->pixmap().toImage();
}

int pixelesDeColor(const QImage& imagen, const QColor& color)
{
    int n = 0;
    for (int y = 0; y < imagen.height(); ++y)
        for (int x = 0; x < imagen.width(); ++x) {
            const QColor p = imagen.pixelColor(x, y);
            n += p.alpha() > 240 && std::abs(p.red() - color.red()) < 8 && std::abs(p.green() - color.green()) < 8 &&
                 std::abs(p.blue() - color.blue()) < 8;
        }
    return n;
}

}  // namespace

TEST(ReporteAnalisis, ThumbnailsArriveTogetherAndEnablePrinting)
{
    CacheTemporal cache;
    auto escena = scene::makeScene();
    auto [a, b] = dosCajas(escena->rootNode());
    AnalisisInterferencias datos = analisis(a, b, 2);
    // A clash restored from a project: empty nodes, found in the scene by name.
    datos.interferencias[1].nodoA = scene::Node::make();
    datos.interferencias[1].nodoB = scene::Node::make();

    VentanaReporteAnalisis v(datos, escena);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    EXPECT_EQ(v.windowTitle(), QString::fromUtf8("Reporte · Revisión"));
    EXPECT_EQ(v.findChild<QLabel*>("conteoReporte")->text(), QString::fromUtf8("· 2 colisiones"));
    EXPECT_TRUE(v.findChild<QWidget*>("generandoVistas")->isVisible());
    EXPECT_FALSE(v.botonImprimir()->isEnabled());
    EXPECT_FALSE(v.pagina()->filaConImagen(0));

    ESPERAR_QUE(!v.miniaturas().empty());
    EXPECT_FALSE(v.findChild<QWidget*>("generandoVistas")->isVisible());
    EXPECT_TRUE(v.botonImprimir()->isEnabled());
    ASSERT_EQ(v.miniaturas().size(), 2u);
    for (const Interferencia& i : datos.interferencias) {
        const MiniaturaClash& m = v.miniaturas().at(i.id);
        const QImage png = QImage::fromData(m.png, "PNG");
        EXPECT_EQ(png.size(), QSize(460, 310));
        EXPECT_EQ(m.vista.size(), QSize(180, 118));
        // Red and blue copies are in view: the restored clash found its elements.
        int rojos = 0, azules = 0;
        for (int y = 0; y < png.height(); y += 4)
            for (int x = 0; x < png.width(); x += 4) {
                const QColor c = png.pixelColor(x, y);
                rojos += c.alpha() > 200 && c.red() > 2 * c.blue() && c.red() > 80;
                azules += c.alpha() > 200 && c.blue() > 2 * c.red() && c.blue() > 80;
            }
        EXPECT_GT(rojos, 50);
        EXPECT_GT(azules, 50);
    }
    EXPECT_TRUE(v.pagina()->filaConImagen(1));
    // The main scene was not changed for the thumbnails.
    EXPECT_EQ(escena->rootNode()->children().size(), 2u);
    testsupport::guardarCaptura(v, "reporte_interferencias");

    // The printable page carries them.
    QString abierto;
    platform::setDefaultApplicationOpener([&](const QUrl& u) {
        abierto = u.toLocalFile();
        return true;
    });
    QTest::mouseClick(v.botonImprimir(), Qt::LeftButton);
    platform::setDefaultApplicationOpener({});
    QFile pagina(abierto);
    ASSERT_TRUE(pagina.open(QIODevice::ReadOnly));
    if (!qEnvironmentVariableIsEmpty("QUELVA_CAPTURAS"))
        QFile::copy(abierto, qEnvironmentVariable("QUELVA_CAPTURAS") + "/reporte_interferencias.html");
    EXPECT_EQ(pagina.readAll().count("<img class='thumb' src='data:image/png;base64,"), 2);
}

TEST(ReporteAnalisis, EmptyAnalysisPrintsAtOnce)
{
    VentanaReporteAnalisis v(AnalisisInterferencias{}, nullptr);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    EXPECT_TRUE(v.botonImprimir()->isEnabled());
    EXPECT_FALSE(v.findChild<QWidget*>("generandoVistas")->isVisible());
    EXPECT_EQ(v.findChild<QLabel*>("conteoReporte")->text(), QString::fromUtf8("· 0 colisiones"));
    const auto n = v.pagina()->numerosTarjetas();
    EXPECT_EQ(n, (std::array<long long, 5>{0, 0, 0, 0, 0}));
    EXPECT_EQ(v.pagina()->textoRegistros(), "0 registros");
}

TEST(ReporteAnalisis, PageTextsCountsAndRows)
{
    auto a = scene::Node::make(), b = scene::Node::make();
    AnalisisInterferencias datos = analisis(a, b, 1);
    {
        ReporteContenidoView p(datos);
        EXPECT_EQ(p.textoRegistros(), "1 registro");
        EXPECT_EQ(p.textosCabecera()[3], "1 colisiones detectadas");
    }
    datos = analisis(a, b, 5);  // open, in review, approved, resolved, open
    ReporteContenidoView p(datos);
    p.resize(900, p.heightForWidth(900));
    EXPECT_EQ(p.numerosTarjetas(), (std::array<long long, 5>{5, 2, 1, 1, 1}));
    // Approved counts in neither footer figure.
    EXPECT_EQ(p.textoPie(), QString::fromUtf8("Total interferencias: 5  ·  Resueltas: 1  ·  Pendientes: 3"));
    EXPECT_EQ(p.textosCabecera()[2], "Tolerancia: 0.010 m");
    EXPECT_EQ(p.textosFila(2), (QStringList{"3.", "Muro", "ARQ", "Viga", "EST", "Aprobado"}));
    EXPECT_EQ(p.rectFila(1).top() - p.rectFila(0).top(), ReporteContenidoView::kAltoFila);
}

TEST(ReporteAnalisis, PrintWritesThePageAndOpensIt)
{
    CacheTemporal cache;
    std::vector<QUrl> abiertos;
    bool abre = true;
    platform::setDefaultApplicationOpener([&](const QUrl& u) {
        abiertos.push_back(u);
        return abre;
    });
    VentanaReporteAnalisis v(analisis(scene::Node::make(), scene::Node::make(), 0), nullptr);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    QTest::mouseClick(v.botonImprimir(), Qt::LeftButton);
    ASSERT_EQ(abiertos.size(), 1u);
    EXPECT_TRUE(abiertos[0].toLocalFile().startsWith(cache.dir.path()));
    EXPECT_TRUE(abiertos[0].toLocalFile().endsWith(QString::fromUtf8("/Revisión.html")));
    EXPECT_TRUE(QFile::exists(abiertos[0].toLocalFile()));

    // No application opens it: an alert names the page.
    abre = false;
    QTest::mouseClick(v.botonImprimir(), Qt::LeftButton);
    QMessageBox* alerta = v.findChild<QMessageBox*>();
    ASSERT_TRUE(alerta);
    EXPECT_EQ(alerta->text(), "Error");
    EXPECT_TRUE(alerta->informativeText().startsWith(
        QString::fromUtf8("No se pudo abrir el reporte en la aplicación predeterminada: ")));
    alerta->close();
    platform::setDefaultApplicationOpener({});
}

TEST(ReporteAnalisis, BcfExportShowsItsOutcomeThenHidesIt)
{
    QTemporaryDir dir;
    VentanaReporteAnalisis v(analisis(scene::Node::make(), scene::Node::make(), 0), nullptr);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    std::optional<QString> destino = dir.filePath("r.bcf");
    v.setSelectorDestinoBCF([&](const QString&) { return destino; });
    QTest::mouseClick(v.botonBCF(), Qt::LeftButton);
    EXPECT_TRUE(v.exportandoBCF());
    ESPERAR_QUE(v.bcfExito().has_value());
    EXPECT_EQ(v.bcfExito(), true);
    EXPECT_EQ(v.findChild<QLabel*>("estadoBCF")->text(), "BCF exportado");
    EXPECT_GT(pixelesDeColor(simbolo(v), platform::systemColor(platform::SystemColor::green)), 20);
    EXPECT_TRUE(QFile::exists(*destino));
    ESPERAR_QUE(!v.bcfExito().has_value());

    destino.reset();  // cancelled
    QTest::mouseClick(v.botonBCF(), Qt::LeftButton);
    ESPERAR_QUE(v.bcfExito().has_value());
    EXPECT_EQ(v.findChild<QLabel*>("estadoBCF")->text(), "Error al exportar");
    EXPECT_GT(pixelesDeColor(simbolo(v), platform::systemColor(platform::SystemColor::red)), 20);
    EXPECT_EQ(pixelesDeColor(simbolo(v), platform::systemColor(platform::SystemColor::green)), 0);
}

TEST(ReporteAnalisis, BcfPackageIsSavedUnderTheVeryNameTyped)
{
    // The panel takes any kind of file: a typed name keeps its extension, another one or none;
    // only the proposed name, the analysis name without unsafe characters, ends in ".bcf".
    const struct {
        const char* analisis;
        const char* escrito;  // null: the proposed name is kept
        const char* propuesto;
        const char* escrito_final;
    } casos[] = {
        {"Revisión", "clashes.bcfzip", "Revisión.bcf", "clashes.bcfzip"},
        {"Revisión", "informe", "Revisión.bcf", "informe"},
        {"Revisión", "Informe.BCF", "Revisión.bcf", "Informe.BCF"},
        {"Revisión", "coordinación v1.2", "Revisión.bcf", "coordinación v1.2"},
        {"Revisión", nullptr, "Revisión.bcf", "Revisión.bcf"},
        {"/:.()", nullptr, ".bcf", ".bcf"},  // nothing of the name is safe
    };
    for (const auto& c : casos) {
        QTemporaryDir dir;
        AnalisisInterferencias a = analisis(scene::Node::make(), scene::Node::make(), 0);
        a.nombre = QString::fromUtf8(c.analisis);
        VentanaReporteAnalisis v(a, nullptr);
        v.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
        // The panel is modal: it is filled in from inside its own event loop.
        QString propuesto;
        QTimer usuario;
        QObject::connect(&usuario, &QTimer::timeout, [&] {
            if (auto* panel = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                usuario.stop();
                propuesto = testsupport::guardarEnPanel(*panel, dir.path(), c.escrito);
            }
        });
        usuario.start(10);
        QTest::mouseClick(v.botonBCF(), Qt::LeftButton);
        ESPERAR_QUE(v.bcfExito().has_value());
        EXPECT_EQ(v.bcfExito(), true) << c.escrito_final;
        EXPECT_EQ(propuesto.toStdString(), c.propuesto);
        const QStringList escritos = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        EXPECT_EQ(escritos.join(" | ").toStdString(), c.escrito_final);
    }
}
