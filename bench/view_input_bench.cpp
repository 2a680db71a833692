// Input against frames in the interactive 3D view: a recorded sequence of wheel notches and
// drag steps arrives at 60 Hz from another thread (as the window system delivers it, whatever
// the view is doing), in bursts separated by pauses longer than the rest delay, so that a
// full-quality frame is drawn between bursts. For every event: the time from its arrival to the
// end of the frame that first shows the camera it produced. Needs a display (xvfb-run).
//
// Counters: latency median and worst case of the events inside bursts, the worst case of the
// events that arrived while a full-quality frame was drawing (bound: one full-quality frame plus
// one moving frame), and the frame times seen.

#include "big_scene.h"
#include "render/SceneView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// What the feeder thread posts, in order: the main thread matches deliveries to these.
struct Sent {
    Clock::time_point at;
};

class Recorder : public QObject {
public:
    std::mutex mutex;
    std::deque<Sent> sent;           // posted, not yet delivered
    std::vector<Clock::time_point> delivered;  // posted times of events delivered, not yet shown
    std::vector<double> burstLatencies, duringFullLatencies, movingFrames, fullFrames;
    std::vector<std::pair<Clock::time_point, Clock::time_point>> fullFrameSpans;
    struct Shown {
        Clock::time_point posted, frameEnd;
    };
    std::vector<Shown> shown;

    bool eventFilter(QObject*, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::Wheel:
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease: {
            std::lock_guard lock(mutex);
            if (!sent.empty()) {
                delivered.push_back(sent.front().at);
                sent.pop_front();
            }
            break;
        }
        default:
            break;
        }
        return false;
    }
};

void post(QWidget* view, Recorder& rec, QEvent* event)
{
    {
        std::lock_guard lock(rec.mutex);
        rec.sent.push_back({Clock::now()});
    }
    QCoreApplication::postEvent(view, event);
}

// Five bursts of about a second each (wheel notches, then a drag, alternating), 500 ms apart.
void feed(QWidget* view, Recorder& rec, std::atomic<bool>& done)
{
    const QPointF centre(640, 400);
    const auto tick = std::chrono::microseconds(16667);
    auto next = Clock::now() + std::chrono::milliseconds(500);
    auto wait = [&] {
        std::this_thread::sleep_until(next);
        next += tick;
    };
    for (int burst = 0; burst < 6; ++burst) {
        if (burst % 2 == 0) {
            for (int i = 0; i < 60; ++i) {
                wait();
                const int delta = (i / 15) % 2 == 0 ? 120 : -120;
                post(view, rec,
                     new QWheelEvent(centre, centre, QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                                     Qt::NoScrollPhase, false));
            }
        } else {
            wait();
            post(view, rec,
                 new QMouseEvent(QEvent::MouseButtonPress, centre, centre, centre, Qt::LeftButton, Qt::LeftButton,
                                 Qt::NoModifier));
            QPointF p = centre;
            for (int i = 0; i < 60; ++i) {
                wait();
                p += QPointF(i < 30 ? 6 : -6, i % 2 ? 2 : -2);
                post(view, rec,
                     new QMouseEvent(QEvent::MouseMove, p, p, p, Qt::NoButton, Qt::LeftButton, Qt::NoModifier));
            }
            wait();
            post(view, rec,
                 new QMouseEvent(QEvent::MouseButtonRelease, p, p, p, Qt::LeftButton, Qt::NoButton,
                                 Qt::NoModifier));
        }
        next += std::chrono::milliseconds(500);  // a pause: the full-quality frame comes
    }
    std::this_thread::sleep_until(next + std::chrono::milliseconds(500));
    done = true;
}

void BM_InputDuringFrames(benchmark::State& state)
{
    bench::BigScene s;
    for (auto _ : state) {
        QWidget window;
        window.resize(1280, 800);
        auto* view = new render::SceneView(&window);
        view->setGeometry(0, 0, 1280, 800);
        view->setScene(s.scene);
        view->setPointOfView(s.camera);
        view->setCameraTarget(s.centre);
        view->setAllowsCameraControl(true);
        window.show();

        Recorder rec;
        view->installEventFilter(&rec);
        QObject::connect(view, &render::SceneView::frameRendered, &rec, [&] {
            const auto end = Clock::now();
            const double frame = view->lastFrameSeconds() * 1000.0;
            const bool full = !view->isMoving();
            (full ? rec.fullFrames : rec.movingFrames).push_back(frame);
            if (full)
                rec.fullFrameSpans.push_back({end - std::chrono::microseconds(long(frame * 1000)), end});
            std::lock_guard lock(rec.mutex);
            for (const auto& posted : rec.delivered)
                rec.shown.push_back({posted, end});
            rec.delivered.clear();
        });
        // First frames upload the scene; input starts once it is on screen.
        const auto start = Clock::now();
        while (rec.fullFrames.size() + rec.movingFrames.size() < 2 && Clock::now() - start < std::chrono::seconds(60))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        rec.fullFrames.clear();
        rec.movingFrames.clear();
        rec.fullFrameSpans.clear();

        std::atomic<bool> done{false};
        std::thread feeder(feed, view, std::ref(rec), std::ref(done));
        while (!done)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        feeder.join();
        for (int i = 0; i < 50; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);

        for (const auto& sh : rec.shown) {
            bool duringFull = false;
            for (const auto& [a, b] : rec.fullFrameSpans)
                duringFull = duringFull || (sh.posted >= a && sh.posted < b);
            (duringFull ? rec.duringFullLatencies : rec.burstLatencies).push_back(ms(sh.frameEnd - sh.posted));
        }
        state.counters["events"] = double(rec.shown.size());
        state.counters["latency_median_ms"] = median(rec.burstLatencies);
        state.counters["latency_max_ms"] =
            rec.burstLatencies.empty() ? 0 : *std::max_element(rec.burstLatencies.begin(), rec.burstLatencies.end());
        state.counters["during_full_n"] = double(rec.duringFullLatencies.size());
        state.counters["during_full_max_ms"] =
            rec.duringFullLatencies.empty()
                ? 0
                : *std::max_element(rec.duringFullLatencies.begin(), rec.duringFullLatencies.end());
        state.counters["moving_frame_median_ms"] = median(rec.movingFrames);
        state.counters["moving_frame_max_ms"] =
            rec.movingFrames.empty() ? 0 : *std::max_element(rec.movingFrames.begin(), rec.movingFrames.end());
        state.counters["full_frame_median_ms"] = median(rec.fullFrames);
        state.counters["full_frames"] = double(rec.fullFrames.size());
        state.counters["render_scale"] = view->renderScale();
    }
}
BENCHMARK(BM_InputDuringFrames)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
