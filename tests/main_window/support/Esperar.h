#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

namespace testsupport {

// Turns the event loop, deferred deletions included, until the condition holds; false on timeout.
// Qt's QTRY_* macros report to QTest's own log, which nothing reads under gtest: a wait that
// timed out there ended the test early and silently, as a pass.
inline bool esperarQue(const std::function<bool()>& condicion, int milisegundos = 5000)
{
    QElapsedTimer reloj;
    reloj.start();
    while (!condicion()) {
        if (reloj.elapsed() > milisegundos)
            return false;
        QTest::qWait(10);
    }
    return true;
}

}  // namespace testsupport

#define ESPERAR_QUE(condicion) ASSERT_TRUE(testsupport::esperarQue([&] { return bool(condicion); })) << #condicion
#define ESPERAR_QUE_EN(condicion, ms) \
    ASSERT_TRUE(testsupport::esperarQue([&] { return bool(condicion); }, ms)) << #condicion
