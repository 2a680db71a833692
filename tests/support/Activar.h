#pragma once

// Bringing a window to the keyboard. The suites run side by side on one display, and any of them
// may take the focus at any moment: the request is repeated until it holds. Once the window is
// active it stays so until this thread turns its event loop again.

#include "support/Esperar.h"

#include <QDeadlineTimer>
#include <QTest>
#include <QWidget>

namespace testsupport {

// False when the window did not become active within `limiteMs` (a display that gives no focus).
inline bool activarVentana(QWidget& ventana, int limiteMs = kLimiteCuelgue)
{
    const QDeadlineTimer guarda(limiteMs);
    do {
        ventana.raise();
        ventana.activateWindow();
        if (QTest::qWaitForWindowActive(&ventana, 1000))
            return true;
    } while (!guarda.hasExpired());
    return false;
}

// The first activation of a test: a display that gives no focus skips it.
inline constexpr int kLimitePrimerFoco = 20 * 1000;

}  // namespace testsupport
