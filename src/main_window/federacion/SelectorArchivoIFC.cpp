#include "main_window/federacion/SelectorArchivoIFC.h"

#include <QFileDialog>

namespace quelva {

QStringList patronesArchivoIFC()
{
    // Spelled out rather than as [iI] classes, which not every platform dialog understands.
    QStringList patrones;
    for (int mascara = 0; mascara < 8; ++mascara) {
        QString extension = QStringLiteral("ifc");
        for (int i = 0; i < 3; ++i)
            if (mascara & (1 << i))
                extension[i] = extension[i].toUpper();
        patrones << QStringLiteral("*.") + extension;
    }
    return patrones;
}

QStringList filtrosArchivoIFC()
{
    return {QStringLiteral("Archivos IFC (%1)").arg(patronesArchivoIFC().join(u' ')),
            QStringLiteral("Todos los archivos (*)")};
}

void configurarSelectorArchivoIFC(QFileDialog& dialogo)
{
    dialogo.setFileMode(QFileDialog::ExistingFile);
    // The eight spellings would crowd the filter box: it shows the names only.
    dialogo.setOption(QFileDialog::HideNameFilterDetails);
    dialogo.setNameFilters(filtrosArchivoIFC());
    dialogo.selectNameFilter(filtrosArchivoIFC().first());
}

}  // namespace quelva
