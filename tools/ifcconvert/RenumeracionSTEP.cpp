#include "RenumeracionSTEP.h"

#include "federation/ifc/StepReader.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace quelva::ifcconvert {

namespace {

bool esBlanco(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool dentroDeInt(std::int64_t n)
{
    return n >= 1 && n <= std::numeric_limits<std::int32_t>::max();
}

bool esLetra(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool esEndsec(std::string_view t, std::size_t i)
{
    static constexpr std::string_view kEndsec = "ENDSEC";
    if (t.size() - i < kEndsec.size())
        return false;
    for (std::size_t k = 0; k < kEndsec.size(); ++k)
        if ((t[i + k] & ~0x20) != kEndsec[k])
            return false;
    const std::size_t fin = i + kEndsec.size();
    return fin == t.size() || !(esLetra(t[fin]) || (t[fin] >= '0' && t[fin] <= '9') || t[fin] == '_' || t[fin] == '-');
}

// Walks the DATA section (from its DATA keyword up to its ENDSEC) outside strings and comments and
// calls alNumero(posicion del "#", largo del número, texto del número, es definición) for every
// "#" of a record's number or of a reference, and alFin(posición del ";") at the end of every
// statement. A statement that starts with "#" but has no "=" is no record: nothing in it is
// touched, nor anything after the section.
template <typename N, typename F>
void recorrer(std::string_view t, std::size_t desde, N&& alNumero, F&& alFin)
{
    bool inicioSentencia = true;
    bool ignorada = false;  // the statement is no record
    for (std::size_t i = desde; i < t.size(); ++i) {
        const char c = t[i];
        if (c == '\'') {
            const std::size_t fin = t.find('\'', i + 1);  // a doubled apostrophe closes and reopens
            if (fin == std::string_view::npos)
                return;
            i = fin;
            inicioSentencia = false;
            continue;
        }
        if (c == '/' && i + 1 < t.size() && t[i + 1] == '*') {
            const std::size_t fin = t.find("*/", i + 2);
            if (fin == std::string_view::npos)
                return;
            i = fin + 1;
            continue;
        }
        if (c == ';') {
            alFin(i);
            inicioSentencia = true;
            ignorada = false;
            continue;
        }
        if (esBlanco(c))
            continue;
        if (inicioSentencia && esLetra(c) && esEndsec(t, i))
            return;
        if (c == '#' && !ignorada) {
            const bool definicion = inicioSentencia;
            std::size_t j = i + 1;
            if (definicion) {
                // the number of a record runs up to its "=", spaces allowed around it
                const std::size_t igual = t.find_first_of("=;'", j);
                if (igual == std::string_view::npos || t[igual] != '=') {
                    ignorada = true;
                    inicioSentencia = false;
                    continue;
                }
                j = igual;
            } else {
                if (j < t.size() && (t[j] == '+' || t[j] == '-'))
                    ++j;
                while (j < t.size() && t[j] >= '0' && t[j] <= '9')
                    ++j;
                if (j == i + 1 || !(t[j - 1] >= '0' && t[j - 1] <= '9')) {
                    inicioSentencia = false;  // a "#" without digits is no reference: left as it is
                    continue;
                }
            }
            alNumero(i, j - i - 1, recortarSTEP(t.substr(i + 1, j - i - 1)), definicion);
            i = j - 1;
        }
        inicioSentencia = false;
    }
}

}  // namespace

std::optional<std::string> renumerarSTEP(std::string_view texto, std::size_t inicioDatos)
{
    std::vector<std::int64_t> numeros;
    bool hace = false;
    recorrer(
        texto, inicioDatos,
        [&](std::size_t, std::size_t, std::string_view cifras, bool definicion) {
            const auto n = leerEnteroSTEP(cifras);
            if (definicion && n)
                numeros.push_back(*n);
            if (!n || !dentroDeInt(*n))
                hace = true;
        },
        [](std::size_t) {});
    if (!hace)
        return std::nullopt;

    std::sort(numeros.begin(), numeros.end());
    numeros.erase(std::unique(numeros.begin(), numeros.end()), numeros.end());
    const auto nuevo = [&](std::optional<std::int64_t> n) -> std::size_t {
        if (!n)
            return numeros.size() + 1;
        const auto it = std::lower_bound(numeros.begin(), numeros.end(), *n);
        return it != numeros.end() && *it == *n ? static_cast<std::size_t>(it - numeros.begin()) + 1
                                                : numeros.size() + 1;
    };

    std::string salida;
    salida.reserve(texto.size());
    std::size_t copiado = 0;           // texto[0, copiado) is in salida
    std::size_t inicioEnSalida = 0;    // where the current statement starts in salida
    bool descartar = false;
    auto copiarHasta = [&](std::size_t hasta) {
        salida.append(texto.substr(copiado, hasta - copiado));
        copiado = hasta;
    };
    copiarHasta(inicioDatos);
    inicioEnSalida = salida.size();
    recorrer(
        texto, inicioDatos,
        [&](std::size_t posicion, std::size_t largo, std::string_view cifras, bool definicion) {
            const auto n = leerEnteroSTEP(cifras);
            if (definicion && !n)
                descartar = true;
            copiarHasta(posicion + 1);
            salida += std::to_string(nuevo(n));
            copiado = posicion + 1 + largo;
        },
        [&](std::size_t fin) {
            copiarHasta(fin + 1);
            if (descartar)
                salida.resize(inicioEnSalida);
            descartar = false;
            inicioEnSalida = salida.size();
        });
    copiarHasta(texto.size());
    return salida;
}

}  // namespace quelva::ifcconvert
