#pragma once

// The 4D look of the scene: at a date every element named by a package is hidden (not started),
// translucent green (under way) or in its own colour (finished). Works on scene nodes only, on
// the GUI thread; the window decides when.
//
// Which package decides each element, and which nodes bear those names, is worked out once per
// change of the configuration or of the scene, so a playback tick only compares dates and sets
// node values. Nodes are held weakly: a node freed by the scene is skipped, and the pooled
// address a new node may get is never taken for the old one.

#include "timeline/TimeLiner.h"

#include "scene/Color.h"
#include "scene/Material.h"
#include "scene/Node.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace quelva {

// Where the walk looks: the 3D view's scene root (when there is a view with a scene) and,
// when that matches nothing, the discipline roots.
struct RaicesEscena {
    bool hayVista = false;
    scene::NodePtr raizVista;
    std::vector<scene::NodePtr> raicesEspecialidades;
};

class Sincronizacion4D {
public:
    static constexpr double opacidadEnCurso = 0.65;
    static scene::Color verdeEnCurso() { return {0.0, 0.8, 0.35, 1.0}; }
    static scene::Color colorDestacado() { return {0.1, 0.8, 1.0, 1.0}; }

    // 0 not started, 1 under way (start and end included), 2 finished or named by no package.
    static int estado4DElemento(const QString& nombre, const std::vector<PaqueteAWP>& paquetes,
                                const QDateTime& fecha);

    // Colours the scene for `fecha` and returns the status line. `version` names the
    // configuration: an equal version promises equal packages.
    QString sincronizar(const TimeLinerConfig& config, std::uint64_t version, const QDateTime& fecha,
                        const RaicesEscena& raices);
    // Nodes were added or removed: the next synchronisation looks again.
    void escenaCambiada() { resolucionValida_ = false; }

    // Someone else gave `nodo` the diffuse colour `color` (a discipline colour, the selection
    // giving a colour back): that is its own colour from now on, and the node keeps its 4D look.
    void alRecolorear(scene::Node& nodo, const scene::Color& color);

    // Emission highlight of the nodes under the discipline roots that bear one of `nombres`;
    // the previous highlight is removed first.
    void destacar(const std::set<QString>& nombres, const std::vector<scene::NodePtr>& raices);
    void quitarDestacado();
    std::size_t nodosDestacados() const;

    // Gives every node the timeline touched its own look back (opacity 1, own diffuse), removes
    // the highlight and forgets everything saved.
    void restaurar();

    // The saved own colour of a node, if the timeline touched it.
    std::optional<scene::Contents> colorOriginal(const scene::Node& nodo) const;

private:
    struct Guardado {
        std::weak_ptr<scene::Node> nodo;
        scene::Contents diffuse;
        int paquete = -1;  // the deciding package in paquetesConNombres_, -1 when none does now
    };
    struct Resuelto {
        std::weak_ptr<scene::Node> nodo;
        scene::Node* crudo;
        Guardado* guardado;
    };
    struct PaqueteFechas {
        qint64 inicio, fin;  // ms since the epoch
        int nombres;         // distinct names this package decides
    };

    void prepararPaquetes(const TimeLinerConfig& config);
    void resolver(const RaicesEscena& raices);
    Guardado& guardar(scene::Node& nodo, scene::Material& material);
    Guardado* buscar(const scene::Node& nodo);
    void aplicar(scene::Node& nodo, const Guardado& g) const;

    std::uint64_t version_ = 0;
    bool paquetesValidos_ = false;
    std::vector<PaqueteFechas> paquetes_;
    std::unordered_map<std::string, int> decide_;  // element name -> package that decides it

    bool resolucionValida_ = false;
    const scene::Node* raizResuelta_ = nullptr;
    std::vector<const scene::Node*> raicesResueltas_;
    std::vector<Resuelto> resueltos_;

    std::vector<std::int8_t> estados_;  // per package, at the last synchronisation
    std::unordered_map<const scene::Node*, Guardado> originales_;
    std::vector<std::weak_ptr<scene::Node>> destacados_;
};

// Element names the selection highlights: the package's own; a CWP adds its IWP children's, a
// CWA the IWPs of its scope.
std::set<QString> nombresDestacado(const TimeLinerConfig& config, const PaqueteAWP& paquete);
// The names the package card pictures: as above, and a CWA adds its CWPs' own names too.
std::set<QString> nombresFicha(const TimeLinerConfig& config, const PaqueteAWP& paquete);

// Sets every geometry node under `raiz` to opacity 1 when its name is in `nombres`, else 0,
// and returns what to put back.
std::vector<std::pair<std::weak_ptr<scene::Node>, double>> aislarNombres(scene::Node& raiz,
                                                                        const std::set<QString>& nombres);
void devolverOpacidades(const std::vector<std::pair<std::weak_ptr<scene::Node>, double>>& guardadas);

}  // namespace quelva
