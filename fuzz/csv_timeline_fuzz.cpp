// The timeline's CSV import on any bytes, then its export read back: the same packages. Export
// writes whole numbers for budget and hours and progress to a tenth of a percent, so those compare
// as written; everything else compares exactly.

#include "Invariantes.h"

#include "platform/CsvReader.h"
#include "platform/TextOrder.h"
#include "timeline/csv/TimeLinerCSV.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>

using namespace quelva;

namespace {

// The export's row order: codes by code points, equal codes in import order.
std::vector<PaqueteAWP> enOrdenDeExportacion(const std::vector<PaqueteAWP>& paquetes)
{
    std::vector<std::size_t> orden(paquetes.size());
    std::iota(orden.begin(), orden.end(), std::size_t(0));
    std::stable_sort(orden.begin(), orden.end(), [&](std::size_t a, std::size_t b) {
        return platform::compareNormalizedCodePoints(platform::nfc(paquetes[a].codigo),
                                                     platform::nfc(paquetes[b].codigo)) < 0;
    });
    std::vector<PaqueteAWP> r;
    for (std::size_t i : orden)
        r.push_back(paquetes[i]);
    return r;
}

bool mismoEntero(double antes, double despues)
{
    return despues == (std::isfinite(antes) ? std::trunc(antes) : 0.0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo)
{
    const QByteArray bytes(reinterpret_cast<const char*>(datos), qsizetype(largo));
    const auto primeros = enOrdenDeExportacion(TimeLinerCSV::parsear(platform::decodeCsvBytes(bytes)));
    if (primeros.empty())
        return 0;
    const QString csv = TimeLinerCSV::textoExportacion(primeros);
    const auto segundos = TimeLinerCSV::parsear(csv);

    EXIGIR(segundos.size() == primeros.size());
    for (std::size_t i = 0; i < primeros.size(); ++i) {
        const PaqueteAWP& a = primeros[i];
        const PaqueteAWP& b = segundos[i];
        EXIGIR(a.nivel == b.nivel);
        EXIGIR(a.codigo == b.codigo);
        EXIGIR(a.nombre == b.nombre);
        EXIGIR(a.parentCodigo == b.parentCodigo);
        EXIGIR(a.fechaInicio == b.fechaInicio);
        EXIGIR(a.fechaFin == b.fechaFin);
        EXIGIR(std::fabs(a.progreso - b.progreso) <= 0.0005 + 1e-12 * std::fabs(a.progreso));
        EXIGIR(mismoEntero(a.presupuesto, b.presupuesto));
        EXIGIR(mismoEntero(a.hh, b.hh));
    }
    return 0;
}
