#pragma once

// The timeline's packages as comma-separated text, both ways. Pure: no files, no widgets.

#include "timeline/TimeLiner.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace quelva::TimeLinerCSV {

// The packages of a CSV text, in row order. Columns are found in the header by aliases (Spanish
// or English, as substrings, the first alias that finds a cell decides); rows without a level,
// code or a start/end pair are left out. Never fails: an unusable text gives no packages.
std::vector<PaqueteAWP> parsear(const QString& texto);

// The header cell (already trimmed, unquoted and lower-cased) that the first alias able to find
// one selects, the leftmost of that alias; none when no alias is found.
std::optional<int> indiceColumna(const QStringList& aliases, const QStringList& cabecera);

// A date cell: yyyy-MM-dd, dd/MM/yyyy or MM/dd/yyyy (that order), as the start of that calendar
// day in the user's time zone; none when no form reads it.
std::optional<QDateTime> leerFecha(const QString& texto);

// The export: the fixed header, one row per package sorted by code (code points, stable), LF
// line ends, the last line included.
inline const QString cabeceraExportacion = QStringLiteral(
    "Nivel,Código,Nombre,Padre,Inicio,Fin,Avance%,Presupuesto,Costo Real,EV,CPI,HH Plan,HH Real,HH Ganadas,"
    "Factor Prod.");
QString textoExportacion(const std::vector<PaqueteAWP>& paquetes);

// A whole-number cell: the value truncated toward zero in plain digits (also beyond 64 bits);
// "0" for what is not a number.
QString textoEntero(double valor);

}  // namespace quelva::TimeLinerCSV
