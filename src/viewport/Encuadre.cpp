#include "viewport/Encuadre.h"

#include "viewport/CajaEscena.h"
#include "viewport/ViewportController.h"

namespace quelva {

void encuadrarTodo(const scene::Scene& escena, ViewportController& viewport)
{
    const auto encuadre = encuadreDeCaja(cajaMundoSinPiso(*escena.rootNode()));
    if (!encuadre)
        return;
    viewport.enfocar(encuadre->centro.x, encuadre->centro.y, encuadre->centro.z, encuadre->radio);
}

void aplicarPresetVista(const scene::Scene& escena, ViewportController& viewport, VistaPreset preset)
{
    // The floor (5 km wide) is left out here too: with it the model would shrink to a dot.
    const auto encuadre = encuadreDeCaja(cajaMundoSinPiso(*escena.rootNode()));
    if (!encuadre)
        return;
    viewport.aplicarVista(preset, encuadre->centro.x, encuadre->centro.y, encuadre->centro.z, encuadre->radio);
}

}  // namespace quelva
