#include "comparison/MiniaturasTRELM.h"

#include "comparison/NombresTRELM.h"
#include "platform/SystemColors.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <optional>

namespace quelva {

namespace {

scene::Color colorSistema(platform::SystemColor c)
{
    const QColor q = platform::systemColor(c);
    return {q.redF(), q.greenF(), q.blueF(), 1.0};
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

IndiceNodosTRELM::IndiceNodosTRELM(const scene::NodePtr& modelo) : modelo_(modelo)
{
    if (!modelo_)
        return;
    // The records hold the pieces read as text. Valid UTF-8 that does not open with a
    // byte-order mark (the reading drops it) reads back to the same bytes, so the bytes serve
    // as the key; anything else is keyed by what the reading gives back.
    auto comoTexto = [this](std::string_view pieza) -> std::string_view {
        constexpr std::string_view kMarca = "\xEF\xBB\xBF";
        if (QByteArrayView(pieza.data(), qsizetype(pieza.size())).isValidUtf8() && !pieza.starts_with(kMarca))
            return pieza;
        const QByteArray leida = QString::fromUtf8(pieza.data(), qsizetype(pieza.size())).toUtf8();
        return leidas_.emplace_back(leida.constData(), size_t(leida.size()));
    };
    // Preorder with an explicit stack; the first node of a key stays.
    std::vector<scene::Node*> pila{modelo_.get()};
    while (!pila.empty()) {
        scene::Node* nodo = pila.back();
        pila.pop_back();
        if (nodo->geometry) {
            const std::string_view entero = nodo->name ? std::string_view(*nodo->name) : std::string_view();
            const PiezasNombreTRELM p = partirNombreTRELM(entero);
            const Clave clave = p.cuenta == 2 ? Clave{comoTexto(p.primera), comoTexto(p.segunda)}
                                              : Clave{std::string_view(), comoTexto(entero)};
            nodos_.emplace(clave, nodo);
        }
        const auto& hijos = nodo->children();
        for (auto it = hijos.rbegin(); it != hijos.rend(); ++it)
            if (*it)
                pila.push_back(it->get());
    }
}

size_t IndiceNodosTRELM::Hash::operator()(const Clave& c) const noexcept
{
    const size_t a = std::hash<std::string_view>{}(c.first);
    return a ^ (std::hash<std::string_view>{}(c.second) + 0x9e3779b97f4a7c15ull + (a << 6) + (a >> 2));
}

scene::NodePtr IndiceNodosTRELM::buscar(const ElementoCambioTRELM& elemento) const
{
    const QByteArray tipo = elemento.tipoIFC.toUtf8(), nombre = elemento.nombre.toUtf8();
    const auto it = nodos_.find(Clave{std::string_view(tipo.constData(), size_t(tipo.size())),
                                      std::string_view(nombre.constData(), size_t(nombre.size()))});
    return it == nodos_.end() ? nullptr : it->second->shared_from_this();
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
    // Each model is indexed once, and only when an element is looked up in it.
    std::optional<IndiceNodosTRELM> indiceNuevo, indiceBase;
    auto buscarEn = [](std::optional<IndiceNodosTRELM>& indice, const scene::NodePtr& modelo,
                       const ElementoCambioTRELM& e) -> scene::NodePtr {
        if (!modelo)
            return nullptr;
        if (!indice)
            indice.emplace(modelo);
        return indice->buscar(e);
    };
    std::vector<EntradaMiniaturaTRELM> entradas;
    entradas.reserve(elementos.size());
    for (const ElementoCambioTRELM& e : elementos) {
        scene::NodePtr nodo;
        switch (e.tipoCambio) {
        case TipoCambioTRELM::agregado: nodo = buscarEn(indiceNuevo, modeloNuevo, e); break;
        case TipoCambioTRELM::eliminado: nodo = buscarEn(indiceBase, modeloBase, e); break;
        case TipoCambioTRELM::modificado:
            // Named after its base node: with GlobalIds it may have another name in the new one.
            nodo = buscarEn(indiceNuevo, modeloNuevo, e);
            if (!nodo)
                nodo = buscarEn(indiceBase, modeloBase, e);
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
