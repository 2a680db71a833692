// Unsaved work is not thrown away without a word: the mark follows what a save would write,
// and opening another project asks first; each answer does what it says. Oversized project
// files are refused before they are read.

#include "main_window/ContentView.h"

#include "federation/EntornoConversor.h"
#include "support/Esperar.h"
#include "project/GestorProyecto.h"
#include "project/LecturaProyecto.h"
#include "support/LimiteTamano.h"
#include "support/ZipArmado.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace quelva {
namespace {

using testsupport::escribirArchivo;
using testsupport::leerArchivo;

// Only a guard against a hang: every wait ends on the event it waits for.

QMessageBox* pregunta(const ContentView& v)
{
    auto* alerta = qobject_cast<QMessageBox*>(v.dialogoActivo());
    return alerta && alerta->text() == "¿Guardar los cambios del proyecto?" ? alerta : nullptr;
}

void agregarComentario(ContentView& v)
{
    ComentarioMarkup c;
    c.tag = "C-1";
    c.descripcion = "Muro sin vano";
    v.markup.comentarios.push_back(c);
}

class CambiosSinGuardar : public testfed::EntornoConversor {
protected:
    void SetUp() override
    {
        EntornoConversor::SetUp();
        fijar("QUELVA_CONV_OBJ", conv("dos_muros.obj"));
        ASSERT_TRUE(escribirArchivo(dir_.filePath("planta.ifc"), leerArchivo(conv("muros_a.ifc"))));
    }
    QTemporaryDir dir_;
};

TEST_F(CambiosSinGuardar, TheMarkFollowsWhatASaveWouldWrite)
{
    ContentView v;
    EXPECT_FALSE(v.hayCambiosSinGuardar());
    agregarComentario(v);
    EXPECT_TRUE(v.hayCambiosSinGuardar());
    v.markup.comentarios.clear();
    EXPECT_FALSE(v.hayCambiosSinGuardar()) << "back to what was there";

    // What a save does not write is no change.
    v.federacion.seleccionActual = "MEP";
    v.gestor()->setNombreProyecto("Otro nombre");
    EXPECT_FALSE(v.hayCambiosSinGuardar());

    const QString ruta = dir_.filePath("obra.json");
    v.gestor()->establecerURL(ruta);
    agregarComentario(v);
    v.guardarProyecto();
    ASSERT_FALSE(v.federacion.showError);
    EXPECT_FALSE(v.hayCambiosSinGuardar());
    v.markup.comentarios[0].descripcion = "Muro con vano";
    EXPECT_TRUE(v.hayCambiosSinGuardar());
    // A state that cannot be saved is never taken for the saved one.
    v.markup.comentarios[0].descripcion = "Muro sin vano";
    v.secciones.seccionesGuardadas.push_back(SeccionGuardada{QUuid::createUuid(), "S", 2, std::nan("")});
    EXPECT_TRUE(v.hayCambiosSinGuardar());
    v.secciones.seccionesGuardadas.clear();
    EXPECT_FALSE(v.hayCambiosSinGuardar());

    // Opening: its models arrive from the converter later and change nothing.
    ProyectoQUELVA p;
    p.ordenEspecialidades = {"ARQ"};
    EspecialidadGuardada arq;
    arq.key = "ARQ";
    arq.nombre = "Arquitectura";
    arq.colorR = 0.85;
    ModeloGuardado m;
    m.nombre = "planta.ifc";
    m.rutaAbsoluta = dir_.filePath("planta.ifc");
    m.transparencia = 0.25;
    arq.modelos = {m, m};
    arq.modelos[1].rutaAbsoluta = dir_.filePath("no-existe.ifc");
    p.especialidades = {arq};
    const QString otro = dir_.filePath("otro.json");
    ASSERT_TRUE(escribirArchivo(otro, std::get<QByteArray>(GestorProyecto::codificarProyecto(p))));
    v.cargarProyecto(otro);
    ESPERAR_QUE(v.federacion.ordenEspecialidades == QStringList{"ARQ"});
    EXPECT_FALSE(v.hayCambiosSinGuardar());
    ESPERAR_QUE(v.federacion.especialidades.at("ARQ").modelos.size() == 1 && v.federacion.showError);
    EXPECT_FALSE(v.hayCambiosSinGuardar());
    v.aplicarTransparenciaModelo("ARQ", v.federacion.especialidades.at("ARQ").modelos[0].id, 0.5);
    EXPECT_TRUE(v.hayCambiosSinGuardar());
}

// The question before "Abrir proyecto..." and "Abrir paquete compartible...".
TEST_F(CambiosSinGuardar, OpeningAnotherProjectAsksAndEachAnswerDoesWhatItSays)
{
    enum class Respuesta { cancelar, noGuardar, guardar, guardarFalla };
    struct Caso {
        const char* titulo;
        void (ContentView::*comando)();
        Respuesta respuesta;
        const char* panel;  // the open panel that follows; none when nothing follows
    };
    const Caso casos[] = {
        {"proyecto, cancelar", &ContentView::abrirProyecto, Respuesta::cancelar, nullptr},
        {"proyecto, no guardar", &ContentView::abrirProyecto, Respuesta::noGuardar, "Abrir proyecto QUELVA"},
        {"proyecto, guardar", &ContentView::abrirProyecto, Respuesta::guardar, "Abrir proyecto QUELVA"},
        {"proyecto, guardar falla", &ContentView::abrirProyecto, Respuesta::guardarFalla, nullptr},
        {"paquete, cancelar", &ContentView::importarPaquete, Respuesta::cancelar, nullptr},
        {"paquete, no guardar", &ContentView::importarPaquete, Respuesta::noGuardar, "Abrir paquete compartible"},
        {"paquete, guardar", &ContentView::importarPaquete, Respuesta::guardar, "Abrir paquete compartible"},
    };
    const QByteArray anterior = "{\"version\": 2}\n";
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.titulo);
        const QString ruta = dir_.filePath("obra.json");
        ASSERT_TRUE(escribirArchivo(ruta, anterior));
        ContentView v;
        v.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
        v.gestor()->establecerURL(ruta);
        agregarComentario(v);

        (v.*c.comando)();
        QMessageBox* alerta = pregunta(v);
        ASSERT_NE(alerta, nullptr);
        EXPECT_EQ(alerta->findChild<QPushButton*>("botonGuardar")->text(), "Guardar");
        EXPECT_EQ(alerta->findChild<QPushButton*>("botonNoGuardar")->text(), "No guardar");
        EXPECT_EQ(alerta->findChild<QPushButton*>("botonCancelar")->text(), "Cancelar");
        const char* boton = c.respuesta == Respuesta::cancelar    ? "botonCancelar"
                            : c.respuesta == Respuesta::noGuardar ? "botonNoGuardar"
                                                                  : "botonGuardar";
        {
            // A save that fails: the disk is full.
            std::optional<testsupport::LimiteTamano> lleno;
            if (c.respuesta == Respuesta::guardarFalla)
                lleno.emplace(16);
            QTest::mouseClick(alerta->findChild<QPushButton*>(boton), Qt::LeftButton);
            ESPERAR_QUE(pregunta(v) == nullptr
                               && (v.dialogoActivo() != nullptr || c.respuesta == Respuesta::cancelar));
        }
        const bool guardado = c.respuesta == Respuesta::guardar;
        EXPECT_EQ(leerArchivo(ruta) != anterior, guardado);
        EXPECT_EQ(v.hayCambiosSinGuardar(), !guardado);
        auto* panel = qobject_cast<QFileDialog*>(v.dialogoActivo());
        if (c.panel) {
            ASSERT_NE(panel, nullptr);
            EXPECT_EQ(panel->windowTitle(), c.panel);
            panel->reject();
        } else {
            EXPECT_EQ(panel, nullptr);
        }
        if (c.respuesta == Respuesta::guardarFalla) {
            EXPECT_TRUE(v.federacion.showError);
            EXPECT_TRUE(v.federacion.errorMessage->startsWith("Error al guardar: "));
        }
        EXPECT_EQ(v.markup.comentarios.size(), 1u);
    }
}

TEST_F(CambiosSinGuardar, SavingANewProjectFromTheQuestionContinuesOnlyOnceItIsWritten)
{
    ContentView v;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
    agregarComentario(v);
    // Nothing changed: no question at all.
    v.markup.comentarios.clear();
    v.abrirProyecto();
    QFileDialog* panel = nullptr;
    ESPERAR_QUE((panel = qobject_cast<QFileDialog*>(v.dialogoActivo())) != nullptr);
    EXPECT_EQ(panel->windowTitle(), "Abrir proyecto QUELVA");
    panel->reject();
    // The panel goes with the deferred deletions; until then it counts as still open.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(v.dialogoActivo(), nullptr);

    agregarComentario(v);
    // The panel proposes this name again once it has read the folder.
    v.gestor()->setNombreProyecto("nueva");
    for (const bool elegir : {false, true}) {
        v.abrirProyecto();
        ASSERT_NE(pregunta(v), nullptr);
        QTest::mouseClick(pregunta(v)->findChild<QPushButton*>("botonGuardar"), Qt::LeftButton);
        // No file yet: the save asks where.
        ESPERAR_QUE((panel = qobject_cast<QFileDialog*>(v.dialogoActivo())) != nullptr);
        ASSERT_EQ(panel->acceptMode(), QFileDialog::AcceptSave);
        if (!elegir) {
            panel->reject();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            ASSERT_EQ(v.dialogoActivo(), nullptr);
            EXPECT_TRUE(v.hayCambiosSinGuardar());
            continue;
        }
        panel->selectFile(dir_.filePath("nueva.json"));
        static_cast<QDialog*>(panel)->accept();
        ESPERAR_QUE((panel = qobject_cast<QFileDialog*>(v.dialogoActivo())) != nullptr
                           && panel->acceptMode() == QFileDialog::AcceptOpen);
        EXPECT_EQ(panel->windowTitle(), "Abrir proyecto QUELVA");
        EXPECT_TRUE(leerArchivo(dir_.filePath("nueva.json")).contains("Muro sin vano"));
        EXPECT_FALSE(v.hayCambiosSinGuardar());
        panel->reject();
    }
}

TEST_F(CambiosSinGuardar, AnOversizedProjectFileIsRefusedBeforeItIsRead)
{
    ContentView v;
    agregarComentario(v);
    const QString grande = dir_.filePath("grande.json");
    {
        // Sparse: 200 MB on paper, nothing on disk; reading it would hold the window for seconds.
        QFile f(grande);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(200'000'000));
    }
    ASSERT_GT(QFileInfo(grande).size(), kTamanoMaximoProyecto);
    v.cargarProyecto(grande);
    ESPERAR_QUE(v.federacion.showError);
    EXPECT_EQ(*v.federacion.errorMessage, "Error al cargar el proyecto: El archivo «" + grande
                                              + "» es demasiado grande para abrirlo como proyecto (más de 150 MiB).");
    EXPECT_EQ(v.markup.comentarios.size(), 1u);
    EXPECT_EQ(v.gestor()->urlActual(), std::nullopt);
}

}  // namespace
}  // namespace quelva
