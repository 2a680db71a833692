#pragma once

// The adapter between the main window and its one interactive 3D view: makes the view, keeps it
// in step with the window's state and turns clicks and hovers into selection and measurement
// events. The window rebuilds the SceneKitView value on every state change and hands it to
// updateNSView; the Coordinator lives as long as the view.
//
//     SceneKitView adaptador{...};
//     auto coordinador = adaptador.makeCoordinator();
//     auto* vista = adaptador.makeNSView(*coordinador, columna);
//     ... on every state change: adaptadorActual.updateNSView(*vista, *coordinador);

#include "scene/Math.h"
#include "scene/Node.h"
#include "scene/Scene.h"
#include "viewport/ModoMedicion3D.h"

#include <QObject>
#include <QPointF>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace render {
class SceneView;
}

namespace quelva {

class ViewportController;

struct SceneKitView {
    using SeleccionCallback = std::function<void(const scene::NodePtr&)>;  // null clears the selection
    using MedicionCallback = std::function<void(const scene::Vec3&)>;

    class Coordinator;

    scene::ScenePtr scene;
    ViewportController* viewport = nullptr;
    SeleccionCallback onNodeSelected;
    ModoMedicion3D modoMedicion = ModoMedicion3D::inactivo;
    std::optional<scene::Vec3> puntoA;
    std::vector<scene::Vec3> puntosArea;
    MedicionCallback onMedicion;
    std::optional<double> nearClipOverride;  // metres, while the camera cut is on

    std::unique_ptr<Coordinator> makeCoordinator() const;
    // The configured view, a child of `parent`; the near distance is left to the first update.
    render::SceneView* makeNSView(Coordinator& coordinador, QWidget* parent) const;
    void updateNSView(render::SceneView& vista, Coordinator& coordinador) const;
};

// Main thread only. Holds the view and the scene weakly; owns the snap ring and the preview.
class SceneKitView::Coordinator : public QObject {
public:
    explicit Coordinator(SeleccionCallback onNodeSelected);
    Coordinator() = delete;
    ~Coordinator() override;

    SeleccionCallback onNodeSelected;
    ModoMedicion3D modoMedicion = ModoMedicion3D::inactivo;
    MedicionCallback onMedicion = [](const scene::Vec3&) {};
    std::optional<scene::Vec3> puntoA;
    std::vector<scene::Vec3> puntosArea;
    QPointer<render::SceneView> scnViewRef;
    std::weak_ptr<scene::Scene> escena;
    std::optional<double> nearClipOverride;
    scene::NodePtr nodoSnap;
    scene::NodePtr nodoPreview;

    void limpiarPreview();
    // A click in the view, in view points: selects, or yields a measurement point.
    void handleClick(QPointF posicion);
    // The pointer over the view while measuring: snap ring and preview.
    void mouseMoved(QPointF posicion);
    // Pins the near distance to the override, or, right after the override went away, puts back
    // the automatic one; otherwise the camera keeps its own.
    void aplicarNearClip(std::optional<double> anterior);

private:
    class OcultarMarcadores;
};

}  // namespace quelva
