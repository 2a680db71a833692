#include "clash/Resaltado.h"

#include "platform/SystemColors.h"
#include "viewport/ViewportController.h"

#include <algorithm>
#include <unordered_set>

namespace quelva {

namespace {

void emitir(const scene::NodePtr& nodo, const scene::Color& color)
{
    if (nodo && nodo->geometry)
        if (const scene::MaterialPtr m = nodo->geometry->firstMaterial())
            m->emission.contents = color;
}

bool enLista(const scene::Node* nodo, const std::vector<Interferencia>& lista)
{
    return std::any_of(lista.begin(), lista.end(),
                       [nodo](const Interferencia& i) { return i.nodoA.get() == nodo || i.nodoB.get() == nodo; });
}

}  // namespace

scene::Color colorResaltadoInterferencia()
{
    const QColor c = platform::systemColor(platform::SystemColor::orange);
    return {c.redF(), c.greenF(), c.blueF(), c.alphaF()};
}

void resaltarInterferencia(const EstadoInterferencias& estado)
{
    const scene::Color naranja = colorResaltadoInterferencia();
    std::unordered_set<const scene::Node*> hechos;
    for (const Interferencia& i : estado.interferencias)
        for (const scene::NodePtr& n : {i.nodoA, i.nodoB})
            if (hechos.insert(n.get()).second)
                emitir(n, naranja);
}

void quitarResaltado(EstadoInterferencias& estado)
{
    for (const Interferencia& i : estado.interferencias) {
        emitir(i.nodoA, scene::Color::black());
        emitir(i.nodoB, scene::Color::black());
    }
    estado.interferencias.clear();
}

void limpiarResaltadoInterferencias(EstadoInterferencias& estado)
{
    const scene::Color naranja = colorResaltadoInterferencia();
    for (const scene::NodePtr& n : estado.nodosDestacadosHistorial)
        emitir(n, enLista(n.get(), estado.interferencias) ? naranja : scene::Color::black());
    estado.nodosDestacadosHistorial.clear();
}

PoseInterferencia poseInterferencia(const Interferencia& interferencia)
{
    const float r = float(interferencia.radio);
    PoseInterferencia pose;
    pose.posicion = interferencia.viewpointPos;
    pose.objetivo = interferencia.viewpointTarget;
    pose.zFar = double(r * 200.0f);
    pose.zNear = double(std::max(r * 0.001f, 0.01f));
    // The scene is Z-up: turning with the node's default +Y up would roll the view.
    const scene::NodePtr camara = scene::Node::make();
    camara->position = pose.posicion;
    camara->lookAt(pose.objetivo, {0, 0, 1}, {0, 0, -1});
    pose.orientacion = camara->orientation;
    return pose;
}

void enfocarInterferencia(EstadoInterferencias& estado, ViewportController* viewport,
                          const Interferencia& interferencia)
{
    render::SceneView* vista = viewport ? viewport->scnView.data() : nullptr;
    if (!vista || !vista->pointOfView())
        return;
    const scene::NodePtr camara = vista->pointOfView();
    limpiarResaltadoInterferencias(estado);
    emitir(interferencia.nodoA, kColorInterferenciaEnfocada);
    emitir(interferencia.nodoB, kColorInterferenciaEnfocada);
    estado.nodosDestacadosHistorial = {interferencia.nodoA, interferencia.nodoB};
    const PoseInterferencia pose = poseInterferencia(interferencia);
    if (camara->camera) {
        camara->camera->zFar = pose.zFar;
        camara->camera->zNear = pose.zNear;
    }
    vista->setCameraTarget(pose.objetivo);
    vista->animateCamera(pose.posicion, pose.orientacion, 0.6);
}

}  // namespace quelva
