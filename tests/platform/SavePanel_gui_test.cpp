#include "platform/SavePanel.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Types `nombre` and presses the panel's save button; the panel's own replace question, if it
// comes, is answered "No" and its text kept in `pregunta`.
void guardarComo(platform::SavePanel& panel, const QString& nombre, QString* pregunta = nullptr)
{
    panel.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(nombre);
    // Runs only inside the question's own event loop, and goes with this call.
    QTimer respuesta;
    respuesta.setSingleShot(true);
    QObject::connect(&respuesta, &QTimer::timeout, [pregunta] {
        if (auto* alerta = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (pregunta)
                *pregunta = alerta->text();
            alerta->button(QMessageBox::No)->click();
        }
    });
    respuesta.start(0);
    panel.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->click();
}

}  // namespace

TEST(SavePanel, ProposesAndSavesNamesWithTheirExtensionAndAsksAboutThatFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("obra.v2"));
    platform::SavePanel panel(nullptr, "Exportar", "pdf", dir.filePath("Plano 1.00 m"));
    auto* campo = panel.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_TRUE(campo);
    EXPECT_EQ(campo->text(), "Plano 1.00 m.pdf");
    EXPECT_EQ(panel.acceptMode(), QFileDialog::AcceptSave);
    QStringList elegidos;
    QObject::connect(&panel, &QFileDialog::fileSelected, [&](const QString& ruta) { elegidos << ruta; });
    panel.show();

    guardarComo(panel, "Corte 2.50");
    EXPECT_EQ(elegidos, QStringList{dir.filePath("Corte 2.50.pdf")});

    // The file that would be written is the one asked about.
    QFile existente(dir.filePath("Corte 2.50.pdf"));
    ASSERT_TRUE(existente.open(QIODevice::WriteOnly));
    existente.close();
    panel.show();
    QString pregunta;
    guardarComo(panel, "Corte 2.50", &pregunta);
    EXPECT_TRUE(pregunta.contains("Corte 2.50.pdf")) << pregunta.toStdString();
    EXPECT_EQ(elegidos.size(), 1) << "declined";

    // A folder's name still opens the folder.
    guardarComo(panel, "obra.v2");
    EXPECT_EQ(elegidos.size(), 1);
    EXPECT_EQ(QDir(panel.directory()).canonicalPath(), QDir(dir.filePath("obra.v2")).canonicalPath());
}
