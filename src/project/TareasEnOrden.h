#pragma once

// Work handed to one helper thread that runs it in the order given, so a reader can go on with
// the next record while the last one is decoded.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace quelva {

class TareasEnOrden {
public:
    // At most `enEspera` tasks wait: who gives more waits for room, so memory stays bounded.
    explicit TareasEnOrden(std::size_t enEspera);
    ~TareasEnOrden();
    TareasEnOrden(const TareasEnOrden&) = delete;
    TareasEnOrden& operator=(const TareasEnOrden&) = delete;

    // Runs on the helper; at once on the caller's thread when no thread could be started.
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
    std::thread hilo_;
};

}  // namespace quelva
