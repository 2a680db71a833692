#pragma once

#include <QString>
#include <QStringList>

namespace quelva {

// The name of a new discipline, trimmed of spaces and tabs only.
QString nombreEspecialidadLimpio(const QString& nombre);

// Key of a new discipline: the first three characters of the trimmed name, upper-cased,
// followed by 1, 2, ... while the key is already in use. Empty for an empty name.
QString claveNuevaEspecialidad(const QString& nombre, const QStringList& clavesEnUso);

}  // namespace quelva
