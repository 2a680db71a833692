#pragma once

// The version comparison itself: keys the elements of a base and a new model, classifies each
// key as added, removed, modified or unchanged by the two bounding boxes, paints both models and
// builds the counts and the change records. GUI thread (it changes scene materials); worker
// threads read both trees during the call.

#include "comparison/ResultadoTRELM.h"
#include "federation/ifc/GlobalIds.h"
#include "scene/Color.h"
#include "scene/Math.h"
#include "scene/Node.h"

#include <QDateTime>
#include <QString>

namespace quelva {

// Colours painted on the two versions.
namespace coloresTRELM {
inline constexpr scene::Color eliminado{0.9, 0.15, 0.15, 1.0};
inline constexpr scene::Color agregado{0.1, 0.75, 0.2, 1.0};
inline constexpr scene::Color modificadoBase{0.95, 0.55, 0.05, 1.0};
inline constexpr scene::Color modificadoNuevo{0.95, 0.9, 0.1, 1.0};
inline constexpr scene::Color igual{0.5, 0.5, 0.5, 1.0};
// Transparency (1 = opaque) of unchanged elements: the base shows through, the new one is gone.
inline constexpr double transparenciaIgualBase = 0.75;
inline constexpr double transparenciaIgualNuevo = 0.0;
}  // namespace coloresTRELM

// A move or resize above this (metres, strictly) is a change.
inline constexpr double kUmbralCambioTRELM = 0.05;

struct DeltasTRELM {
    double posicion = 0;  // distance between the box centres
    double tamano = 0;    // largest per-axis size difference
    bool modificado() const { return posicion > kUmbralCambioTRELM || tamano > kUmbralCambioTRELM; }
};
DeltasTRELM deltasCajasTRELM(const scene::Box& base, const scene::Box& nuevo);

struct EntradaComparacionTRELM {
    scene::Node* base = nullptr;   // painted
    scene::Node* nuevo = nullptr;
    const MapaGlobalIds* globalIdsBase = nullptr;
    const MapaGlobalIds* globalIdsNuevo = nullptr;
    QString archivoBase;
    QString archivoNuevo;
};

struct SalidaComparacionTRELM {
    EstadisticasTRELM stats;
    ResultadoTRELM resultado;
};

// Compares the element nodes (descendants with geometry) of both models and paints their first
// materials. Of two nodes with one key in a model the later in depth-first order is the one
// compared; the earlier keeps its material. The records are sorted by name (NFC, code points),
// stably; within a kind they follow the models' depth-first order.
SalidaComparacionTRELM compararModelosTRELM(const EntradaComparacionTRELM& entrada);

}  // namespace quelva
