#include "comments/ControladorComentarios.h"
#include "comments/DibujoMarkup.h"
#include "comments/ui/FilasComentarios.h"
#include "comments/ui/MarkupCanvas.h"
#include "comments/ui/PanelMarkup.h"
#include "comments/ui/ReporteComentariosView.h"
#include "main_window/ColumnaViewport.h"
#include "main_window/ContentView.h"
#include "platform/Resources.h"
#include "scene/Node.h"
#include "support/Esperar.h"
#include "support/Fixtures.h"
#include "support/PanelGuardar.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWindow>

#include <gtest/gtest.h>

#include <mutex>

extern quintptr qtHookData[];  // QtCore's, for debugging tools

using namespace quelva;

namespace {

void raton(QWidget* w, QEvent::Type tipo, QPointF p, Qt::MouseButtons botones)
{
    QMouseEvent e(tipo, p, w->mapToGlobal(p), tipo == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, botones,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

void trazar(QWidget* w, std::initializer_list<QPointF> puntos)
{
    auto it = puntos.begin();
    raton(w, QEvent::MouseButtonPress, *it, Qt::LeftButton);
    for (++it; it != puntos.end(); ++it)
        raton(w, QEvent::MouseMove, *it, Qt::LeftButton);
    raton(w, QEvent::MouseButtonRelease, *(puntos.end() - 1), Qt::NoButton);
}

bool esperar(const std::function<bool()>& condicion)
{
    return testsupport::esperarQue(condicion);
}

// Events that reach an object after it was destroyed. Qt's own code is not instrumented, so
// a widget deleted while Qt still holds it shows up here and not in the sanitizer. Qt's object
// hooks (the ones debugging tools use) tell when an address dies and when it lives again.
class EventosTardios : public QObject {
public:
    EventosTardios()
    {
        actual_ = this;
        qtHookData[kAlta] = reinterpret_cast<quintptr>(&alta);
        qtHookData[kBaja] = reinterpret_cast<quintptr>(&baja);
        qApp->installEventFilter(this);
    }
    ~EventosTardios() override
    {
        qApp->removeEventFilter(this);
        qtHookData[kAlta] = 0;
        qtHookData[kBaja] = 0;
        actual_ = nullptr;
    }

    QStringList tardios;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        const std::lock_guard cerrojo(mutex_);
        if (muertos_.contains(o))
            tardios << QString::number(int(e->type()));
        return false;
    }

private:
    static constexpr int kAlta = 3;  // AddQObject
    static constexpr int kBaja = 4;  // RemoveQObject, from ~QObject
    static void alta(QObject* o)
    {
        const std::lock_guard cerrojo(actual_->mutex_);
        actual_->muertos_.remove(o);
    }
    static void baja(QObject* o)
    {
        const std::lock_guard cerrojo(actual_->mutex_);
        actual_->muertos_.insert(o);
    }

    static inline EventosTardios* actual_ = nullptr;
    std::mutex mutex_;
    QSet<QObject*> muertos_;
};

}  // namespace

TEST(MarkupCanvas, ClicksDragsTextsAndPen)
{
    MarkupCanvasNSView canvas;
    canvas.resize(300, 200);
    std::vector<TrazadoMarkup> trazados;
    std::vector<TextoMarkup> textos;
    canvas.onNuevoTrazado = [&](const TrazadoMarkup& t) { trazados.push_back(t); };
    canvas.onNuevoTexto = [&](const TextoMarkup& t) { textos.push_back(t); };

    trazar(&canvas, {{10, 10}});
    EXPECT_TRUE(trazados.empty()) << "a click without a drag is no stroke";
    EXPECT_FALSE(canvas.trazadoActual);

    trazar(&canvas, {{10, 10}, {20, 15}, {30, 30}});
    ASSERT_EQ(trazados.size(), 1u);
    EXPECT_EQ(trazados[0].puntos, (std::vector<PuntoMarkup>{{10, 10}, {20, 15}, {30, 30}}));
    EXPECT_EQ(trazados[0].r, 1.0);
    EXPECT_EQ(trazados[0].grosor, 3.0);

    canvas.modoTexto = true;
    trazar(&canvas, {{50, 60}});
    EXPECT_TRUE(textos.empty()) << "nothing to place";
    canvas.textoPendiente = "Ver";
    canvas.colorR = 0.1;
    canvas.colorG = 0.9;
    canvas.colorB = 0.3;
    trazar(&canvas, {{50, 60}});
    trazar(&canvas, {{70, 80}});
    ASSERT_EQ(textos.size(), 2u);
    EXPECT_EQ(textos[1].x, 70);
    EXPECT_EQ(textos[1].y, 80);
    EXPECT_EQ(textos[1].tamano, 16);
    EXPECT_EQ(textos[1].g, 0.9);

    canvas.modoTexto = false;
    canvas.grosor = 8;
    trazar(&canvas, {{0, 0}, {5, 5}});
    ASSERT_EQ(trazados.size(), 2u);
    EXPECT_EQ(trazados[0].grosor, 3.0) << "earlier marks keep their pen";
    EXPECT_EQ(trazados[0].g, 0.0);
    EXPECT_EQ(trazados[1].grosor, 8.0);
    EXPECT_EQ(trazados[1].g, 0.9);
}

TEST(MarkupCanvas, TheImageEqualsTheScreen)
{
    MarkupCanvasNSView canvas;
    canvas.resize(320, 180);
    TrazadoMarkup t;
    t.puntos = {{20, 20}, {200, 60}, {260, 150}};
    t.r = 1.0;
    t.g = 0.15;
    t.b = 0.15;
    t.grosor = 6;
    canvas.trazados = {t};
    TextoMarkup x;
    x.texto = QString::fromUtf8("Revisión");
    x.x = 40;
    x.y = 100;
    x.r = 0.3;
    x.g = 0.6;
    x.b = 1.0;
    canvas.textos = {x};

    QImage pantalla(canvas.size(), QImage::Format_ARGB32_Premultiplied);
    pantalla.fill(Qt::transparent);
    canvas.render(&pantalla, QPoint(), QRegion(), QWidget::DrawChildren);
    const QImage imagen = canvas.imagenMarkup();
    ASSERT_EQ(imagen.size(), pantalla.size());
    EXPECT_EQ(imagen.convertToFormat(QImage::Format_ARGB32), pantalla.convertToFormat(QImage::Format_ARGB32));
    EXPECT_NE(qAlpha(imagen.pixel(200, 60)), 0);
    EXPECT_EQ(qAlpha(imagen.pixel(300, 10)), 0) << "nothing but the marks is painted";
}

TEST(ControladorComentarios, SavingNumbersResetsAndBurnsTheMarkupIntoTheImage)
{
    EstadoMarkup e;
    e.markupAutor = "Ana";
    QImage vista(600, 400, QImage::Format_RGB32);  // a view at twice the canvas's pixels
    vista.fill(QColor(128, 128, 128));
    bool hayVista = true;
    ControladorComentarios::Servicios s;
    s.hayModelosCargados = [] { return true; };
    s.snapshot = [&] { return hayVista ? vista : QImage(); };
    ControladorComentarios c(e, s);

    MarkupCanvasNSView canvas;
    canvas.resize(300, 200);
    e.markupCanvasRef = &canvas;

    c.iniciarComentario();
    EXPECT_TRUE(e.modoMarkup);
    TrazadoMarkup t;
    t.puntos = {{50, 100}, {250, 100}};
    t.r = 1.0;
    t.grosor = 10;
    e.trazadosActivos = {t};
    canvas.trazados = e.trazadosActivos;
    e.markupDescripcion = "Fisura";
    c.guardarComentario();
    ASSERT_EQ(e.comentarios.size(), 1u);
    const ComentarioMarkup& primero = e.comentarios[0];
    EXPECT_EQ(primero.tag, "MRK-001");
    EXPECT_EQ(primero.autor, "Ana");
    EXPECT_EQ(primero.descripcion, "Fisura");
    EXPECT_EQ(primero.trazados.size(), 1u);
    EXPECT_FALSE(e.modoMarkup);
    EXPECT_TRUE(e.trazadosActivos.empty());
    EXPECT_TRUE(e.markupDescripcion.isEmpty());
    EXPECT_EQ(e.markupAutor, "Ana");
    ASSERT_TRUE(primero.imagenJPEG);
    const QImage img = QImage::fromData(*primero.imagenJPEG, "JPEG");
    ASSERT_EQ(img.size(), QSize(600, 400));
    // The stroke at canvas y 100 lands at view y 200, scaled.
    const QColor trazo = img.pixelColor(300, 200), fondo = img.pixelColor(300, 60);
    EXPECT_GT(trazo.red(), 200);
    EXPECT_LT(trazo.green(), 60);
    EXPECT_NEAR(fondo.red(), 128, 6);

    // Without the view, or without a canvas: saved all the same, with no image.
    hayVista = false;
    c.iniciarComentario();
    c.guardarComentario();
    EXPECT_FALSE(e.comentarios.back().imagenJPEG);
    hayVista = true;
    e.markupCanvasRef = nullptr;
    c.guardarComentario();
    EXPECT_FALSE(e.comentarios.back().imagenJPEG);
    EXPECT_EQ(e.comentarios.back().tag, "MRK-003");

    // The number counts the comments there: after a delete, a tag comes again.
    e.comentarios.erase(e.comentarios.begin());
    c.guardarComentario();
    EXPECT_EQ(e.comentarios.back().tag, "MRK-003");
    EXPECT_EQ(ControladorComentarios::tagParaNumero(4), "MRK-004");
    EXPECT_EQ(ControladorComentarios::tagParaNumero(1000), "MRK-1000");
}

TEST(ControladorComentarios, ToolsColoursAndClearing)
{
    EstadoMarkup e;
    ControladorComentarios c(e, {});
    c.iniciarComentario();
    c.herramientaTexto();
    c.cambiarTextoPendiente("Nota");
    c.elegirColor(3);
    EXPECT_EQ(e.markupColorIdx, 3);
    EXPECT_FALSE(e.markupModoTexto) << "a colour goes back to the pencil";
    EXPECT_EQ(e.markupTextoPend, "Nota");
    e.trazadosActivos.resize(2);
    e.textosActivos.resize(1);
    c.herramientaTexto();
    c.limpiarAnotaciones();
    EXPECT_TRUE(e.trazadosActivos.empty());
    EXPECT_TRUE(e.textosActivos.empty());
    EXPECT_TRUE(e.markupModoTexto);
    EXPECT_EQ(e.markupTextoPend, "Nota");
    c.cancelarMarkup();
    EXPECT_FALSE(e.modoMarkup);
    EXPECT_TRUE(e.comentarios.empty());
    EXPECT_EQ(e.markupColorIdx, 3);
}

TEST(ComentariosVentana, MarkupModeCardDetailAndReport)
{
    ContentView v;
    v.resize(1440, 900);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    auto nuevo = [&] { return v.findChild<QPushButton*>("nuevoComentario"); };
    ASSERT_TRUE(nuevo());
    EXPECT_FALSE(nuevo()->isEnabled()) << "no model loaded";
    EXPECT_TRUE(v.findChild<QWidget*>("sinComentarios"));

    v.modificarEspecialidades([](auto& esp) { esp.begin()->second.nodoRaiz = scene::Node::make(); });
    v.refrescar();
    ASSERT_TRUE(nuevo()->isEnabled());
    nuevo()->click();
    ASSERT_TRUE(v.markup.modoMarkup);
    CapasMarkup* capas = v.columnaViewport()->capasMarkup();
    ASSERT_TRUE(capas->canvas() && capas->panel());
    EXPECT_EQ(capas->canvas()->geometry(), v.columnaViewport()->rect());
    ASSERT_TRUE(esperar([&] { return v.markup.markupCanvasRef == capas->canvas(); }));

    // Cancel leaves markup mode with nothing saved.
    capas->panel()->findChild<QToolButton*>("cancelar")->click();
    EXPECT_FALSE(v.markup.modoMarkup);
    EXPECT_FALSE(capas->canvas());
    EXPECT_TRUE(v.markup.comentarios.empty());

    nuevo()->click();
    QWidget* canvas = capas->canvas();
    ASSERT_TRUE(esperar([&] { return v.markup.markupCanvasRef == canvas; }));
    trazar(canvas, {{100, 100}, {200, 150}});
    EXPECT_EQ(v.markup.trazadosActivos.size(), 1u);
    QTest::keyClicks(capas->panel()->findChild<QLineEdit*>("descripcion"), "Junta abierta");
    capas->panel()->findChild<QToolButton*>("guardar")->click();
    ASSERT_EQ(v.markup.comentarios.size(), 1u);
    EXPECT_EQ(v.markup.comentarios[0].descripcion, "Junta abierta");
    EXPECT_EQ(v.markup.comentarios[0].trazados.size(), 1u);
    EXPECT_TRUE(v.markup.comentarios[0].imagenJPEG);
    EXPECT_FALSE(v.markup.modoMarkup);

    // The row, its eye and its minus, clicked where they are drawn.
    FilasComentarios* filas = nullptr;
    ASSERT_TRUE(esperar([&] {
        filas = v.findChild<FilasComentarios*>("filasComentarios");
        return filas && filas->isVisible() && filas->width() > 0;
    }));
    ASSERT_EQ(filas->cantidad(), 1);
    EXPECT_EQ(filas->texto(0, FilasComentarios::Parte::tag), "MRK-001");
    const auto pulsar = [&](FilasComentarios::Parte boton) {
        QTest::mouseClick(filas, Qt::LeftButton, Qt::NoModifier, filas->rectParte(0, boton).center());
    };
    pulsar(FilasComentarios::Parte::verDetalle);
    ASSERT_TRUE(esperar([&] { return v.controladorComentarios().hojaDetalle(); }));
    QDialog* hoja = v.controladorComentarios().hojaDetalle();
    EXPECT_GE(hoja->width(), 640);
    EXPECT_TRUE(hoja->findChild<QWidget*>("imagen"));
    EXPECT_EQ(v.markup.detalleComentario->id, v.markup.comentarios[0].id);
    hoja->findChild<QPushButton*>("cerrar")->click();
    EXPECT_FALSE(v.markup.detalleComentario);

    // The minus asks first; declining keeps the comment.
    filas = v.findChild<FilasComentarios*>("filasComentarios");
    ASSERT_TRUE(filas);
    pulsar(FilasComentarios::Parte::eliminar);
    EXPECT_EQ(v.markup.comentarioPendElim, v.markup.comentarios[0].id);
    QMessageBox* alerta = nullptr;
    ASSERT_TRUE(esperar([&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* a = qobject_cast<QMessageBox*>(w); a && a->isVisible())
                alerta = a;
        return alerta != nullptr;
    }));
    EXPECT_EQ(alerta->windowTitle(), "Eliminar comentario");
    alerta->reject();
    ASSERT_TRUE(esperar([&] { return !v.markup.comentarioPendElim; }));
    EXPECT_EQ(v.markup.comentarios.size(), 1u);

    v.findChild<QPushButton*>("reporteComentarios")->click();
    ASSERT_EQ(v.ventanas.reportWindows.size(), 1);
    QWidget* ventana = v.ventanas.reportWindows[0];
    EXPECT_EQ(ventana->windowTitle(), QString::fromUtf8("Reporte de Comentarios — QUELVA"));
    EXPECT_EQ(ventana->findChildren<QWidget*>("tarjetaComentario").size(), 1);
    // Later comments do not reach a report already open.
    v.controladorComentarios().guardarComentario();
    EXPECT_EQ(ventana->findChildren<QWidget*>("tarjetaComentario").size(), 1);
}

TEST(ComentariosVentana, ThirtySavesAndCancelsInARowOverALinkedModel)
{
    platform::Resources::setBundleDir(testsupport::bundleDir());
    ContentView v;
    v.resize(1440, 900);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
    v.seleccionarArchivoIFC({testsupport::fixturePath("federation/modelo_arq.ifc")});
    ASSERT_TRUE(esperar([&] { return v.hayModelosCargados() && !v.federacion.isProcessing; }));
    ASSERT_FALSE(v.federacion.showError);

    // Through the window, as the user's clicks come: Qt's own press and release tracking runs.
    QWindow* ventana = v.windowHandle();
    const auto clic = [&](QWidget* w) {
        const QPoint p = w->mapTo(&v, w->rect().center());
        QTest::mouseMove(ventana, p);
        QTest::mouseClick(ventana, Qt::LeftButton, {}, p);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    EventosTardios eventos;
    CapasMarkup* capas = v.columnaViewport()->capasMarkup();
    for (int i = 0; i < 30; ++i) {
        for (const char* boton : {"cancelar", "guardar"}) {
            SCOPED_TRACE(std::to_string(i) + " " + boton);
            auto* nuevo = v.findChild<QPushButton*>("nuevoComentario");
            ASSERT_TRUE(nuevo && nuevo->isEnabled());
            clic(nuevo);
            ASSERT_TRUE(v.markup.modoMarkup);
            ASSERT_TRUE(
                esperar([&] { return capas->canvas() && v.markup.markupCanvasRef == capas->canvas(); }));
            const QPoint a = capas->canvas()->mapTo(&v, QPoint(100, 100));
            QTest::mousePress(ventana, Qt::LeftButton, {}, a);
            QTest::mouseMove(ventana, a + QPoint(60, 20));
            QTest::mouseMove(ventana, a + QPoint(120, 60));
            QTest::mouseRelease(ventana, Qt::LeftButton, {}, a + QPoint(120, 60));
            ASSERT_EQ(v.markup.trazadosActivos.size(), 1u);
            clic(capas->panel()->findChild<QToolButton*>(boton));
            EXPECT_FALSE(v.markup.modoMarkup);
            EXPECT_FALSE(capas->canvas());
            ASSERT_TRUE(eventos.tardios.isEmpty()) << eventos.tardios.join(", ").toStdString();
        }
        ASSERT_EQ(v.markup.comentarios.size(), std::size_t(i + 1));
        EXPECT_TRUE(v.markup.comentarios.back().imagenJPEG);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(v.findChildren<FilasComentarios*>("filasComentarios").size(), 1);
    EXPECT_EQ(v.findChild<FilasComentarios*>("filasComentarios")->cantidad(), 30);
    EXPECT_TRUE(eventos.tardios.isEmpty()) << eventos.tardios.join(", ").toStdString();
}

TEST(ReporteComentarios, ExportsAskBeforeReplacingAndReportFailures)
{
    QTemporaryDir dir;
    ComentarioMarkup c;
    c.tag = "MRK-001";
    ReporteComentariosView vista({c});
    vista.show();
    EXPECT_EQ(vista.findChild<QLabel*>("lineaConteo")->text().left(18), QString::fromUtf8("1 comentario(s)  ·"));

    vista.exportarBCF();
    ASSERT_TRUE(vista.dialogoActivo());
    EXPECT_TRUE(vista.dialogoActivo()->selectedFiles().value(0).endsWith("Comentarios_QUELVA.bcf"));
    vista.dialogoActivo()->reject();
    ASSERT_TRUE(esperar([&] { return !vista.dialogoActivo(); }));
    vista.exportarPDF();
    ASSERT_TRUE(vista.dialogoActivo());
    EXPECT_EQ(vista.dialogoActivo()->defaultSuffix(), "pdf");
    EXPECT_TRUE(vista.dialogoActivo()->selectedFiles().value(0).contains("/Reporte_Comentarios_QUELVA"));
    vista.dialogoActivo()->reject();
    ASSERT_TRUE(esperar([&] { return !vista.dialogoActivo(); }));

    // "Informe" becomes "Informe.bcf", which exists: asked first; "Cancelar" keeps it.
    const QString existente = dir.filePath("Informe.bcf");
    {
        QFile f(existente);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("viejo");
    }
    vista.alElegirDestinoBCF(dir.filePath("Informe"));
    ASSERT_TRUE(vista.alertaActiva());
    EXPECT_EQ(vista.alertaActiva()->text(), QString::fromUtf8("El archivo «Informe.bcf» ya existe. ¿Deseas reemplazarlo?"));
    vista.alertaActiva()->findChild<QPushButton*>("cancelar")->click();
    testsupport::entregarEventos();
    QFile f(existente);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "viejo");
    f.close();
    vista.alElegirDestinoBCF(dir.filePath("Informe"));
    ASSERT_TRUE(vista.alertaActiva());
    vista.alertaActiva()->findChild<QPushButton*>("reemplazar")->click();
    ASSERT_TRUE(esperar([&] {
        QFile g(existente);
        return g.open(QIODevice::ReadOnly) && g.read(2) == "PK";
    }));

    ASSERT_TRUE(QDir().mkpath(dir.filePath("carpeta.bcf")));
    vista.alElegirDestinoBCF(dir.filePath("carpeta.bcf"));
    ASSERT_TRUE(vista.alertaActiva());
    EXPECT_EQ(vista.alertaActiva()->windowTitle(), "Error");
    EXPECT_TRUE(vista.alertaActiva()->text().startsWith("Error al exportar el BCF: "));
    vista.alertaActiva()->close();
    testsupport::entregarEventos();
    vista.alElegirDestinoPDF(dir.filePath("no/existe.pdf"));
    ASSERT_TRUE(vista.alertaActiva());
    EXPECT_TRUE(vista.alertaActiva()->text().startsWith("Error al exportar el PDF: "));
    EXPECT_TRUE(QDir(dir.filePath("carpeta.bcf")).exists());
}

TEST(ReporteComentarios, BcfPackageGetsBcfAfterAnyOtherExtension)
{
    const std::pair<const char*, const char*> casos[] = {
        {nullptr, "Comentarios_QUELVA.bcf"},  // the proposed name
        {"Informe", "Informe.bcf"},
        {"informe.zip", "informe.zip.bcf"},
        {"clashes.bcfzip", "clashes.bcfzip.bcf"},
        {"X.BCF", "X.BCF"},
    };
    ComentarioMarkup c;
    c.tag = "MRK-001";
    ReporteComentariosView vista({c});
    vista.show();
    for (const auto& [escrito, final] : casos) {
        QTemporaryDir dir;
        vista.exportarBCF();
        ASSERT_TRUE(vista.dialogoActivo());
        testsupport::guardarEnPanel(*vista.dialogoActivo(), dir.path(), escrito);
        const QString esperado = QDir(dir.path()).filePath(QString::fromUtf8(final));
        ASSERT_TRUE(esperar([&] { return !vista.dialogoActivo() && QFile::exists(esperado); })) << final;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).join(" | ").toStdString(), final);
    }
}
