#include "federation/ifc/ProductTypes.h"

#include <algorithm>
#include <iterator>

namespace quelva {

namespace {

using namespace std::string_view_literals;

// Written by the build from the converter's IFC library (tools/ifcconvert/TiposProducto.cpp).
constexpr std::string_view kTiposProducto[] = {
#include "TiposProductoIFC.inc"
};
static_assert(std::is_sorted(std::begin(kTiposProducto), std::end(kTiposProducto)));

}  // namespace

bool esTipoProductoIFC(std::string_view tipo)
{
    return std::binary_search(std::begin(kTiposProducto), std::end(kTiposProducto), tipo);
}

}  // namespace quelva
