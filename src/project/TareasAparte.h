#pragma once

// Work handed to a few helper threads, so a reader can go on with the next record while the
// last ones are decoded. Tasks may finish in any order: whoever needs an order keeps a slot for
// each result when giving the task.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace quelva {

class TareasAparte {
public:
    // At most `enEspera` tasks wait: who gives more waits for room, so memory stays bounded.
    // Helpers: one fewer than the machine's cores, at least one and at most three.
    explicit TareasAparte(std::size_t enEspera);
    ~TareasAparte();
    TareasAparte(const TareasAparte&) = delete;
    TareasAparte& operator=(const TareasAparte&) = delete;

    // Runs on a helper; at once on the caller's thread when no thread could be started.
    void agregar(std::function<void()> tarea);
    // Every task given has run; no more may be given.
    void terminar();

private:
    void bucle();

    std::size_t enEspera_;
    std::mutex mutex_;
    std::condition_variable hayTarea_;
    std::condition_variable hayLugar_;
    std::deque<std::function<void()>> cola_;
    bool cerrada_ = false;
    std::vector<std::thread> hilos_;
};

}  // namespace quelva
