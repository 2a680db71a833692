#include "SegmentosCurva.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <string>

namespace quelva::ifcconvert {

namespace {

std::string tipoDe(std::string_view valor)
{
    std::string tipo(recortarSTEP(valor.substr(0, valor.find('('))));
    for (char& c : tipo)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return tipo;
}

// The integers of a typed list such as IFCLINEINDEX((1,2,3)).
std::vector<int> enteros(std::string_view valor)
{
    std::vector<int> numeros;
    const std::size_t abre = valor.find('(');
    if (abre == std::string_view::npos)
        return numeros;
    const char* p = valor.data() + abre;
    const char* fin = valor.data() + valor.size();
    while (p < fin) {
        if (std::isdigit(static_cast<unsigned char>(*p))) {
            int n = 0;
            const auto r = std::from_chars(p, fin, n);
            if (r.ec != std::errc())
                return {};
            numeros.push_back(n);
            p = r.ptr;
        } else {
            ++p;
        }
    }
    return numeros;
}

}  // namespace

SegmentosIndexados leerSegmentosIndexados(const TablaRegistrosSTEP& tabla)
{
    SegmentosIndexados resultado;
    const auto& entradas = tabla.entradas();
    for (std::size_t i = 0; i < entradas.size(); ++i) {
        const auto& e = entradas[i];
        if (e.registro.tipo != "IFCINDEXEDPOLYCURVE" || !e.numeroValido || !tabla.vigente(i))
            continue;
        const auto atributos = separarAtributosSTEP(e.registro.argumentos);
        if (atributos.size() < 2)
            continue;
        std::string_view lista = recortarSTEP(atributos[1]);
        if (lista.size() < 2 || lista.front() != '(' || lista.back() != ')')
            continue;  // "$": the curve runs through all its points in order
        std::vector<SegmentoIndexado> segmentos;
        for (const std::string_view valor : separarAtributosSTEP(lista.substr(1, lista.size() - 2))) {
            const std::string tipo = tipoDe(valor);
            if (tipo != "IFCLINEINDEX" && tipo != "IFCARCINDEX")
                continue;
            segmentos.push_back({tipo == "IFCARCINDEX", enteros(valor)});
        }
        if (!segmentos.empty() && e.numero >= 0 && e.numero <= INT32_MAX)
            resultado.emplace(static_cast<int>(e.numero), std::move(segmentos));
    }
    return resultado;
}

}  // namespace quelva::ifcconvert
