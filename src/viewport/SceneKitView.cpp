#include "viewport/SceneKitView.h"

#include "render/SceneView.h"
#include "viewport/AnilloSnap.h"
#include "viewport/CajaEscena.h"
#include "viewport/DibujosMedicion.h"
#include "viewport/GeometriaLineas.h"
#include "viewport/Iluminacion.h"
#include "viewport/NombresEscena.h"
#include "viewport/VerticeMasCercano.h"
#include "viewport/ViewportController.h"

#include <cmath>

namespace quelva {

namespace {

void prepararEscena(scene::Scene& escena)
{
    escena.background.contents = dibujarDegradado();
    configurarIluminacion(escena);
}

}  // namespace

std::unique_ptr<SceneKitView::Coordinator> SceneKitView::makeCoordinator() const
{
    return std::make_unique<Coordinator>(onNodeSelected);
}

render::SceneView* SceneKitView::makeNSView(Coordinator& coordinador, QWidget* parent) const
{
    auto* vista = new render::SceneView(parent);
    vista->setScene(scene);
    vista->setAllowsCameraControl(true);
    if (scene)
        prepararEscena(*scene);
    vista->setMultisampling(4);
    if (viewport)
        viewport->scnView = vista;
    coordinador.scnViewRef = vista;
    coordinador.escena = scene;
    QObject::connect(vista, &render::SceneView::clicked, &coordinador,
                     [c = &coordinador](QPointF p) { c->handleClick(p); });
    QObject::connect(vista, &render::SceneView::mouseMoved, &coordinador,
                     [c = &coordinador](QPointF p) { c->mouseMoved(p); });
    // Over the toolbar or out of the window the ring and the preview would point at nothing.
    QObject::connect(vista, &render::SceneView::mouseLeft, &coordinador, [c = &coordinador] { c->limpiarPreview(); });
    return vista;
}

void SceneKitView::updateNSView(render::SceneView& vista, Coordinator& coordinador) const
{
    // Lights and background are rebuilt only for a different scene object.
    if (!vista.scene() || vista.scene() != scene) {
        vista.setScene(scene);
        coordinador.escena = scene;
        if (scene)
            prepararEscena(*scene);
    }
    coordinador.modoMedicion = modoMedicion;
    coordinador.onMedicion = onMedicion ? onMedicion : MedicionCallback([](const scene::Vec3&) {});
    coordinador.puntoA = puntoA;
    coordinador.puntosArea = puntosArea;
    if (modoMedicion == ModoMedicion3D::inactivo) {
        coordinador.limpiarPreview();
    } else if (!puntoA && (modoMedicion != ModoMedicion3D::area || puntosArea.empty()) && coordinador.nodoPreview) {
        // The measurement just ended: no line from its last point follows the pointer.
        coordinador.nodoPreview->removeFromParent();
        coordinador.nodoPreview.reset();
    }
    const std::optional<double> anterior = coordinador.nearClipOverride;
    coordinador.nearClipOverride = nearClipOverride;
    coordinador.aplicarNearClip(anterior);
}

// The snap ring sits right under the pointer: without hiding it, the next hit test would hit the
// ring itself and the snapped point would creep towards the camera.
class SceneKitView::Coordinator::OcultarMarcadores {
public:
    explicit OcultarMarcadores(Coordinator& c)
    {
        for (const auto& nodo : {c.nodoSnap, c.nodoPreview})
            if (nodo && !nodo->hidden) {
                nodo->hidden = true;
                ocultos_.push_back(nodo);
            }
    }
    ~OcultarMarcadores()
    {
        for (const auto& nodo : ocultos_)
            nodo->hidden = false;
    }

private:
    std::vector<scene::NodePtr> ocultos_;
};

SceneKitView::Coordinator::Coordinator(SeleccionCallback seleccion) : onNodeSelected(std::move(seleccion)) {}

SceneKitView::Coordinator::~Coordinator() { limpiarPreview(); }

void SceneKitView::Coordinator::limpiarPreview()
{
    if (nodoSnap)
        nodoSnap->removeFromParent();
    if (nodoPreview)
        nodoPreview->removeFromParent();
    nodoSnap.reset();
    nodoPreview.reset();
}

void SceneKitView::Coordinator::handleClick(QPointF posicion)
{
    render::SceneView* vista = scnViewRef.data();
    if (!vista)
        return;
    std::optional<scene::HitResult> hit;
    {
        OcultarMarcadores ocultar(*this);
        hit = vista->hitTest(posicion);
    }
    if (modoMedicion == ModoMedicion3D::inactivo) {
        // The floor is never selected; a click on it clears the selection like empty space.
        const bool valido = hit && hit->node && !hit->node->hasName(kNombrePiso);
        if (onNodeSelected)
            onNodeSelected(valido ? hit->node : nullptr);
        return;
    }
    if (!hit)
        return;
    const auto vertice = verticeMasCercano(*hit, *vista, posicion);
    if (onMedicion)
        onMedicion(vertice ? *vertice : hit->worldCoordinates);
}

void SceneKitView::Coordinator::mouseMoved(QPointF posicion)
{
    if (modoMedicion == ModoMedicion3D::inactivo) {
        limpiarPreview();
        return;
    }
    render::SceneView* vista = scnViewRef.data();
    const scene::ScenePtr laEscena = escena.lock();
    if (!vista || !laEscena) {
        limpiarPreview();
        return;
    }
    std::optional<scene::HitResult> hit;
    {
        OcultarMarcadores ocultar(*this);
        scene::HitTestOptions opciones;
        opciones.backFaceCulling = false;
        hit = vista->hitTest(posicion, opciones);
    }
    if (!hit) {
        limpiarPreview();
        return;
    }
    const auto vertice = verticeMasCercano(*hit, *vista, posicion);
    const scene::Vec3 p = vertice ? *vertice : hit->worldCoordinates;

    if (nodoSnap)
        nodoSnap->removeFromParent();
    const scene::NodePtr& camara = vista->pointOfView();
    const scene::Vec3 origenCamara = camara ? camara->worldPosition() : scene::Vec3{};
    const float d = float(scene::length(p - origenCamara));

    const scene::NodePtr& raiz = laEscena->rootNode();
    nodoSnap = nodoAnilloSnap(p, d);
    raiz->addChild(nodoSnap);

    if (nodoPreview)
        nodoPreview->removeFromParent();
    nodoPreview.reset();
    if (modoMedicion == ModoMedicion3D::area && !puntosArea.empty())
        nodoPreview = geometriaLineas(puntosArea, p);
    else if (puntoA)
        nodoPreview = nodoMedicion(*puntoA, p);
    if (nodoPreview)
        raiz->addChild(nodoPreview);
}

void SceneKitView::Coordinator::aplicarNearClip(std::optional<double> anterior)
{
    render::SceneView* vista = scnViewRef.data();
    if (!vista)
        return;
    const scene::NodePtr& puntoDeVista = vista->pointOfView();
    if (!puntoDeVista || !puntoDeVista->camera)
        return;
    scene::Camera& camara = *puntoDeVista->camera;
    if (nearClipOverride) {
        if (std::isfinite(*nearClipOverride) && *nearClipOverride > 0)
            camara.zNear = *nearClipOverride;
    } else if (anterior) {
        const scene::ScenePtr& laEscena = vista->scene();
        camara.zNear = distanciaNearAutomatica(laEscena ? laEscena->rootNode().get() : nullptr);
    } else {
        return;
    }
    vista->update();
}

}  // namespace quelva
