#pragma once

#include <QWidget>

namespace quelva {

// Brand, version and one-line description of the product.
class AboutView : public QWidget {
    Q_OBJECT
public:
    explicit AboutView(QWidget* parent = nullptr);
};

inline constexpr const char* tituloAcercaDe = "Acerca de QUELVA";

// Brings the about window to the front, creating it on first use. Any window
// already titled "Acerca de QUELVA" counts as that window.
void mostrarAcercaDe();

}  // namespace quelva
