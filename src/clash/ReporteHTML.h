#pragma once

// The printable clash report: one self-contained HTML page (thumbnails inline as PNG), opened in
// the user's default application, where it is printed or saved as PDF.

#include "clash/Interferencia.h"
#include "clash/MiniaturasClash.h"

#include <QString>

#include <variant>

namespace quelva {

// Long date and short time in es_CL: "9 de diciembre de 2026, 08:05".
QString textoFechaReporteHTML(const QDateTime& fecha);
// The analysis name with "/" and ":" turned into "-", then ".html".
QString nombreArchivoReporteHTML(const QString& nombreAnalisis);
// The page. Every inserted text is escaped: names come from IFC files.
QString paginaReporteHTML(const AnalisisInterferencias& analisis, const MiniaturasClash& miniaturas);

// Writes the page into `carpeta` (replacing a page of the same name): its path, or
// "No se pudo generar el reporte: " and the reason.
std::variant<QString, QString> escribirReporteHTML(const AnalisisInterferencias& analisis,
                                                   const MiniaturasClash& miniaturas, const QString& carpeta);

}  // namespace quelva
