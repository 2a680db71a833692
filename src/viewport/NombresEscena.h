#pragma once

#include <string_view>

namespace quelva {

// Names by which tools recognise the auxiliary nodes of the scene.
inline constexpr std::string_view kNombrePiso = "_QUELVA_Piso";
inline constexpr std::string_view kPrefijoLuz = "_QUELVA_Luz";
inline constexpr std::string_view kNombreLuzDireccional = "_QUELVA_LuzDir";
inline constexpr std::string_view kNombreLuzAmbiente = "_QUELVA_LuzAmb";

}  // namespace quelva
