#pragma once

namespace quelva {

// The order is the mode's stored index.
enum class ModoMedicion3D { inactivo, distancia, area, angulo, punto };

}  // namespace quelva
