#include "clash/Resaltado.h"

#include "clash/DeteccionInterferencias.h"
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
    return {1.0, 0.5, 0.0, 1.0};
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
    // Unless something else (the 4D playback) has set it meanwhile.
    if (const scene::NodePtr& n = estado.nodoTransparenteEnfocado;
        n && n->opacity == estado.opacidadPreviaEnfocado * kOpacidadElementoQueOculta)
        n->opacity = estado.opacidadPreviaEnfocado;
    estado.nodoTransparenteEnfocado.reset();
    estado.opacidadPreviaEnfocado = 1.0;
}

PoseInterferencia poseInterferencia(const Interferencia& interferencia, double campoVertical, double aspecto)
{
    const float r = float(interferencia.radio);
    PoseInterferencia pose;
    pose.posicion = interferencia.viewpointPos;
    pose.objetivo = interferencia.viewpointTarget;
    pose.zFar = double(r * 200.0f);
    pose.zNear = double(std::max(r * 0.001f, 0.01f));
    const scene::NodePtr& a = interferencia.nodoA;
    const scene::NodePtr& b = interferencia.nodoB;
    if (a && a->geometry && b && b->geometry) {
        OpcionesEncuadre opciones;
        opciones.campoVertical = campoVertical;
        opciones.aspecto = aspecto;
        opciones.margen = 1.5;
        opciones.distanciaMinima = kDistanciaMinimaEnfoque;
        // Where the elements are now: a model may have been moved since the run.
        if (const auto e = encuadrarInterferencia(cajaMundo(*a), cajaMundo(*b), opciones)) {
            pose.posicion = e->posicion;
            pose.objetivo = e->objetivo;
            pose.transparente = e->transparenteA ? a : b;
            const double distancia = scene::length(e->posicion - e->objetivo);
            pose.zFar = std::max(pose.zFar, double(float(4 * distancia)));
        }
    }
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
    const double aspecto = vista->height() > 0 ? double(vista->width()) / vista->height() : 1.5;
    const PoseInterferencia pose =
        poseInterferencia(interferencia, camara->camera ? camara->camera->fieldOfView : 60, aspecto);
    if (pose.transparente) {
        estado.nodoTransparenteEnfocado = pose.transparente;
        estado.opacidadPreviaEnfocado = pose.transparente->opacity;
        pose.transparente->opacity *= kOpacidadElementoQueOculta;
    }
    if (camara->camera) {
        camara->camera->zFar = pose.zFar;
        camara->camera->zNear = pose.zNear;
    }
    vista->setCameraTarget(pose.objetivo);
    vista->animateCamera(pose.posicion, pose.orientacion, 0.6);
}

}  // namespace quelva
