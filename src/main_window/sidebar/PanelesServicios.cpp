#include "main_window/sidebar/PanelesServicios.h"

#include "comments/ui/TarjetaComentarios.h"
#include "main_window/ContentView.h"
#include "main_window/comparacion/PanelComparacion.h"
#include "main_window/interferencias/PanelInterferencias.h"
#include "platform/NumberFormat.h"
#include "platform/Symbols.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quelva {

QWidget* panelTRELM(ContentView& vista, QWidget* padre)
{
    return panelComparacionTRELM(vista, padre);
}

QWidget* panelInterferencias(ContentView& vista, QWidget* padre)
{
    return panelInterferenciasClash(vista, padre);
}

QWidget* panelComentarios(ContentView& vista, QWidget* padre)
{
    return tarjetaComentarios(vista.controladorComentarios(), padre);
}

}  // namespace quelva
