// The clash tools of the main window: the configuration sheet, the "Interferencias" card, the
// focus flight, and a detection end to end with the real converter.

#include "clash/ControladorInterferencias.h"
#include "clash/DeteccionInterferencias.h"
#include "clash/GlobalIdsInterferencia.h"
#include "clash/Resaltado.h"
#include "main_window/ColumnaViewport.h"
#include "main_window/ContentView.h"
#include "main_window/interferencias/CabeceraAnalisis.h"
#include "main_window/interferencias/HojaConfigAnalisis.h"
#include "main_window/interferencias/PanelInterferencias.h"
#include "platform/Resources.h"
#include "render/SceneView.h"
#include "scene/Primitives.h"
#include "scene/Projection.h"
#include "support/Buscar.h"
#include "support/Capturas.h"
#include "support/Esperar.h"
#include "support/Fixtures.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace quelva;
using testsupport::alertaVisible;
using testsupport::hijoVisible;

namespace {

// Root nodes for the given disciplines, as linking gives them.
void conRaices(ContentView& v, std::initializer_list<const char*> claves)
{
    v.modificarEspecialidades([&](auto& tabla) {
        for (const char* k : claves)
            tabla[k].nodoRaiz = scene::Node::make();
    });
    v.refrescar();
}

HojaConfigAnalisis* abrirHoja(ContentView& v)
{
    v.controladorInterferencias().prepararAnalisis();
    HojaConfigAnalisis* hoja = nullptr;
    testsupport::esperarQue([&] { return (hoja = v.findChild<HojaConfigAnalisis*>()) && hoja->isVisible(); });
    return hoja;
}

Interferencia clash(const char* a, const char* b, EstadoClash estado)
{
    Interferencia i;
    i.nodoA = scene::Node::make(scene::makeBox(1, 1, 1));
    i.nodoB = scene::Node::make(scene::makeBox(1, 1, 1));
    i.nombreA = a;
    i.nombreB = b;
    i.especialidadA = "ARQ";
    i.especialidadB = "EST";
    i.viewpointTarget = {0.75, 0.75, 0.75};
    i.viewpointPos = {2.55, 1.83, 2.55};
    i.radio = 1.0;
    i.estado = estado;
    return i;
}

AnalisisInterferencias analisis(const char* nombre, std::vector<Interferencia> lista)
{
    AnalisisInterferencias a;
    a.nombre = nombre;
    a.tolerancia = 0.02;
    a.fecha = QDateTime::currentDateTime();
    a.interferencias = std::move(lista);
    return a;
}

// The camera outside both elements' boxes, and B's box (its centre and the part of it within the
// overlap) in the view.
bool fueraYConBEnPantalla(const render::SceneView& vista, const Interferencia& i)
{
    const scene::Box a = cajaMundo(*i.nodoA), b = cajaMundo(*i.nodoB);
    const scene::Vec3 p = vista.pointOfView()->position;
    auto dentro = [&p](const scene::Box& c) {
        return p.x >= c.min.x && p.x <= c.max.x && p.y >= c.min.y && p.y <= c.max.y && p.z >= c.min.z && p.z <= c.max.z;
    };
    const scene::Viewpoint vp{vista.pointOfView().get(), QSizeF(vista.width(), vista.height())};
    const scene::Vec3 s = scene::projectPoint(vp, b.center());
    const bool enPantalla = s.x >= 0 && s.x <= vista.width() && s.y >= 0 && s.y <= vista.height() && s.z > 0 && s.z < 1;
    EXPECT_FALSE(dentro(a));
    EXPECT_FALSE(dentro(b));
    EXPECT_TRUE(enPantalla) << s.x << " " << s.y << " " << s.z;
    return !dentro(a) && !dentro(b) && enPantalla;
}

// The header of the first analysis on show.
CabeceraAnalisis* cabecera(ContentView& v)
{
    return hijoVisible<CabeceraAnalisis>(v, "cabeceraAnalisis");
}

}  // namespace

TEST(HojaConfigAnalisis, EnablingSliderAndPairButtons)
{
    ContentView v;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    conRaices(v, {"ARQ", "EST", "MEP"});
    HojaConfigAnalisis* hoja = abrirHoja(v);
    ASSERT_TRUE(hoja);
    EXPECT_EQ(hoja->width(), 420);
    EXPECT_TRUE(hoja->campoNombre()->text().startsWith(QString::fromUtf8("Análisis ")));
    EXPECT_EQ(hoja->etiquetaTolerancia()->text(), "0.020 m");
    ASSERT_EQ(hoja->casillasPares().size(), 3u);
    EXPECT_EQ(hoja->casillasPares()[0]->text(), QString::fromUtf8("Arquitectura  ↔  Estructura"));
    EXPECT_TRUE(hoja->botonIniciar()->isEnabled());

    // The slider stops at its bounds; the label follows with three decimals.
    hoja->deslizadorTolerancia()->setValue(0);
    EXPECT_EQ(v.clashes.toleranciaAnalisis, 0.001);
    EXPECT_EQ(hoja->etiquetaTolerancia()->text(), "0.001 m");
    hoja->deslizadorTolerancia()->setValue(1000);
    EXPECT_EQ(v.clashes.toleranciaAnalisis, 0.15);
    EXPECT_EQ(hoja->etiquetaTolerancia()->text(), "0.150 m");

    // A blank name or no pair disables the start; "Todos" brings every pair back.
    const struct { const char* nombre; bool ninguno; bool habilitado; } casos[] = {
        {"   \t", false, false}, {"  Con espacios", false, true}, {"Nombre", true, false}, {"", false, false}};
    for (const auto& c : casos) {
        QTest::mouseClick(hoja->botonTodos(), Qt::LeftButton);
        if (c.ninguno)
            QTest::mouseClick(hoja->botonNinguno(), Qt::LeftButton);
        hoja->campoNombre()->setText(QString::fromUtf8(c.nombre));
        EXPECT_EQ(hoja->botonIniciar()->isEnabled(), c.habilitado) << c.nombre;
    }
    QTest::mouseClick(hoja->botonNinguno(), Qt::LeftButton);
    EXPECT_TRUE(v.clashes.paresActivos.empty());
    for (QCheckBox* c : hoja->casillasPares())
        EXPECT_FALSE(c->isChecked());
    hoja->casillasPares()[1]->setChecked(true);
    EXPECT_EQ(v.clashes.paresActivos, std::set<QString>{"ARQ|MEP"});
    QTest::mouseClick(hoja->botonTodos(), Qt::LeftButton);
    EXPECT_EQ(v.clashes.paresActivos.size(), 3u);

    // Cancelling keeps what was edited.
    hoja->casillaExcluir()->setChecked(false);
    QTest::mouseClick(hoja->botonCancelar(), Qt::LeftButton);
    ESPERAR_QUE(!v.findChild<HojaConfigAnalisis*>());
    EXPECT_FALSE(v.clashes.mostrarConfigAnalisis);
    EXPECT_FALSE(v.clashes.excluirResueltos);
    EXPECT_EQ(v.clashes.toleranciaAnalisis, 0.15);
    EXPECT_FALSE(v.clashes.detectando);
}

TEST(HojaConfigAnalisis, OneDisciplineHasNoPairBlockAndCannotStart)
{
    ContentView v;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    conRaices(v, {"ARQ"});
    HojaConfigAnalisis* hoja = abrirHoja(v);
    ASSERT_TRUE(hoja);
    EXPECT_TRUE(hoja->casillasPares().empty());
    EXPECT_EQ(hoja->botonTodos(), nullptr);
    EXPECT_FALSE(hoja->botonIniciar()->isEnabled());
    hoja->reject();
}

TEST(TarjetaInterferencias, ButtonSpinnerHeadersStatusAndDelete)
{
    ContentView v;
    v.resize(1200, 900);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));

    // Fewer than two disciplines with models: disabled.
    QPushButton* nueva = nullptr;
    ESPERAR_QUE((nueva = hijoVisible<QPushButton>(v, "nuevaDeteccion")) != nullptr);
    EXPECT_FALSE(nueva->isEnabled());
    conRaices(v, {"ARQ"});
    ESPERAR_QUE((nueva = hijoVisible<QPushButton>(v, "nuevaDeteccion")) != nullptr);
    EXPECT_FALSE(nueva->isEnabled());
    conRaices(v, {"EST"});
    ESPERAR_QUE((nueva = hijoVisible<QPushButton>(v, "nuevaDeteccion")) && nueva->isEnabled());

    // During a run the spinner replaces the button.
    v.clashes.detectando = true;
    v.refrescar();
    ESPERAR_QUE(hijoVisible<QWidget>(v, "analizando") != nullptr);
    EXPECT_EQ(hijoVisible<QPushButton>(v, "nuevaDeteccion"), nullptr);
    v.clashes.detectando = false;

    // Two analyses: 3 open, 2 in review, 1 resolved; and one without clashes.
    v.clashes.historialAnalisis.push_back(analisis(
        "Primero", {clash("Muro", "Viga", EstadoClash::abierto), clash("Losa", "Pilar", EstadoClash::abierto),
                    clash("Muro", "Ducto", EstadoClash::abierto), clash("A", "B", EstadoClash::enRevision),
                    clash("C", "D", EstadoClash::enRevision), clash("E", "F", EstadoClash::resuelto)}));
    v.clashes.historialAnalisis.push_back(analisis("Vacío", {}));
    const QUuid primero = v.clashes.historialAnalisis[0].id;
    v.clashes.analisisExpandidos = {primero};
    v.refrescar();
    ESPERAR_QUE(hijoVisible<FilasInterferencias>(v, "filasInterferencias") != nullptr);
    ASSERT_TRUE(cabecera(v));
    EXPECT_EQ(cabecera(v)->abiertos(), 3);
    EXPECT_EQ(cabecera(v)->resueltos(), 1);
    EXPECT_EQ(cabecera(v)->textosMostrados(), (QStringList{"Primero", "3", "1", "tol: 0.020 m"}));
    FilasInterferencias* filas = hijoVisible<FilasInterferencias>(v, "filasInterferencias");
    EXPECT_EQ(filas->cantidad(), 6);
    EXPECT_EQ(filas->ayudaFila(0), QString::fromUtf8("Abierto — clic derecho para cambiar estado"));

    // A status from the row's menu: counts follow; the current one changes nothing.
    QMenu menu;
    filas->llenarMenu(menu, 0);
    QStringList textos;
    for (QAction* a : menu.actions())
        if (!a->isSeparator())
            textos << a->text();
    EXPECT_EQ(textos, (QStringList{"Cambiar estado", "Abierto", QString::fromUtf8("En revisión"), "Aprobado", "Resuelto"}));
    menu.findChild<QAction*>("estado_Resuelto")->trigger();
    ESPERAR_QUE(cabecera(v) && cabecera(v)->abiertos() == 2);
    EXPECT_EQ(cabecera(v)->resueltos(), 2);
    EXPECT_EQ(v.clashes.historialAnalisis[0].interferencias[0].estado, EstadoClash::resuelto);

    // Delete asks first; confirming removes exactly that analysis.
    const size_t antes = v.clashes.historialAnalisis.size();
    QToolButton* borrar = hijoVisible<QToolButton>(v, "eliminarAnalisis");
    ASSERT_TRUE(borrar);
    QTest::mouseClick(borrar, Qt::LeftButton);
    QMessageBox* alerta = nullptr;
    ESPERAR_QUE((alerta = alertaVisible()) != nullptr);
    EXPECT_EQ(alerta->text(), QString::fromUtf8("¿Eliminar \"Primero\"? Esta acción no se puede deshacer."));
    EXPECT_EQ(v.clashes.historialAnalisis.size(), antes);
    QTest::mouseClick(alerta->findChild<QPushButton*>("botonConfirmar"), Qt::LeftButton);
    ESPERAR_QUE(!v.clashes.analisisPendienteEliminar);
    ASSERT_EQ(v.clashes.historialAnalisis.size(), 1u);
    EXPECT_EQ(v.clashes.historialAnalisis[0].nombre, QString::fromUtf8("Vacío"));
    // The empty analysis is collapsed: a header with only the tolerance.
    ESPERAR_QUE(cabecera(v) && cabecera(v)->nombre() == QString::fromUtf8("Vacío"));
    EXPECT_EQ(cabecera(v)->textosMostrados(), (QStringList{QString::fromUtf8("Vacío"), "tol: 0.020 m"}));
    EXPECT_EQ(hijoVisible<FilasInterferencias>(v, "filasInterferencias"), nullptr);
}

TEST(TarjetaInterferencias, ActionsOnAGoneRecordChangeNothing)
{
    ContentView v;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    v.clashes.historialAnalisis.push_back(analisis("Uno", {clash("Muro", "Viga", EstadoClash::abierto)}));
    const auto copia = v.clashes.historialAnalisis;
    ControladorInterferencias& c = v.controladorInterferencias();
    EXPECT_FALSE(c.cambiarEstadoInterferencia(QUuid::createUuid(), copia[0].interferencias[0].id, EstadoClash::resuelto));
    c.eliminarAnalisis(QUuid::createUuid());
    c.enfocarInterferencia(copia[0].id, QUuid::createUuid());
    ASSERT_EQ(v.clashes.historialAnalisis.size(), 1u);
    EXPECT_EQ(v.clashes.historialAnalisis[0].interferencias[0].estado, EstadoClash::abierto);
    EXPECT_TRUE(v.clashes.nodosDestacadosHistorial.empty());
}

TEST(TarjetaInterferencias, RowClickFocusesTheClash)
{
    ContentView v;
    v.resize(1200, 900);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    v.clashes.historialAnalisis.push_back(analisis("Uno", {clash("Muro", "Viga", EstadoClash::abierto),
                                                           clash("Losa", "Pilar", EstadoClash::abierto)}));
    v.clashes.historialAnalisis[0].interferencias[1].radio = 20;
    v.clashes.analisisExpandidos = {v.clashes.historialAnalisis[0].id};
    v.refrescar();
    FilasInterferencias* filas = nullptr;
    ESPERAR_QUE((filas = hijoVisible<FilasInterferencias>(v, "filasInterferencias")) != nullptr);
    QTest::mouseClick(filas, Qt::LeftButton, Qt::NoModifier, filas->rectFila(0).center());
    const Interferencia& a = v.clashes.historialAnalisis[0].interferencias[0];
    ASSERT_EQ(v.clashes.nodosDestacadosHistorial.size(), 2u);
    EXPECT_EQ(v.clashes.nodosDestacadosHistorial[0], a.nodoA);
    EXPECT_EQ(a.nodoA->geometry->firstMaterial()->emission.contents, scene::Contents(kColorInterferenciaEnfocada));
    render::SceneView* vista = v.columnaViewport()->vista3D();
    ESPERAR_QUE(!vista->isAnimatingCamera());
    const scene::NodePtr& camara = vista->pointOfView();
    // Outside the pair, B on screen, A (as large as B) see-through.
    EXPECT_TRUE(fueraYConBEnPantalla(*vista, a));
    EXPECT_DOUBLE_EQ(a.nodoA->opacity, kOpacidadElementoQueOculta);
    EXPECT_DOUBLE_EQ(a.nodoB->opacity, 1.0);
    EXPECT_NEAR(camara->camera->zFar, 200, 1e-3);
    EXPECT_GT(camara->orientation.rotate({0, 1, 0}).z, 0.7);  // Z up

    // The second row: the first pair loses its focus glow (not in the current list: black) and
    // its A is opaque again.
    filas = hijoVisible<FilasInterferencias>(v, "filasInterferencias");
    QTest::mouseClick(filas, Qt::LeftButton, Qt::NoModifier, filas->rectFila(1).center());
    EXPECT_EQ(a.nodoA->geometry->firstMaterial()->emission.contents, scene::Contents(scene::Color::black()));
    EXPECT_DOUBLE_EQ(a.nodoA->opacity, 1.0);
    EXPECT_NEAR(camara->camera->zFar, 4000, 1e-3);
    EXPECT_NEAR(camara->camera->zNear, 0.02, 1e-6);
}

TEST(TarjetaInterferencias, DetectionEndToEndWithTheRealConverter)
{
    platform::Resources::setBundleDir(testsupport::bundleDir());
    ContentView v;
    v.resize(1440, 900);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    const struct { const char* clave; const char* archivo; } vinculos[] = {
        {"ARQ", "clash/arq_interferencias.ifc"}, {"EST", "clash/est_interferencias.ifc"}};
    for (const auto& l : vinculos) {
        v.federacion.seleccionActual = l.clave;
        v.seleccionarArchivoIFC({testsupport::fixturePath(l.archivo)});
        ESPERAR_QUE(!v.federacion.isProcessing && v.federacion.especialidades.at(l.clave).nodoRaiz);
        ASSERT_FALSE(v.federacion.showError) << v.federacion.errorMessage.value_or("").toStdString();
    }
    QPushButton* nueva = nullptr;
    ESPERAR_QUE((nueva = hijoVisible<QPushButton>(v, "nuevaDeteccion")) && nueva->isEnabled());
    QTest::mouseClick(nueva, Qt::LeftButton);
    HojaConfigAnalisis* hoja = nullptr;
    ESPERAR_QUE((hoja = v.findChild<HojaConfigAnalisis*>()) && hoja->isVisible());
    hoja->campoNombre()->setText("Coordinación");
    QTest::mouseClick(hoja->botonIniciar(), Qt::LeftButton);
    ESPERAR_QUE(v.clashes.historialAnalisis.size() == 1 && !v.clashes.detectando);

    const AnalisisInterferencias& a = v.clashes.historialAnalisis[0];
    ASSERT_EQ(a.interferencias.size(), 1u);
    const Interferencia& i = a.interferencias[0];
    EXPECT_EQ(i.nombreA, "Muro-Sur");
    EXPECT_EQ(i.nombreB, "Viga-1");
    EXPECT_NEAR(i.viewpointTarget.x, 2.0, 1e-4);
    EXPECT_NEAR(i.viewpointTarget.y, 0.1, 1e-4);
    EXPECT_NEAR(i.viewpointTarget.z, 2.6, 1e-4);
    EXPECT_TRUE(v.clashes.analisisExpandidos.contains(a.id));
    EXPECT_EQ(i.nodoA->geometry->firstMaterial()->emission.contents, scene::Contents(colorResaltadoInterferencia()));
    // The federation knows both elements' GlobalIds, for the BCF topics.
    const auto ids = globalIdsDeAnalisis(a, v.federacion.globalIdsIFC);
    ASSERT_EQ(ids.count(i.id), 1u);
    EXPECT_EQ(ids.at(i.id).a, "1bNzHUq5P1YuqiAq7JxA07");
    EXPECT_EQ(ids.at(i.id).b, "1bNzHUq5P1YuqiAq7JxE07");

    FilasInterferencias* filas = nullptr;
    ESPERAR_QUE((filas = hijoVisible<FilasInterferencias>(v, "filasInterferencias")) != nullptr);
    render::SceneView* vista = v.columnaViewport()->vista3D();
    ESPERAR_QUE(!vista->isAnimatingCamera());
    QTest::mouseClick(filas, Qt::LeftButton, Qt::NoModifier, filas->rectFila(0).center());
    EXPECT_TRUE(vista->isAnimatingCamera());
    ESPERAR_QUE(!vista->isAnimatingCamera());
    // Near the beam, outside it and the wall, the beam on screen and the wall see-through.
    EXPECT_TRUE(fueraYConBEnPantalla(*vista, i));
    EXPECT_LT(scene::length(vista->pointOfView()->position - i.viewpointTarget), scene::length(i.viewpointPos - i.viewpointTarget));
    EXPECT_DOUBLE_EQ(i.nodoA->opacity, kOpacidadElementoQueOculta);

    // A second analysis lands expanded below the first; its row focuses the same pair.
    v.controladorInterferencias().prepararAnalisis();
    ESPERAR_QUE((hoja = v.findChild<HojaConfigAnalisis*>()) && hoja->isVisible());
    hoja->campoNombre()->setText("Revisión 2");
    QTest::mouseClick(hoja->botonIniciar(), Qt::LeftButton);
    ESPERAR_QUE(v.clashes.historialAnalisis.size() == 2 && !v.clashes.detectando);
    ESPERAR_QUE(v.findChildren<FilasInterferencias*>("filasInterferencias").size() >= 2);
    filas = nullptr;
    for (FilasInterferencias* f : v.findChildren<FilasInterferencias*>("filasInterferencias"))
        if (f->isVisible())
            filas = f;
    ASSERT_TRUE(filas);
    QTest::mouseClick(filas, Qt::LeftButton, Qt::NoModifier, filas->rectFila(0).center());
    ESPERAR_QUE(!vista->isAnimatingCamera());
    testsupport::entregarEventos();
    testsupport::guardarCaptura(v, "interferencias_enfocada");
}

TEST(TarjetaInterferencias, AHeaderClickOpensAndClosesItsSectionAndALongNameIsCutWithItsHelp)
{
    ContentView v;
    v.resize(1200, 900);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    const QString largo = QStringLiteral("Coordinación de estructura con instalaciones del bloque norte, revisión 14");
    v.clashes.historialAnalisis.push_back(analisis("Uno", {clash("Muro", "Viga", EstadoClash::abierto)}));
    v.clashes.historialAnalisis.push_back(analisis(largo.toUtf8().constData(), {}));
    v.refrescar();
    ESPERAR_QUE(cabecera(v) != nullptr);
    EXPECT_EQ(hijoVisible<FilasInterferencias>(v, "filasInterferencias"), nullptr);

    for (bool abierta : {true, false}) {
        SCOPED_TRACE(abierta);
        QTest::mouseClick(cabecera(v), Qt::LeftButton);
        ESPERAR_QUE((hijoVisible<FilasInterferencias>(v, "filasInterferencias") != nullptr) == abierta);
        EXPECT_EQ(v.clashes.analisisExpandidos.contains(v.clashes.historialAnalisis[0].id), abierta);
    }

    // The long name is cut to the sidebar's width and given whole as help; the short one is not.
    CabeceraAnalisis* segunda = nullptr;
    for (CabeceraAnalisis* c : v.findChildren<CabeceraAnalisis*>("cabeceraAnalisis"))
        if (c->isVisible() && c->nombre() == largo)
            segunda = c;
    ASSERT_TRUE(segunda);
    EXPECT_LT(segunda->rectNombre().width(), QFontMetrics(segunda->font()).horizontalAdvance(largo));
    EXPECT_EQ(segunda->ayudaEn(segunda->rectNombre().center()), largo);
    EXPECT_EQ(cabecera(v)->ayudaEn(cabecera(v)->rectNombre().center()), QString());
    EXPECT_LE(segunda->mapTo(v.sidebar(), QPoint(segunda->width(), 0)).x(), v.sidebar()->width());
}
