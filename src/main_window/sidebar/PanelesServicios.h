#pragma once

class QWidget;

namespace quelva {

class ContentView;

// Contents of the sidebar cards whose tools live in their own subsystems: what the main window
// offers of them today (the comparison slots, the clash history, sections and comments).
QWidget* panelTRELM(ContentView& vista);
QWidget* panelInterferencias(ContentView& vista);
QWidget* panelSecciones(ContentView& vista);
QWidget* panelComentarios(ContentView& vista);

}  // namespace quelva
