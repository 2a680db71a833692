// The string decoder and the number readers: decoded text is UTF-8, and integers and the OBJ
// loader's coordinates read exactly as std::from_chars reads them.

#include "Invariantes.h"

#include "federation/ifc/StepReader.h"
#include "federation/ifc/StepString.h"
#include "federation/obj/ObjLoader.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

using namespace quelva;

namespace {

// What from_chars makes of a whole text, a leading "+" allowed as both readers allow it.
template <typename T>
std::optional<T> comoFromChars(std::string_view t)
{
    if (t.size() >= 2 && t[0] == '+' && t[1] != '-' && t[1] != '+')
        t.remove_prefix(1);
    T valor{};
    const auto [fin, error] = std::from_chars(t.data(), t.data() + t.size(), valor);
    if (t.empty() || error != std::errc() || fin != t.data() + t.size())
        return std::nullopt;
    return valor;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo)
{
    const std::string_view texto(reinterpret_cast<const char*>(datos), largo);

    const std::string decodificado = decodificarCadenaSTEP(texto);
    if (utf8Valido(texto)) {
        EXIGIR(utf8Valido(decodificado));
        EXIGIR(utf8Valido(limpiarCadenaSTEP(texto)));
        EXIGIR(utf8Valido(valorNominalSTEP(texto)));
    }

    // integers: digits only after the sign, so from_chars is the reference where it reads digits only
    const auto entero = leerEnteroSTEP(texto);
    bool soloCifras = !texto.empty();
    for (std::size_t i = 0; i < texto.size(); ++i)
        soloCifras = soloCifras && ((texto[i] >= '0' && texto[i] <= '9') || (i == 0 && (texto[i] == '+' || texto[i] == '-')));
    if (soloCifras)
        EXIGIR(entero == comoFromChars<std::int64_t>(texto));
    else
        EXIGIR(!entero);
    const auto referencia = parsearReferenciaSTEP("#" + std::string(texto));
    EXIGIR(!soloCifras || referencia == entero);

    // a coordinate token: the vertex holds what from_chars reads, or no face survives
    if (texto.find_first_of(" \n\r\t") == std::string_view::npos && !texto.empty() && texto[0] != '#') {
        const std::string obj = "v " + std::string(texto) + " 0 0\nf 1 1 1\n";
        const auto nodo = cargarOBJDesdeTexto(obj);
        const auto esperado = comoFromChars<float>(texto);
        if (!utf8Valido(obj) || !esperado || !std::isfinite(*esperado)) {
            EXIGIR(!nodo);
        } else {
            EXIGIR(nodo && nodo->children().size() == 1);
            const auto* fuente = nodo->children()[0]->geometry->source(scene::GeometrySource::Semantic::Vertex);
            EXIGIR(fuente && fuente->vectorCount == 3);
            const auto v = fuente->vectorAt(0);
            EXIGIR(v && (v->x == *esperado || (std::isnan(v->x) && std::isnan(*esperado))));
        }
    }
    return 0;
}
