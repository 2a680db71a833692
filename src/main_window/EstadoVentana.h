#pragma once

// The main window's state, one plain struct per feature group. ContentView
// holds one of each; every feature reads and writes its own group, on the GUI
// thread only. The federation's share (linking, disciplines and their models,
// properties, grid axes, comparison slots, highlight, colour picker, errors)
// is EstadoFederacion. The long-lived holders are owned by ContentView itself.

#include "clash/EstadoInterferencias.h"
#include "comments/EstadoMarkup.h"
#include "comparison/ResultadoTRELM.h"
#include "federation/Especialidad.h"
#include "federation/EstadoFederacion.h"
#include "federation/ifc/GlobalIds.h"
#include "scene/Node.h"
#include "scene/Scene.h"
#include "sections/Seccion2D.h"
#include "viewport/EstadoMedicion.h"

#include <QColor>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <QWidget>

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace quelva {

using ListaVentanas = QList<QPointer<QWidget>>;

// fileName and isProcessing: EstadoFederacion.
struct EstadoVinculacion {
    bool showFilePicker = false;
};

struct EstadoEscena {
    scene::ScenePtr scene = scene::makeScene();
};

// The new-discipline sheet; the disciplines themselves: EstadoFederacion.
struct EstadoEspecialidades {
    bool mostrarNuevaEsp = false;
    QString nuevaEspNombre;
    QString nuevaEspIcono = QStringLiteral("folder");
    QColor nuevaEspColor;  // system teal
};

// The transformation sheet's fields: EstadoFederacion.
struct EstadoModelosVinculados {
    std::optional<DireccionModelo> modeloPendienteEliminar;
};

struct EstadoProyecto {
    bool showSavePicker = false;
    bool paqueteEnCurso = false;  // a package is being exported or opened: the processing overlay shows
    int lecturasEnCurso = 0;      // project files being read in the background
    bool avisoLectura = false;    // a read has lasted long enough for the processing overlay
};

// The slots (models, file names, GlobalId maps, slot being chosen): EstadoFederacion.
struct EstadoComparacion {
    bool trelmActivo = false;
    EstadisticasTRELM trelmStats;
    std::optional<ResultadoTRELM> resultadoTRELM;
    bool confirmarLimpiarTRELM = false;
    std::optional<QString> trelmSlotPendienteCargar;
};

struct EstadoSeleccion {
    scene::NodePtr nodoSeleccionado;
    QString nombreSeleccionado;
    std::optional<QColor> diffuseOriginalSeleccionado;
};

struct EstadoVentanas {
    ListaVentanas reportWindows;
};

struct EstadoTimeline {
    // Never filled; handed unchanged to the timeline window.
    std::map<QString, MapaGlobalIds> globalIdsPorEsp;
    ListaVentanas timeLinerWindows;
};

struct EstadoSecciones {
    bool seccionActiva = false;
    int seccionEje = 2;  // 0 = X, 1 = Y, 2 = Z
    double seccionPosicion = 0;
    double seccionRangoMin = -50;
    double seccionRangoMax = 50;
    int seccionModoProfundidad = 0;
    double seccionProfundidad = 1.0;
    std::vector<SeccionGuardada> seccionesGuardadas;
    scene::NodePtr nodoPlanVisual;
    ListaVentanas vista2DWindows;
    std::optional<QUuid> seccionPendienteEliminar;
};


}  // namespace quelva
