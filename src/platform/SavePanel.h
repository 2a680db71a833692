#pragma once

#include <QFileDialog>
#include <QString>

namespace platform {

// `name` with ".extension" added unless its file name already ends in it, in any case.
// Qt's default suffix is added only to names without a dot, and "Planta 1.00 m" has one.
QString withExtension(const QString& name, const QString& extension);

// The save panel for one kind of file: it proposes the name with its extension and gives
// the extension to a typed name that lacks it, before it looks for a file to replace. With an
// empty extension it is a panel for any kind of file, which keeps every name as typed.
class SavePanel : public QFileDialog {
    Q_OBJECT
public:
    SavePanel(QWidget* parent, const QString& title, const QString& extension, const QString& proposedName);

    const QString& extension() const { return extension_; }

protected:
    void accept() override;

private:
    QString extension_;
};

}  // namespace platform
