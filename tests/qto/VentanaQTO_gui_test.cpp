// The take-off window driven as a user would: cards, sorting by the column titles, expanding
// groups, the discipline filter, the property sheet and the CSV export.

#include "EscenaQTO.h"
#include "LeerCSV.h"

#include "../main_window/support/Buscar.h"
#include "support/Esperar.h"
#include "main_window/ContentView.h"
#include "qto/ExportarCSV.h"
#include "qto/FilasQTO.h"
#include "qto/ui/ModeloTablaQTO.h"
#include "qto/ui/SheetParametrosIFC.h"
#include "qto/ui/TablaQTO.h"
#include "qto/ui/VentanaQTO.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace quelva;
using qtotest::grupo;
using qtotest::item;
using testsupport::hijoVisible;

namespace {

PropiedadesElementoIFC props(std::initializer_list<std::pair<const std::string, std::string>> p)
{
    return PropiedadesElementoIFC(p);
}

std::vector<GrupoQTO> gruposDeEjemplo()
{
    std::vector<GrupoQTO> g;
    g.push_back(grupo("IFCSLAB", "Losa", "Arquitectura",
                      {item("Losa-1", 10, 0.2f, 5, 2400, props({{"Pset_SlabCommon › LoadBearing", "TRUE"}}))}, 2400));
    g.push_back(grupo("IFCWALL", "Muro", "Arquitectura",
                      {item("Muro-1", 0.2f, 3, 5, 1800,
                            props({{"Pset_WallCommon › IsExternal", "TRUE"}, {"Pset_WallCommon › LoadBearing", "TRUE"}})),
                       item("Muro-2", 0.2f, 3, 4, 1800,
                            props({{"Pset_WallCommon › IsExternal", "FALSE"}, {"Pset_WallCommon › LoadBearing", "$"}}))},
                      1800));
    g.push_back(grupo("IFCBEAM", "Viga", "Estructura", {item("Viga-1", 0.3f, 0.5f, 6, 2400)}, 2400));
    return g;
}

struct Ventana {
    QString rutaElegida;
    QStringList nombresPropuestos;
    std::unique_ptr<VentanaQTO> v;

    explicit Ventana(std::vector<GrupoQTO> grupos = gruposDeEjemplo(), int ancho = 1200)
    {
        ServiciosQTO s;
        s.elegirArchivoCSV = [this](QWidget*, const QString& nombre) {
            nombresPropuestos.append(nombre);
            return rutaElegida;
        };
        v = std::make_unique<VentanaQTO>(std::move(grupos), QDateTime(QDate(2024, 1, 5), QTime(9, 30)), s);
        v->resize(ancho, 700);
        v->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(v.get(), testsupport::kLimiteCuelgue));
    }

    ModeloTablaQTO* modelo() const { return v->tabla()->modelo(); }
    QString texto(int fila, int columna) const { return modelo()->index(fila, columna).data().toString(); }
    QString etiqueta(const char* nombre) const { return v->findChild<QLabel*>(nombre)->text(); }

    void clicTitulo(int columna) const
    {
        QHeaderView* h = v->tabla()->horizontalHeader();
        const QPoint p(h->sectionViewportPosition(columna) + h->sectionSize(columna) / 2, h->height() / 2);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, p);
    }
    void clicFila(int fila, int columna = 5) const
    {
        const QRect r = v->tabla()->visualRect(modelo()->index(fila, columna));
        QTest::mouseClick(v->tabla()->viewport(), Qt::LeftButton, {}, r.center());
    }
    QStringList columna0() const
    {
        QStringList r;
        for (int i = 0; i < modelo()->rowCount(); ++i)
            r.append(texto(i, 0));
        return r;
    }
};

}  // namespace

TEST(VentanaQTO, ShowsCardsTotalsAndTheTableInDefaultOrder)
{
    Ventana w;
    EXPECT_EQ(w.etiqueta("valorElementos"), "4");
    EXPECT_EQ(w.etiqueta("valorTipos"), "3");
    EXPECT_EQ(w.etiqueta("valorPeso"), "≈ 35.9 t");
    EXPECT_EQ(w.columna0(), (QStringList{"Losa", "Muro", "Viga", "TOTAL"}));
    EXPECT_EQ(w.etiqueta("lineaResumen"), "Vol.: 16.300 m³  ·  Área planta: 53.600 m²  ·  Peso estimado: 35.9 t");
    EXPECT_TRUE(w.etiqueta("pieQTO").startsWith("Generado por QUELVA · "));
    EXPECT_FALSE(w.etiqueta("fechaQTO").isEmpty());
    EXPECT_EQ(w.texto(1, 4), "0.200");  // mean width of the walls
    EXPECT_EQ(w.texto(1, 6), "4.500");

    // The columns fill the table's width, the type column taking what is left.
    QTableView* t = w.v->tabla();
    int suma = 0;
    for (int c = 0; c < w.modelo()->columnCount(); ++c)
        suma += t->horizontalHeader()->sectionSize(c);
    EXPECT_EQ(suma, t->viewport()->width());
    EXPECT_EQ(t->horizontalHeader()->sectionSize(0), int(anchoColumnaTipo(0, t->viewport()->width())) + 12);
}

TEST(VentanaQTO, ColumnTitlesSortAndOtherTitlesDoNothing)
{
    Ventana w;
    const int vol = int(ColumnaQTO::volumen);
    w.clicTitulo(vol);
    EXPECT_EQ(w.v->estado().ordenColumna, OrdenQTO::volumen);
    EXPECT_TRUE(w.v->estado().ordenAscendente);
    EXPECT_EQ(w.columna0(), (QStringList{"Viga", "Muro", "Losa", "TOTAL"}));
    w.clicTitulo(vol);
    EXPECT_FALSE(w.v->estado().ordenAscendente);
    EXPECT_EQ(w.columna0(), (QStringList{"Losa", "Muro", "Viga", "TOTAL"}));
    w.clicTitulo(int(ColumnaQTO::ancho));
    EXPECT_EQ(w.v->estado().ordenColumna, OrdenQTO::volumen);
    EXPECT_FALSE(w.v->estado().ordenAscendente);
}

TEST(VentanaQTO, ATapOnAGroupRowShowsItsItemsAndExpandAllFollowsTheFilter)
{
    Ventana w;
    w.clicFila(1);
    EXPECT_EQ(w.columna0(), (QStringList{"Losa", "Muro", "Muro-1", "Muro-2", "Viga", "TOTAL"}));
    EXPECT_EQ(w.texto(2, 2), "1");
    EXPECT_EQ(w.texto(2, 6), "5.000");
    w.clicFila(1, 0);
    EXPECT_EQ(w.columna0(), (QStringList{"Losa", "Muro", "Viga", "TOTAL"}));

    auto* filtro = w.v->findChild<QComboBox*>("filtroEspecialidad");
    ASSERT_EQ(filtro->count(), 3);
    EXPECT_EQ(filtro->itemText(0), "Todas");
    EXPECT_EQ(filtro->itemText(2), "Estructura");
    w.v->elegirFiltro(2);
    EXPECT_EQ(w.columna0(), (QStringList{"Viga", "TOTAL"}));
    EXPECT_EQ(w.etiqueta("valorElementos"), "1");
    EXPECT_EQ(w.etiqueta("lineaResumen"), "Vol.: 0.900 m³  ·  Área planta: 1.800 m²  ·  Peso estimado: 2.2 t");
    EXPECT_EQ(w.texto(1, 2), "1");
    w.v->expandirTodo();
    w.v->elegirFiltro(0);
    EXPECT_EQ(w.columna0(), (QStringList{"Losa", "Muro", "Viga", "Viga-1", "TOTAL"}));
    w.v->contraerTodo();
    EXPECT_EQ(w.modelo()->rowCount(), 4);
}

TEST(VentanaQTO, AFilterWithoutGroupsShowsTheEmptyTextAndTheTotalRow)
{
    EstadoQTO e(gruposDeEjemplo(), {});
    e.filtroEsp = "Nadie";
    ModeloTablaQTO m(e);
    ASSERT_EQ(m.rowCount(), 2);
    EXPECT_EQ(m.index(0, 0).data().toString(), "No hay datos para el filtro seleccionado.");
    EXPECT_EQ(m.index(1, 0).data().toString(), "TOTAL");
    EXPECT_EQ(m.index(1, 2).data().toString(), "0");
    EXPECT_EQ(m.index(1, int(ColumnaQTO::volumen)).data().toString(), "—");
}

TEST(VentanaQTO, PropertySheetPicksColumnsOnlyWhenApplied)
{
    Ventana w;
    auto* boton = w.v->findChild<QPushButton*>("botonParametros");
    EXPECT_EQ(boton->text(), "Parámetros IFC");
    EXPECT_EQ(boton->toolTip(), "Seleccionar parámetros del archivo IFC para añadir como columnas");
    EXPECT_TRUE(hijoVisible<QLabel>(*w.v, "notaDensidades"));

    QTest::mouseClick(boton, Qt::LeftButton);
    SheetParametrosIFC* s = w.v->sheet();
    ASSERT_TRUE(s);
    ESPERAR_QUE(s->isVisible());
    EXPECT_TRUE(w.v->estado().mostrarSheet);
    EXPECT_EQ(s->size(), QSize(560, 580));
    EXPECT_EQ(s->findChild<QLabel*>("resumenParametros")->text(), "3 parámetros en 2 Psets");
    EXPECT_EQ(s->clavesVisibles(), (QStringList{"Pset_SlabCommon › LoadBearing", "Pset_WallCommon › IsExternal",
                                                "Pset_WallCommon › LoadBearing"}));

    s->findChild<QLineEdit*>("campoBusqueda")->setText("wallcommon");
    EXPECT_EQ(s->clavesVisibles(), (QStringList{"Pset_WallCommon › IsExternal", "Pset_WallCommon › LoadBearing"}));
    s->findChild<QLineEdit*>("campoBusqueda")->setText("Load");
    QTest::mouseClick(s->findChild<QToolButton*>("seleccionarTodos"), Qt::LeftButton);
    EXPECT_EQ(s->findChild<QPushButton*>("botonAplicar")->text(), "Aplicar (2)");
    EXPECT_EQ(s->findChild<QLabel*>("cuentaSeleccion")->text(), "2 seleccionados");
    QTest::mouseClick(s->findChild<QToolButton*>("limpiarBusqueda"), Qt::LeftButton);
    EXPECT_TRUE(s->busqueda().isEmpty());
    EXPECT_FALSE(s->seleccion().contains("Pset_WallCommon › IsExternal"));

    // A tap on a row ticks it; nothing reaches the window before "Aplicar".
    auto* lista = s->findChild<QListView*>("listaParametros");
    QModelIndex fila;
    for (int r = 0; r < lista->model()->rowCount(); ++r)
        if (lista->model()->index(r, 0).data().toString() == "IsExternal")
            fila = lista->model()->index(r, 0);
    ASSERT_TRUE(fila.isValid());
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, lista->visualRect(fila).center());
    EXPECT_TRUE(s->seleccion().contains("Pset_WallCommon › IsExternal"));
    EXPECT_TRUE(w.v->estado().parametrosExtra.isEmpty());

    s->setBusqueda("zzz");
    EXPECT_EQ(s->findChild<QLabel*>("sinResultados")->text(), "Sin resultados para \"zzz\"");
    EXPECT_TRUE(s->clavesVisibles().isEmpty());

    QTest::mouseClick(s->findChild<QPushButton*>("botonAplicar"), Qt::LeftButton);
    ESPERAR_QUE(!w.v->sheet());
    EXPECT_FALSE(w.v->estado().mostrarSheet);
    EXPECT_EQ(w.v->estado().parametrosExtra,
              (QStringList{"Pset_WallCommon › IsExternal", "Pset_WallCommon › LoadBearing",
                           "Pset_SlabCommon › LoadBearing"}));
    EXPECT_EQ(boton->text(), "Parámetros IFC (3)");
    EXPECT_EQ(w.etiqueta("cuentaParametros"), "3 parámetros IFC activos");
    EXPECT_FALSE(hijoVisible<QLabel>(*w.v, "notaDensidades"));
    EXPECT_EQ(w.modelo()->columnCount(), 14);
    EXPECT_EQ(w.modelo()->headerData(11, Qt::Horizontal, Qt::DisplayRole).toString(), "IsExternal");
    EXPECT_EQ(w.texto(1, 11), "varios");
    EXPECT_EQ(w.texto(1, 12), "TRUE");
    EXPECT_EQ(w.texto(0, 11), "—");

    // Reopened: the applied keys are ticked, the search is empty; "Cancelar" changes nothing.
    w.v->abrirSheetParametros();
    s = w.v->sheet();
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->busqueda().isEmpty());
    EXPECT_EQ(s->seleccion().size(), 3);
    s->alternar("Pset_WallCommon › IsExternal");
    s->deseleccionarTodos();
    EXPECT_TRUE(s->seleccion().isEmpty());
    QTest::mouseClick(s->findChild<QPushButton*>("botonCancelar"), Qt::LeftButton);
    ESPERAR_QUE(!w.v->sheet());
    EXPECT_EQ(w.v->estado().parametrosExtra.size(), 3);

    QTest::mouseClick(hijoVisible<QToolButton>(*w.v, "botonQuitarParametros"), Qt::LeftButton);
    EXPECT_TRUE(w.v->estado().parametrosExtra.isEmpty());
    EXPECT_EQ(w.modelo()->columnCount(), 11);
    EXPECT_TRUE(hijoVisible<QLabel>(*w.v, "notaDensidades"));
}

TEST(VentanaQTO, PropertySheetWithoutPropertiesShowsItsEmptyState)
{
    Ventana w({grupo("IFCWALL", "Muro", "Arquitectura", {item("M", 1, 1, 1)})});
    auto* boton = w.v->findChild<QPushButton*>("botonParametros");
    EXPECT_EQ(boton->toolTip(),
              "No se detectaron propiedades IFC en los modelos. Verifica que el archivo IFC contenga Psets.");
    EXPECT_TRUE(boton->isEnabled());
    w.v->abrirSheetParametros();
    SheetParametrosIFC* s = w.v->sheet();
    ASSERT_TRUE(s);
    EXPECT_EQ(s->findChild<QLabel*>("resumenParametros")->text(),
              "No se encontraron propiedades IFC en los modelos cargados.");
    EXPECT_TRUE(s->findChild<QLabel*>("ayudaSinPropiedades"));
    EXPECT_EQ(s->findChild<QPushButton*>("botonAplicar")->text(), "Aplicar (0)");
    s->reject();
}

TEST(VentanaQTO, ExportWritesTheVisibleTableAndReportsAFailedWrite)
{
    QTemporaryDir dir;
    Ventana w;
    w.v->elegirFiltro(1);  // Arquitectura
    w.v->aplicarParametros({"Pset_WallCommon › LoadBearing"});

    // Cancelled: nothing is written.
    w.v->exportarCSV();
    ASSERT_EQ(w.nombresPropuestos.size(), 1);
    EXPECT_TRUE(QRegularExpression("^QUELVA_QTO_\\d{10,}\\.csv$").match(w.nombresPropuestos[0]).hasMatch());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());

    w.rutaElegida = dir.filePath("qto.csv");
    QTest::mouseClick(w.v->findChild<QPushButton*>("botonExportarCSV"), Qt::LeftButton);
    QFile f(w.rutaElegida);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray texto = f.readAll();
    EXPECT_EQ(texto, textoCSV(w.v->estado().gruposFiltrados(), w.v->estado().parametrosExtra));
    EXPECT_EQ(texto.count('\n'), 3);
    if (!qtotest::python().isEmpty()) {
        const auto filas = qtotest::leerConPython(w.rutaElegida);
        ASSERT_TRUE(filas);
        ASSERT_EQ(filas->size(), 4u);
        EXPECT_EQ((*filas)[1][3], "Losa-1");
        EXPECT_EQ((*filas)[2].mid(3), (QStringList{"Muro-1", "1800", "0.2000", "3.0000", "5.0000", "3.0000", "1.0000",
                                                   "33.2000", "5400.00", "TRUE"}));
        EXPECT_EQ((*filas)[3][12], "");
    }

    // A folder in the way: the alert tells why, and the earlier file stays.
    ASSERT_TRUE(QDir(dir.path()).mkdir("ocupado.csv"));
    w.rutaElegida = dir.filePath("ocupado.csv");
    w.v->exportarCSV();
    QMessageBox* alerta = w.v->alertaExportar();
    ASSERT_TRUE(alerta);
    ESPERAR_QUE(alerta->isVisible());
    EXPECT_EQ(alerta->text(), "Error al exportar CSV");
    EXPECT_FALSE(alerta->informativeText().isEmpty());
    alerta->accept();
    ESPERAR_QUE(!w.v->alertaExportar());
}

TEST(VentanaQTO, TheMainWindowOpensATakeOffPerCommand)
{
    ContentView v;
    qtotest::Federacion f;
    f.modelo("ARQ", "Arquitectura")->addChild(qtotest::elemento("Muro-1", 0.2f, 3, 5));
    f.tipo("ARQ", "Muro-1", "IFCWALL");
    v.federacion.especialidades["ARQ"].nodoRaiz = f.especialidades["ARQ"].nodoRaiz;
    v.federacion.propiedadesIFC = f.propiedades;

    v.abrirQTO();
    v.abrirQTO();
    ASSERT_EQ(v.ventanas.reportWindows.size(), 2);
    QWidget* ventana = v.ventanas.reportWindows[0];
    ASSERT_TRUE(ventana);
    EXPECT_EQ(ventana->windowTitle(), "Cuantificación de Elementos (QTO)");
    // 870 x 700, widened until every column of the table is in view.
    EXPECT_EQ(ventana->height(), 700);
    EXPECT_GE(ventana->width(), 870);
    auto* vista = ventana->findChild<VentanaQTO*>();
    ASSERT_TRUE(vista);
    EXPECT_LE(vista->tabla()->horizontalHeader()->length(), vista->tabla()->viewport()->width());
    ASSERT_EQ(vista->estado().grupos.size(), 1u);
    EXPECT_EQ(vista->estado().grupos[0].tipoNombre, "Muro");
    EXPECT_NE(vista->estado().grupos[0].id, v.ventanas.reportWindows[1]->findChild<VentanaQTO*>()->estado().grupos[0].id);
    EXPECT_FALSE(v.federacion.showError);

    // A window is a snapshot: later changes do not reach it.
    v.federacion.especialidades["ARQ"].nodoRaiz->removeAllChildren();
    EXPECT_EQ(vista->estado().grupos[0].items.size(), 1u);
    for (const QPointer<QWidget>& w : v.ventanas.reportWindows)
        if (w)
            w->close();
}
