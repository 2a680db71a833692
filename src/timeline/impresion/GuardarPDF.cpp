#include "timeline/impresion/GuardarPDF.h"

#include "platform/SavePanel.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>

namespace quelva {

QFileDialog* pedirDestinoPDF(QWidget* padre, const QString& titulo, const QString& nombre,
                             std::function<std::optional<QString>(const QString& ruta)> escribir)
{
    auto* d = new platform::SavePanel(padre, titulo, QStringLiteral("pdf"), nombre);
    d->setObjectName(QStringLiteral("dialogoPDF"));
    d->setAttribute(Qt::WA_DeleteOnClose);
    d->setNameFilter(QStringLiteral("PDF (*.pdf)"));
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
