#include "platform/SavePanel.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

namespace platform {

QString withExtension(const QString& name, const QString& extension)
{
    const QString fileName = QFileInfo(name).fileName();
    if (fileName.isEmpty() || extension.isEmpty())
        return name;
    const QString suffix = QLatin1Char('.') + extension;
    return fileName.endsWith(suffix, Qt::CaseInsensitive) ? name : name + suffix;
}

SavePanel::SavePanel(QWidget* parent, const QString& title, const QString& extension, const QString& proposedName)
    : QFileDialog(parent, title), extension_(extension)
{
    // The typed name is mended in accept(), which a native panel never calls.
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setDefaultSuffix(extension);
    selectFile(withExtension(proposedName, extension));
}

void SavePanel::accept()
{
    if (auto* campo = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        const QString escrito = campo->text();
        // A folder's name typed to go into it stays as it is.
        if (!escrito.isEmpty() && escrito != QStringLiteral("..") && !QFileInfo(QDir(directory()), escrito).isDir())
            campo->setText(withExtension(escrito, extension_));
    }
    QFileDialog::accept();
}

}  // namespace platform
