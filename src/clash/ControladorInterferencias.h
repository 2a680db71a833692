#pragma once

#include "clash/DeteccionInterferencias.h"
#include "clash/EstadoInterferencias.h"
#include "federation/Especialidad.h"
#include "viewport/ViewportController.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>

#include <functional>
#include <map>

namespace quelva {

// The clash actions of the main window on its EstadoInterferencias: preparing and running a
// detection (the search on the background queue, the record back on the main queue), the glow,
// the focus, status changes and deletion. GUI thread only.
class ControladorInterferencias : public QObject {
    Q_OBJECT

public:
    struct Servicios {
        std::function<const std::map<QString, EspecialidadBIM>&()> especialidades;
        // A run belongs to the project open when it started; one that ends later is dropped.
        std::function<int()> generacionProyecto;
        QPointer<ViewportController> viewport;
    };

    ControladorInterferencias(EstadoInterferencias& estado, Servicios servicios, QObject* parent = nullptr);

    EstadoInterferencias& estado() { return estado_; }

    // A discipline with a root node that is shown.
    bool especialidadAnalizable(const QString& key) const;
    // Default name, every pair of analysable disciplines selected, the sheet asked for.
    void prepararAnalisis(const QDateTime& ahora = QDateTime::currentDateTime());
    // Starts a run unless one is going: collects the boxes here, searches in the background.
    void detectarInterferencias(const QString& nombre, double tolerancia);
    // The finished run: appended to the history, expanded, its clashes glowing.
    void registrarAnalisis(const QString& nombre, std::vector<Interferencia> resultado, double tolerancia);

    void resaltarInterferencia();
    void quitarResaltado();
    void limpiarResaltadoInterferencias();
    // Focuses the clash `clash` of the analysis `analisis`; nothing when either is gone.
    void enfocarInterferencia(const QUuid& analisis, const QUuid& clash);

    // Sets the status of one clash, found by ids; false (and nothing changed) when it is gone.
    bool cambiarEstadoInterferencia(const QUuid& analisis, const QUuid& clash, EstadoClash estado);
    // Clears the focused pair, then removes the analysis with that id (if still there).
    void eliminarAnalisis(const QUuid& analisis);
    void expandirAnalisis(const QUuid& analisis, bool expandido);

    // The analysis with that id, if it is still in the history.
    const AnalisisInterferencias* buscarAnalisis(const QUuid& analisis) const;

signals:
    void estadoCambiado();

private:
    EstadoInterferencias& estado_;
    Servicios servicios_;
};

}  // namespace quelva
