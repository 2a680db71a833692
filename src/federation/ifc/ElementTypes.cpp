#include "federation/ifc/ElementTypes.h"

#include <array>
#include <string_view>

namespace quelva {

namespace {

using namespace std::string_view_literals;

constexpr std::array kTiposElemento = {
    "IFCWALL"sv,        "IFCWALLSTANDARDCASE"sv, "IFCSLAB"sv,           "IFCBEAM"sv,
    "IFCCOLUMN"sv,      "IFCDOOR"sv,             "IFCWINDOW"sv,         "IFCSTAIR"sv,
    "IFCSTAIRFLIGHT"sv, "IFCROOF"sv,             "IFCSPACE"sv,          "IFCFURNISHINGELEMENT"sv,
    "IFCMEMBER"sv,      "IFCPLATE"sv,            "IFCFLOWSEGMENT"sv,    "IFCFLOWTERMINAL"sv,
    "IFCFLOWFITTING"sv, "IFCPIPESEGMENT"sv,      "IFCPIPEFITTING"sv,    "IFCDUCTSEGMENT"sv,
    "IFCDUCTFITTING"sv, "IFCBUILDINGELEMENTPROXY"sv, "IFCCOVERING"sv,   "IFCFOOTING"sv,
    "IFCPILE"sv,        "IFCRAILING"sv,
};
static_assert(kTiposElemento.size() == 26);

}  // namespace

bool esTipoElementoIFC(std::string_view tipo)
{
    // Called for every record of large files: most types are rejected by their
    // length alone, the rest compared only with the element types of that length.
    struct PorLargo {
        std::array<std::array<std::string_view, 8>, 24> tipos{};
        std::array<int, 24> cuantos{};
        constexpr PorLargo()
        {
            for (std::string_view t : kTiposElemento)
                tipos[t.size()][static_cast<size_t>(cuantos[t.size()]++)] = t;
        }
    };
    static constexpr PorLargo kPorLargo;
    if (tipo.size() >= kPorLargo.cuantos.size())
        return false;
    const auto& candidatos = kPorLargo.tipos[tipo.size()];
    for (int k = 0; k < kPorLargo.cuantos[tipo.size()]; ++k) {
        const std::string_view t = candidatos[static_cast<size_t>(k)];
        if (t[3] == tipo[3] && t.back() == tipo.back() && t == tipo)
            return true;
    }
    return false;
}

}  // namespace quelva
