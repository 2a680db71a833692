// The main window's entry to the clash report window.

#include "main_window/ContentView.h"

#include "clash/GlobalIdsInterferencia.h"
#include "main_window/interferencias/VentanaReporteAnalisis.h"

#include <QGuiApplication>
#include <QScreen>

namespace quelva {

void ContentView::mostrarReporteAnalisis(const AnalisisInterferencias& analisis)
{
    // A new window each time, on its own copy; the list keeps it alive.
    auto* ventana = new VentanaReporteAnalisis(analisis, escena.scene);
    ventana->setGlobalIds(globalIdsDeAnalisis(analisis, federacion.globalIdsIFC));
    if (const QScreen* pantalla = QGuiApplication::primaryScreen())
        ventana->move(pantalla->availableGeometry().center() - QPoint(820 / 2, 700 / 2));
    ventana->show();
    ventana->raise();
    ventana->activateWindow();
    ventanas.reportWindows.append(ventana);
}

}  // namespace quelva
