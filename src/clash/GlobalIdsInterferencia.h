#pragma once

// The IFC GlobalIds of the two elements of each clash, as the federation knows them, so that a
// BCF topic names its elements in a way other tools can select.

#include "clash/Interferencia.h"
#include "federation/ifc/GlobalIds.h"

#include <QString>
#include <QUuid>

#include <map>

namespace quelva {

// Empty when not known.
struct GlobalIdsInterferencia {
    QString a;
    QString b;
};

// By discipline key and element name (the whole node name, then its part after the first "/");
// a name that elements with different GlobalIds share gives none. Clashes with neither known are
// left out.
std::map<QUuid, GlobalIdsInterferencia> globalIdsDeAnalisis(const AnalisisInterferencias& analisis,
                                                            const std::map<QString, MapaGlobalIds>& porEspecialidad);

// 22 characters of the IFC base-64 alphabet (digits, letters, "_" and "$").
bool esIfcGuid(const QString& texto);

}  // namespace quelva
