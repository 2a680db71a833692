#pragma once

#include <QWidget>

class QVBoxLayout;

namespace quelva {

class ContentView;

// The right-hand column: the legend (comparison colours or discipline swatches), the clash
// summary, the selected element's properties and the current file name. Rebuilt from the
// window state on every refresh.
class ColumnaInspector : public QWidget {
    Q_OBJECT
public:
    ColumnaInspector(ContentView& vista, QWidget* parent);

    void refrescar();

private:
    void construirLeyenda(QVBoxLayout* col);
    void construirInterferencias(QVBoxLayout* col);
    void construirPropiedades(QVBoxLayout* col);

    ContentView& vista_;
    QWidget* contenido_ = nullptr;
};

}  // namespace quelva
