#pragma once

class QWidget;

namespace quelva {

class ContentView;

// Contents of the sidebar cards whose tools live in their own subsystems: what the main window
// offers of them today (the comparison slots, the clash history, sections and comments). Built
// inside `padre` when given, so a big card takes its styles once as it is built.
QWidget* panelTRELM(ContentView& vista, QWidget* padre = nullptr);
QWidget* panelInterferencias(ContentView& vista, QWidget* padre = nullptr);
QWidget* panelSecciones(ContentView& vista, QWidget* padre = nullptr);
QWidget* panelComentarios(ContentView& vista, QWidget* padre = nullptr);

}  // namespace quelva
