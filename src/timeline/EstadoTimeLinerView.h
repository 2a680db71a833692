#pragma once

#include "timeline/TimeLiner.h"

#include <QDateTime>
#include <QImage>
#include <QString>

#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace quelva {

// Height of one row of the tree and of the Gantt, so that they line up.
inline constexpr int ROW_H = 22;

// The transient state of one timeline window; lost when it closes. The 4D bookkeeping (saved
// colours, highlighted nodes) lives in the window's Sincronizacion4D.
struct EstadoTimeLinerView {
    std::optional<PaqueteAWP> seleccionado;
    QDateTime fechaScrubber = QDateTime::currentDateTime();
    bool reproduciendo = false;
    double velocidad = 30;  // schedule days per second of playback
    bool mostrarEditor = false;
    PaqueteAWP paqueteEditando;
    bool mostrarDetector = false;
    int panelModo = 0;
    int curvasModo = 2;
    std::set<QString> expandidosCWA;
    QString estadoSync4D;
    std::optional<PaqueteAWP> fichaAWP;
    std::optional<QImage> fichaImagen;
    bool mostrarFicha = false;
    bool modoAutoAvance = false;
    std::optional<double> sCurveHoverX;
    bool mostrarImportarCSV = false;
    // Shared with the preview sheet, never changed: a large file is not copied on its way.
    std::shared_ptr<const std::vector<PaqueteAWP>> paquetesCSV;
    std::optional<QString> errorCSV;
};

}  // namespace quelva
