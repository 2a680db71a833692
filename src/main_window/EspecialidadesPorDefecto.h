#pragma once

#include "federation/Especialidad.h"

#include <QString>
#include <QStringList>

#include <map>

namespace quelva {

// The six disciplines a new window starts with, and their display order.
QStringList ordenEspecialidadesPorDefecto();
std::map<QString, EspecialidadBIM> especialidadesPorDefecto();

}  // namespace quelva
