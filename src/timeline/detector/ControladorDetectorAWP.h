#pragma once

#include "timeline/detector/DetectorAWP.h"

#include <QObject>
#include <QSet>

#include <memory>
#include <vector>

namespace quelva {

class TimeLinerStore;

// The detector sheet's state and actions, free of widgets: the scan runs on the background
// queue over the shared table and its results come back on the GUI thread. Lives on the GUI
// thread; closing drops a scan still running.
class ControladorDetectorAWP : public QObject {
    Q_OBJECT
public:
    ControladorDetectorAWP(std::shared_ptr<const PropiedadesPorEspecialidad> propiedadesIFC, TimeLinerStore& store,
                           QObject* parent = nullptr);

    const std::vector<ParametroAWPDetectado>& resultados() const { return resultados_; }
    bool detectando() const { return detectando_; }
    const QSet<QString>& seleccionados() const { return seleccionados_; }
    bool estaSeleccionado(const QString& codigo) const { return seleccionados_.contains(codigo); }
    // Sum of the results' element counts (an element under two codes counts twice).
    qint64 totalElementos() const;
    // Grows each time the result list is replaced (ticking leaves it).
    quint64 versionResultados() const { return versionResultados_; }

    void detectar();
    void publicarResultados(std::vector<ParametroAWPDetectado> resultados);
    void seleccionarTodo();
    void limpiarSeleccion();
    void alternarSeleccion(const QString& codigo);
    // One write to the store.
    void importarSeleccionados();
    // The sheet is going: a scan still running is never delivered.
    void cerrar();

signals:
    void cambiado();

private:
    std::shared_ptr<const PropiedadesPorEspecialidad> propiedadesIFC_;
    TimeLinerStore& store_;
    std::vector<ParametroAWPDetectado> resultados_;
    bool detectando_ = false;
    QSet<QString> seleccionados_;
    quint64 corrida_ = 0;
    quint64 versionResultados_ = 0;
};

}  // namespace quelva
