#pragma once

// Thumbnails of a change report: one small off-screen picture per changed element, in the colour
// of its kind, keyed by the element's name. Rendered on the GUI thread one per event-loop turn,
// from copies of the elements taken when the report opens; published once, all together.

#include "comparison/ResultadoTRELM.h"
#include "render/Thumbnails.h"
#include "scene/Color.h"
#include "scene/Node.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quelva {

// Element name -> the picture as the report's cell shows it.
using MapaMiniaturasTRELM = std::map<QString, QImage>;

inline constexpr QSize kCeldaMiniaturaTRELM{180, 118};

scene::Color colorMiniaturaTRELM(TipoCambioTRELM tipo);

// The element nodes of one model by the type and name their node names split into (as the
// comparison splits them), gathered in one walk: a report looks up thousands of elements, and
// walking the whole model for each of them held the window for seconds. The keys view the
// nodes' names, so the model's tree and names must stay as they are while it is used.
class IndiceNodosTRELM {
public:
    explicit IndiceNodosTRELM(const scene::NodePtr& modelo);
    // The first node with geometry, the model itself first and then depth-first, whose name
    // splits into the element's type and name; none when the model has no such node.
    scene::NodePtr buscar(const ElementoCambioTRELM& elemento) const;

private:
    using Clave = std::pair<std::string_view, std::string_view>;  // (tipoIFC, nombre) in UTF-8
    struct Hash {
        size_t operator()(const Clave& c) const noexcept;
    };
    scene::NodePtr modelo_;  // keeps the indexed nodes alive
    std::deque<std::string> leidas_;  // pieces that read differently as text (see the walk)
    std::unordered_map<Clave, scene::Node*, Hash> nodos_;
};

// Close to the box, looking at its centre from above one corner; an element without extent is
// treated as one metre large.
render::ThumbnailCamera camaraMiniaturaTRELM(const scene::Box& caja);

struct EntradaMiniaturaTRELM {
    QString nombre;
    scene::NodePtr copia;  // shares geometry with the element; the render copies it again
    scene::Color color;
};

// Gathering, on the GUI thread when the report opens: added elements are looked up in the new
// model, removed ones in the base; modified ones in the new model and, failing that, the base.
// Elements not found get no entry.
std::vector<EntradaMiniaturaTRELM> reunirMiniaturasTRELM(const std::vector<ElementoCambioTRELM>& elementos,
                                                         const scene::NodePtr& modeloNuevo,
                                                         const scene::NodePtr& modeloBase);

QImage renderizarMiniaturaTRELM(render::Thumbnailer& renderizador, const EntradaMiniaturaTRELM& entrada);
// The render filled into the cell size (aspect kept, overflow cut) as RGB888, to keep thousands.
QImage celdaMiniaturaTRELM(const QImage& imagen);

// The report page observes it; its map is set once.
class TRELMThumbnailStore : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    const MapaMiniaturasTRELM& thumbnails() const { return thumbnails_; }
    void setThumbnails(MapaMiniaturasTRELM mapa);

signals:
    void thumbnailsChanged();

private:
    MapaMiniaturasTRELM thumbnails_;
};

// Renders the entries one per event-loop turn with the process's thumbnailer, then sets the store's map.
// A later entry with the same name replaces the earlier picture. Dies with its parent; does
// nothing once the store is gone.
class GeneradorMiniaturasTRELM : public QObject {
    Q_OBJECT
public:
    GeneradorMiniaturasTRELM(std::vector<EntradaMiniaturaTRELM> entradas, TRELMThumbnailStore* store,
                             QObject* parent = nullptr);
    ~GeneradorMiniaturasTRELM() override;

    void empezar(int retrasoMs = 0);
    bool terminado() const { return terminado_; }

signals:
    void publicado();

private:
    void renderSiguiente();

    std::vector<EntradaMiniaturaTRELM> entradas_;
    QPointer<TRELMThumbnailStore> store_;
    MapaMiniaturasTRELM pendientes_;
    size_t siguiente_ = 0;
    bool empezado_ = false;
    bool terminado_ = false;
};

}  // namespace quelva
