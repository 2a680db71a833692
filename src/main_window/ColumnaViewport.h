#pragma once

#include "viewport/SceneKitView.h"

#include <QRegion>
#include <QWidget>

#include <memory>
#include <optional>

class QLabel;

namespace render {
class SceneView;
}

namespace quelva {

class ContentView;
class BarraViewport;
class BarraMedicion;
class PantallaBienvenida;
class CapasMarkup;

// The middle column: the 3D view with, over it, the welcome screen while nothing is loaded,
// the toolbar and the processing overlay. Rebuilds its adapter value from the window state on
// every refresh.
class ColumnaViewport : public QWidget {
    Q_OBJECT
public:
    ColumnaViewport(ContentView& vista, QWidget* parent);
    ~ColumnaViewport() override;

    render::SceneView* vista3D() const { return vista3D_; }
    SceneKitView::Coordinator* coordinador() const { return coordinador_.get(); }
    PantallaBienvenida* bienvenida() const { return bienvenida_; }
    BarraViewport* barra() const { return barra_; }
    BarraMedicion* barraMedicion() const { return barraMedicion_; }
    QWidget* overlayProcesando() const { return overlay_; }
    CapasMarkup* capasMarkup() const { return capasMarkup_; }
    QString textoProcesando() const;
    // Where the toolbar's buttons are, in the column's coordinates.
    QRegion zonaBarra() const;

    void refrescar();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* objeto, QEvent* event) override;

private:
    SceneKitView adaptador() const;
    void colocarCapas();
    // A run converts a model: linking, a comparison slot, a package or a project restore.
    bool procesando() const;
    std::optional<QString> especialidadEnRestauracion() const;

    ContentView& vista_;
    std::unique_ptr<SceneKitView::Coordinator> coordinador_;
    render::SceneView* vista3D_ = nullptr;
    PantallaBienvenida* bienvenida_ = nullptr;
    BarraViewport* barra_ = nullptr;
    BarraMedicion* barraMedicion_ = nullptr;
    QWidget* overlay_ = nullptr;
    QLabel* overlayTexto_ = nullptr;
    CapasMarkup* capasMarkup_ = nullptr;
};

}  // namespace quelva
