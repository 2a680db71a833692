// The streaming JSON reader on any bytes, beside the JSON library: what one reads the other reads
// as the same tree, and what one refuses the other refuses (past the reader's nesting limit
// only the reader refuses). The bytes go in whole and a few at a time from a device.

#include "Invariantes.h"

#include "project/JsonEnFlujo.h"
#include "support/JsonParejo.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

using namespace quelva;
using nlohmann::json;

namespace {

constexpr int kProfundidad = 64;

int profundidad(const json& j)
{
    int hondo = 0;
    if (j.is_structured())
        for (const json& h : j)
            hondo = std::max(hondo, profundidad(h));
    return j.is_structured() ? hondo + 1 : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo)
{
    const char* inicio = reinterpret_cast<const char*>(datos);
    std::optional<json> esperado;
    try {
        esperado = json::parse(inicio, inicio + largo);
    } catch (const json::exception&) {
    }
    const bool dentroDelLimite = !esperado || profundidad(*esperado) <= kProfundidad;
    for (const qint64 porVez : {qint64(0), qint64(1 + largo % 5)}) {
        LectorJsonEnFlujo lector(kProfundidad, [](const std::vector<std::string>&, json&) { return false; });
        bool leido;
        if (porVez == 0) {
            leido = lector.leer(inicio, inicio + largo);
        } else {
            testsupport::Goteo goteo(inicio, qint64(largo), porVez);
            leido = lector.leer(goteo);
        }
        EXIGIR(!leido || esperado);
        EXIGIR(leido || !esperado || !dentroDelLimite);
        EXIGIR(!leido || testsupport::mismoArbolJson(lector.raiz(), *esperado));
    }
    return 0;
}
