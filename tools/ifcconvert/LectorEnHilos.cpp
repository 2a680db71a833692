#include "LectorEnHilos.h"

#include <ifcpp/model/BuildingException.h>

#include <algorithm>
#include <clocale>
#include <exception>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace quelva::ifcconvert {

namespace {

using Registro = std::pair<std::string, shared_ptr<BuildingEntity>>;

// Runs tarea(k) for k in 0..n-1, one thread each (the calling thread takes the first); the first
// exception is thrown again here once all have ended.
template <typename F>
void enHilos(std::size_t n, F&& tarea)
{
    if (n == 0)
        return;
    std::vector<std::exception_ptr> errores(n);
    std::vector<std::thread> hilos;
    hilos.reserve(n);
    for (std::size_t k = 1; k < n; ++k)
        hilos.emplace_back([&, k] {
            try {
                tarea(k);
            } catch (...) {
                errores[k] = std::current_exception();
            }
        });
    try {
        tarea(0);
    } catch (...) {
        errores[0] = std::current_exception();
    }
    for (std::thread& h : hilos)
        h.join();
    for (const std::exception_ptr& e : errores)
        if (e)
            std::rethrow_exception(e);
}

}  // namespace

void LectorEnHilos::readData(std::string& texto, const BuildingModel::SchemaVersion& version,
                             std::map<int, shared_ptr<BuildingEntity>>& entidades)
{
    // numbers are read with the C locale's decimal point, as IFC++ itself sees to
    const char* actual = std::setlocale(LC_NUMERIC, nullptr);
    const std::string localeAntes = actual ? actual : "";
    std::setlocale(LC_NUMERIC, "C");

    // As the reader does: a failing stage leaves what it made and the next one goes on, unless
    // memory ran out.
    std::vector<std::vector<Registro>> tramos;
    try {
        std::vector<std::string> lineas;
        splitIntoStepLines(texto, lineas);
        // a few thousand records at least per thread: below that a thread costs more than it saves
        const std::size_t n = std::max<std::size_t>(
            1, std::min<std::size_t>(static_cast<std::size_t>(hilos_), lineas.size() / 4096));
        std::vector<std::vector<std::string>> lineasPorTramo(n);
        tramos.resize(n);
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t desde = lineas.size() * k / n, hasta = lineas.size() * (k + 1) / n;
            lineasPorTramo[k].assign(std::make_move_iterator(lineas.begin() + static_cast<std::ptrdiff_t>(desde)),
                                     std::make_move_iterator(lineas.begin() + static_cast<std::ptrdiff_t>(hasta)));
            tramos[k].resize(hasta - desde);
        }
        lineas = {};
        enHilos(n, [&](std::size_t k) {
            readStepLines(lineasPorTramo[k], tramos[k]);
            lineasPorTramo[k] = {};
        });
    } catch (const OutOfMemoryException&) {
        throw;
    } catch (...) {
    }
    // in file order: of records sharing a number, the first stays
    for (const auto& tramo : tramos)
        for (const Registro& r : tramo)
            if (r.second)
                entidades.insert(std::make_pair(r.second->m_entity_id, r.second));
    try {
        enHilos(tramos.size(), [&](std::size_t k) { readEntityArguments(version, tramos[k], entidades); });
    } catch (const OutOfMemoryException&) {
        throw;
    } catch (...) {
    }

    if (!localeAntes.empty())
        std::setlocale(LC_NUMERIC, localeAntes.c_str());
}

}  // namespace quelva::ifcconvert
