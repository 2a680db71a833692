// Every window at its default size, with long real-world names in it: no text is cut unless the
// window's own design cuts it with "…".

#include "app/TemaVisual.h"
#include "comments/ControladorComentarios.h"
#include "comments/ui/FilasComentarios.h"
#include "comparison/ResultadoTRELM.h"
#include "main_window/ColumnaViewport.h"
#include "main_window/ContentView.h"
#include "main_window/inspector/ColumnaInspector.h"
#include "qto/ui/VentanaQTO.h"
#include "scene/Geometry.h"
#include "sections/Ventana2D.h"
#include "sections/Vista2DView.h"
#include "timeline/HojasTimeLiner.h"
#include "timeline/TimeLinerStore.h"
#include "timeline/editor/ui/EditorPaqueteView.h"
#include "timeline/ui/TimeLinerView.h"
#include "support/Buscar.h"
#include "support/Capturas.h"
#include "support/Esperar.h"
#include "support/TextosCortados.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

using namespace quelva;
using testsupport::alertaVisible;

namespace {

// Names as real models bring them.
const char* const kModelo = "IFC-apconstructie_dakkapellen_platdak.ifc";
const char* const kPropiedadLarga = "Pset_ConcreteElementGeneral \u203A Base Extension Distance";
const char* const kRutaLarga = "C:\\Proyectos\\2025\\Torre_Norte\\Coordinacion\\Modelos\\ARQ\\Revision_07\\"
                               "3Kz0f8sVj1$OM2x9Qe7rTt.ifc";

// A box of `w` x `d` x `h` metres (x, y, z) at `x0` along X.
scene::NodePtr elemento(const std::string& nombre, float x0, float w, float d, float h)
{
    const std::vector<scene::Vec3f> puntos{{x0, 0, 0}, {x0 + w, 0, 0}, {x0 + w, d, h}};
    const std::vector<std::int32_t> indices{0, 1, 2};
    auto n = scene::Node::make(scene::makeTriangleGeometry(puntos, indices));
    n->name = nombre;
    return n;
}

// A window with one linked model of real names, an element selected, a long comment and the
// types whose Spanish names are the longest of the take-off.
void poblar(ContentView& v)
{
    auto modelo = scene::Node::make();
    modelo->name = kModelo;
    const struct {
        const char* nombre;
        const char* tipo;
    } elementos[] = {{"IfcMember/Dakkapel ligger 01", "IFCMEMBER"},
                     {"IfcFlowSegment/Leiding 02", "IFCFLOWSEGMENT"},
                     {"IfcBuildingElementProxy/Proxy 03", "IFCBUILDINGELEMENTPROXY"},
                     {"IfcWall/Muro 04", "IFCWALL"}};
    float x = 0;
    for (const auto& e : elementos) {
        modelo->addChild(elemento(e.nombre, x, 17.8f, 0.42f, 2.9f));
        auto& props = v.federacion.propiedadesIFC["ARQ"][e.nombre];
        props["__tipoIFC"] = e.tipo;
        props[kPropiedadLarga] = "0.25";
        props["Pset_ManufacturerTypeInformation \u203A ModelReference"] = kRutaLarga;
        x += 20;
    }
    v.modificarEspecialidades([&](auto& tabla) {
        EspecialidadBIM& arq = tabla.at("ARQ");
        arq.nodoRaiz = scene::Node::make();
        arq.nodoRaiz->addChild(modelo);
        v.escena.scene->rootNode()->addChild(arq.nodoRaiz);
        ModeloVinculado m;
        m.nombre = kModelo;
        m.nodo = modelo;
        arq.modelos.push_back(m);
    });
    v.federacion.fileName = kModelo;

    ComentarioMarkup c;
    c.tag = QStringLiteral("Revisión");
    c.autor = QStringLiteral("Coordinación BIM");
    c.descripcion = QString::fromUtf8(kRutaLarga);
    v.markup.comentarios.push_back(c);

    v.refrescar();
    v.seleccionarNodo(modelo->children().front());
}

QWidget* ultima(const ListaVentanas& lista)
{
    return lista.isEmpty() ? nullptr : lista.back().data();
}

// A schedule whose names are as long as real ones: a CWA, its CWP and an IWP under it.
void poblarTimeLiner(ContentView& v)
{
    v.timeLinerStore()->modificar([](TimeLinerConfig& c) {
        const QDateTime inicio = c.fechaInicio;
        const struct {
            const char* codigo;
            const char* nombre;
            NivelAWP nivel;
            const char* padre;
        } paquetes[] = {
            {"CWA-NUTS-01", "NUTS aansluitingen dakkapellen en platdak noordgevel", NivelAWP::cwa, nullptr},
            {"CWP-NUTS-01-A", "Constructie dakkapellen platdak", NivelAWP::cwp, "CWA-NUTS-01"},
            {"IWP-NUTS-01-A-003", "Montage liggers en kolommen dakkapel noord", NivelAWP::iwp, "CWP-NUTS-01-A"},
        };
        for (const auto& p : paquetes) {
            PaqueteAWP q;
            q.codigo = QString::fromUtf8(p.codigo);
            q.nombre = QString::fromUtf8(p.nombre);
            q.nivel = p.nivel;
            if (p.padre)
                q.parentCodigo = QString::fromUtf8(p.padre);
            q.fechaInicio = inicio.addDays(10);
            q.fechaFin = inicio.addDays(70);
            q.presupuesto = 1250000;
            q.hh = 3200;
            c.paquetes.push_back(q);
        }
    });
}

TimeLinerView* abrirTimeLiner(ContentView& v)
{
    poblarTimeLiner(v);
    v.abrirVentanaTimeLiner();
    return qobject_cast<TimeLinerView*>(ultima(v.timeline.timeLinerWindows));
}

// The program's own dark theme for the length of a test: texts and contrasts as the user sees them.
class TemaDelPrograma {
public:
    TemaDelPrograma() : paleta_(QApplication::palette()) { aplicarTemaVisual(*qApp); }
    ~TemaDelPrograma() { QApplication::setPalette(paleta_); }

private:
    QPalette paleta_;
};

// The texts the comment rows paint themselves that do not fit their room; the description may end
// in "…" by design.
std::vector<testsupport::TextoCortado> cortadosEnFilasComentarios(QWidget& raiz)
{
    using Parte = FilasComentarios::Parte;
    std::vector<testsupport::TextoCortado> salida;
    for (FilasComentarios* filas : raiz.findChildren<FilasComentarios*>()) {
        if (!filas->isVisible())
            continue;
        for (int i = 0; i < filas->cantidad(); ++i)
            for (Parte parte : {Parte::tag, Parte::autor, Parte::fecha}) {
                const int necesario = QFontMetrics(filas->fuente(parte)).horizontalAdvance(filas->texto(i, parte));
                const int ancho = filas->rectParte(i, parte).width();
                if (necesario > ancho)
                    salida.push_back({QStringLiteral("filasComentarios/%1").arg(i), filas->texto(i, parte),
                                      QStringLiteral("necesita %1 px de ancho, tiene %2").arg(necesario).arg(ancho)});
            }
    }
    return salida;
}

// One row of the table: any window the program opens can be added as one more.
struct Ventana {
    const char* nombre;
    // Opens the window from the populated main window; null when it did not open.
    std::function<QWidget*(ContentView&)> abrir;
    // Object names of the texts the window's design cuts with "…" when they are long.
    QStringList permitidos;
};

}  // namespace

TEST(TextosCompletos, EveryWindowShowsItsTextsWholeAtItsDefaultSize)
{
    const Ventana ventanas[] = {
        {"ventana principal: tarjetas, inspector con selección",
         [](ContentView& v) -> QWidget* { return &v; },
         {"nombreModelo", "descripcion"}},  // one line and two lines, ending in "…"
        {"leyenda de la comparación",
         [](ContentView& v) -> QWidget* {
             v.seleccionarNodo(nullptr);
             v.comparacion.trelmActivo = true;
             v.refrescar();
             return v.columnaInspector();
         },
         {}},
        {"reporte de la comparación",
         [](ContentView& v) -> QWidget* {
             ResultadoTRELM r;
             r.fecha = QDateTime::currentDateTime();
             r.archivoBase = QString::fromUtf8(kModelo);
             r.archivoNuevo = QStringLiteral("IFC-apconstructie_dakkapellen_platdak_rev2.ifc");
             v.comparacion.resultadoTRELM = r;
             v.mostrarReporteTRELM();
             return ultima(v.ventanas.reportWindows);
         },
         {}},
        {"alerta de la comparación",
         [](ContentView& v) -> QWidget* {
             v.comparacion.trelmActivo = true;
             v.comparacion.confirmarLimpiarTRELM = true;
             v.refrescar();
             QMessageBox* alerta = nullptr;
             testsupport::esperarQue([&] { return (alerta = alertaVisible()) != nullptr; });
             return alerta;
         },
         {}},
        {"ventana 2D con la herramienta de cotas",
         [](ContentView& v) -> QWidget* {
             v.secciones.seccionEje = 2;
             v.secciones.seccionPosicion = 1.5;
             v.secciones.seccionModoProfundidad = 1;  // the longest title: "… · 3.0 m prof."
             v.generarPlano2D();
             auto* ventana = qobject_cast<Ventana2D*>(ultima(v.secciones.vista2DWindows));
             if (ventana)
                 ventana->contenido()->alternarModoCota();
             return ventana;
         },
         {}},
        {"cuantificación",
         [](ContentView& v) -> QWidget* {
             v.abrirQTO();
             return ultima(v.ventanas.reportWindows);
         },
         {}},
        {"reporte de comentarios",
         [](ContentView& v) -> QWidget* { return v.controladorComentarios().abrirReporteComentarios(); },
         {}},
        {"timeline con paquetes de nombres largos",
         [](ContentView& v) -> QWidget* { return abrirTimeLiner(v); },
         {}},
        {"editor de un paquete guardado",
         [](ContentView& v) -> QWidget* {
             TimeLinerView* ventana = abrirTimeLiner(v);
             if (!ventana)
                 return nullptr;
             registrarEditorPaquete();
             ventana->controlador().editarPaquete(v.timeLinerStore()->config().paquetes.at(2));
             EditorPaqueteView* editor = nullptr;
             testsupport::esperarQue([&] { return (editor = ventana->findChild<EditorPaqueteView*>()) != nullptr; });
             return editor;
         },
         {}},
    };

    TemaDelPrograma tema;
    struct Quitar {
        ~Quitar() { hojasTimeLiner() = {}; }  // other tests expect an empty registry
    } quitar;
    for (const Ventana& caso : ventanas) {
        SCOPED_TRACE(caso.nombre);
        ContentView v;
        v.resize(1440, 900);  // the main window's default size
        v.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
        poblar(v);
        QWidget* ventana = caso.abrir(v);
        ASSERT_TRUE(ventana);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(ventana->window()));
        // Views built on refresh are laid out by the next turns of the event loop.
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QApplication::processEvents();
        testsupport::guardarCaptura(*ventana->window(), QString::fromUtf8(caso.nombre));
        auto cortados = testsupport::textosCortados(*ventana, caso.permitidos);
        for (auto& c : cortadosEnFilasComentarios(*ventana))
            cortados.push_back(std::move(c));
        EXPECT_TRUE(cortados.empty()) << testsupport::describir(cortados).toStdString();
        if (auto* alerta = alertaVisible())
            alerta->reject();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != &v && w->isVisible())
                w->close();
    }
}

TEST(TextosCompletos, ALongWordInACommentKeepsTheSidebarItsWidthItsButtonsAndReadableMeta)
{
    TemaDelPrograma tema;
    ContentView v;
    v.resize(1440, 900);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
    poblar(v);
    using Parte = FilasComentarios::Parte;
    FilasComentarios* filas = nullptr;
    ESPERAR_QUE((filas = testsupport::hijoVisible<FilasComentarios>(v, "filasComentarios")) != nullptr);
    QApplication::processEvents();
    ASSERT_EQ(filas->cantidad(), 1);

    // The sidebar's scroll area shows its cards whole: none is wider than what it shows.
    QWidget* tarjetas = testsupport::hijoVisible<QWidget>(v, "tarjetasSidebar");
    ASSERT_TRUE(tarjetas);
    const QWidget* vista = tarjetas->parentWidget();  // the scroll area's viewport
    EXPECT_LE(tarjetas->width(), vista->width());
    EXPECT_LE(filas->mapTo(vista, QPoint(filas->width(), 0)).x(), vista->width());

    // Two lines at most, and the row's buttons and the link button inside the sidebar.
    const QRect descripcion = filas->rectParte(0, Parte::descripcion);
    EXPECT_EQ(descripcion.height(), 2 * QFontMetrics(filas->fuente(Parte::descripcion)).lineSpacing());
    EXPECT_LE(filas->mapTo(vista, descripcion.topRight()).x(), vista->width());
    for (Parte boton : {Parte::verDetalle, Parte::eliminar})
        EXPECT_LE(filas->mapTo(vista, filas->rectParte(0, boton).topRight()).x(), vista->width());
    QWidget* vincular = testsupport::hijoVisible<QWidget>(v, "botonVincular");
    ASSERT_TRUE(vincular);
    EXPECT_LE(vincular->mapTo(vista, QPoint(vincular->width(), 0)).x(), vista->width());

    // Author and date whole, in the secondary colour, readable on the dark card (WCAG AA).
    for (Parte meta : {Parte::autor, Parte::fecha}) {
        const QRect zona = filas->rectParte(0, meta);
        EXPECT_LE(QFontMetrics(filas->fuente(meta)).horizontalAdvance(filas->texto(0, meta)), zona.width())
            << filas->texto(0, meta).toStdString();
        EXPECT_GE(testsupport::contrasteTexto(*filas, zona), 4.5) << filas->texto(0, meta).toStdString();
    }

    // The comments report's subtitle, on the report's own background.
    QWidget* reporte = v.controladorComentarios().abrirReporteComentarios();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(reporte->window()));
    QLabel* subtitulo = testsupport::hijoVisible<QLabel>(*reporte->window(), "lineaConteo");
    ASSERT_TRUE(subtitulo);
    EXPECT_GE(testsupport::contrasteTexto(*subtitulo), 4.5);
    reporte->window()->close();
}
