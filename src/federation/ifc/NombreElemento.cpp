#include "federation/ifc/NombreElemento.h"

#include "federation/ifc/StepReader.h"

namespace quelva {

namespace {

// Byte length of the line break at the start of `s`, 0 when there is none.
size_t saltoDeLinea(std::string_view s)
{
    if (s.empty())
        return 0;
    const auto c = static_cast<unsigned char>(s[0]);
    if (c == '\r')
        return s.size() > 1 && s[1] == '\n' ? 2 : 1;
    if (c == '\n' || c == '\v' || c == '\f')
        return 1;
    if (c == 0xC2 && s.size() > 1 && static_cast<unsigned char>(s[1]) == 0x85)
        return 2;  // U+0085
    if (c == 0xE2 && s.size() > 2 && static_cast<unsigned char>(s[1]) == 0x80
        && (static_cast<unsigned char>(s[2]) == 0xA8 || static_cast<unsigned char>(s[2]) == 0xA9))
        return 3;  // U+2028, U+2029
    return 0;
}

}  // namespace

std::string limpiarNombreElemento(std::string_view nombre)
{
    std::string plano;
    plano.reserve(nombre.size());
    for (size_t i = 0; i < nombre.size();) {
        if (const size_t n = saltoDeLinea(nombre.substr(i))) {
            plano.push_back(' ');
            i += n;
        } else {
            plano.push_back(nombre[i]);
            ++i;
        }
    }
    return std::string(recortarSTEP(plano));
}

std::string nombreElementoIFC(std::string_view nombre, std::string_view globalId)
{
    std::string limpio = limpiarNombreElemento(nombre);
    if (!limpio.empty())
        return limpio;
    return limpiarNombreElemento(globalId);
}

std::string nombreElementoIFC(const std::vector<std::string_view>& atributos)
{
    const std::string nombre = atributos.size() > 2 ? limpiarCadenaSTEP(atributos[2]) : std::string();
    const std::string globalId = atributos.empty() ? std::string() : limpiarCadenaSTEP(atributos[0]);
    return nombreElementoIFC(nombre, globalId);
}

}  // namespace quelva
