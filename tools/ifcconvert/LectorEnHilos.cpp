#include "LectorEnHilos.h"

#include <ifcpp/model/BuildingException.h>

#include <algorithm>
#include <clocale>
#include <exception>
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

// Where IFC++'s string ends, given the position of its opening apostrophe: the position after
// the closing one, or the text's end. Its own rule: a doubled apostrophe (but not right after the
// opening one) and a backslash before an apostrophe or a backslash are kept, as are the \X0\,
// \X2\ and \X4\ directives; the text stops at a NUL.
std::size_t finDeCadena(const std::string& t, std::size_t i)
{
    const std::size_t primero = ++i;
    while (i < t.size() && t[i] != '\0') {
        const char c = t[i];
        if (c == '\\') {
            const char d = i + 1 < t.size() ? t[i + 1] : '\0';
            if (d == 'X' && i + 3 < t.size() && (t[i + 2] == '0' || t[i + 2] == '2' || t[i + 2] == '4') &&
                t[i + 3] == '\\')
                i += 4;
            else if (d == '\\' || d == '\'')
                i += 2;
            else
                ++i;
        } else if (c == '\'') {
            if (i + 1 < t.size() && t[i + 1] == '\'' && i != primero)
                i += 2;
            else
                return i + 1;
        } else {
            ++i;
        }
    }
    return t.size();
}

// Up to partes - 1 places, after the data section's start, where the text splits into parts of
// about the same size: each the start of a line that begins a record ("#") right after a line
// that ended one (";"), outside strings. Empty when the text has no data section or holds a NUL.
std::vector<std::size_t> cortesEntreRegistros(const std::string& t, std::size_t partes)
{
    std::vector<std::size_t> cortes;
    const std::size_t datos = t.find("DATA;");
    if (partes < 2 || datos == std::string::npos)
        return cortes;
    std::size_t objetivo = datos + (t.size() - datos) / partes;
    for (std::size_t i = datos + 5; i < t.size();) {
        const char c = t[i];
        if (c == '\0')
            return {};
        if (c == '\'') {
            i = finDeCadena(t, i);
            continue;
        }
        if (c == ';' && i >= objetivo) {
            std::size_t j = i + 1;
            if (j < t.size() && t[j] == '\r')
                ++j;
            if (j + 1 < t.size() && t[j] == '\n' && t[j + 1] == '#') {
                cortes.push_back(j + 1);
                if (cortes.size() + 1 == partes)
                    break;
                objetivo = datos + (t.size() - datos) * (cortes.size() + 1) / partes;
            }
        }
        ++i;
    }
    // a NUL further on ends IFC++'s reading there: cuts beyond it would read more than it does
    if (t.find('\0', cortes.empty() ? t.size() : cortes.back()) != std::string::npos)
        return {};
    return cortes;
}

}  // namespace

void LectorEnHilos::removeComments(std::string& texto)
{
    // It copies the whole text even when it has no comment to take out (nor a NUL to end it at).
    if (texto.find("/*") == std::string::npos && texto.find('\0') == std::string::npos)
        return;
    ReaderSTEP::removeComments(texto);
}

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
        // A part per thread, cut between records; each is split into its records and their
        // entities made on its own. Below a megabyte a thread costs more than it saves.
        const std::size_t partes = std::min<std::size_t>(static_cast<std::size_t>(hilos_), texto.size() / (1 << 20) + 1);
        const std::vector<std::size_t> cortes = cortesEntreRegistros(texto, partes);
        tramos.resize(cortes.size() + 1);
        enHilos(tramos.size(), [&](std::size_t k) {
            std::vector<std::string> lineas;
            if (cortes.empty()) {
                splitIntoStepLines(texto, lineas);
            } else {
                const std::size_t desde = k == 0 ? 0 : cortes[k - 1];
                const std::size_t hasta = k == cortes.size() ? texto.size() : cortes[k];
                // the reader starts after the section's keyword
                std::string parte = k == 0 ? std::string() : std::string("DATA;\n");
                parte.append(texto, desde, hasta - desde);
                splitIntoStepLines(parte, lineas);
            }
            tramos[k].resize(lineas.size());
            readStepLines(lineas, tramos[k]);
        });
    } catch (const OutOfMemoryException&) {
        throw;
    } catch (...) {
    }
    // in file order: of records sharing a number, the first stays; files mostly number their
    // records upwards, so each goes in at the end without a search
    for (const auto& tramo : tramos)
        for (const Registro& r : tramo)
            if (r.second)
                entidades.insert(entidades.end(), std::make_pair(r.second->m_entity_id, r.second));
    try {
        enHilos(tramos.size(), [&](std::size_t k) {
            readEntityArguments(version, tramos[k], entidades);
            tramos[k] = {};  // the records' text, freed on the same threads
        });
    } catch (const OutOfMemoryException&) {
        throw;
    } catch (...) {
    }

    if (!localeAntes.empty())
        std::setlocale(LC_NUMERIC, localeAntes.c_str());
}

}  // namespace quelva::ifcconvert
