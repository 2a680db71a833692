#pragma once

#include "main_window/EstadoVentana.h"
#include "main_window/sidebar/Sidebar.h"
#include "project/ConversionProyecto.h"
#include "project/HuellaProyecto.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QDialog;
class QFileDialog;
class QMessageBox;

namespace quelva {

class ViewportController;
class AlmacenCotas;
class AlmacenEtiquetas;
class GestorProyecto;
class TimeLinerStore;
class ControladorFederacion;
class ControladorComentarios;
class ControladorInterferencias;
class ColumnaViewport;
class ColumnaInspector;
class Sidebar;

// The main window's view. The whole open project lives here as state; the
// five long-lived holders are created once with the view and die with it.
// Actions change state and then call refrescar(), which redraws the views and
// presents whatever sheet or alert the state asks for.
class ContentView : public QWidget {
    Q_OBJECT
public:
    explicit ContentView(QWidget* parent = nullptr);
    ~ContentView() override;

    EstadoFederacion federacion;
    EstadoVinculacion vinculacion;
    EstadoEscena escena;
    EstadoEspecialidades disciplinas;
    EstadoModelosVinculados modelosVinculados;
    EstadoProyecto proyecto;
    EstadoComparacion comparacion;
    EstadoSeleccion seleccion;
    EstadoInterferencias clashes;
    EstadoVentanas ventanas;
    EstadoTimeline timeline;
    EstadoSecciones secciones;
    EstadoMedicion medicion;
    EstadoCorteCamara corteCamara;
    EstadoMarkup markup;

    ViewportController* viewport() const { return viewport_; }
    AlmacenCotas* almacenCotas() const { return almacenCotas_; }
    AlmacenEtiquetas* almacenEtiquetas() const { return almacenEtiquetas_; }
    GestorProyecto* gestor() const { return gestor_; }
    TimeLinerStore* timeLinerStore() const { return timeLinerStore_; }
    ControladorFederacion& controladorFederacion() const { return *federacionControlador_; }
    ControladorComentarios& controladorComentarios() const { return *comentariosControlador_; }
    ControladorInterferencias& controladorInterferencias() const { return *interferenciasControlador_; }
    ColumnaViewport* columnaViewport() const { return columnaViewport_; }
    ColumnaInspector* columnaInspector() const { return columnaInspector_; }
    Sidebar* sidebar() const { return sidebar_; }

    // Changes the discipline table in place and announces it once.
    void modificarEspecialidades(const std::function<void(std::map<QString, EspecialidadBIM>&)>& cambio);

    // True when any discipline has a root node, even one without models.
    bool hayModelosCargados() const;

    // --- Linking ---------------------------------------------------------------------------------
    // The file importer's completion: links the files to the selected discipline or comparison slot.
    void seleccionarArchivoIFC(const QStringList& archivos);
    // "Vincular IFC" of a discipline block.
    void vincularArchivo(const QString& key);

    // --- Selection ------------------------------------------------------------------------------
    void seleccionarNodo(const scene::NodePtr& nuevo);

    // --- Disciplines and linked models (federation card) ---------------------------------------
    void alternarVisibilidadModelo(const QString& key, const QUuid& modeloId);
    void alternarResaltadoModelo(const QString& key, const QUuid& modeloId);
    void aplicarTransparenciaModelo(const QString& key, const QUuid& modeloId, double valor);
    void editarTransformacionModelo(const QString& key, const ModeloVinculado& modelo);
    void pedirEliminarModelo(const QString& key, const ModeloVinculado& modelo);
    void cambiarColorEspecialidad(const QString& key);
    void alternarVisibilidadEspecialidad(const QString& key);
    void zoomEspecialidad(const QString& key);
    void desvincularTodos(const QString& key);
    void aplicarColoresEspecialidades();
    void prepararNuevaEspecialidad();
    void agregarEspecialidad();

    // --- Confirmed changes ------------------------------------------------------------------------
    void eliminarModelo(const QString& key, const QUuid& modeloId);
    void limpiarComparacionTRELM();
    void limpiarResaltadoInterferencias();
    void quitarResaltado();
    void eliminarSeccion(const QUuid& id);
    void eliminarComentario(const QUuid& id);
    void eliminarAnalisis(const QUuid& id);

    // --- Comparison slots -------------------------------------------------------------------------
    void cargarSlotTRELM(const QString& slot);
    void pedirLimpiarTRELM();
    void continuarCargaSlotTRELM();
    // The comparison and its report (comparacion/AccionesComparacion.cpp).
    void compararVersionesTRELM();
    void limpiarSlotTRELM(const QString& slot);
    void mostrarReporteTRELM();

    // --- Measurement --------------------------------------------------------------------------
    void clicMedicion(const scene::Vec3& punto);
    void cambiarModoMedicion(ModoMedicion3D modo);
    void limpiarMedicion();
    void cerrarPoligono();

    // --- Sections (actions in secciones/AccionesSeccion.cpp) -----------------------------------
    void activarSeccion(bool activa);
    void cambiarEjeSeccion(int eje);
    void moverSeccion(double posicion);  // the plane only: the card updates itself while dragging
    void cambiarModoProfundidad(int modo);
    void cambiarProfundidadSeccion(double profundidad);
    void recalcularRangoSeccion();
    void actualizarPlanoSeccion();
    void generarPlano2D();
    void restaurarSeccionGuardada(const QUuid& id);
    void pedirEliminarSeccion(const QUuid& id);
    // Saves the section a 2D window was cut at, under a name made unique.
    void guardarSeccionActual(const QString& nombre, int eje, double posicion);

    // --- Project file (actions in proyecto/AccionesProyecto.cpp) --------------------------------
    void guardarProyecto();
    // Writes the project to `destino`, else to the open project's file, else asks for a place.
    void escribirProyecto(const std::optional<QString>& destino);
    void abrirProyecto();
    // Reads and decodes the file in the background behind the processing overlay; the project
    // lands unless another project or package was opened meanwhile.
    void cargarProyecto(const QString& ruta);
    // Replaces the open project (relative model paths only under `carpetaBase`); returns the
    // project generation its model runs carry.
    int restaurarProyecto(ProyectoQUELVA documento, const std::optional<QString>& carpetaBase);
    EstadoAplicacion estadoAplicacion();

    // --- Unsaved changes (proyecto/CambiosProyecto.cpp) -------------------------------------------
    // True when a save would write something else than what was last saved or opened.
    bool hayCambiosSinGuardar();
    // Before the open project is thrown away (quitting, opening another): with no changes runs
    // `continuar` at once; else asks "¿Guardar los cambios del proyecto?" and runs it on "No
    // guardar", after a successful save on "Guardar", never on "Cancelar".
    void antesDeDescartarProyecto(std::function<void()> continuar);
    // The question alone, for callers that already know there are changes.
    void preguntarGuardarCambios(std::function<void()> continuar);

    // --- Shareable package (actions in proyecto/AccionesPaquete.cpp) -----------------------------
    void exportarPaquete();
    // The chosen file: ".quelvapkg" appended when missing, replacing an existing file only when confirmed.
    void confirmarDestinoPaquete(const QString& elegida);
    // Builds the package at `destino` in the background, from copies of the state taken now.
    void generarPaquete(const QString& destino);
    void importarPaquete();
    // Opens the package in the background; it lands only if no other project was opened meanwhile.
    void abrirPaquete(const QString& ruta);

    // --- Tools ------------------------------------------------------------------------------------
    void abrirQTO();
    void abrirVentanaTimeLiner();
    // A new report window on a copy of the analysis.
    void mostrarReporteAnalisis(const AnalisisInterferencias& analisis);
    // A colour the main window put on an element node: open timelines keep it as its own.
    void colorDevueltoATimeLiner(scene::Node& nodo, const QColor& color);

    void informarError(const QString& mensaje);

    // Redraws every view from the state and presents the sheets and alerts it asks for.
    void refrescar();
    // The same after a change that of the sidebar's cards only these show.
    void refrescarConTarjetas(TarjetasSidebar tarjetas);

    // The sheet or alert on screen now, if any (for callers that drive it).
    QDialog* dialogoActivo() const;

signals:
    void especialidadesCambiadas();
    void estadoCambiado();

private:
    void construirVista();
    void suscribirComandos();
    void presentarDialogos();
    void presentarAlerta(QPointer<QMessageBox>& ranura, const QString& titulo, const QString& mensaje,
                         const QString& confirmar, bool destructivo, std::function<void()> alConfirmar,
                         std::function<void()> alCerrar);
    void presentarSelectorArchivo();
    void presentarSelectorGuardado();
    void presentarSelectorAbrirProyecto();
    void presentarSelectorAbrirPaquete();
    // What is on disk now: the document last written or opened.
    void marcarSinCambios();
    void marcarSinCambios(HuellaDiferida huella);
    // A project file read in the background is back: it lands if it is still the latest open.
    void terminarLecturaProyecto(const QString& ruta, int pedido, std::variant<ProyectoQUELVA, QString> leido);
    // A save the question asked for ended: its pending action runs only when it succeeded.
    void terminarGuardadoPedido(bool guardado);

    // Children of this view: made in the constructor, gone with the view.
    ViewportController* viewport_ = nullptr;
    AlmacenCotas* almacenCotas_ = nullptr;
    AlmacenEtiquetas* almacenEtiquetas_ = nullptr;
    GestorProyecto* gestor_ = nullptr;
    TimeLinerStore* timeLinerStore_ = nullptr;
    // Closed timeline windows whose deletion is still queued: they hold the store and the view.
    QList<QPointer<QWidget>> timeLinerCerrandose_;
    ControladorFederacion* federacionControlador_ = nullptr;
    ControladorComentarios* comentariosControlador_ = nullptr;
    ControladorInterferencias* interferenciasControlador_ = nullptr;

    Sidebar* sidebar_ = nullptr;
    ColumnaViewport* columnaViewport_ = nullptr;
    ColumnaInspector* columnaInspector_ = nullptr;

    // The one presentation of each sheet and alert.
    QPointer<QDialog> selectorArchivo_;
    QPointer<QFileDialog> selectorGuardado_;
    QPointer<QFileDialog> selectorAbrirProyecto_;
    QPointer<QFileDialog> selectorExportarPaquete_;
    QPointer<QFileDialog> selectorAbrirPaquete_;
    QPointer<QMessageBox> alertaReemplazarPaquete_;
    QPointer<QMessageBox> alertaPaqueteExportado_;
    QPointer<QMessageBox> alertaGuardarCambios_;
    HuellaDiferida huellaGuardada_;        // of the document last saved or opened
    int aperturasPedidas_ = 0;             // project and package opens asked for: the latest lands
    std::function<void()> trasGuardar_;    // what waits for the save "Guardar" started
    QPointer<QDialog> hojaNuevaEspecialidad_;
    QPointer<QDialog> hojaColor_;
    QPointer<QDialog> hojaTransformacion_;
    QPointer<QDialog> hojaConfigAnalisis_;
    QPointer<QMessageBox> alertaError_;
    QPointer<QMessageBox> alertaEliminarModelo_;
    QPointer<QMessageBox> alertaLimpiarTRELM_;
    QPointer<QMessageBox> alertaCargarSlot_;
    QPointer<QMessageBox> alertaEliminarSeccion_;
    QPointer<QMessageBox> alertaEliminarComentario_;
    QPointer<QMessageBox> alertaEliminarAnalisis_;
    bool presentando_ = false;
    bool restaurando_ = false;  // one redraw for the whole restore, not one per store it replaces
};

}  // namespace quelva
