#pragma once

#include <functional>

namespace platform {

// Work for the GUI thread, posted from any thread. Runs from the GUI thread's
// event loop, never inside the caller.
namespace MainQueue {
void post(std::function<void()> work);
void postAfter(int milliseconds, std::function<void()> work);
// Delayed work posted and not yet run: tests wait for it rather than for a time.
int delayedPending();
}  // namespace MainQueue

// Work for the shared pool of background threads.
namespace BackgroundQueue {
void post(std::function<void()> work);
// Blocks until every posted job has finished (tests and shutdown).
void waitForIdle();
}  // namespace BackgroundQueue

}  // namespace platform
