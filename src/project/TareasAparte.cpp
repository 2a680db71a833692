#include "project/TareasAparte.h"

#include <algorithm>
#include <system_error>

namespace quelva {

TareasAparte::TareasAparte(std::size_t enEspera) : enEspera_(enEspera == 0 ? 1 : enEspera)
{
    const std::size_t nucleos = std::thread::hardware_concurrency();
    const std::size_t hilos = std::clamp<std::size_t>(nucleos > 1 ? nucleos - 1 : 1, 1, 3);
    try {
        while (hilos_.size() < hilos)
            hilos_.emplace_back([this] { bucle(); });
    } catch (const std::system_error&) {
        // Fewer threads, or none: then tasks run where they are given.
    }
}

TareasAparte::~TareasAparte()
{
    terminar();
}

void TareasAparte::agregar(std::function<void()> tarea)
{
    if (hilos_.empty()) {
        tarea();
        return;
    }
    std::unique_lock<std::mutex> candado(mutex_);
    hayLugar_.wait(candado, [this] { return cola_.size() < enEspera_; });
    cola_.push_back(std::move(tarea));
    hayTarea_.notify_one();
}

void TareasAparte::terminar()
{
    {
        std::lock_guard<std::mutex> candado(mutex_);
        if (cerrada_)
            return;
        cerrada_ = true;
    }
    hayTarea_.notify_all();
    for (std::thread& h : hilos_)
        h.join();
}

void TareasAparte::bucle()
{
    for (;;) {
        std::function<void()> tarea;
        {
            std::unique_lock<std::mutex> candado(mutex_);
            hayTarea_.wait(candado, [this] { return !cola_.empty() || cerrada_; });
            if (cola_.empty())
                return;
            tarea = std::move(cola_.front());
            cola_.pop_front();
        }
        hayLugar_.notify_one();
        tarea();
    }
}

}  // namespace quelva
