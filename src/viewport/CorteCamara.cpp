#include "viewport/CorteCamara.h"

#include "platform/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace quelva {

void pulsarBotonCorte(EstadoCorteCamara& estado)
{
    if (!estado.modoCorteCamara) {
        estado.modoCorteCamara = true;
        estado.mostrarPopoverCorte = true;
    } else {
        estado.mostrarPopoverCorte = !estado.mostrarPopoverCorte;
    }
}

void cambiarModoCorte(EstadoCorteCamara& estado, bool activo)
{
    if (estado.modoCorteCamara == activo)
        return;
    estado.modoCorteCamara = activo;
    if (!activo)
        estado.mostrarPopoverCorte = false;
}

void cambiarDistanciaCorte(EstadoCorteCamara& estado, double metros)
{
    if (!std::isfinite(metros))
        return;
    // Whole twentieths, so that 1.25 is stored as exactly 1.25.
    const double pasos = std::round(std::clamp(metros, 0.05, 5.0) * 20.0);
    estado.distanciaCorte = std::clamp(pasos / 20.0, 0.05, 5.0);
}

QString ayudaBotonCorte(const EstadoCorteCamara& estado)
{
    if (estado.modoCorteCamara)
        return QStringLiteral("Corte de cámara activo (") + platform::qformat("%.2f", estado.distanciaCorte)
               + QStringLiteral(" m) — clic para ajustar");
    return QStringLiteral("Corte de cámara — navegación interior sin seccionar la escena");
}

std::optional<double> nearClipOverride(const EstadoCorteCamara& estado)
{
    if (!estado.modoCorteCamara)
        return std::nullopt;
    return estado.distanciaCorte;
}

}  // namespace quelva
