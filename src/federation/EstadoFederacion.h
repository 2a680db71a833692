#pragma once

#include "federation/Especialidad.h"
#include "federation/ifc/GlobalIds.h"
#include "federation/ifc/IfcGrids.h"
#include "federation/ifc/IfcProperties.h"
#include "scene/Node.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <map>
#include <optional>
#include <vector>

namespace quelva {

using TablaEspecialidades = std::map<QString, EspecialidadBIM>;
// Discipline key to the property table of all its linked models.
using PropiedadesPorEspecialidad = std::map<QString, TablaPropiedadesIFC>;

// The six disciplines a new window starts with, and their display order.
TablaEspecialidades especialidadesPorDefecto();
QStringList ordenEspecialidadesPorDefecto();

// The federation's share of the main window state: disciplines and linked models, the
// property table, grid axes, the comparison slots that a slot run fills, the two sheets and
// the error alert. Main thread only.
struct EstadoFederacion {
    // linking
    QString fileName = QStringLiteral("Ningún archivo seleccionado");
    bool isProcessing = false;
    // What each run in flight loads, named when it was started, oldest first: the discipline
    // the model will land in, or the comparison version. The processing overlay names the latest.
    std::vector<QString> nombresEnProceso;

    // disciplines
    QStringList ordenEspecialidades = ordenEspecialidadesPorDefecto();
    TablaEspecialidades especialidades = especialidadesPorDefecto();
    QString seleccionActual = QStringLiteral("ARQ");

    // properties, GlobalIds and grid axes
    PropiedadesPorEspecialidad propiedadesIFC;
    // Discipline key to element name -> IFC GlobalId of its linked models; "" for a name that
    // elements with different GlobalIds share.
    std::map<QString, MapaGlobalIds> globalIdsIFC;
    std::vector<EjeGrilla> grillasIFC;
    scene::NodePtr nodoGrillasIFC;

    // comparison slots
    std::optional<QString> seleccionandoTRELM;
    scene::NodePtr modeloBase;
    scene::NodePtr modeloNuevo;
    QString fileNameBase = QStringLiteral("Sin versión base");
    QString fileNameNuevo = QStringLiteral("Sin versión nueva");
    MapaGlobalIds globalIdTrelmBase;
    MapaGlobalIds globalIdTrelmNuevo;

    // model highlight of the sidebar
    std::optional<QUuid> modeloResaltadoId;
    std::vector<scene::NodePtr> nodosResaltados;

    // transformation sheet
    std::optional<DireccionModelo> modeloEditandoTransformacion;
    TransformacionModelo transformacionEditando;

    // colour picker sheet
    std::optional<QString> colorPickerKey;
    QColor colorPickerColor = QColor::fromRgbF(0.5f, 0.5f, 0.5f);

    // error alert
    std::optional<QString> errorMessage;
    bool showError = false;

    // True when any discipline has a root node.
    bool hayModelosCargados() const;
};

}  // namespace quelva
