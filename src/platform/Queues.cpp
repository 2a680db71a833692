#include "platform/Queues.h"

#include <QCoreApplication>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <atomic>

namespace platform {

namespace {
std::atomic<int> retrasadas{0};
}  // namespace

void MainQueue::post(std::function<void()> work)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || !work)
        return;
    QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
}

void MainQueue::postAfter(int milliseconds, std::function<void()> work)
{
    if (!work || !QCoreApplication::instance())
        return;
    ++retrasadas;
    // The timer is started from the GUI thread, so any caller thread works.
    post([milliseconds, work = std::move(work)]() mutable {
        QTimer::singleShot(milliseconds < 0 ? 0 : milliseconds, QCoreApplication::instance(),
                           [work = std::move(work)] {
                               --retrasadas;
                               work();
                           });
    });
}

int MainQueue::delayedPending()
{
    return retrasadas.load();
}

void BackgroundQueue::post(std::function<void()> work)
{
    if (!work)
        return;
    // Much of this work waits on a converter process rather than using a processor: on a 2-core
    // machine two conversions must not hold back an export or a detection until they end.
    static const bool ampliada = [] {
        QThreadPool* pool = QThreadPool::globalInstance();
        pool->setMaxThreadCount(std::max(pool->maxThreadCount(), 8));
        return true;
    }();
    (void)ampliada;
    QThreadPool::globalInstance()->start(std::move(work));
}

void BackgroundQueue::waitForIdle()
{
    QThreadPool::globalInstance()->waitForDone();
}

}  // namespace platform
