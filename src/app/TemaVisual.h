#pragma once

class QApplication;

namespace quelva {

// The dark appearance of the whole application: the same on every desktop.
void aplicarTemaVisual(QApplication& app);

}  // namespace quelva
