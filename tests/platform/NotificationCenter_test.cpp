#include "platform/NotificationCenter.h"
#include "platform/Queues.h"
#include "support/Esperar.h"

#include <QCoreApplication>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

using platform::NotificationCenter;

namespace {
// Runs the event loop until the condition holds (a hang guard of minutes only).
template <typename F>
bool processEventsUntil(F condition)
{
    return testsupport::esperarQue(condition);
}
}  // namespace

TEST(NotificationCenter, DeliversEachPostOnceToObserversOfThatNameOnly)
{
    NotificationCenter center;
    QObject context;
    int ifc = 0, qto = 0;
    center.subscribe(platform::NotificationName::abrirIFC, &context, [&] { ++ifc; });
    center.subscribe(platform::NotificationName::abrirQTO, &context, [&] { ++qto; });
    center.post(platform::NotificationName::abrirIFC);
    EXPECT_EQ(ifc, 1);
    EXPECT_EQ(qto, 0);
    center.post("com.quelva.otra");
    center.post(platform::NotificationName::abrirQTO);
    center.post(platform::NotificationName::abrirIFC);
    EXPECT_EQ(ifc, 2);
    EXPECT_EQ(qto, 1);
}

TEST(NotificationCenter, ObserverEndsWithItsContextOrWhenUnsubscribed)
{
    NotificationCenter center;
    int calls = 0;
    auto context = std::make_unique<QObject>();
    center.subscribe("n", context.get(), [&] { ++calls; });
    QObject other;
    const int id = center.subscribe("n", &other, [&] { calls += 10; });
    center.post("n");
    EXPECT_EQ(calls, 11);
    context.reset();
    center.unsubscribe(id);
    center.post("n");
    EXPECT_EQ(calls, 11);
    EXPECT_EQ(center.observerCount("n"), 0);
    // Posting with nobody listening is harmless.
    NotificationCenter::defaultCenter().post("com.quelva.sinObservadores");
}

TEST(NotificationCenter, ObserverRemovedDuringDeliveryIsNotCalled)
{
    NotificationCenter center;
    QObject context;
    int second = 0;
    int secondId = 0;
    center.subscribe("n", &context, [&] { center.unsubscribe(secondId); });
    secondId = center.subscribe("n", &context, [&] { ++second; });
    center.post("n");
    EXPECT_EQ(second, 0);
}

TEST(NotificationCenter, PostFromABackgroundThreadRunsOnTheContextsThread)
{
    NotificationCenter center;
    QObject context;
    std::atomic<QThread*> ranOn{nullptr};
    center.subscribe("n", &context, [&] { ranOn = QThread::currentThread(); });
    QtConcurrent::run([&] { center.post("n"); }).waitForFinished();
    ASSERT_TRUE(processEventsUntil([&] { return ranOn.load() != nullptr; }));
    EXPECT_EQ(ranOn.load(), QCoreApplication::instance()->thread());
}

TEST(Queues, MainQueueRunsLaterOnTheGuiThreadFromAnyThread)
{
    std::atomic<int> order{0};
    std::atomic<QThread*> ranOn{nullptr};
    int immediate = -1, delayed = -1;
    platform::MainQueue::post([&] { immediate = ++order; });
    EXPECT_EQ(immediate, -1);  // never inside the caller
    platform::BackgroundQueue::post([&] {
        platform::MainQueue::postAfter(50, [&] {
            delayed = ++order;
            ranOn = QThread::currentThread();
        });
    });
    ASSERT_TRUE(processEventsUntil([&] { return delayed != -1; }));
    EXPECT_EQ(immediate, 1);
    EXPECT_EQ(delayed, 2);
    EXPECT_EQ(ranOn.load(), QCoreApplication::instance()->thread());
    platform::BackgroundQueue::waitForIdle();
}
