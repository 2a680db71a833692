#pragma once

#include <QStringList>

class QFileDialog;

namespace quelva {

// The IFC file importer's filters: IFC files first, with the extension in any case (Linux names
// are case-sensitive and many exports are upper case), then every file, which the converter
// then judges itself.
QStringList filtrosArchivoIFC();

// Patterns of the IFC filter: every spelling of ".ifc".
QStringList patronesArchivoIFC();

// A single-file open dialog with those filters, the IFC one selected.
void configurarSelectorArchivoIFC(QFileDialog& dialogo);

}  // namespace quelva
