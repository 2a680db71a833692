// The project file decoder on any bytes: what it accepts it can write, and what it writes reads
// back as the same document (compared by its canonical encoding, written twice alike).

#include "Invariantes.h"

#include "project/CodificacionProyecto.h"

#include <cstdint>

using namespace quelva;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo)
{
    const QByteArray bytes(reinterpret_cast<const char*>(datos), qsizetype(largo));
    const auto leido = decodificarProyectoQUELVA(bytes);
    const auto* proyecto = std::get_if<ProyectoQUELVA>(&leido);
    if (!proyecto)
        return 0;
    const auto escrito = codificarProyectoQUELVA(*proyecto);
    const auto* primero = std::get_if<QByteArray>(&escrito);
    EXIGIR(primero);
    const auto releido = decodificarProyectoQUELVA(*primero);
    const auto* otro = std::get_if<ProyectoQUELVA>(&releido);
    EXIGIR(otro);
    const auto reescrito = codificarProyectoQUELVA(*otro);
    const auto* segundo = std::get_if<QByteArray>(&reescrito);
    EXIGIR(segundo && *segundo == *primero);
    return 0;
}
