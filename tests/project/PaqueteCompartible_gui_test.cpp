// "Exportar paquete compartible..." and "Abrir paquete compartible..." through the main window,
// with the stand-in converter: a project travels to a machine without its sources, failures
// show their alert and leave the package and the open project as they were.

#include "main_window/ContentView.h"

#include "federation/ControladorFederacion.h"
#include "federation/EntornoConversor.h"
#include "platform/Queues.h"
#include "support/Esperar.h"
#include "project/CodificacionProyecto.h"
#include "project/GestorProyecto.h"
#include "project/PaqueteCompartible.h"
#include "support/ZipArmado.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace quelva {
namespace {

using testsupport::escribirArchivo;
using testsupport::leerArchivo;

class PaqueteVentana : public testfed::EntornoConversor {
protected:
    void SetUp() override
    {
        EntornoConversor::SetUp();
        fijar("QUELVA_CONV_OBJ", conv("dos_muros.obj"));
        datosAnterior_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir_.filePath("datos")));
        ASSERT_TRUE(QDir().mkpath(dir_.filePath("fuentes")));
        ASSERT_TRUE(escribirArchivo(fuente("planta.ifc"), leerArchivo(conv("muros_a.ifc"))));
        ASSERT_TRUE(escribirArchivo(fuente("estructura.ifc"), leerArchivo(conv("muros_b.ifc"))));
    }
    void TearDown() override
    {
        EntornoConversor::TearDown();
        if (datosAnterior_.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", datosAnterior_);
    }
    QString fuente(const QString& nombre) const { return dir_.filePath("fuentes/" + nombre); }

    // A window with one model in ARQ and one in EST, both converted and in the scene.
    void proyectoConDosModelos(ContentView& v)
    {
        ProyectoQUELVA p;
        p.ordenEspecialidades = {"ARQ", "EST"};
        for (const auto& [key, nombre] : {std::pair{"ARQ", "planta.ifc"}, std::pair{"EST", "estructura.ifc"}}) {
            EspecialidadGuardada e;
            e.key = key;
            e.nombre = key;
            e.icono = "folder";
            e.colorR = 0.5;
            ModeloGuardado m;
            m.nombre = nombre;
            m.rutaAbsoluta = fuente(nombre);
            m.transparencia = 0.5;
            e.modelos.push_back(m);
            p.especialidades.push_back(e);
        }
        v.restaurarProyecto(p, std::nullopt);
        ESPERAR_QUE(modelosEnEscena(v) == 2);
    }
    static std::size_t modelosEnEscena(const ContentView& v)
    {
        std::size_t n = 0;
        for (const auto& [key, esp] : v.federacion.especialidades)
            n += esp.modelos.size();
        return n;
    }
    static QMessageBox* alerta(const ContentView& v) { return qobject_cast<QMessageBox*>(v.dialogoActivo()); }
    static void pulsar(QMessageBox* a, const char* boton) { QTest::mouseClick(a->findChild<QPushButton*>(boton), Qt::LeftButton); }

    // Through the save panel, as the user would.
    void exportarA(ContentView& v, const QString& elegida)
    {
        v.exportarPaquete();
        QFileDialog* selector = nullptr;
        ESPERAR_QUE((selector = qobject_cast<QFileDialog*>(v.dialogoActivo())) != nullptr);
        selector->selectFile(elegida);
        static_cast<QDialog*>(selector)->accept();
    }

    QTemporaryDir dir_;
    QByteArray datosAnterior_;
};

TEST_F(PaqueteVentana, AProjectTravelsWithItsModelsToAMachineWithoutTheSources)
{
    ContentView v;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    proyectoConDosModelos(v);
    v.gestor()->setNombreProyecto("Obra Norte");

    v.exportarPaquete();
    QFileDialog* selector = nullptr;
    ESPERAR_QUE((selector = qobject_cast<QFileDialog*>(v.dialogoActivo())) != nullptr);
    EXPECT_EQ(selector->windowTitle(), "Exportar paquete compartible");
    EXPECT_EQ(selector->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(selector->defaultSuffix(), "quelvapkg");
    EXPECT_EQ(selector->findChild<QLabel*>("mensajePanel")->text(),
              "El paquete incluirá todos los modelos IFC. Envíalo a otro usuario con QUELVA.");
    EXPECT_EQ(QFileInfo(selector->selectedFiles().value(0)).fileName(), "Obra Norte.quelvapkg");
    selector->selectFile(dir_.filePath("obra"));
    static_cast<QDialog*>(selector)->accept();
    QMessageBox* aviso = nullptr;
    ESPERAR_QUE((aviso = alerta(v)) != nullptr);
    EXPECT_EQ(aviso->text(), "Paquete exportado");
    EXPECT_EQ(aviso->informativeText(), "El archivo \"obra.quelvapkg\" está listo para compartir.");
    EXPECT_FALSE(v.proyecto.paqueteEnCurso);
    pulsar(aviso, "botonCancelar");
    ESPERAR_QUE(v.dialogoActivo() == nullptr);

    const QString paquete = dir_.filePath("obra.quelvapkg");
    QProcess unzip;
    unzip.start(QStandardPaths::findExecutable("unzip"), {"-Z1", paquete});
    ASSERT_TRUE(unzip.waitForFinished(testsupport::kLimiteCuelgue));
    EXPECT_EQ(QString::fromUtf8(unzip.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
              QStringList({"proyecto.json", "modelos/", "modelos/planta.ifc", "modelos/estructura.ifc"}));

    // The other machine: no sources, a fresh window.
    ASSERT_TRUE(QDir(dir_.filePath("fuentes")).removeRecursively());
    ContentView w;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w, testsupport::kLimiteCuelgue));
    w.importarPaquete();
    ESPERAR_QUE((selector = qobject_cast<QFileDialog*>(w.dialogoActivo())) != nullptr);
    EXPECT_EQ(selector->windowTitle(), "Abrir paquete compartible");
    EXPECT_EQ(selector->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(selector->findChild<QLabel*>("mensajePanel")->text(),
              "Selecciona un archivo .quelvapkg recibido de otro usuario.");
    selector->selectFile(paquete);
    static_cast<QDialog*>(selector)->accept();
    ESPERAR_QUE(modelosEnEscena(w) == 2);
    EXPECT_EQ(w.dialogoActivo(), nullptr);
    EXPECT_FALSE(w.proyecto.paqueteEnCurso);
    EXPECT_EQ(w.gestor()->nombreProyecto(), "obra");
    EXPECT_EQ(w.gestor()->urlActual(), std::nullopt);
    const QString carpetas = carpetaPaquetes();
    ASSERT_TRUE(carpetas.startsWith(dir_.filePath("datos")));
    const QStringList extraidas = QDir(carpetas).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    ASSERT_EQ(extraidas.size(), 1);
    const QString carpeta = QDir(carpetas).filePath(extraidas[0]);
    const ModeloVinculado& planta = w.federacion.especialidades.at("ARQ").modelos.at(0);
    EXPECT_EQ(planta.rutaOrigen, carpeta + "/modelos/planta.ifc");
    EXPECT_EQ(planta.transparencia, 0.5);
    EXPECT_EQ(w.federacion.especialidades.at("EST").modelos.at(0).rutaOrigen, carpeta + "/modelos/estructura.ifc");

    // The next save asks for a place.
    w.guardarProyecto();
    ESPERAR_QUE(qobject_cast<QFileDialog*>(w.dialogoActivo()) != nullptr);
    EXPECT_TRUE(w.proyecto.showSavePicker);
}

// Exported right after an open: the models still converting travel from their files, the one
// whose file is gone is named instead of a plain "Paquete exportado".
TEST_F(PaqueteVentana, AnExportRightAfterOpeningHoldsEveryModelOrNamesTheMissingOnes)
{
    ContentView v;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
    // The converter waits for this file: the models stay converting until the end.
    const QString seguir = dir_.filePath("seguir");
    fijar("QUELVA_CONV_ESPERA", seguir);
    ProyectoQUELVA p;
    p.ordenEspecialidades = {"ARQ", "EST"};
    for (const auto& [key, nombre] : {std::pair{"ARQ", "planta.ifc"}, std::pair{"EST", "estructura.ifc"},
                                      std::pair{"EST", "borrada.ifc"}}) {
        if (p.especialidades.empty() || p.especialidades.back().key != key) {
            p.especialidades.emplace_back();
            p.especialidades.back().key = key;
            p.especialidades.back().nombre = key;
        }
        ModeloGuardado m;
        m.nombre = nombre;
        m.rutaAbsoluta = fuente(nombre);
        p.especialidades.back().modelos.push_back(m);
    }
    v.restaurarProyecto(p, std::nullopt);

    exportarA(v, dir_.filePath("obra"));
    QMessageBox* aviso = nullptr;
    ESPERAR_QUE((aviso = alerta(v)) != nullptr);
    EXPECT_EQ(aviso->icon(), QMessageBox::Warning);
    EXPECT_EQ(aviso->text(), "Paquete exportado sin algunos modelos");
    EXPECT_EQ(aviso->informativeText(), "El archivo \"obra.quelvapkg\" se creó, pero no incluye este modelo porque no "
                                        "se encontró su archivo IFC:\n• borrada.ifc (EST): "
                                            + fuente("borrada.ifc"));
    EXPECT_EQ(modelosEnEscena(v), 0u);
    QProcess unzip;
    unzip.start(QStandardPaths::findExecutable("unzip"), {"-Z1", dir_.filePath("obra.quelvapkg")});
    ASSERT_TRUE(unzip.waitForFinished());
    EXPECT_EQ(QString::fromUtf8(unzip.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
              QStringList({"proyecto.json", "modelos/", "modelos/planta.ifc", "modelos/estructura.ifc"}));
    pulsar(aviso, "botonCancelar");
    ASSERT_TRUE(escribirArchivo(seguir, {}));
    ESPERAR_QUE(modelosEnEscena(v) == 2);
}

TEST_F(PaqueteVentana, FailuresShowTheirAlertAndKeepPackageAndProject)
{
    ContentView v;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    proyectoConDosModelos(v);
    const QString paquete = dir_.filePath("obra.quelvapkg");
    ASSERT_TRUE(escribirArchivo(paquete, "paquete anterior"));

    // Replacing asks about the file really replaced; cancelling keeps it.
    exportarA(v, dir_.filePath("obra"));
    QMessageBox* pregunta = nullptr;
    ESPERAR_QUE((pregunta = alerta(v)) != nullptr);
    EXPECT_EQ(pregunta->text(), "El archivo «obra.quelvapkg» ya existe. ¿Deseas reemplazarlo?");
    EXPECT_EQ(pregunta->findChild<QPushButton*>("botonConfirmar")->text(), "Reemplazar");
    pulsar(pregunta, "botonCancelar");
    ESPERAR_QUE(v.dialogoActivo() == nullptr);
    platform::BackgroundQueue::waitForIdle();
    testsupport::entregarEventos();
    EXPECT_EQ(leerArchivo(paquete), "paquete anterior");

    // A source gone: the exact alert, the earlier package untouched.
    ASSERT_TRUE(QFile::remove(fuente("estructura.ifc")));
    exportarA(v, dir_.filePath("obra"));
    ESPERAR_QUE((pregunta = alerta(v)) != nullptr);
    pulsar(pregunta, "botonConfirmar");
    ESPERAR_QUE(v.federacion.showError);
    EXPECT_EQ(*v.federacion.errorMessage,
              "Error al exportar el paquete: El modelo «" + fuente("estructura.ifc") + "» ya no existe.");
    EXPECT_EQ(leerArchivo(paquete), "paquete anterior");
    EXPECT_FALSE(v.proyecto.paqueteEnCurso);
    pulsar(alerta(v), "botonCancelar");
    ESPERAR_QUE(v.dialogoActivo() == nullptr);

    // "obra.v2" still gets the extension, and the question names that file.
    ASSERT_TRUE(escribirArchivo(dir_.filePath("obra.v2.quelvapkg"), "otro anterior"));
    ASSERT_TRUE(escribirArchivo(fuente("estructura.ifc"), "ISO"));
    exportarA(v, dir_.filePath("obra.v2"));
    ESPERAR_QUE((pregunta = alerta(v)) != nullptr);
    EXPECT_EQ(pregunta->text(), "El archivo «obra.v2.quelvapkg» ya existe. ¿Deseas reemplazarlo?");
    pulsar(pregunta, "botonConfirmar");
    ESPERAR_QUE(alerta(v) != nullptr && alerta(v)->text() == "Paquete exportado");
    EXPECT_TRUE(leerArchivo(dir_.filePath("obra.v2.quelvapkg")).startsWith("PK"));
    EXPECT_FALSE(QFileInfo::exists(dir_.filePath("obra.v2")));
    pulsar(alerta(v), "botonCancelar");
    ESPERAR_QUE(v.dialogoActivo() == nullptr);

    // A hostile package: refused, the open project as it was, nothing left behind.
    const QString sentinela = dir_.filePath("datos/x");
    ASSERT_TRUE(escribirArchivo(dir_.filePath("hostil.quelvapkg"), {}));
    ASSERT_TRUE(testsupport::escribirZip(dir_.filePath("hostil.quelvapkg"),
                                         {{"proyecto.json", "{}"}, {"../../../x", "fuera"}}));
    v.gestor()->setNombreProyecto("Abierto");
    v.abrirPaquete(dir_.filePath("hostil.quelvapkg"));
    EXPECT_TRUE(v.proyecto.paqueteEnCurso);
    ESPERAR_QUE(v.federacion.showError && v.federacion.errorMessage->contains("../../../x"));
    EXPECT_EQ(*v.federacion.errorMessage, "Error al abrir el paquete: Error al abrir el paquete: La entrada "
                                          "«../../../x» sale de la carpeta de destino con «..».");
    EXPECT_FALSE(v.proyecto.paqueteEnCurso);
    EXPECT_EQ(v.gestor()->nombreProyecto(), "Abierto");
    EXPECT_EQ(modelosEnEscena(v), 2u);
    EXPECT_EQ(v.federacion.ordenEspecialidades, QStringList({"ARQ", "EST"}));
    EXPECT_TRUE(QDir(carpetaPaquetes()).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(sentinela));
}

TEST_F(PaqueteVentana, APackageOpenOvertakenByAnotherProjectLandsNowhere)
{
    ContentView v;
    proyectoConDosModelos(v);
    const QString paquete = dir_.filePath("obra.quelvapkg");
    ProyectoQUELVA p = proyectoDesdeEstado(v.estadoAplicacion());
    ASSERT_TRUE(std::holds_alternative<PaqueteExportado>(quelva::exportarPaquete(paquete, p)));
    ProyectoQUELVA otro;
    otro.ordenEspecialidades = {"MEP"};
    const QString otroArchivo = dir_.filePath("otro.json");
    ASSERT_TRUE(escribirArchivo(otroArchivo, std::get<QByteArray>(codificarProyectoQUELVA(otro))));

    v.abrirPaquete(paquete);
    v.cargarProyecto(otroArchivo);
    ESPERAR_QUE(!v.proyecto.paqueteEnCurso && v.proyecto.lecturasEnCurso == 0);
    testfed::vaciarColas();
    EXPECT_EQ(v.gestor()->nombreProyecto(), "otro");
    EXPECT_EQ(v.federacion.ordenEspecialidades, QStringList({"MEP"}));
    EXPECT_EQ(modelosEnEscena(v), 0u);
    EXPECT_TRUE(QDir(carpetaPaquetes()).isEmpty());
}

}  // namespace
}  // namespace quelva
