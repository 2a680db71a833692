#pragma once

// Turning the event loop of a benchmark until what it waits for has happened.

#include <QCoreApplication>
#include <QElapsedTimer>

namespace bench {

// Runs the event loop until `hecho`; false after `limiteMs`, so a hang ends the run instead of
// holding it.
template <class F>
bool esperar(F hecho, int limiteMs = 600'000)
{
    QElapsedTimer guardia;
    guardia.start();
    while (!hecho()) {
        if (guardia.elapsed() > limiteMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

}  // namespace bench
