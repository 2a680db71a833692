#pragma once

// Bounding-box clash search between the elements of different disciplines. Collection reads the
// scene on the GUI thread; the search works on plain values only and may run on any thread.

#include "clash/Interferencia.h"
#include "federation/Especialidad.h"
#include "scene/Math.h"
#include "scene/Node.h"

#include <QSet>
#include <QString>

#include <map>
#include <set>
#include <utility>
#include <vector>

namespace quelva {

// One element taken into a run, its box in world space.
struct NodoBB {
    scene::NodePtr node;
    QString key;     // discipline
    QString nombre;  // the node's name, "sin nombre" when it has none
    scene::Vec3 bbMin;
    scene::Vec3 bbMax;
};

// The two texts sorted and joined with "|": clavePar(a, b) == clavePar(b, a).
QString clavePar(const QString& a, const QString& b);

// Descendants of `raiz` (itself left out) that carry a geometry, depth first, parent first.
std::vector<scene::NodePtr> enumerarNodos(scene::Node& raiz);

// The node's bounds through its full world transform (all eight corners), so a model moved or
// turned after loading is tested where it is shown.
scene::Box cajaMundo(const scene::Node& nodo);

// The elements of every discipline in `claves` that has a root node, in the given order. Boxes
// with no positive extent on any axis are left out.
std::vector<NodoBB> recolectarNodos(const std::map<QString, EspecialidadBIM>& especialidades,
                                    const std::vector<QString>& claves);

// Name pairs of approved or resolved clashes of earlier analyses; empty when not excluding.
QSet<QString> conjuntoOmitidos(const std::vector<AnalisisInterferencias>& historial, bool excluirResueltos);

// Every pair (keys[i], keys[j]) with i < j of the sorted keys.
std::vector<std::pair<QString, QString>> paresDeClaves(std::vector<QString> claves);

// The clashes between elements of different disciplines whose pair key is in `paresActivos`: boxes
// that overlap by more than `tolerancia` on all three axes, name pairs in `omitidos` left out.
// Disciplines are taken in order of first appearance in `nodos`; for each tested pair the earlier
// one supplies element A. Results come A in collection order, then B. Boxes with a NaN or
// infinite coordinate never clash.
std::vector<Interferencia> buscarInterferencias(const std::vector<NodoBB>& nodos,
                                                const std::set<QString>& paresActivos,
                                                const QSet<QString>& omitidos, double tolerancia);

// The same result by testing every pair, on the calling thread (reference for checks and timing).
std::vector<Interferencia> buscarInterferenciasTodosLosPares(const std::vector<NodoBB>& nodos,
                                                             const std::set<QString>& paresActivos,
                                                             const QSet<QString>& omitidos, double tolerancia);

}  // namespace quelva
