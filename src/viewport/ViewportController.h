#pragma once

#include "render/SceneView.h"
#include "viewport/VistaPreset.h"

#include <QObject>
#include <QPointer>

namespace quelva {

// The handle through which views move the camera of the one 3D view. The 3D
// view attaches itself when it is made; until then camera moves do nothing.
class ViewportController : public QObject {
    Q_OBJECT
public:
    explicit ViewportController(QObject* parent = nullptr);

    // Weak: the view belongs to its window.
    QPointer<render::SceneView> scnView;

    // Looks at (x, y, z) from far enough to frame something of size r (metres), from +x, -y, +z,
    // in a 0.8 s animation. Near and far follow the size at once.
    void enfocar(double x, double y, double z, float r);
    // Looks at (x, y, z) from a preset direction, 2.5 r away, in a 0.6 s animation.
    void aplicarVista(VistaPreset preset, double x, double y, double z, float r);

private:
    void mover(const std::optional<PoseCamara>& pose, double segundos);
};

}  // namespace quelva
