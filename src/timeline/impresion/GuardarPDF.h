#pragma once

// The save road the two printable timeline pages share: a save dialog proposing a PDF name,
// the write, and the alert when it fails. No message on success.

#include <QString>

#include <functional>
#include <optional>

class QFileDialog;
class QWidget;

namespace quelva {

// Opens the dialog over `padre`; when a file is chosen, `escribir` runs with its path once the
// dialog has gone, and a reason it returns is shown in the alert.
QFileDialog* pedirDestinoPDF(QWidget* padre, const QString& titulo, const QString& nombre,
                             std::function<std::optional<QString>(const QString& ruta)> escribir);

// The alert "Error" with "Error al exportar el PDF: " and the reason.
void mostrarErrorPDF(QWidget* padre, const QString& motivo);

}  // namespace quelva
