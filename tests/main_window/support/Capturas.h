#pragma once

#include <QString>
#include <QWidget>

namespace testsupport {

// Saves a picture of the widget when QUELVA_CAPTURAS names a folder; used to look at views by eye.
void guardarCaptura(QWidget& widget, const QString& nombre);

}  // namespace testsupport
