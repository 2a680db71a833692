#pragma once

// Bringing a window to the keyboard. The suites run side by side on one display, and any of them
// may take the focus at any moment: the request is repeated until it holds. Once the window is
// active it stays so until this thread turns its event loop again.

#include "support/Esperar.h"

#include <QDeadlineTimer>
#include <gtest/gtest.h>
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

// Whether this display gives a window the keyboard at all: a bare window asks for it, once per
// process. Only a display that refuses it may skip a test; our own windows must then get it.
inline bool pantallaDaFoco()
{
    static const bool da = [] {
        QWidget prueba(nullptr, Qt::Window);
        prueba.resize(120, 80);
        prueba.show();
        return QTest::qWaitForWindowExposed(&prueba, kLimiteCuelgue) && activarVentana(prueba, 20 * 1000);
    }();
    return da;
}

}  // namespace testsupport

// Brings `ventana` to the keyboard inside a test: skips on a display that gives no window focus,
// fails when the display does and this window still does not get it.
#define ACTIVAR_VENTANA_O_SALTAR(ventana)                                                          \
    do {                                                                                       \
        if (!::testsupport::pantallaDaFoco())                                                  \
            GTEST_SKIP() << "the display gives no window the keyboard focus";                  \
        ASSERT_TRUE(::testsupport::activarVentana(ventana)) << "the window never became active"; \
    } while (false)
