// A model still being linked is part of the project: a save or a package made while it converts
// carries it from the chosen file, and quitting or opening another project asks first.

#include "app/QUELVAApp.h"

#include "federation/EntornoConversor.h"
#include "main_window/ContentView.h"
#include "project/CodificacionProyecto.h"
#include "project/GestorProyecto.h"
#include "project/PaqueteCompartible.h"
#include "support/Esperar.h"
#include "support/ZipArmado.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>

namespace quelva {
namespace {

using testsupport::escribirArchivo;
using testsupport::leerArchivo;

QAction* accion(QMainWindow* ventana, const QString& texto)
{
    for (QAction* m : ventana->menuBar()->actions())
        if (m->menu())
            for (QAction* a : m->menu()->actions())
                if (a->text() == texto)
                    return a;
    return nullptr;
}

class VinculoEnCurso : public testfed::EntornoConversor {
protected:
    void SetUp() override
    {
        EntornoConversor::SetUp();
        // The test runner's own event loop must outlive the window.
        QApplication::setQuitOnLastWindowClosed(false);
        fijar("QUELVA_CONV_OBJ", conv("dos_muros.obj"));
        ASSERT_TRUE(escribirArchivo(fuente("planta.ifc"), leerArchivo(conv("muros_a.ifc"))));
        ASSERT_TRUE(escribirArchivo(fuente("estructura.ifc"), leerArchivo(conv("muros_b.ifc"))));
    }
    void TearDown() override
    {
        // A run still waiting at its gate would hold the queue.
        escribirArchivo(puerta(), {});
        EntornoConversor::TearDown();
        QApplication::setQuitOnLastWindowClosed(true);
    }

    QString fuente(const QString& nombre) const { return dir_.filePath(nombre); }
    QString puerta() const { return dir_.filePath("seguir"); }

    static std::size_t modelos(const ContentView& v, const QString& key)
    {
        return v.federacion.especialidades.at(key).modelos.size();
    }

    // "estructura.ifc" goes to Estructura and stays converting until the gate opens; "planta.ifc"
    // was linked there before and is in the scene.
    void vincularLento(ContentView& v)
    {
        v.federacion.seleccionActual = "EST";
        v.seleccionarArchivoIFC({fuente("planta.ifc")});
        ESPERAR_QUE(modelos(v, "EST") == 1 && !v.federacion.isProcessing);
        QFile::remove(puerta());
        fijar("QUELVA_CONV_ESPERA", puerta());
        v.seleccionarArchivoIFC({fuente("estructura.ifc")});
        ASSERT_TRUE(v.federacion.isProcessing);
    }

    QTemporaryDir dir_;
};

// What a document must hold for Estructura: the placed model, then the one being linked, from the
// file the user chose.
void comprobarModelosEstructura(const ProyectoQUELVA& p, const QString& planta, const QString& estructura)
{
    const auto est = std::find_if(p.especialidades.begin(), p.especialidades.end(),
                                  [](const EspecialidadGuardada& e) { return e.key == "EST"; });
    ASSERT_NE(est, p.especialidades.end());
    ASSERT_EQ(est->modelos.size(), 2u);
    EXPECT_EQ(est->modelos[0].nombre, "planta.ifc");
    EXPECT_EQ(est->modelos[0].rutaAbsoluta, planta);
    EXPECT_EQ(est->modelos[1].nombre, "estructura.ifc");
    EXPECT_EQ(est->modelos[1].rutaAbsoluta, estructura);
    EXPECT_TRUE(est->modelos[1].isVisible);
    EXPECT_EQ(est->modelos[1].transparencia, 0.0);
}

TEST_F(VinculoEnCurso, ASaveOrAPackageMadeWhileAModelLinksCarriesIt)
{
    enum class Comando { guardar, exportar };
    for (const Comando comando : {Comando::guardar, Comando::exportar}) {
        SCOPED_TRACE(comando == Comando::guardar ? "guardar" : "exportar paquete");
        QUELVAApp app;
        QMainWindow* ventana = app.ventanaPrincipal();
        ContentView& v = *app.contentView();
        ventana->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(ventana, testsupport::kLimiteCuelgue));
        const QString proyecto = dir_.filePath("obra.json");
        v.gestor()->establecerURL(proyecto);
        vincularLento(v);

        if (comando == Comando::guardar) {
            accion(ventana, "Guardar proyecto")->trigger();
            ESPERAR_QUE(QFileInfo::exists(proyecto) || v.federacion.showError);
            ASSERT_FALSE(v.federacion.showError);
            auto leido = decodificarProyectoQUELVA(leerArchivo(proyecto));
            ASSERT_TRUE(std::holds_alternative<ProyectoQUELVA>(leido)) << std::get<QString>(leido).toStdString();
            comprobarModelosEstructura(std::get<ProyectoQUELVA>(leido), fuente("planta.ifc"), fuente("estructura.ifc"));
        } else {
            accion(ventana, "Exportar paquete compartible...")->trigger();
            QFileDialog* selector = nullptr;
            ESPERAR_QUE((selector = qobject_cast<QFileDialog*>(v.dialogoActivo())) != nullptr);
            selector->selectFile(dir_.filePath("obra"));
            static_cast<QDialog*>(selector)->accept();
            QMessageBox* aviso = nullptr;
            ESPERAR_QUE((aviso = qobject_cast<QMessageBox*>(v.dialogoActivo())) != nullptr);
            EXPECT_EQ(aviso->informativeText(), "El archivo \"obra.quelvapkg\" está listo para compartir.");
            QTest::mouseClick(aviso->findChild<QPushButton*>("botonCancelar"), Qt::LeftButton);
            auto abierto = quelva::importarPaquete(dir_.filePath("obra.quelvapkg"), dir_.filePath("abiertos"));
            ASSERT_TRUE(std::holds_alternative<PaqueteAbierto>(abierto));
            const PaqueteAbierto& paquete = std::get<PaqueteAbierto>(abierto);
            // Opened, every model points at its copy in the package.
            comprobarModelosEstructura(paquete.proyecto, paquete.carpeta + "/modelos/planta.ifc",
                                     paquete.carpeta + "/modelos/estructura.ifc");
            EXPECT_EQ(leerArchivo(paquete.carpeta + "/modelos/estructura.ifc"), leerArchivo(fuente("estructura.ifc")));
        }
        EXPECT_EQ(modelos(v, "EST"), 1u) << "still converting while it was written";

        ASSERT_TRUE(escribirArchivo(puerta(), {}));
        ESPERAR_QUE(modelos(v, "EST") == 2 && !v.federacion.isProcessing);
        EXPECT_EQ(v.federacion.especialidades.at("EST").modelos[1].nombre, "estructura.ifc");
        // Saved while converting, the finished link is what was saved.
        EXPECT_EQ(v.hayCambiosSinGuardar(), comando == Comando::exportar);
    }
}

TEST_F(VinculoEnCurso, QuittingOrOpeningAnotherProjectWhileAModelLinksAsks)
{
    struct Caso {
        const char* titulo;
        const char* menu;  // the menu item; none for the window's close button
    };
    const Caso casos[] = {
        {"salir", "Salir"},
        {"cerrar la ventana", nullptr},
        {"abrir proyecto", "Abrir proyecto..."},
        {"abrir paquete", "Abrir paquete compartible..."},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.titulo);
        QUELVAApp app;
        QMainWindow* ventana = app.ventanaPrincipal();
        ContentView& v = *app.contentView();
        ventana->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(ventana, testsupport::kLimiteCuelgue));
        v.gestor()->establecerURL(dir_.filePath("obra.json"));
        v.federacion.seleccionActual = "EST";
        QFile::remove(puerta());
        fijar("QUELVA_CONV_ESPERA", puerta());
        // Nothing else changed: only the model being linked is unsaved.
        v.seleccionarArchivoIFC({fuente("estructura.ifc")});
        ASSERT_TRUE(v.federacion.isProcessing);

        if (c.menu)
            accion(ventana, c.menu)->trigger();
        else
            EXPECT_FALSE(ventana->close());
        auto* alerta = qobject_cast<QMessageBox*>(v.dialogoActivo());
        ASSERT_NE(alerta, nullptr);
        EXPECT_EQ(alerta->text(), "¿Guardar los cambios del proyecto?");
        QTest::mouseClick(alerta->findChild<QPushButton*>("botonCancelar"), Qt::LeftButton);
        ESPERAR_QUE(v.dialogoActivo() == nullptr);
        EXPECT_TRUE(ventana->isVisible());

        ASSERT_TRUE(escribirArchivo(puerta(), {}));
        ESPERAR_QUE(modelos(v, "EST") == 1 && !v.federacion.isProcessing);
    }
}

}  // namespace
}  // namespace quelva
