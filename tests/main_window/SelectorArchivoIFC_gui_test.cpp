// The IFC file importer: which files it offers, and what the user hears when the chosen file is
// not an IFC model at all.

#include "main_window/ContentView.h"
#include "main_window/federacion/SelectorArchivoIFC.h"
#include "platform/Resources.h"
#include "support/Buscar.h"
#include "support/Esperar.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace quelva;
using testsupport::alertaVisible;

TEST(SelectorArchivoIFC, OffersIfcFilesInAnyCaseFirstThenEveryFile)
{
    ContentView v;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    v.vinculacion.showFilePicker = true;
    v.refrescar();
    QFileDialog* selector = nullptr;
    ESPERAR_QUE((selector = qobject_cast<QFileDialog*>(v.dialogoActivo())) != nullptr);
    EXPECT_EQ(selector->fileMode(), QFileDialog::ExistingFile);
    ASSERT_EQ(selector->nameFilters().size(), 2);
    EXPECT_TRUE(selector->nameFilters()[0].startsWith("Archivos IFC ("));
    EXPECT_EQ(selector->nameFilters()[1], "Todos los archivos (*)");
    EXPECT_TRUE(selector->selectedNameFilter().startsWith("Archivos IFC"));
    selector->reject();
    ESPERAR_QUE(!v.vinculacion.showFilePicker);

    // The IFC filter's patterns, matched as a case-sensitive file system would.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* nombre : {"a.ifc", "B.IFC", "c.Ifc", "d.iFc", "e.txt", "f.ifcx", "g.ifc.bak", "ifc"})
        QFile(dir.filePath(nombre)).open(QIODevice::WriteOnly);
    const QStringList vistos = QDir(dir.path()).entryList(patronesArchivoIFC(), QDir::Files | QDir::CaseSensitive,
                                                          QDir::Name);
    EXPECT_EQ(vistos, (QStringList{"B.IFC", "a.ifc", "c.Ifc", "d.iFc"}));
}

TEST(SelectorArchivoIFC, AFileThatIsNotIfcReachesTheConvertersOwnErrorUnderItsName)
{
    platform::Resources::setBundleDir(testsupport::bundleDir());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Caso {
        const char* nombre;
        QByteArray contenido;
        const char* motivo;
    };
    const Caso casos[] = {
        {"notas.txt", "Esto no es un modelo.\n", "el archivo no es un archivo IFC (ISO 10303-21): "},
        {"vacio.IFC", "", "el archivo IFC está vacío: "},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        const QString ruta = dir.filePath(c.nombre);
        QFile f(ruta);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.contenido);
        f.close();

        ContentView v;
        v.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
        v.seleccionarArchivoIFC({ruta});
        QMessageBox* alerta = nullptr;
        ESPERAR_QUE((alerta = alertaVisible()) != nullptr);
        EXPECT_EQ(alerta->windowTitle(), "Error");
        EXPECT_EQ(alerta->text(), QString::fromUtf8("IfcConvert falló (código 1):\nIfcConvert: ") +
                                      QString::fromUtf8(c.motivo) + ruta + "\n");
        EXPECT_FALSE(v.hayModelosCargados());
        QTest::mouseClick(alerta->findChild<QPushButton*>("botonCancelar"), Qt::LeftButton);
        ESPERAR_QUE(!v.federacion.showError);
    }
    platform::Resources::setBundleDir(QString());
}
