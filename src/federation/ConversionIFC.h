#pragma once

#include "federation/Especialidad.h"
#include "federation/ifc/GlobalIds.h"
#include "federation/ifc/IfcGrids.h"
#include "federation/ifc/IfcProperties.h"
#include "scene/Node.h"

#include <QString>

#include <optional>
#include <variant>
#include <vector>

namespace quelva {

// The three converter runs. Each converts a copy of an IFC file with the external converter
// into an OBJ file, reads the IFC text for what the geometry lacks and loads the OBJ into a
// container node. They block while the converter runs: call them on a background thread.
// The scene nodes they return are not part of any scene yet.

struct ResultadoVinculo {
    TablaPropiedadesIFC propiedades;
    MapaGlobalIds globalIds;  // names shared by several elements map to ""

    std::vector<EjeGrilla> grillas;
    scene::NodePtr nodo;
    QString archivo;  // the file that the user chose
    QString rutaOBJ;  // left for the completion to remove
};

struct ResultadoSlot {
    QString slot;
    scene::NodePtr nodo;
    QString fileName;
    MapaGlobalIds globalIds;
};

struct ResultadoRestauracion {
    QString key;
    int orden = 0;
    TablaPropiedadesIFC propiedades;
    MapaGlobalIds globalIds;  // names shared by several elements map to ""
    std::vector<EjeGrilla> grillas;
    QString nombre;
    scene::NodePtr nodo;
    bool isVisible = true;
    double transparencia = 0;
    QString ruta;  // where the file was found
    std::optional<TransformacionModelo> transformacion;
};

// A run's result, or the text of the error alert.
template <class T>
using SalidaConversion = std::variant<T, QString>;

// The converter's arguments after the executable.
QStringList argumentosConversor(const QString& copiaIFC, const QString& rutaOBJ);

// Link run: properties, GlobalIds and grid axes. On failure the OBJ file is removed too.
SalidaConversion<ResultadoVinculo> convertirIFC(const QString& archivo, const QString& motor,
                                                const QString& rutaOBJ);

// Comparison-slot run: GlobalIds only. The OBJ file is removed in every case.
SalidaConversion<ResultadoSlot> cargarSlotTRELM(const QString& archivo, const QString& motor,
                                                const QString& rutaOBJ, const QString& slot,
                                                const QString& fileName);

struct EntradaRestauracion {
    QString fuente;  // the IFC file to convert
    QString motor;
    QString rutaOBJ;
    QString key;
    int orden = 0;  // the model's saved place in its discipline
    QString nombre;
    bool isVisible = true;
    double transparencia = 0;
    QString ruta;
    std::optional<TransformacionModelo> transformacion;
};

// Restore run: properties and grid axes read in one pass, no message on failure (none). The OBJ file is removed in every
// case and the converter's error output is not kept.
std::optional<ResultadoRestauracion> convertirEnSegundoPlano(const EntradaRestauracion& entrada);

}  // namespace quelva
