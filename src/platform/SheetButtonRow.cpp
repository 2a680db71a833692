#include "platform/SheetButtonRow.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

namespace platform {

SheetButtonRow makeSheetButtonRow(QWidget* sheet, const QString& confirmText)
{
    SheetButtonRow row;
    row.layout = new QHBoxLayout;
    row.layout->setSpacing(16);
    row.cancel = new QPushButton(QStringLiteral("Cancelar"), sheet);
    row.confirm = new QPushButton(confirmText, sheet);
    row.confirm->setDefault(true);
    row.layout->addStretch(1);
    row.layout->addWidget(row.cancel);
    row.layout->addWidget(row.confirm);

    auto clickOn = [sheet](const QKeySequence& keys, QPushButton* button) {
        auto* shortcut = new QShortcut(keys, sheet);
        QObject::connect(shortcut, &QShortcut::activated, button, &QPushButton::click);
    };
    clickOn(QKeySequence(Qt::CTRL | Qt::Key_Escape), row.cancel);
    clickOn(QKeySequence(Qt::CTRL | Qt::Key_Return), row.confirm);
    clickOn(QKeySequence(Qt::CTRL | Qt::Key_Enter), row.confirm);
    return row;
}

}  // namespace platform
