#pragma once

#include "render/SceneView.h"

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

    // Looks at (x, y, z) from far enough to frame something of size r (metres).
    void enfocar(double x, double y, double z, float r);
};

}  // namespace quelva
