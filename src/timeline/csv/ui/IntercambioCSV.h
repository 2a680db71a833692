#pragma once

// The CSV roads of the timeline window: "Importar CSV" (file → packages → preview) and "CSV"
// (packages → file). The dialogs are services so that tests answer them.

#include <QString>

#include <functional>

class QWidget;

namespace quelva {

struct ServiciosIntercambioCSV {
    // Ask for one CSV file to read / a place to write; call back only when one was chosen.
    std::function<void(QWidget* padre, std::function<void(const QString& ruta)> alElegir)> elegirArchivo;
    std::function<void(QWidget* padre, std::function<void(const QString& ruta)> alElegir)> elegirDestino;
    std::function<void(QWidget* padre, const QString& titulo, const QString& texto)> alertar;
};

// The file dialogs and a warning alert with "OK".
ServiciosIntercambioCSV serviciosIntercambioCSV();

// Puts the CSV read, the preview sheet and the export in the timeline's registry.
void registrarIntercambioCSV(ServiciosIntercambioCSV servicios = serviciosIntercambioCSV());

}  // namespace quelva
