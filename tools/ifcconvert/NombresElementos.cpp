#include "NombresElementos.h"

#include "federation/ifc/NombreElemento.h"

namespace quelva::ifcconvert {

NombresElementos::NombresElementos(std::string textoArchivo)
    : tabla_(TablaRegistrosSTEP::desdeTexto(std::move(textoArchivo)))
{
}

std::string NombresElementos::nombre(std::int64_t numero) const
{
    const RegistroSTEP* registro = tabla_.buscar(numero);
    if (registro) {
        std::vector<std::string_view> atributos;
        separarAtributosSTEP(registro->argumentos, atributos, 3);
        std::string nombre = nombreElementoIFC(atributos);
        if (!nombre.empty())
            return nombre;
    }
    // a record the text reader could not read still gets a stable, unique name
    std::string porNumero = "#";
    porNumero += std::to_string(numero);
    return porNumero;
}

}  // namespace quelva::ifcconvert
