#pragma once

// Waiting in tests: on the event or state that ends the work, never for a fixed time. The only
// limit is a hang guard of minutes, so a slow or busy machine (two cores, a parallel build beside
// the suite) takes longer instead of failing.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>

namespace testsupport {

inline constexpr int kLimiteCuelgue = 5 * 60 * 1000;

// Everything already posted to this thread is delivered, deferred deletions included; no waiting.
inline void entregarEventos()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

// Turns the event loop, deferred deletions included, until the condition holds; false only when
// the hang guard runs out. Qt's QTRY_* macros report to QTest's own log, which nothing reads under
// gtest: a wait that timed out there ended the test early and silently, as a pass.
inline bool esperarQue(const std::function<bool()>& condicion)
{
    const QDeadlineTimer guarda(kLimiteCuelgue);
    while (!condicion()) {
        if (guarda.hasExpired())
            return false;
        entregarEventos();
        QThread::msleep(2);
    }
    return true;
}

}  // namespace testsupport

#define ESPERAR_QUE(condicion) ASSERT_TRUE(testsupport::esperarQue([&] { return bool(condicion); })) << #condicion
