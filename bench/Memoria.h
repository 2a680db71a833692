#pragma once

// Memory figures of the benchmark process, in kilobytes.

#include <sys/resource.h>

#include <fstream>
#include <string>

namespace bench {

// Resident now.
inline long residenteKB()
{
    std::ifstream estado("/proc/self/status");
    std::string linea;
    while (std::getline(estado, linea))
        if (linea.rfind("VmRSS:", 0) == 0)
            return std::stol(linea.substr(6));
    return 0;
}

// The most ever resident.
inline long picoKB()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// Starts a new peak, for steps that cannot run in a forked child (a window on a display).
inline void reiniciarPico()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The most resident since the last reiniciarPico().
inline long picoDesdeReinicioKB()
{
    std::ifstream estado("/proc/self/status");
    std::string linea;
    while (std::getline(estado, linea))
        if (linea.rfind("VmHWM:", 0) == 0)
            return std::stol(linea.substr(6));
    return 0;
}

}  // namespace bench
