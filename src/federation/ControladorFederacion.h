#pragma once

#include "federation/ConversionIFC.h"
#include "federation/EstadoFederacion.h"
#include "scene/Scene.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace quelva {

class ViewportController;

// What the file importer hands over: the chosen files, or the error it met.
struct ResultadoSelectorArchivo {
    QStringList archivos;
    std::optional<QString> error;
};

// The federation actions of the main window. Works on the main window's EstadoFederacion and
// scene on the main thread; converter runs go to the background queue and come back on the
// main queue. What belongs to other tools is reached through Servicios.
class ControladorFederacion : public QObject {
    Q_OBJECT

public:
    struct Servicios {
        // Camera (see conViewport).
        std::function<void(double x, double y, double z, float r)> enfocar;
        std::function<void()> encuadrarTodo;
        // Clash list: whether it holds clashes, and switching their glow off and emptying it.
        std::function<bool()> hayInterferencias;
        std::function<void()> quitarResaltado;
        // Section display, rebuilt after colours while a section is active.
        std::function<bool()> seccionActiva;
        std::function<void()> actualizarPlanoSeccion;
        // Comparison run, started when a slot is filled while a comparison is shown.
        std::function<bool()> trelmActivo;
        std::function<void()> compararVersionesTRELM;
        // Selection: the selected node, and replacing the diffuse colour that deselecting it
        // gives back.
        std::function<scene::Node*()> nodoSeleccionado;
        std::function<void(const QColor&)> recordarDiffuseSeleccionado;
        // Every element node the discipline colours reached, with the colour it got.
        std::function<void(scene::Node&, const QColor&)> alColorear;

        // Camera moves through the viewport controller of the one 3D view.
        void conViewport(ViewportController& viewport, scene::ScenePtr escena);
    };

    ControladorFederacion(EstadoFederacion& estado, scene::ScenePtr escena, Servicios servicios,
                          QObject* parent = nullptr);

    EstadoFederacion& estado() { return estado_; }
    const scene::ScenePtr& escena() const { return escena_; }
    Servicios& servicios() { return servicios_; }

    // --- Linking and slot runs ---------------------------------------------------------
    void seleccionarArchivoIFC(const ResultadoSelectorArchivo& resultado);
    // Links `archivo` to the discipline selected now, under its file name.
    void vincularIFC(const QString& archivo);
    void cargarIFCEnSlot(const QString& archivo, const QString& slot);
    // Link and slot runs still under way.
    int ejecucionesEnCurso() const { return ejecucionesEnCurso_; }

    // Completions, main thread. The discipline key and model name are those captured when the
    // file was chosen; `vinculo` names the pending entry the link run stood as, whose place the
    // model takes.
    void agregarModeloAEspecialidad(ResultadoVinculo resultado, const QString& key, const QString& nombre,
                                    const QUuid& vinculo = QUuid());
    void asignarModeloSlotTRELM(const QString& slot, scene::NodePtr nodo, const QString& fileName,
                                MapaGlobalIds globalIds);

    // --- Project restore ---------------------------------------------------------------
    // A project is being opened or closed: every run started before (restore, link and
    // comparison-slot runs) is dropped when it finishes, its work files removed. Returns the
    // new generation.
    int nuevaGeneracionProyecto();
    int generacionProyecto() const { return generacion_; }
    // Starts the restore run of one saved model found at `ruta`, placed after the discipline's
    // models: false (and nothing started) when the converter is missing.
    bool restaurarModeloGuardado(const QString& ruta, const QString& key, const QString& nombre,
                                 bool isVisible, double transparencia);
    // Starts the restore run of the discipline's pending model of that saved place, found at
    // `ruta`: false (the model stays pending) when the converter is missing.
    bool restaurarModeloPendiente(const QString& key, int orden, const QString& ruta);
    // Every run of the restore has been started: once the last one has ended, one alert names
    // the pending models that were not found or did not convert.
    void cerrarInicioRestauracion();
    // "No se pudo restaurar «a.ifc» (/ruta/a.ifc): se conserva en el proyecto.", one line per
    // pending model not converting, disciplines in display order; empty when there is none.
    QString mensajeModelosNoRestaurados() const;
    int restauracionesEnCurso() const { return restauracionesEnCurso_; }
    // The restore run with the converter and OBJ location already chosen.
    void convertirEnSegundoPlano(const EntradaRestauracion& entrada);
    void integrarModeloRestaurado(ResultadoRestauracion resultado, int generacion);
    // A restore run that found nothing to place: its model stays pending.
    void restauracionFallida(const QString& key, int orden, int generacion);

    // --- Disciplines -------------------------------------------------------------------
    void zoomEspecialidad(const QString& key);
    void desvincularTodos(const QString& key);
    std::optional<QString> especialidadDeNodo(const scene::Node& nodo) const;
    void alternarVisibilidadEspecialidad(const QString& key);
    // Highlights a linked model and frames it (again: switches the highlight off).
    void alternarResaltadoModelo(const QString& key, const QUuid& modeloId);

    // --- Appearance, grid node, floor ----------------------------------------------------
    void aplicarColoresEspecialidades();
    void construirNodoGrillas();
    void actualizarPiso();

    // --- Transformation sheet ------------------------------------------------------------
    void aplicarTransformacion(const QString& key, const QUuid& modeloId, const TransformacionModelo& t);
    void confirmarTransformacion();
    void cancelarTransformacion();

    // --- Colour picker sheet -------------------------------------------------------------
    void aplicarColorEspecialidad();
    void cancelarSelectorColor();

    // The alert was closed.
    void cerrarError();

signals:
    // State or scene changed: views refresh.
    void estadoCambiado();

private:
    void aplicarColores();
    void empezarEjecucion(const QString& nombre);
    void terminarEjecucion();
    // Drops one entry of the run in flight named `nombre` from the overlay's list.
    void soltarNombreEnProceso(const QString& nombre);
    void informarError(const QString& mensaje);
    // Frames the camera on a box: centred on it, its largest side as the radius.
    void enfocarCaja(const scene::Box& caja);
    // A converter run with a fresh OBJ work path, or the alert when the converter is missing.
    // `convertir(motor, rutaOBJ)` runs in the background; its error text ends the run with an
    // alert, its result goes to `integrar(*this, resultado)` on the main thread. `alFallar(*this)`
    // runs when the run ends with an alert instead.
    template <class Convertir, class Integrar>
    void ejecutarConversion(const QString& nombre, Convertir convertir, Integrar integrar,
                            std::function<void(ControladorFederacion&)> alFallar = {});
    // The model of a link run, pending in its discipline until placed; null when the
    // discipline does not exist.
    QUuid anotarVinculoEnCurso(const QString& key, const QString& nombre, const QString& archivo);
    // Drops that pending entry; its saved place, when it was still there.
    std::optional<int> soltarVinculoEnCurso(const QString& key, const QUuid& vinculo);
    const scene::NodePtr& raizEspecialidad(const QString& key);
    void fusionarGrillas(std::vector<EjeGrilla> grillas);
    void terminarRestauracion();
    // The next free saved place of a discipline's models.
    static int siguienteOrden(const EspecialidadBIM& esp);
    void fusionarPropiedades(const QString& key, TablaPropiedadesIFC tabla);

    EstadoFederacion& estado_;
    scene::ScenePtr escena_;
    Servicios servicios_;
    int ejecucionesEnCurso_ = 0;
    int generacion_ = 0;
    int restauracionesEnCurso_ = 0;
    bool informeRestauracionPendiente_ = false;
};

}  // namespace quelva
