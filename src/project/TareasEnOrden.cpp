#include "project/TareasEnOrden.h"

#include <system_error>

namespace quelva {

TareasEnOrden::TareasEnOrden(std::size_t enEspera) : enEspera_(enEspera == 0 ? 1 : enEspera)
{
    try {
        hilo_ = std::thread([this] { bucle(); });
    } catch (const std::system_error&) {
        // No thread to be had: tasks run where they are given.
    }
}

TareasEnOrden::~TareasEnOrden()
{
    terminar();
}

void TareasEnOrden::agregar(std::function<void()> tarea)
{
    if (!hilo_.joinable()) {
        tarea();
        return;
    }
    std::unique_lock<std::mutex> candado(mutex_);
    hayLugar_.wait(candado, [this] { return cola_.size() < enEspera_; });
    cola_.push_back(std::move(tarea));
    hayTarea_.notify_one();
}

void TareasEnOrden::terminar()
{
    if (!hilo_.joinable())
        return;
    {
        std::lock_guard<std::mutex> candado(mutex_);
        cerrada_ = true;
    }
    hayTarea_.notify_one();
    hilo_.join();
}

void TareasEnOrden::bucle()
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
