#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quelva::ifcconvert {

// The machine's processor time so far, from the "cpu" line of /proc/stat (clock ticks).
struct TiemposProcesador {
    std::uint64_t total = 0;
    std::uint64_t ocioso = 0;  // idle and waiting on input/output
};

std::optional<TiemposProcesador> leerTiemposProcesador();
std::optional<TiemposProcesador> leerTiemposProcesador(std::string_view stat);

// How many processors' worth stood idle between two readings.
double procesadoresOciosos(const TiemposProcesador& antes, const TiemposProcesador& despues, int procesadores);

}  // namespace quelva::ifcconvert
