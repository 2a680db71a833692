// The comments' JSON decoding on any text: what it accepts encodes to a document that decodes
// again to the same comments (compared by their encoding).

#include "Invariantes.h"

#include "comments/CodificacionMarkup.h"

#include <cstdint>

using namespace quelva;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo)
{
    const auto j = nlohmann::json::parse(datos, datos + largo, nullptr, false);
    if (j.is_discarded())
        return 0;
    const auto leidos = decodificarComentarios(j);
    const auto* comentarios = std::get_if<std::vector<ComentarioMarkup>>(&leidos);
    if (!comentarios)
        return 0;
    const nlohmann::json primero = codificarComentarios(*comentarios);
    const auto releidos = decodificarComentarios(primero);
    const auto* otros = std::get_if<std::vector<ComentarioMarkup>>(&releidos);
    EXIGIR(otros);
    EXIGIR(codificarComentarios(*otros) == primero);
    // and as text, the way the project file carries them
    const auto texto = nlohmann::json::parse(primero.dump(), nullptr, false);
    EXIGIR(!texto.is_discarded() && texto == primero);
    return 0;
}
