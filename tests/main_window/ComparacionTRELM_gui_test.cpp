// The comparison card and its actions in the main window: the three faces, comparing, comparing
// again when a slot is filled, clearing through the slot icon and the two confirmations; then the
// change report window and its page.

#include "comparison/ComparacionTRELM.h"
#include "comparison/support/ModelosTRELM.h"
#include "federation/ControladorFederacion.h"
#include "main_window/ColumnaViewport.h"
#include "main_window/ContentView.h"
#include "main_window/comparacion/ReporteTRELMView.h"
#include "main_window/comparacion/VentanaReporteTRELM.h"
#include "render/SceneView.h"
#include "support/Buscar.h"
#include "support/Esperar.h"

#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace quelva;
using testsupport::hijoVisible;

namespace {

scene::NodePtr versionBase()
{
    return pruebas_trelm::modelo({{"IfcWall/Muro", {0, 0, 0}, {4, 0.2f, 3}},
                                  {"IfcBeam/Viga", {0, 0, 3}, {4, 0.3f, 3.4f}},
                                  {"IfcSlab/Losa", {0, 0, -0.2f}, {4, 4, 0}}});
}

scene::NodePtr versionNueva(bool moverViga = true)
{
    const float dx = moverViga ? 0.06f : 0.f;
    return pruebas_trelm::modelo({{"IfcWall/Muro", {0, 0, 0}, {4, 0.2f, 3}},
                                  {"IfcBeam/Viga", {dx, 0, 3}, {4 + dx, 0.3f, 3.4f}},
                                  {"IfcDoor/Puerta", {2, 0, 0}, {3, 0.2f, 2.1f}}});
}

QString texto(ContentView& v, const char* nombre)
{
    const QLabel* l = hijoVisible<QLabel>(v, nombre);
    return l ? l->text() : QStringLiteral("<ausente>");
}

void pulsar(ContentView& v, const char* nombre)
{
    QPushButton* b = nullptr;
    ASSERT_TRUE(testsupport::esperarQue([&] { return (b = hijoVisible<QPushButton>(v, nombre)) != nullptr; }))
        << nombre;
    b->click();
}

QMessageBox* alerta(ContentView& v)
{
    QMessageBox* a = nullptr;
    testsupport::esperarQue([&] { return (a = qobject_cast<QMessageBox*>(v.dialogoActivo())) != nullptr; });
    return a;
}

void responder(QMessageBox* a, const char* boton)
{
    ASSERT_TRUE(a);
    auto* b = a->findChild<QPushButton*>(boton);
    ASSERT_TRUE(b) << boton;
    b->click();
}

struct Ventana {
    ContentView v;
    scene::NodePtr raizARQ = scene::Node::make();

    Ventana()
    {
        v.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
        v.modificarEspecialidades([&](auto& tabla) { tabla.at("ARQ").nodoRaiz = raizARQ; });
        v.escena.scene->rootNode()->addChild(raizARQ);
    }
    void cargar(const char* slot, scene::NodePtr modelo, const char* archivo, MapaGlobalIds ids = {})
    {
        v.controladorFederacion().asignarModeloSlotTRELM(slot, std::move(modelo), archivo, std::move(ids));
        testsupport::entregarEventos();
    }
};

}  // namespace

TEST(ComparacionTRELM, CardFacesFollowTheSlotsAndTheComparison)
{
    Ventana w;
    ContentView& v = w.v;
    EXPECT_EQ(texto(v, "archivoBASE"), QString::fromUtf8("Sin versión base"));
    EXPECT_EQ(texto(v, "archivoNUEVO"), QString::fromUtf8("Sin versión nueva"));
    EXPECT_TRUE(hijoVisible<QPushButton>(v, "cargarBASE"));
    EXPECT_FALSE(hijoVisible<QPushButton>(v, "quitarBASE"));

    auto base = versionBase();
    w.cargar("BASE", base, "a.ifc");
    EXPECT_TRUE(base->hidden);
    EXPECT_EQ(base->parent(), v.escena.scene->rootNode().get());
    EXPECT_EQ(texto(v, "archivoBASE"), "a.ifc");
    EXPECT_TRUE(hijoVisible<QPushButton>(v, "quitarBASE"));
    EXPECT_FALSE(hijoVisible<QPushButton>(v, "compararVersiones"));  // one slot only

    auto nuevo = versionNueva();
    w.cargar("NUEVO", nuevo, "b.ifc");
    EXPECT_TRUE(nuevo->hidden);
    EXPECT_EQ(*pruebas_trelm::material(base, 2).diffuse.color(), scene::Color::white(0.75));  // no colours yet
    pulsar(v, "compararVersiones");
    ESPERAR_QUE(v.comparacion.trelmActivo);
    EXPECT_FALSE(base->hidden);
    EXPECT_FALSE(nuevo->hidden);
    EXPECT_TRUE(w.raizARQ->hidden);
    EXPECT_EQ(*pruebas_trelm::material(base, 2).diffuse.color(), coloresTRELM::eliminado);
    ESPERAR_QUE(hijoVisible<QPushButton>(v, "verInformeTRELM"));
    EXPECT_EQ(texto(v, "conteoAgregados"), "1 agregados");
    EXPECT_EQ(texto(v, "conteoEliminados"), "1 eliminados");
    EXPECT_EQ(texto(v, "conteoModificados"), "1 modificados");
    EXPECT_EQ(texto(v, "conteoIguales"), "1 sin cambios");
    EXPECT_TRUE(hijoVisible<QPushButton>(v, "limpiarTRELM"));
    EXPECT_FALSE(hijoVisible<QPushButton>(v, "compararVersiones"));
    ASSERT_TRUE(v.comparacion.resultadoTRELM);
    EXPECT_EQ(v.comparacion.resultadoTRELM->archivoBase, "a.ifc");

    // A file arriving in a slot while compared is compared at once; no modified line at zero.
    auto nuevo2 = versionNueva(false);
    w.cargar("NUEVO", nuevo2, "c.ifc");
    EXPECT_EQ(nuevo->parent(), nullptr);
    EXPECT_TRUE(v.comparacion.trelmActivo);
    EXPECT_FALSE(nuevo2->hidden);
    EXPECT_EQ(v.comparacion.trelmStats, (EstadisticasTRELM{1, 1, 0, 2}));
    EXPECT_EQ(v.comparacion.resultadoTRELM->archivoNuevo, "c.ifc");
    ESPERAR_QUE(texto(v, "conteoIguales") == "2 sin cambios");
    EXPECT_EQ(texto(v, "conteoModificados"), "<ausente>");
    EXPECT_EQ(texto(v, "conteoAgregados"), "1 agregados");

    // The remove icon clears at once, without asking, and keeps the other slot.
    pulsar(v, "quitarNUEVO");
    ESPERAR_QUE(!v.comparacion.trelmActivo);
    EXPECT_FALSE(v.dialogoActivo());
    EXPECT_EQ(v.comparacion.trelmStats, EstadisticasTRELM{});
    EXPECT_FALSE(v.comparacion.resultadoTRELM);
    EXPECT_TRUE(base->hidden);
    EXPECT_FALSE(w.raizARQ->hidden);
    EXPECT_EQ(nuevo2->parent(), nullptr);
    EXPECT_FALSE(v.federacion.modeloNuevo);
    EXPECT_EQ(v.federacion.fileNameBase, "a.ifc");
    ESPERAR_QUE(texto(v, "archivoNUEVO") == QString::fromUtf8("Sin versión nueva"));
    EXPECT_FALSE(hijoVisible<QPushButton>(v, "compararVersiones"));
    EXPECT_FALSE(hijoVisible<QPushButton>(v, "verInformeTRELM"));
}

TEST(ComparacionTRELM, ComparingFramesTheCameraAndLaysTheFloorAsTheSeparateStepsDo)
{
    Ventana w;
    ContentView& v = w.v;
    auto base = versionBase();
    base->position = {30, -10, 2};  // moved as a whole: it counts where it stands
    w.cargar("BASE", base, "a.ifc");
    w.cargar("NUEVO", versionNueva(), "b.ifc");
    // A discipline's model far below, hidden by the comparison, still counts in both boxes.
    w.raizARQ->addChild(pruebas_trelm::nodoCaja("IfcSlab/Suelo", {-20, -20, -6}, {20, 20, -5}));

    scene::Node& raiz = *v.escena.scene->rootNode();
    const auto pisos = [&] {
        std::vector<scene::Node*> encontrados;
        for (const scene::NodePtr& n : raiz.children())
            if (n->hasName("_QUELVA_Piso"))
                encontrados.push_back(n.get());
        return encontrados;
    };
    const scene::NodePtr camara = v.columnaViewport()->vista3D()->pointOfView();
    ASSERT_TRUE(camara && camara->camera);
    const scene::NodePtr luz = raiz.childNamed("_QUELVA_LuzDir", false);

    v.compararVersionesTRELM();
    ASSERT_EQ(pisos().size(), 1u);
    const scene::Vec3 piso = pisos().front()->position;
    EXPECT_DOUBLE_EQ(piso.z, -6.01);
    const double cerca = camara->camera->zNear, lejos = camara->camera->zFar;
    const double sombra = luz && luz->light ? luz->light->orthographicScale : 0;

    // The window's own steps, one after the other, find the same.
    ControladorFederacion& f = v.controladorFederacion();
    f.servicios().encuadrarTodo();
    f.actualizarPiso();
    ASSERT_EQ(pisos().size(), 1u);
    EXPECT_EQ(pisos().front()->position, piso);
    EXPECT_EQ(camara->camera->zNear, cerca);
    EXPECT_EQ(camara->camera->zFar, lejos);
    if (luz && luz->light) {
        EXPECT_EQ(luz->light->orthographicScale, sombra);
    }
}

TEST(ComparacionTRELM, RemovingASlotWithoutAComparisonKeepsTheOtherHidden)
{
    Ventana w;
    auto base = versionBase();
    auto nuevo = versionNueva();
    w.cargar("BASE", base, "a.ifc", {{"Muro", "G1"}});
    w.cargar("NUEVO", nuevo, "b.ifc");
    w.v.limpiarSlotTRELM("BASE");
    EXPECT_EQ(base->parent(), nullptr);
    EXPECT_TRUE(w.v.federacion.globalIdTrelmBase.empty());
    EXPECT_EQ(w.v.federacion.fileNameBase, QString::fromUtf8("Sin versión base"));
    EXPECT_TRUE(nuevo->hidden);
    EXPECT_EQ(w.v.federacion.modeloNuevo, nuevo);
    w.v.compararVersionesTRELM();  // one slot empty: nothing at all
    EXPECT_FALSE(w.v.comparacion.trelmActivo);
    EXPECT_TRUE(nuevo->hidden);
}

TEST(ComparacionTRELM, BothConfirmationsAskBeforeTheComparisonGoes)
{
    Ventana w;
    ContentView& v = w.v;
    w.cargar("BASE", versionBase(), "a.ifc");
    w.cargar("NUEVO", versionNueva(), "b.ifc");
    pulsar(v, "compararVersiones");
    ESPERAR_QUE(v.comparacion.trelmActivo);

    pulsar(v, "limpiarTRELM");
    QMessageBox* a = alerta(v);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->windowTitle(), QString::fromUtf8("Limpiar comparación TRELM"));
    responder(a, "botonCancelar");
    ESPERAR_QUE(!v.dialogoActivo());
    EXPECT_TRUE(v.comparacion.trelmActivo);

    pulsar(v, "cargarBASE");
    a = alerta(v);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->windowTitle(), "Cargar nuevo archivo");
    EXPECT_TRUE(a->text().contains(QStringLiteral("\"Base\"")));
    responder(a, "botonCancelar");
    ESPERAR_QUE(!v.dialogoActivo());
    EXPECT_TRUE(v.comparacion.trelmActivo);
    EXPECT_FALSE(v.federacion.seleccionandoTRELM);

    pulsar(v, "cargarNUEVO");
    a = alerta(v);
    ASSERT_TRUE(a);
    EXPECT_TRUE(a->text().contains(QStringLiteral("\"Nueva\"")));
    responder(a, "botonConfirmar");
    // Cleared, then the importer opens for that slot.
    QFileDialog* selector = nullptr;
    ESPERAR_QUE((selector = qobject_cast<QFileDialog*>(v.dialogoActivo())) != nullptr);
    EXPECT_FALSE(v.comparacion.trelmActivo);
    EXPECT_EQ(v.comparacion.trelmStats, EstadisticasTRELM{});
    EXPECT_EQ(v.federacion.seleccionandoTRELM, QStringLiteral("NUEVO"));
    EXPECT_TRUE(v.federacion.modeloBase->hidden);
    selector->reject();
    ESPERAR_QUE(!v.dialogoActivo());

    pulsar(v, "compararVersiones");
    ESPERAR_QUE(v.comparacion.trelmActivo);
    pulsar(v, "limpiarTRELM");
    responder(alerta(v), "botonConfirmar");
    ESPERAR_QUE(!v.comparacion.trelmActivo);
    EXPECT_TRUE(v.federacion.modeloNuevo->hidden);
    EXPECT_EQ(v.federacion.fileNameNuevo, "b.ifc");  // the slots keep their models
}

TEST(ComparacionTRELM, ReportWindowShowsTheResultAndFillsItsThumbnails)
{
    Ventana w;
    ContentView& v = w.v;
    v.mostrarReporteTRELM();  // no result: nothing opens
    EXPECT_TRUE(v.ventanas.reportWindows.isEmpty());

    auto base = versionBase();
    w.cargar("BASE", base, "a.ifc");
    w.cargar("NUEVO", versionNueva(), "b.ifc");
    pulsar(v, "compararVersiones");
    ESPERAR_QUE(v.comparacion.trelmActivo);
    const scene::Color colorBase = *pruebas_trelm::material(base, 1).diffuse.color();
    pulsar(v, "verInformeTRELM");
    pulsar(v, "verInformeTRELM");
    ESPERAR_QUE(v.ventanas.reportWindows.size() == 2);
    for (const QPointer<QWidget>& p : v.ventanas.reportWindows) {
        auto* ventana = qobject_cast<VentanaReporteTRELM*>(p.data());
        ASSERT_TRUE(ventana);
        EXPECT_EQ(ventana->windowTitle(), QString::fromUtf8("Informe TRELM · a.ifc → b.ifc"));
        EXPECT_EQ(ventana->size(), QSize(1020, 700));
        ESPERAR_QUE(ventana->generador()->terminado());
        const auto& m = ventana->store()->thumbnails();
        EXPECT_EQ(m.size(), 3u);
        for (const char* n : {"Losa", "Puerta", "Viga"})
            EXPECT_TRUE(m.contains(n)) << n;
        const ReporteTRELMView* r = ventana->reporte();
        for (const auto& s : r->secciones())
            for (const auto& e : s.elementos)
                EXPECT_TRUE(r->filaConImagen(e)) << e.nombre.toStdString();
    }
    // The live models keep the comparison's colours.
    EXPECT_EQ(*pruebas_trelm::material(base, 1).diffuse.color(), colorBase);

    // An open report keeps its copy when the comparison is cleared.
    v.limpiarComparacionTRELM();
    auto* ventana = qobject_cast<VentanaReporteTRELM*>(v.ventanas.reportWindows.first().data());
    EXPECT_EQ(ventana->reporte()->resultado().elementos.size(), 3u);
}

TEST(ComparacionTRELM, ReportPageTexts)
{
    ResultadoTRELM r;
    r.archivoBase = "a.ifc";
    r.archivoNuevo = "b.ifc";
    r.fecha = QDateTime(QDate(2026, 12, 9), QTime(8, 5));
    r.iguales = 7;
    TRELMThumbnailStore store;
    {
        ReporteTRELMView vacio(r, &store);
        EXPECT_EQ(vacio.numerosTarjetas(), (std::array<long long, 4>{0, 0, 0, 7}));
        EXPECT_TRUE(vacio.secciones().empty());
        EXPECT_EQ(vacio.textoPie(), "Total de elementos: 7");
        EXPECT_EQ(vacio.textosCabecera().first(), "Informe de Cambios TRELM");
        EXPECT_TRUE(vacio.textoGenerado().startsWith(QString::fromUtf8("Generado por QUELVA · ")));
    }
    const struct { const char* tipo; const char* nombre; TipoCambioTRELM cambio; float pos; float tam; } elementos[] = {
        {"", "Sin tipo", TipoCambioTRELM::eliminado, 0, 0},
        {"IfcBeam", "Viga", TipoCambioTRELM::modificado, 0.2f, 0.001f},
        {"IfcWall", "Muro", TipoCambioTRELM::modificado, 0.0f, 0.3f},
        {"IfcSlab", "Losa", TipoCambioTRELM::eliminado, 0, 0},
    };
    for (const auto& e : elementos) {
        ElementoCambioTRELM el;
        el.tipoIFC = e.tipo;
        el.nombre = e.nombre;
        el.tipoCambio = e.cambio;
        el.deltaPosicion = e.pos;
        el.deltaTamano = e.tam;
        r.elementos.push_back(el);
    }
    ReporteTRELMView vista(r, &store);
    vista.resize(1020, 600);
    vista.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&vista, testsupport::kLimiteCuelgue));
    EXPECT_EQ(vista.numerosTarjetas(), (std::array<long long, 4>{0, 2, 2, 7}));
    const auto s = vista.secciones();
    ASSERT_EQ(s.size(), 2u);  // no added section
    EXPECT_EQ(s[0].titulo, "Eliminados");
    EXPECT_EQ(s[0].conteo, "2 elementos");
    EXPECT_EQ(vista.textosFila(s[0], 0), (QStringList{"1.", QString::fromUtf8("—"), "Sin tipo"}));
    EXPECT_EQ(s[1].titulo, "Modificados");
    EXPECT_EQ(vista.textosFila(s[1], 0), (QStringList{"1.", "IfcWall", "Muro", QString::fromUtf8("—"), "0.300 m"}));
    EXPECT_EQ(vista.textosFila(s[1], 1), (QStringList{"2.", "IfcBeam", "Viga", "0.200 m", QString::fromUtf8("—")}));
    EXPECT_EQ(vista.textoPie(), "Total de elementos: 11");
    r.elementos.resize(1);
    EXPECT_EQ(ReporteTRELMView(r, &store).secciones()[0].conteo, "1 elemento");

    // Published pictures reach the rows; a name never published keeps its placeholder.
    QImage img(kCeldaMiniaturaTRELM, QImage::Format_RGB888);
    img.fill(Qt::red);
    store.setThumbnails({{"Muro", img}});
    EXPECT_TRUE(vista.filaConImagen(s[1].elementos[0]));
    EXPECT_FALSE(vista.filaConImagen(s[1].elementos[1]));
}
