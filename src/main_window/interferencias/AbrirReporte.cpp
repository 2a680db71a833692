// The main window's entry to the clash report window.

#include "main_window/ContentView.h"

namespace quelva {

void ContentView::mostrarReporteAnalisis(const AnalisisInterferencias& analisis)
{
    (void)analisis;  // the report window is not built yet
}

}  // namespace quelva
