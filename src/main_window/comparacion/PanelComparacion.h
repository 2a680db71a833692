#pragma once

class QWidget;

namespace quelva {

class ContentView;

// Contents of the "Comparación TRELM" card: the two slot rows, then (both slots loaded) either
// "Comparar versiones" or the counts with "Ver Informe TRELM" and "Limpiar TRELM". Rebuilt from
// the state on every refresh; holds nothing of its own.
QWidget* panelComparacionTRELM(ContentView& vista, QWidget* padre = nullptr);

}  // namespace quelva
