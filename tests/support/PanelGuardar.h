#pragma once

// Driving a save panel as a user does: the folder, the name typed into its field, the Save button.

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

namespace testsupport {

// `nombre` null keeps the file name the panel proposes, which is returned.
inline QString guardarEnPanel(QFileDialog& panel, const QString& carpeta, const char* nombre)
{
    auto* campo = panel.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    // The field holds the whole path while the proposed folder does not exist.
    const QString propuesto = QFileInfo(campo->text()).fileName();
    panel.setDirectory(carpeta);
    campo->setText(nombre ? QString::fromUtf8(nombre) : propuesto);
    panel.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->click();
    return propuesto;
}

}  // namespace testsupport
