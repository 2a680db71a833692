#pragma once

#include <QString>

class QHBoxLayout;
class QPushButton;
class QWidget;

namespace platform {

// The row that ends a sheet: "Cancelar" and the confirm button, right-aligned.
struct SheetButtonRow {
    QHBoxLayout* layout = nullptr;  // not yet in a layout: the caller adds it
    QPushButton* cancel = nullptr;
    QPushButton* confirm = nullptr;
};

// Builds the row with its buttons owned by the sheet. The confirm button is the
// default one; Ctrl+Escape clicks "Cancelar" and Ctrl+Return (or Ctrl+Enter on the
// keypad) clicks the confirm button from anywhere in the sheet. A leading button
// goes in with insertWidget(0, ...); one more stretch at the end centres the pair.
SheetButtonRow makeSheetButtonRow(QWidget* sheet, const QString& confirmText);

}  // namespace platform
