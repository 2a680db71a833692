#include "viewport/ViewportController.h"

namespace quelva {

ViewportController::ViewportController(QObject* parent) : QObject(parent) {}

void ViewportController::enfocar(double x, double y, double z, float r)
{
    if (!scnView)
        return;
    // Camera framing comes with the viewport's camera work; for now only the orbit target moves.
    scnView->setCameraTarget(scene::Vec3{x, y, z});
    (void)r;
}

}  // namespace quelva
