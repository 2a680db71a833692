#pragma once

#include "qto/EstadoQTO.h"
#include "qto/ItemQTO.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace quelva {

// The fixed columns of the take-off table, in order; the extra property columns follow.
enum class ColumnaQTO { tipo, especialidad, cantidad, densidad, ancho, alto, largo, volumen, areaPlanta, areaCara, peso };
inline constexpr int kColumnasFijasQTO = 11;

double anchoColumna(ColumnaQTO columna);
QString tituloColumna(ColumnaQTO columna);  // may hold a line break
std::optional<OrdenQTO> ordenDeColumna(ColumnaQTO columna);

// A number of the table: "—" unless it is above 0.0001.
QString textoCantidad(float valor, int decimales);

// Cell texts of one row, fixed columns then one per extra key. An empty text is a cell
// left empty on purpose.
QStringList celdasGrupo(const GrupoQTO& grupo, const QStringList& extras);
QStringList celdasItem(const ItemQTO& item, const QStringList& extras);
QStringList celdasTotal(const EstadoQTO& estado);

// An item's value of a property as the table shows it: "—" for none, empty or "$".
QString valorParametroItem(const ItemQTO& item, const QString& clave);

// "≈ 12.3 t"
QString textoPesoToneladas(float pesoKg);
// "Vol.: … m³  ·  Área planta: … m²  ·  Peso estimado: … t"
QString lineaResumen(const EstadoQTO& estado);

}  // namespace quelva
