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
    // Every type in the list is 7 to 23 characters long; most records are not elements.
    if (tipo.size() < 7 || tipo.size() > 23)
        return false;
    for (std::string_view t : kTiposElemento) {
        if (t == tipo)
            return true;
    }
    return false;
}

}  // namespace quelva
