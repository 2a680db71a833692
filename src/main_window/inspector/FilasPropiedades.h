#pragma once

#include "clash/Interferencia.h"
#include "federation/Especialidad.h"
#include "federation/ifc/IfcProperties.h"
#include "scene/Node.h"

#include <QString>

#include <map>
#include <optional>
#include <vector>

namespace quelva {

// One row of the inspector's property list; a label that starts with "──" is a section header.
struct FilaPropiedad {
    QString etiqueta;
    QString valor;

    bool esEncabezado() const { return etiqueta.startsWith(QStringLiteral("──")); }
    bool operator==(const FilaPropiedad&) const = default;
};

// Type text and element name of a node name split at its first "/" that closes a non-empty part:
// "IfcWall/Muro 01" gives ("IfcWall", "Muro 01"); a name that doesn't split gives ("Elemento", name).
struct NombreElemento {
    QString tipo;
    QString nombre;
};
NombreElemento partirNombreElemento(const QString& nombreCompleto);

// Full name of a node as the inspector shows it: its name, its geometry's name, else "Sin nombre".
QString nombreCompletoNodo(const scene::Node& nodo);

// The rows shown for the selected node. `claveEspecialidad` is the discipline the node lies in.
std::vector<FilaPropiedad> filasPropiedades(const scene::Node& nodo,
                                            const std::optional<QString>& claveEspecialidad,
                                            const std::map<QString, EspecialidadBIM>& especialidades,
                                            const std::vector<Interferencia>& interferencias,
                                            const std::map<QString, TablaPropiedadesIFC>& propiedadesIFC);

}  // namespace quelva
