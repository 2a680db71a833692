#pragma once

#include "timeline/EstadoTimeLinerView.h"
#include "timeline/FigurasTimeLiner.h"
#include "timeline/Sincronizacion4D.h"
#include "timeline/csv/ConfirmacionCSV.h"

#include "federation/Especialidad.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>

namespace render {
class SceneView;
}

namespace quelva {

class TimeLinerStore;
class ViewportController;

// The actions and state of one timeline window, free of widgets: selection, the scrubber and
// playback, the 4D colouring of the main window's scene and the hand-over flags of the sheets.
// Lives on the GUI thread.
class ControladorTimeLiner : public QObject {
    Q_OBJECT

public:
    // The disciplines as the main window holds them now (their roots change as models link).
    using Especialidades = std::function<const std::map<QString, EspecialidadBIM>&()>;

    ControladorTimeLiner(TimeLinerStore& store, ViewportController* viewport, Especialidades especialidades,
                         QObject* parent = nullptr);
    ~ControladorTimeLiner() override;

    TimeLinerStore& store() const { return store_; }
    const TimeLinerConfig& config() const;
    const EstadoTimeLinerView& estado() const { return estado_; }
    ModoAvance modoAvance() const { return {estado_.modoAutoAvance, estado_.fechaScrubber}; }
    const Sincronizacion4D& sincronizacion() const { return sync_; }
    // The store's packages grouped by parent, made again after each change of the store.
    const IndiceAWP& indice() const;

    // --- Figures of the window --------------------------------------------------------------
    double progresoEfectivo(const PaqueteAWP& p) const;
    double progresoAgregadoEfectivo(const PaqueteAWP& p) const;
    double valorGanadoTotal() const;
    double hhGanadasTotal() const;
    std::vector<FilaVisible> filasVisibles() const;
    // The analytics column's project figures, kept for the store's version and the progress mode.
    const FigurasProyecto& figurasProyecto() const;
    // The package cards of the analytics column and their lines.
    std::vector<LineasTarjeta> lineasTarjetas() const;
    // The S-curve a confirmed import traced for this mode and size, once; none otherwise.
    std::optional<TrazadoCurvaS> tomarCurvaPreparada(int modo, QSize tamano) const;

    // --- Showing and closing ----------------------------------------------------------------
    // The window was shown: the scrubber goes to the project start and the scene follows 0.3 s
    // later.
    void irAlInicio();
    // The window went away: playback stops and the scene gets its own look back.
    void detenerYRestaurar();

    // --- 4D -------------------------------------------------------------------------------
    void sincronizar4D();
    void destacarSeleccion();
    // Picture of the 3D view with only the package's elements shown; none without elements,
    // view or scene.
    std::optional<QImage> imagenFicha(const PaqueteAWP& paquete);
    // The main window recoloured a node or gave it a colour back.
    void alColorearNodo(scene::Node& nodo, const QColor& color);
    // Models were linked or removed.
    void escenaCambiada();

    // --- Scrubber and playback ----------------------------------------------------------------
    double fraccionScrubber() const;
    // Every change of the date re-synchronises the scene.
    void setFechaScrubber(const QDateTime& fecha);
    void arrastrarScrubber(double x, double ancho);
    void retrocederScrubber();
    void avanzarScrubber();
    // Playback follows the clock, not the ticks: each tick puts the scrubber where the elapsed
    // time since the start (or the last jump or change of speed) says, so slow frames are
    // skipped rather than slowing the schedule down.
    void alternarReproduccion();
    void tickReproduccion();
    void setVelocidad(double diasPorSegundo);
    bool temporizadorActivo() const { return playTimer_.isActive(); }
    // Seconds of a steady clock; tests drive their own.
    using Reloj = std::function<double()>;
    void setReloj(Reloj reloj);

    // --- Tree and header ---------------------------------------------------------------------
    void seleccionarPaquete(const PaqueteAWP& paquete);
    void alternarExpandidoCWA(const PaqueteAWP& paquete);
    void editarPaquete(const PaqueteAWP& paquete);
    void nuevoPaquete();
    void abrirDetector();
    void abrirFicha(const PaqueteAWP& paquete);
    void setModoAutoAvance(bool activo);
    void setMoneda(const QString& moneda);
    void setPanelModo(int modo);
    void setCurvasModo(int modo);
    void setSCurveHoverX(std::optional<double> x);

    // --- Sheets and the CSV alert ----------------------------------------------------------------
    // The parse result of an imported file: the preview, or the alert with the required columns.
    void errorSinPaquetesCSV(std::vector<PaqueteAWP> paquetes);
    // The preview's confirmation: appends the packages whose code is new, in one announcement.
    void agregarPaquetesCSV(const std::vector<PaqueteAWP>& paquetes);
    // The same for a large list: the duplicate check, the merge and what the window derives from
    // it run off the GUI thread; the store then swaps in the prepared list. Applied only to the
    // store as it was at the call (a project opened meanwhile drops it), also once this window is
    // gone. `alTerminar` runs on the GUI thread in any case. `curva`: the S-curve on show.
    void agregarPaquetesCSVEnSegundoPlano(std::shared_ptr<const std::vector<PaqueteAWP>> paquetes,
                                          std::function<void()> alTerminar,
                                          std::optional<PedidoCurvaS> curva = std::nullopt);
    void cerrarErrorCSV();
    enum class Hoja { editor, detector, ficha, importarCSV };
    void hojaCerrada(Hoja hoja);
    // The working copy the editor sheet writes to.
    PaqueteAWP& paqueteEditando() { return estado_.paqueteEditando; }

signals:
    // The view state changed: views redraw.
    void cambiado();
    // Only the pointer over the S-curve moved: that chart alone redraws.
    void lecturaCurvaSCambiada();

private:
    RaicesEscena raices() const;
    std::vector<scene::NodePtr> raicesEspecialidades() const;
    render::SceneView* vista() const;
    void alCambiarConfig();
    void pararTemporizador();
    // Sets the date; false when it was that date already.
    bool asignarFecha(const QDateTime& fecha);
    // Playback measures its time from here, at the scrubber's date.
    void anclarReproduccion();
    QDateTime fechaReproduccion() const;
    // While playing, the 3D view draws its quick frames.
    void animarVista(bool animar);

    TimeLinerStore& store_;
    QPointer<ViewportController> viewport_;
    Especialidades especialidades_;
    EstadoTimeLinerView estado_;
    Sincronizacion4D sync_;
    QTimer playTimer_;
    Reloj reloj_;
    double anclaSegundos_ = 0;
    QDateTime anclaFecha_;
    QPointer<render::SceneView> vistaAnimada_;
    // Ticks already posted belong to the playback run of this number; a stop starts a new one.
    quint64 corrida_ = 0;
    // Each showing of the window; work posted for an earlier one (the first synchronisation)
    // is dropped.
    quint64 visita_ = 0;
    bool restaurado_ = true;
    mutable std::unique_ptr<IndiceAWP> indice_;
    mutable quint64 versionIndice_ = 0;
    // Rows prepared with a confirmed import, taken once by the tree.
    struct FilasPreparadas {
        quint64 version = 0;
        std::set<QString> expandidosCWA;
        std::vector<FilaVisible> filas;
    };
    mutable std::optional<FilasPreparadas> filasPreparadas_;
    // Cards prepared with a confirmed import, taken once by the analytics column.
    struct TarjetasPreparadas {
        quint64 version = 0;
        std::optional<PaqueteAWP> seleccionado;
        std::vector<LineasTarjeta> tarjetas;
    };
    mutable std::optional<TarjetasPreparadas> tarjetasPreparadas_;
    struct CurvaPreparada {
        quint64 version = 0;
        PedidoCurvaS pedido;
        TrazadoCurvaS trazado;
    };
    mutable std::optional<CurvaPreparada> curvaPreparada_;
    // The analytics column's sums with what they were made for.
    struct FigurasGuardadas {
        quint64 version = 0;
        bool automatico = false;
        QDateTime fechaScrubber;
        FigurasProyecto figuras;
    };
    mutable std::optional<FigurasGuardadas> figuras_;
};

}  // namespace quelva
