#include "timeline/HojasTimeLiner.h"
#include "timeline/TimeLinerStore.h"
#include "timeline/csv/TimeLinerCSV.h"
#include "timeline/csv/ui/CapaProcesando.h"
#include "timeline/csv/ui/ImportarCSVView.h"
#include "timeline/csv/ui/IntercambioCSV.h"
#include "timeline/detector/ui/DetectorAWPView.h"
#include "timeline/ui/ArbolPaquetes.h"
#include "timeline/ui/ColumnaEVM.h"
#include "timeline/ui/PanelAnalitica.h"
#include "timeline/ui/TimeLinerView.h"

#include "support/Fixtures.h"
#include "support/Paquetes.h"

#include "platform/Queues.h"
#include "viewport/ViewportController.h"
#include "support/Esperar.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace quelva;
using tl::utc;

namespace {

bool esperar(const std::function<bool()>& condicion)
{
    return testsupport::esperarQue(condicion);
}

// The dialogs answered by the test.
struct Respuestas {
    QString archivo;
    QString destino;
    std::vector<std::pair<QString, QString>> alertas;

    void registrar()
    {
        ServiciosIntercambioCSV s;
        s.elegirArchivo = [this](QWidget*, std::function<void(const QString&)> f) { f(archivo); };
        s.elegirDestino = [this](QWidget*, std::function<void(const QString&)> f) { f(destino); };
        s.alertar = [this](QWidget*, const QString& t, const QString& m) { alertas.push_back({t, m}); };
        registrarIntercambioCSV(std::move(s));
        registrarDetectorAWP();
    }
};

struct Ventana {
    TimeLinerStore store;
    ViewportController viewport;
    std::map<QString, EspecialidadBIM> especialidades;
    PropiedadesPorEspecialidad propiedades;
    QPointer<TimeLinerView> vista;

    explicit Ventana(TimeLinerConfig config, PropiedadesPorEspecialidad tabla = {})
        : store(std::move(config), nullptr), propiedades(std::move(tabla))
    {
        vista = new TimeLinerView(store, [this]() -> const PropiedadesPorEspecialidad& { return propiedades; }, {},
                                  &viewport,
                                  [this]() -> const std::map<QString, EspecialidadBIM>& { return especialidades; });
        vista->resize(1200, 720);
        vista->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(vista, testsupport::kLimiteCuelgue));
    }
    ~Ventana()
    {
        hojasTimeLiner() = {};
        delete vista.data();
    }
    void pulsar(const char* boton)
    {
        auto* b = vista->findChild<QAbstractButton*>(boton);
        ASSERT_TRUE(b) << boton;
        b->click();
    }
    template <class T>
    T* hoja()
    {
        T* d = nullptr;
        esperar([&] { return (d = vista->findChild<T*>()) && d->isVisible(); });
        return d;
    }
};

TimeLinerConfig proyecto()
{
    TimeLinerConfig c;
    c.fechaInicio = utc(2025, 1, 1);
    c.fechaFin = utc(2025, 12, 31);
    c.paquetes.push_back(tl::paquete("EXIST", NivelAWP::cwa));
    c.paquetes.back().nombre = "guardado";
    return c;
}

QString escribir(QTemporaryDir& dir, const char* nombre, const QByteArray& bytes)
{
    const QString ruta = dir.filePath(nombre);
    QFile f(ruta);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return ruta;
}

// The tree's rows as code:indentation, and the analytics column's cards by code.
QStringList filas(TimeLinerView& vista)
{
    QStringList r;
    for (const FilaVisible& f : vista.arbol()->lista()->filas())
        r.append(f.pkg.codigo + ":" + QString::number(f.sangria));
    return r;
}

QStringList tarjetas(TimeLinerView& vista)
{
    QStringList r;
    for (const auto& t : vista.analitica()->columnaEVM()->tarjetas()->tarjetas())
        r.append(t.pkg.codigo);
    return r;
}

QString celda(QTableView* t, int fila, int col)
{
    return t->model()->index(fila, col).data().toString();
}

}  // namespace

TEST(IntercambioCSV, ImportThroughThePreview)
{
    QTemporaryDir dir;
    Respuestas r;
    r.archivo = escribir(dir, "p.csv",
                         "Nivel,C\xC3\xB3" "digo,Nombre,Padre,Inicio,Fin,Avance\n"
                         "CWA,A,\"\xC3\x81rea, norte\",,2025-03-01,2025-04-01,45.6\n"
                         "IWP,D,primero,A,2025-03-01,2025-04-01,\n"
                         "IWP,D,segundo,,2025-03-01,2025-04-01,\n"
                         "CWA,EXIST,otro,,2025-03-01,2025-04-01,\n"
                         "IWP,X,fuera,,2025-03-01,2025-04-01,\n"
                         "IWP,Y,fuera,,2025-03-01,2025-04-01,\n"
                         "PWP,Z,\"dos\nl\xC3\xADneas\",\"\",2025-03-01,2025-04-01,\n");
    r.registrar();
    Ventana v(proyecto());
    const TimeLinerConfig antes = v.store.config();

    v.pulsar("importarCSV");
    ImportarCSVView* hoja = v.hoja<ImportarCSVView>();
    ASSERT_TRUE(hoja);
    EXPECT_EQ(hoja->size(), QSize(780, 520));
    QTableView* t = hoja->tabla();
    ASSERT_EQ(t->model()->rowCount(), 7);
    EXPECT_EQ(hoja->contador()->text(), "7 paquetes encontrados · 7 seleccionados");
    EXPECT_EQ(hoja->botonImportar()->text(), "Importar 7 paquetes");
    EXPECT_EQ(celda(t, 0, ModeloImportarCSV::nombre), "Área, norte");
    EXPECT_EQ(celda(t, 0, ModeloImportarCSV::padre), "—");
    EXPECT_EQ(celda(t, 1, ModeloImportarCSV::padre), "A");
    EXPECT_EQ(celda(t, 6, ModeloImportarCSV::padre), "—");  // an empty quoted cell is still empty
    EXPECT_EQ(celda(t, 0, ModeloImportarCSV::avance), "45%");
    EXPECT_EQ(celda(t, 6, ModeloImportarCSV::nombre), "dos líneas");
    EXPECT_EQ(t->model()->headerData(ModeloImportarCSV::codigo, Qt::Horizontal).toString(), "Código");
    EXPECT_EQ(t->columnWidth(ModeloImportarCSV::codigo), 100);

    // Untick X and Y with the mouse, Y first: the order handed over stays the file's.
    for (int fila : {5, 4}) {
        const QRect celdaMarca = t->visualRect(t->model()->index(fila, ModeloImportarCSV::marca));
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, celdaMarca.center());
    }
    EXPECT_EQ(hoja->contador()->text(), "7 paquetes encontrados · 5 seleccionados");
    EXPECT_EQ(hoja->botonImportar()->text(), "Importar 5 paquetes");

    v.vista->controlador().alternarExpandidoCWA(tl::paquete("A", NivelAWP::cwa));
    hoja->botonImportar()->click();
    ASSERT_TRUE(esperar([&] {
        return !v.vista->findChild<ImportarCSVView*>() && !v.vista->findChild<CapaProcesando*>();
    }));
    QStringList codigos;
    for (const PaqueteAWP& p : v.store.config().paquetes)
        codigos.append(p.codigo + ":" + p.nombre);
    EXPECT_EQ(codigos, QStringList({"EXIST:guardado", "A:Área, norte", "D:primero", "Z:dos\nlíneas"}));
    // The tree shows the merged timeline with A expanded as it was; the cards are the CWAs.
    EXPECT_EQ(filas(*v.vista), QStringList({"A:0", "D:1", "EXIST:0"}));
    EXPECT_EQ(tarjetas(*v.vista), QStringList({"A", "EXIST"}));
    EXPECT_EQ(v.store.config().fechaInicio, antes.fechaInicio);
    EXPECT_EQ(v.store.config().fechaFin, antes.fechaFin);
    EXPECT_TRUE(r.alertas.empty());
}

TEST(IntercambioCSV, FileIsReadBehindTheOverlayWhileTheWindowAnswers)
{
    QTemporaryDir dir;
    Respuestas r;
    r.archivo = escribir(dir, "p.csv", "Nivel,Código,Nombre,Inicio,Fin\nIWP,A,a,2025-03-01,2025-03-02\n");
    r.registrar();
    Ventana v(proyecto());

    v.pulsar("importarCSV");
    // The click returns before the file is read: the window is covered, not frozen.
    QPointer<CapaProcesando> capa = v.vista->findChild<CapaProcesando*>();
    ASSERT_TRUE(capa);
    EXPECT_TRUE(capa->isVisible());
    EXPECT_EQ(capa->geometry(), v.vista->rect());
    EXPECT_EQ(capa->texto(), "Leyendo «p.csv»…");
    EXPECT_FALSE(v.vista->findChild<ImportarCSVView*>());

    ImportarCSVView* hoja = v.hoja<ImportarCSVView>();
    ASSERT_TRUE(hoja);
    EXPECT_EQ(hoja->modelo().paquetes().size(), 1u);
    EXPECT_TRUE(esperar([&] { return !capa; }));
    hoja->reject();

    // Closed while the file is read: the result goes nowhere.
    v.pulsar("importarCSV");
    v.vista->close();
    platform::BackgroundQueue::waitForIdle();
    testsupport::entregarEventos();
    EXPECT_TRUE(r.alertas.empty());
}

TEST(IntercambioCSV, ConfirmationLandsOnlyInTheTimelineItStartedFrom)
{
    QTemporaryDir dir;
    Respuestas r;
    r.archivo = escribir(dir, "p.csv",
                         "Nivel,Código,Nombre,Padre,Inicio,Fin\nCWA,A,a,,2025-03-01,2025-04-01\n"
                         "IWP,I,i,A,2025-03-01,2025-04-01\nCWA,EXIST,repetido,,2025-03-01,2025-04-01\n");
    TimeLinerConfig otro;
    otro.paquetes.push_back(tl::paquete("OTRO", NivelAWP::cwa));
    const struct {
        const char* nombre;
        bool cerrarVentana;
        bool abrirOtroProyecto;
        QStringList codigos;
    } casos[] = {
        {"nothing meanwhile", false, false, {"EXIST", "A", "I"}},
        // The import was confirmed: the project keeps it without its window.
        {"window closed", true, false, {"EXIST", "A", "I"}},
        {"another project opened", false, true, {"OTRO"}},
        {"another project opened, then the window closed", true, true, {"OTRO"}},
    };
    for (const auto& caso : casos) {
        r.registrar();  // each window takes its tools away as it goes
        Ventana v(proyecto());
        v.pulsar("importarCSV");
        ImportarCSVView* hoja = v.hoja<ImportarCSVView>();
        ASSERT_TRUE(hoja) << caso.nombre;
        ASSERT_TRUE(esperar([&] { return !v.vista->findChild<CapaProcesando*>(); })) << caso.nombre;

        hoja->botonImportar()->click();
        // The click returns before the merge: the window is covered, the store untouched.
        EXPECT_TRUE(v.vista->findChild<CapaProcesando*>()) << caso.nombre;
        EXPECT_EQ(v.store.config().paquetes.size(), 1u) << caso.nombre;
        if (caso.abrirOtroProyecto)
            v.store.setConfig(otro);
        if (caso.cerrarVentana)
            v.vista->close();
        platform::BackgroundQueue::waitForIdle();
        testsupport::entregarEventos();

        QStringList codigos;
        for (const PaqueteAWP& p : v.store.config().paquetes)
            codigos.append(p.codigo);
        EXPECT_EQ(codigos, caso.codigos) << caso.nombre;
        if (caso.cerrarVentana) {
            EXPECT_FALSE(v.vista) << caso.nombre;
            continue;
        }
        EXPECT_FALSE(v.vista->findChild<CapaProcesando*>()) << caso.nombre;
        EXPECT_EQ(filas(*v.vista), caso.abrirOtroProyecto ? QStringList({"OTRO:0"}) : QStringList({"A:0", "EXIST:0"}))
            << caso.nombre;
    }
}

TEST(IntercambioCSV, PreviewTicksAndCancels)
{
    std::vector<PaqueteAWP> ps = TimeLinerCSV::parsear(
        "Nivel,Código,Nombre,Inicio,Fin\nIWP,A,a,2025-03-01,2025-03-02\nIWP,B,b,2025-03-01,2025-03-02");
    int llamadas = 0;
    ImportarCSVView hoja(ps, [&](const std::vector<PaqueteAWP>&) { ++llamadas; });
    hoja.show();
    hoja.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&hoja, testsupport::kLimiteCuelgue));
    QPushButton* todos = nullptr;
    QPushButton* ninguno = nullptr;
    for (QPushButton* b : hoja.findChildren<QPushButton*>()) {
        if (b->text() == "Seleccionar todos")
            todos = b;
        if (b->text() == "Deseleccionar todos")
            ninguno = b;
    }
    ASSERT_TRUE(todos && ninguno);
    ninguno->click();
    EXPECT_FALSE(hoja.botonImportar()->isEnabled());
    EXPECT_EQ(hoja.botonImportar()->text(), "Importar 0 paquetes");
    QTest::keyClick(&hoja, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(llamadas, 0);
    EXPECT_TRUE(hoja.isVisible());
    todos->click();
    EXPECT_EQ(hoja.contador()->text(), "2 paquetes encontrados · 2 seleccionados");
    EXPECT_EQ(hoja.botonImportar()->text(), "Importar 2 paquetes");
    QTest::keyClick(&hoja, Qt::Key_Escape, Qt::ControlModifier);
    EXPECT_EQ(llamadas, 0);
    EXPECT_EQ(hoja.result(), QDialog::Rejected);
    EXPECT_FALSE(hoja.isVisible());
}

TEST(IntercambioCSV, PreviewHandsOverWhatIsTickedInFileOrder)
{
    // Two rows share a code and are still ticked apart, by their own ids.
    const auto ps = std::make_shared<const std::vector<PaqueteAWP>>(TimeLinerCSV::parsear(
        "Nivel,Código,Nombre,Inicio,Fin\nIWP,A,a,2025-03-01,2025-03-02\nIWP,B,b,2025-03-01,2025-03-02\n"
        "IWP,A,otra,2025-03-01,2025-03-02"));
    ASSERT_EQ(ps->size(), 3u);
    const auto ids = [](const std::vector<PaqueteAWP>& l) {
        std::vector<QUuid> r;
        for (const PaqueteAWP& p : l)
            r.push_back(p.id);
        return r;
    };
    struct Caso {
        const char* nombre;
        std::vector<std::size_t> sinMarcar;
        std::vector<std::size_t> entregados;
    };
    const Caso casos[] = {
        {"everything ticked", {}, {0, 1, 2}},
        {"the first A unticked", {0}, {1, 2}},
        {"B unticked, then A", {1, 0}, {2}},
    };
    for (const Caso& c : casos) {
        std::vector<QUuid> entregado;
        ImportarCSVView hoja(ps, [&](const std::vector<PaqueteAWP>& l) { entregado = ids(l); });
        for (std::size_t i : c.sinMarcar)
            hoja.modelo().alternarSeleccion((*ps)[i].id, false);
        EXPECT_EQ(hoja.modelo().numSeleccionados(), int(c.entregados.size())) << c.nombre;
        for (std::size_t i : c.sinMarcar)
            EXPECT_FALSE(hoja.modelo().estaSeleccionado((*ps)[i].id)) << c.nombre;
        hoja.botonImportar()->click();
        std::vector<QUuid> esperado;
        for (std::size_t i : c.entregados)
            esperado.push_back((*ps)[i].id);
        EXPECT_EQ(entregado, esperado) << c.nombre;
        EXPECT_EQ(hoja.result(), QDialog::Accepted) << c.nombre;
    }
}

TEST(IntercambioCSV, FilesThatGiveAnAlert)
{
    QTemporaryDir dir;
    Respuestas r;
    r.registrar();
    Ventana v(proyecto());

    r.archivo = dir.filePath("no-existe.csv");
    v.pulsar("importarCSV");
    ASSERT_EQ(r.alertas.size(), 1u);
    EXPECT_EQ(r.alertas[0].first, "Error al importar CSV");
    EXPECT_TRUE(r.alertas[0].second.startsWith("No se pudo leer «" + r.archivo + "»: "));

    // Refused at once, before anything can block on them or read them without end.
    const QString fifo = dir.filePath("tuberia.csv");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& ruta : {fifo, QStringLiteral("/dev/zero")}) {
        r.alertas.clear();
        r.archivo = ruta;
        v.pulsar("importarCSV");
        ASSERT_EQ(r.alertas.size(), 1u) << ruta.toStdString();
        EXPECT_EQ(r.alertas[0].second, "«" + ruta + "» no es un archivo.");
        EXPECT_FALSE(v.vista->findChild<CapaProcesando*>());
    }

    r.archivo = escribir(dir, "punto-y-coma.csv", "Nivel;Código;Nombre;Inicio;Fin\nIWP;A;a;2025-03-01;2025-03-02\n");
    v.pulsar("importarCSV");
    ASSERT_TRUE(esperar([&] { return v.vista->alertaCSV() != nullptr; }));
    EXPECT_EQ(v.vista->alertaCSV()->text(), "No se encontraron paquetes válidos en el CSV.\n\nColumnas requeridas:\n"
                                            "Nivel, Código, Nombre, Inicio (YYYY-MM-DD), Fin (YYYY-MM-DD)");
    v.vista->alertaCSV()->buttons().front()->click();
    EXPECT_EQ(v.store.config().paquetes.size(), 1u);
}

TEST(IntercambioCSV, ExportFromTheWindow)
{
    QTemporaryDir dir;
    Respuestas r;
    r.registrar();
    Ventana v(proyecto());

    r.destino = dir.filePath("TimeLiner_AWP_QUELVA.csv");
    v.pulsar("exportarCSV");
    QFile f(r.destino);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), TimeLinerCSV::textoExportacion(v.store.config().paquetes).toUtf8());
    EXPECT_TRUE(r.alertas.empty());

    r.destino = dir.filePath("carpeta.csv");
    ASSERT_TRUE(QDir().mkpath(r.destino));
    v.pulsar("exportarCSV");
    ASSERT_EQ(r.alertas.size(), 1u);
    EXPECT_EQ(r.alertas[0].first, "Error al exportar CSV");
    EXPECT_TRUE(r.alertas[0].second.contains("carpeta.csv"));
}

TEST(IntercambioCSV, SpreadsheetFileReadsWhole)
{
    tl::ZonaHoraria santiago("America/Santiago");
    Respuestas r;
    r.archivo = testsupport::fixturePath("timeline/csv/hoja_awp_1252.csv");
    r.registrar();
    Ventana v(proyecto());
    v.pulsar("importarCSV");
    ImportarCSVView* hoja = v.hoja<ImportarCSVView>();
    ASSERT_TRUE(hoja);
    const auto& ps = hoja->modelo().paquetes();
    ASSERT_EQ(ps.size(), 30u);
    EXPECT_EQ(ps[0].nombre, "Área Norte — Edificio A");
    EXPECT_EQ(ps[0].fechaInicio.toLocalTime().date(), QDate(2025, 3, 1));
    EXPECT_EQ(ps[1].fechaInicio.toLocalTime().date(), QDate(2025, 4, 1));
    if (qEnvironmentVariableIsSet("QUELVA_CAPTURAS"))
        hoja->grab().save(qEnvironmentVariable("QUELVA_CAPTURAS") + "/vista_previa_csv.png");
    hoja->reject();
}

TEST(IntercambioCSV, DetectorFromScanToImport)
{
    PropiedadesPorEspecialidad tabla;
    const std::string clave = "Pset_AWP \u203A ";
    for (int i = 0; i < 6; ++i) {
        auto& e = tabla["ARQ"]["Muro " + std::to_string(i)];
        e[clave + "CWA"] = "CWA-1";
        e[clave + "CWP"] = i < 3 ? "CWP-1" : "CWP-2";
        e[clave + "IWP"] = "IWP-" + std::to_string(i % 2);
        e["__tipoIFC"] = "IFCWALL";
    }
    Respuestas r;
    r.registrar();
    Ventana v(proyecto(), tabla);
    v.pulsar("detectarAWP");
    DetectorAWPView* hoja = v.hoja<DetectorAWPView>();
    ASSERT_TRUE(hoja);
    EXPECT_EQ(hoja->size(), QSize(540, 460));
    EXPECT_EQ(hoja->estadoVisible(), 1);
    auto* importar = hoja->findChild<QPushButton*>("botonImportarDetectados");
    EXPECT_FALSE(importar->isEnabled());

    hoja->findChild<QPushButton*>("botonDetectarAhora")->click();
    ASSERT_TRUE(esperar([&] { return hoja->estadoVisible() == 2; }));
    EXPECT_EQ(hoja->findChild<QLabel*>("cuentasDetector")->text(), "5 paquetes detectados con 18 elemento(s)");
    EXPECT_EQ(hoja->controlador().seleccionados().size(), 5);

    // Clicking the code does nothing; the tick box toggles.
    QListView* lista = hoja->lista();
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, lista->visualRect(lista->model()->index(0, 0)).center());
    EXPECT_EQ(hoja->controlador().seleccionados().size(), 5);
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, hoja->rectMarca(2).center());  // CWP-2
    EXPECT_FALSE(hoja->controlador().estaSeleccionado("CWP-2"));
    for (QPushButton* b : hoja->findChildren<QPushButton*>())
        if (b->text() == "Limpiar")
            b->click();
    EXPECT_FALSE(importar->isEnabled());
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, hoja->rectMarca(2).center());
    EXPECT_TRUE(importar->isEnabled());
    for (QPushButton* b : hoja->findChildren<QPushButton*>())
        if (b->text() == "Seleccionar todo")
            b->click();
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, hoja->rectMarca(2).center());
    if (qEnvironmentVariableIsSet("QUELVA_CAPTURAS"))
        hoja->grab().save(qEnvironmentVariable("QUELVA_CAPTURAS") + "/detector.png");

    int anuncios = 0;
    QObject::connect(&v.store, &TimeLinerStore::configChanged, [&] { ++anuncios; });
    importar->click();
    ASSERT_TRUE(esperar([&] { return !v.vista->findChild<DetectorAWPView*>(); }));
    EXPECT_EQ(anuncios, 1);
    QStringList padres;
    for (const PaqueteAWP& p : v.store.config().paquetes)
        padres.append(p.codigo + ":" + p.parentCodigo.value_or(""));
    // CWP-2 unticked: IWP-1 shares more with CWP-1 (1 element) than nothing, IWP-0 too.
    EXPECT_EQ(padres, QStringList({"EXIST:", "CWA-1:", "CWP-1:CWA-1", "IWP-0:CWP-1", "IWP-1:CWP-1"}));
}

TEST(IntercambioCSV, ScanIsDroppedWhenTheSheetCloses)
{
    PropiedadesPorEspecialidad tabla;
    tabla["ARQ"]["E1"]["AWP \u203A CWA"] = "A";
    TimeLinerStore store(proyecto(), nullptr);
    DetectorAWPView hoja(std::make_shared<const PropiedadesPorEspecialidad>(tabla), store);
    hoja.show();
    hoja.controlador().detectar();
    EXPECT_EQ(hoja.estadoVisible(), 0);
    hoja.reject();
    platform::BackgroundQueue::waitForIdle();
    testsupport::entregarEventos();
    EXPECT_TRUE(hoja.controlador().resultados().empty());
    EXPECT_EQ(store.config().paquetes.size(), 1u);

    // A new scan on a sheet still open is delivered.
    DetectorAWPView otra(std::make_shared<const PropiedadesPorEspecialidad>(tabla), store);
    otra.show();
    otra.controlador().detectar();
    ASSERT_TRUE(esperar([&] { return !otra.controlador().detectando(); }));
    EXPECT_EQ(otra.controlador().resultados().size(), 1u);
}
