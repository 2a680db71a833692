#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quelva::ifcconvert {

// Work on items 0..n-1 spread over forked worker processes that share the parent's memory
// copy-on-write: short runs of neighbouring items are handed to each worker as it gets through
// the ones it holds (so heavy stretches and workers slowed by other work on the machine hold
// nothing up), and the parent receives every item's bytes in item order, whatever order they
// are made in.
//
// A worker that dies (a signal, or any end before its share is done) takes nothing with it: the
// first item it had not sent (it sends in blocks) is tried again alone in a fresh worker, the rest
// of its share goes to another.
// An item that kills its worker a second time is handed to caido instead of entregar.
struct TrabajoEnProcesos {
    // In a worker: the item's bytes. An exception ends the whole run with mensajeDeError's text.
    std::function<void(std::size_t item, std::string& bytes)> producir;
    std::function<std::string(std::exception_ptr)> mensajeDeError;
    // In the parent, in item order.
    std::function<void(std::size_t item, std::string_view bytes)> entregar;
    std::function<void(std::size_t item, int senal)> caido;  // senal 0: it ended without one
};

// Returns the error message of a worker whose producir threw (the other workers are ended);
// nullopt when every item was delivered or reported fallen. An exception from entregar or caido
// ends the workers and goes on up.
std::optional<std::string> ejecutarEnProcesos(std::size_t n, int procesos, const TrabajoEnProcesos& trabajo);

// Processors this process may run on.
int procesadoresDisponibles();

}  // namespace quelva::ifcconvert
