#include "timeline/impresion/GuardarPDF.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>

namespace quelva {

QFileDialog* pedirDestinoPDF(QWidget* padre, const QString& titulo, const QString& nombre,
                             std::function<std::optional<QString>(const QString& ruta)> escribir)
{
    auto* d = new QFileDialog(padre);
    d->setObjectName(QStringLiteral("dialogoPDF"));
    d->setAttribute(Qt::WA_DeleteOnClose);
    d->setAcceptMode(QFileDialog::AcceptSave);
    d->setFileMode(QFileDialog::AnyFile);
    d->setOption(QFileDialog::DontUseNativeDialog);
    if (!titulo.isEmpty())
        d->setWindowTitle(titulo);
    d->setNameFilter(QStringLiteral("PDF (*.pdf)"));
    d->setDefaultSuffix(QStringLiteral("pdf"));
    d->selectFile(nombre);
    QPointer<QWidget> dueno(padre);
    QObject::connect(d, &QFileDialog::fileSelected, d, [dueno, escribir](const QString& ruta) {
        if (ruta.isEmpty())
            return;
        // After the dialog has gone, so the alert is not stacked on it.
        QMetaObject::invokeMethod(
            qApp,
            [dueno, escribir, ruta] {
                if (const auto error = escribir(ruta))
                    mostrarErrorPDF(dueno, *error);
            },
            Qt::QueuedConnection);
    });
    d->open();
    return d;
}

void mostrarErrorPDF(QWidget* padre, const QString& motivo)
{
    auto* alerta = new QMessageBox(QMessageBox::Warning, QStringLiteral("Error"),
                                   QStringLiteral("Error al exportar el PDF: ") + motivo, QMessageBox::NoButton, padre);
    alerta->setObjectName(QStringLiteral("alertaErrorPDF"));
    alerta->setAttribute(Qt::WA_DeleteOnClose);
    alerta->setWindowModality(padre ? Qt::WindowModal : Qt::ApplicationModal);
    alerta->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    alerta->open();
}

}  // namespace quelva
