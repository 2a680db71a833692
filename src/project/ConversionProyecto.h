#pragma once

// The main window's project state and the document's records, both ways. Main thread only:
// the state is held by reference.

#include "clash/EstadoInterferencias.h"
#include "federation/EstadoFederacion.h"
#include "project/ProyectoQUELVA.h"

#include <QColor>
#include <QString>

#include <functional>
#include <optional>

namespace quelva {

class AlmacenCotas;
class AlmacenEtiquetas;
class ControladorFederacion;
class TimeLinerStore;

// What a project is made of, as held by the main window.
struct EstadoAplicacion {
    EstadoFederacion& federacion;
    EstadoInterferencias& interferencias;
    TimeLinerStore& timeLiner;
    std::vector<ComentarioMarkup>& comentarios;
    std::vector<SeccionGuardada>& secciones;
    AlmacenCotas& cotas;
    AlmacenEtiquetas& etiquetas;
};

// --- State to records -----------------------------------------------------------------------

// The disciplines of `orden` that exist, in that order; each discipline's placed and pending
// models merged in their saved order. No "rutaRelativa" is written.
std::vector<EspecialidadGuardada> convertirEspecialidades(const QStringList& orden, const TablaEspecialidades& especialidades);
std::vector<AnalisisGuardado> convertirHistorial(const std::vector<AnalisisInterferencias>& historial);
// Every title of the label store, empty lists included, each label reduced to its saved part.
EtiquetasPorSeccion sincronizarEtiquetas(const AlmacenEtiquetas& etiquetas);
// The whole document, every member filled, "version" 2.
ProyectoQUELVA proyectoDesdeEstado(const EstadoAplicacion& estado);

// The saved model that is pending (not in the scene), by discipline key and its index in that
// discipline's saved "modelos"; none when that model is in the scene or does not exist.
const ModeloPendiente* modeloPendiente(const TablaEspecialidades& especialidades, const QString& key, std::size_t indice);

// --- Records to state -----------------------------------------------------------------------

// The file a saved model is found at: "rutaAbsoluta" when that file exists; else, under a base
// folder only, "rutaRelativa" when it is relative, its canonical path stays inside the folder
// and the file exists; else none.
std::optional<QString> localizarModelo(const ModeloGuardado& modelo, const std::optional<QString>& carpetaBase);

std::vector<AnalisisInterferencias> historialDesdeGuardado(const std::vector<AnalisisGuardado>& historial);
// The saved disciplines with no models placed, every saved model pending in its place; a later
// record with the same key replaces the earlier one.
TablaEspecialidades especialidadesDesdeGuardado(const std::vector<EspecialidadGuardada>& especialidades);

struct ServiciosRestauracion {
    // The glowing clash list switched off and emptied.
    std::function<void()> quitarResaltado;
    // The comparison display cleared (called only while one is shown).
    std::function<bool()> trelmActivo;
    std::function<void()> limpiarComparacionTRELM;
    QColor colorEtiqueta;  // the colour rebuilt labels start with
};

// Replaces the open project with `proyecto`: a new project generation (runs started before
// land nowhere), every discipline's root, the clash glow, the comparison and its slots, the
// grid axes and node gone; records rebuilt; each saved model's file looked up (relative paths
// only under `carpetaBase`) and converted in the background into its saved place. Models not
// found or not converted stay pending and are named in one alert once the runs have ended.
// Returns the new generation.
// The document's records are moved into the state, not copied.
int restaurarProyecto(EstadoAplicacion& estado, ControladorFederacion& federacion, const ServiciosRestauracion& servicios,
                      ProyectoQUELVA proyecto, const std::optional<QString>& carpetaBase);

}  // namespace quelva
