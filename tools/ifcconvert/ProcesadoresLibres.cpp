#include "ProcesadoresLibres.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <string>

namespace quelva::ifcconvert {

std::optional<TiemposProcesador> leerTiemposProcesador(std::string_view stat)
{
    // cpu  user nice system idle iowait irq softirq steal ...
    if (stat.substr(0, 4) != "cpu ")
        return std::nullopt;
    stat.remove_prefix(4);
    TiemposProcesador t;
    int campo = 0;
    while (!stat.empty() && stat.front() != '\n') {
        if (stat.front() == ' ') {
            stat.remove_prefix(1);
            continue;
        }
        std::uint64_t valor = 0;
        const auto r = std::from_chars(stat.data(), stat.data() + stat.size(), valor);
        if (r.ec != std::errc())
            return std::nullopt;
        stat.remove_prefix(static_cast<std::size_t>(r.ptr - stat.data()));
        // guest time is counted in user time already
        if (campo < 8)
            t.total += valor;
        if (campo == 3 || campo == 4)
            t.ocioso += valor;
        ++campo;
    }
    if (campo < 5)
        return std::nullopt;
    return t;
}

std::optional<TiemposProcesador> leerTiemposProcesador()
{
    std::ifstream f("/proc/stat");
    std::string linea;
    if (!std::getline(f, linea))
        return std::nullopt;
    return leerTiemposProcesador(linea);
}

double procesadoresOciosos(const TiemposProcesador& antes, const TiemposProcesador& despues, int procesadores)
{
    if (despues.total <= antes.total || despues.ocioso < antes.ocioso)
        return 0;
    const double parte = static_cast<double>(despues.ocioso - antes.ocioso) / static_cast<double>(despues.total - antes.total);
    return parte * procesadores;
}

}  // namespace quelva::ifcconvert
