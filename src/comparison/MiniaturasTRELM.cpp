#include "comparison/MiniaturasTRELM.h"

#include "comparison/NombresTRELM.h"
#include "platform/SystemColors.h"

#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace quelva {

namespace {

scene::Color colorSistema(platform::SystemColor c)
{
    const QColor q = platform::systemColor(c);
    return {q.redF(), q.greenF(), q.blueF(), 1.0};
}

const scene::Node* buscarEn(const ElementoCambioTRELM& e, const scene::Node& nodo)
{
    if (nodo.geometry) {
        const NombreYTipoTRELM n = tipoYNombreDeNodo(nodo);
        if (n.nombre == e.nombre && n.tipoIFC == e.tipoIFC)
            return &nodo;
    }
    for (const scene::NodePtr& hijo : nodo.children())
        if (const scene::Node* n = buscarEn(e, *hijo))
            return n;
    return nullptr;
}

}  // namespace

scene::Color colorMiniaturaTRELM(TipoCambioTRELM tipo)
{
    switch (tipo) {
    case TipoCambioTRELM::agregado: return colorSistema(platform::SystemColor::green);
    case TipoCambioTRELM::eliminado: return colorSistema(platform::SystemColor::red);
    case TipoCambioTRELM::modificado: return {0.95, 0.55, 0.05, 1.0};
    }
    return {0.95, 0.55, 0.05, 1.0};
}

scene::NodePtr buscarNodoTRELM(const ElementoCambioTRELM& elemento, const scene::NodePtr& modelo)
{
    if (!modelo)
        return nullptr;
    const scene::Node* n = buscarEn(elemento, *modelo);
    return n ? const_cast<scene::Node*>(n)->shared_from_this() : nullptr;
}

render::ThumbnailCamera camaraMiniaturaTRELM(const scene::Box& caja)
{
    const scene::Vec3 s = caja.size();
    double L = std::max({s.x, s.y, s.z});
    // A point, or a box that is not finite, would give a far plane of zero or NaN.
    if (!std::isfinite(L) || !(L > 0))
        L = 1;
    scene::Vec3 c = caja.center();
    if (!std::isfinite(c.x) || !std::isfinite(c.y) || !std::isfinite(c.z))
        c = {};
    const double d = std::max(0.15, 0.75 * L);
    render::ThumbnailCamera cam;
    cam.target = c;
    // Z is up: above the element, off one corner.
    cam.position = {c.x + d, c.y + d, c.z + 0.6 * d};
    cam.zFar = 50 * L;
    cam.zNear = std::max(0.005, 0.001 * L);
    return cam;
}

std::vector<EntradaMiniaturaTRELM> reunirMiniaturasTRELM(const std::vector<ElementoCambioTRELM>& elementos,
                                                         const scene::NodePtr& modeloNuevo,
                                                         const scene::NodePtr& modeloBase)
{
    std::vector<EntradaMiniaturaTRELM> entradas;
    entradas.reserve(elementos.size());
    for (const ElementoCambioTRELM& e : elementos) {
        scene::NodePtr nodo;
        switch (e.tipoCambio) {
        case TipoCambioTRELM::agregado: nodo = buscarNodoTRELM(e, modeloNuevo); break;
        case TipoCambioTRELM::eliminado: nodo = buscarNodoTRELM(e, modeloBase); break;
        case TipoCambioTRELM::modificado:
            // Named after its base node: with GlobalIds it may have another name in the new one.
            nodo = buscarNodoTRELM(e, modeloNuevo);
            if (!nodo)
                nodo = buscarNodoTRELM(e, modeloBase);
            break;
        }
        if (nodo)
            entradas.push_back({e.nombre, nodo->clone(false), colorMiniaturaTRELM(e.tipoCambio)});
    }
    return entradas;
}

QImage renderizarMiniaturaTRELM(render::Thumbnailer& renderizador, const EntradaMiniaturaTRELM& entrada)
{
    if (!entrada.copia)
        return {};
    return renderizador.render({{entrada.copia.get(), entrada.color}},
                               camaraMiniaturaTRELM(entrada.copia->boundingBox()));
}

QImage celdaMiniaturaTRELM(const QImage& imagen)
{
    if (imagen.isNull())
        return {};
    const QSize celda = kCeldaMiniaturaTRELM;
    const QImage escalada = imagen.scaled(celda, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    QImage vista(celda, QImage::Format_RGB888);
    vista.fill(QColor::fromRgbF(0.14f, 0.14f, 0.14f));
    QPainter p(&vista);
    p.drawImage(QPoint((celda.width() - escalada.width()) / 2, (celda.height() - escalada.height()) / 2), escalada);
    return vista;
}

void TRELMThumbnailStore::setThumbnails(MapaMiniaturasTRELM mapa)
{
    thumbnails_ = std::move(mapa);
    emit thumbnailsChanged();
}

GeneradorMiniaturasTRELM::GeneradorMiniaturasTRELM(std::vector<EntradaMiniaturaTRELM> entradas,
                                                   TRELMThumbnailStore* store, QObject* parent)
    : QObject(parent), entradas_(std::move(entradas)), store_(store)
{
}

GeneradorMiniaturasTRELM::~GeneradorMiniaturasTRELM() = default;

void GeneradorMiniaturasTRELM::empezar(int retrasoMs)
{
    if (empezado_)
        return;
    empezado_ = true;
    // The thumbnail renderer gets ready during the delay.
    if (!entradas_.empty())
        render::sharedThumbnailer();
    QTimer::singleShot(retrasoMs, this, &GeneradorMiniaturasTRELM::renderSiguiente);
}

void GeneradorMiniaturasTRELM::renderSiguiente()
{
    if (!store_)
        return;
    if (siguiente_ < entradas_.size()) {
        render::Thumbnailer& renderizador = render::sharedThumbnailer();
        if (!renderizador.isReady()) {
            // Its shaders are still being made on their own thread: look again shortly.
            QTimer::singleShot(15, this, &GeneradorMiniaturasTRELM::renderSiguiente);
            return;
        }
        // One picture per turn: the windows keep answering in between.
        EntradaMiniaturaTRELM& e = entradas_[siguiente_++];
        const QImage celda = celdaMiniaturaTRELM(renderizarMiniaturaTRELM(renderizador, e));
        if (!celda.isNull())
            pendientes_[e.nombre] = celda;
        e.copia.reset();
        QTimer::singleShot(0, this, &GeneradorMiniaturasTRELM::renderSiguiente);
        return;
    }
    terminado_ = true;
    entradas_.clear();
    store_->setThumbnails(std::move(pendientes_));
    pendientes_.clear();
    emit publicado();
}

}  // namespace quelva
