#include "viewport/ViewportController.h"

namespace quelva {

ViewportController::ViewportController(QObject* parent) : QObject(parent) {}

void ViewportController::enfocar(double x, double y, double z, float r)
{
    mover(poseEnfoque(x, y, z, r), 0.8);
}

void ViewportController::aplicarVista(VistaPreset preset, double x, double y, double z, float r)
{
    mover(poseVista(preset, x, y, z, r), 0.6);
}

void ViewportController::mover(const std::optional<PoseCamara>& pose, double segundos)
{
    if (!scnView || !pose)
        return;
    const scene::NodePtr& camara = scnView->pointOfView();
    if (!camara)
        return;
    if (camara->camera) {
        camara->camera->zFar = pose->zFar;
        camara->camera->zNear = pose->zNear;
    }
    // The orientation at the destination, worked out on the node itself and put back, so that
    // the animation starts from where the camera is now.
    const scene::Vec3 posicionActual = camara->position;
    const scene::Quat orientacionActual = camara->orientation;
    camara->position = pose->posicion;
    camara->lookAt(pose->objetivo, pose->arriba, {0, 0, -1});
    const scene::Quat orientacion = camara->orientation;
    camara->position = posicionActual;
    camara->orientation = orientacionActual;

    scnView->setCameraTarget(pose->objetivo);
    scnView->animateCamera(pose->posicion, orientacion, segundos);
}

}  // namespace quelva
