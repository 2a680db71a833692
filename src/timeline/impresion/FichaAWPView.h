#pragma once

// The package card: one package's identity, progress, picture, dates, resources, linked
// elements and children, read only, with its PDF export.

#include "timeline/impresion/ContenidoFicha.h"

#include <QDialog>
#include <QPointer>

#include <QFileDialog>

namespace quelva {

class FichaAWPView : public QDialog {
    Q_OBJECT
public:
    explicit FichaAWPView(DatosFicha datos, QWidget* padre = nullptr);

    // "Exportar PDF": asks where, then writes the card as it is now (its copy, not later changes).
    void exportarPDF();
    QFileDialog* dialogoPDF() const { return dialogo_.data(); }

private:
    DatosFicha datos_;
    QPointer<QFileDialog> dialogo_;
};

}  // namespace quelva
