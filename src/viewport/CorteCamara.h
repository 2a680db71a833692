#pragma once

#include "viewport/EstadoMedicion.h"

#include <QString>

namespace quelva {

// The "Corte" button: switches the cut on and opens its panel, or, when already on, opens or
// closes the panel. It never switches the cut off.
void pulsarBotonCorte(EstadoCorteCamara& estado);
// The panel's switch; switching off also closes the panel.
void cambiarModoCorte(EstadoCorteCamara& estado, bool activo);
// The slider: 0.05 to 5.0 m in steps of 0.05.
void cambiarDistanciaCorte(EstadoCorteCamara& estado, double metros);

QString ayudaBotonCorte(const EstadoCorteCamara& estado);

// The near distance the 3D view receives: the cut distance while the cut is on.
std::optional<double> nearClipOverride(const EstadoCorteCamara& estado);

}  // namespace quelva
