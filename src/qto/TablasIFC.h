#pragma once

#include <QString>

#include <array>
#include <string_view>

namespace quelva {

// Spanish type name and density of an IFC class.
struct TipoIFCConocido {
    const char* clase;   // as IFC files write it, upper case
    const char* nombre;  // UTF-8
    float densidad;      // kg/m³
};

// The 26 classes the take-off knows by name and density.
const std::array<TipoIFCConocido, 26>& tiposIFCConocidos();

// Exact match, letter case included; none for any other class.
const TipoIFCConocido* buscarTipoIFC(std::string_view clase);

// The class when it is in the table, its own text otherwise.
QString nombreTipoIFC(const QString& clase);
// 1000 kg/m³ for a class outside the table.
float densidadIFC(const QString& clase);

inline constexpr const char* kTipoIFCPorDefecto = "IFCBUILDINGELEMENTPROXY";
inline constexpr float kDensidadPorDefecto = 1000.0f;

}  // namespace quelva
