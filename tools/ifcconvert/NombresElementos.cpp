#include "NombresElementos.h"

namespace quelva::ifcconvert {

NombresElementos::NombresElementos(std::string textoArchivo)
    : tabla_(TablaRegistrosSTEP::desdeTexto(std::move(textoArchivo)))
{
}

std::string NombresElementos::nombre(std::int64_t numero) const
{
    const RegistroSTEP* registro = tabla_.buscar(numero);
    if (registro) {
        const auto atributos = separarAtributosSTEP(registro->argumentos);
        if (atributos.size() > 2) {
            std::string nombre = limpiarCadenaSTEP(atributos[2]);
            if (!nombre.empty())
                return nombre;
        }
        if (!atributos.empty()) {
            std::string globalId = limpiarCadenaSTEP(atributos[0]);
            if (!globalId.empty())
                return globalId;
        }
    }
    // a record the text reader could not read still gets a stable, unique name
    std::string porNumero = "#";
    porNumero += std::to_string(numero);
    return porNumero;
}

}  // namespace quelva::ifcconvert
