#pragma once

#include <QString>

class QMessageBox;

namespace platform {

// An alert shows its title only in the window's title bar, which the window manager cuts
// ("Paque...ortado") to the width of the alert, sized by its message alone. The width an alert
// needs for its whole title: the title in a bold title-bar font, plus the bar's icon and buttons.
int alertWidthForTitle(const QString& title);

// Widens the alert, through its own layout (a message box ignores a minimum width set on it),
// to alertWidthForTitle of its window title. Call once its texts and buttons are set.
void keepAlertTitleWhole(QMessageBox& alert);

}  // namespace platform
