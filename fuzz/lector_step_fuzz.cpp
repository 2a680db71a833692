// The IFC text readers on arbitrary files: record table, property table, GlobalId map, grid axes.

#include "Invariantes.h"

#include "federation/ifc/GlobalIds.h"
#include "federation/ifc/IfcGrids.h"
#include "federation/ifc/IfcProperties.h"

#include <cmath>
#include <cstdint>
#include <string>

using namespace quelva;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo)
{
    const std::string texto(reinterpret_cast<const char*>(datos), largo);
    const auto tabla = TablaRegistrosSTEP::desdeTexto(texto);
    const auto& entradas = tabla.entradas();
    EXIGIR(tabla.sondeosIndice() <= 8 * entradas.size() + 64);
    for (std::size_t i = 0; i < entradas.size(); ++i) {
        const auto& e = entradas[i];
        if (!e.numeroValido)
            continue;
        const auto indice = tabla.indiceDe(e.numero);
        EXIGIR(indice && *indice < entradas.size() && *indice >= i);
        EXIGIR(entradas[*indice].numero == e.numero);
        EXIGIR(tabla.vigente(i) == (*indice == i));
        for (const auto atributo : separarAtributosSTEP(e.registro.argumentos)) {
            EXIGIR(utf8Valido(limpiarCadenaSTEP(atributo)));
            EXIGIR(utf8Valido(valorNominalSTEP(atributo)));
        }
    }

    // a small budget keeps each run short; the limits themselves are part of what is checked
    EstadisticaPropiedades estadistica;
    const std::size_t limite = 20000;
    for (const auto& [nombre, propiedades] : parsearPropiedadesIFC(tabla, limite, &estadistica)) {
        EXIGIR(!nombre.empty() && utf8Valido(nombre));
        EXIGIR(propiedades.count(kClaveTipoIFC) == 1);
        for (const auto& [clave, valor] : propiedades)
            EXIGIR(utf8Valido(clave) && utf8Valido(valor));
    }
    EXIGIR(estadistica.unidadesTrabajo <= limite);
    EXIGIR(estadistica.bytesLeidos <= 4 * texto.size() + 64);

    for (const auto& [nombre, globalId] : parsearGlobalIds(tabla))
        EXIGIR(!nombre.empty() && !globalId.empty() && utf8Valido(nombre) && utf8Valido(globalId));

    for (const EjeGrilla& eje : parsearGrillasIFC(tabla, 20000)) {
        EXIGIR(eje.puntos.size() >= 2 && utf8Valido(eje.tag));
        for (const auto& p : eje.puntos)
            EXIGIR(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
    }
    return 0;
}
