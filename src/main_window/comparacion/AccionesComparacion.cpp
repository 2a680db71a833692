// The main window's comparison actions: run the comparison on the two slots, empty a slot, and
// open the change report.

#include "main_window/ContentView.h"

#include "comparison/ComparacionTRELM.h"
#include "federation/ControladorFederacion.h"
#include "federation/Piso.h"
#include "main_window/comparacion/VentanaReporteTRELM.h"
#include "viewport/CajaEscena.h"
#include "viewport/VistaPreset.h"

#include <QGuiApplication>
#include <QScreen>

#include <future>
#include <optional>

namespace quelva {

void ContentView::compararVersionesTRELM()
{
    if (!federacion.modeloBase || !federacion.modeloNuevo)
        return;
    for (auto& [clave, esp] : federacion.especialidades)
        if (esp.nodoRaiz)
            esp.nodoRaiz->hidden = true;
    federacion.modeloBase->hidden = false;
    federacion.modeloNuevo->hidden = false;

    ControladorFederacion& f = controladorFederacion();
    scene::Node& raiz = *f.escena()->rootNode();
    // The camera's box and the floor's are measured while the comparison runs: it changes
    // nothing they read, only materials. The old floor goes first. Without a spare thread they
    // are measured afterwards.
    quitarPiso(raiz);
    constexpr auto enOtroHilo = std::launch::async | std::launch::deferred;
    std::future<std::optional<scene::Box>> cajaVista =
        std::async(enOtroHilo, [&raiz] { return cajaMundoSinPiso(raiz); });
    std::future<scene::Box> cajaPiso = std::async(enOtroHilo, [&raiz] { return raiz.boundingBox(); });

    EntradaComparacionTRELM entrada;
    entrada.base = federacion.modeloBase.get();
    entrada.nuevo = federacion.modeloNuevo.get();
    entrada.globalIdsBase = &federacion.globalIdTrelmBase;
    entrada.globalIdsNuevo = &federacion.globalIdTrelmNuevo;
    entrada.archivoBase = federacion.fileNameBase;
    entrada.archivoNuevo = federacion.fileNameNuevo;
    SalidaComparacionTRELM salida = compararModelosTRELM(entrada);
    comparacion.trelmStats = salida.stats;
    comparacion.resultadoTRELM = std::move(salida.resultado);
    comparacion.trelmActivo = true;

    if (const auto encuadre = encuadreDeCaja(cajaVista.get()); encuadre && f.servicios().enfocar)
        f.servicios().enfocar(encuadre->centro.x, encuadre->centro.y, encuadre->centro.z, encuadre->radio);
    ponerPiso(raiz, cajaPiso.get());
    // Of the sidebar only the comparison card shows what changed (the models hidden here are
    // not the disciplines' own visibility).
    refrescarConTarjetas(TarjetaSidebar::comparacion);
}

void ContentView::limpiarSlotTRELM(const QString& slot)
{
    // Only a comparison that is shown is cleared; the other slot keeps its model.
    if (comparacion.trelmActivo)
        limpiarComparacionTRELM();
    const bool base = slot == QStringLiteral("BASE");
    scene::NodePtr& modelo = base ? federacion.modeloBase : federacion.modeloNuevo;
    if (modelo)
        modelo->removeFromParent();
    modelo.reset();
    (base ? federacion.fileNameBase : federacion.fileNameNuevo) =
        base ? QStringLiteral("Sin versión base") : QStringLiteral("Sin versión nueva");
    (base ? federacion.globalIdTrelmBase : federacion.globalIdTrelmNuevo).clear();
    comparacion.trelmStats = EstadisticasTRELM{};
    refrescar();
}

void ContentView::mostrarReporteTRELM()
{
    if (!comparacion.resultadoTRELM)
        return;
    // A new window each time, on its own copy of the result and of the elements to picture.
    auto* ventana = new VentanaReporteTRELM(*comparacion.resultadoTRELM, federacion.modeloNuevo, federacion.modeloBase);
    if (const QScreen* pantalla = QGuiApplication::primaryScreen())
        ventana->move(pantalla->availableGeometry().center() - QPoint(1020 / 2, 700 / 2));
    ventana->show();
    ventana->raise();
    ventana->activateWindow();
    ventanas.reportWindows.append(ventana);
}

}  // namespace quelva
