#include "timeline/detector/ControladorDetectorAWP.h"

#include "timeline/TimeLinerStore.h"

#include "platform/Queues.h"

#include <QPointer>

namespace quelva {

ControladorDetectorAWP::ControladorDetectorAWP(std::shared_ptr<const PropiedadesPorEspecialidad> propiedadesIFC,
                                               TimeLinerStore& store, QObject* parent)
    : QObject(parent),
      propiedadesIFC_(propiedadesIFC ? std::move(propiedadesIFC)
                                     : std::make_shared<const PropiedadesPorEspecialidad>()),
      store_(store)
{
}

qint64 ControladorDetectorAWP::totalElementos() const
{
    qint64 n = 0;
    for (const auto& r : resultados_)
        n += r.elementos.size();
    return n;
}

void ControladorDetectorAWP::detectar()
{
    detectando_ = true;
    resultados_.clear();
    ++versionResultados_;
    seleccionados_.clear();
    const quint64 corrida = ++corrida_;
    emit cambiado();
    QPointer<ControladorDetectorAWP> yo(this);
    platform::BackgroundQueue::post([tabla = propiedadesIFC_, yo, corrida]() mutable {
        auto resultados = analizarPropiedades(*tabla);
        tabla.reset();
        platform::MainQueue::post([yo, corrida, resultados = std::move(resultados)]() mutable {
            if (yo && yo->corrida_ == corrida)
                yo->publicarResultados(std::move(resultados));
        });
    });
}

void ControladorDetectorAWP::publicarResultados(std::vector<ParametroAWPDetectado> resultados)
{
    resultados_ = std::move(resultados);
    ++versionResultados_;
    seleccionados_.clear();
    for (const auto& r : resultados_)
        seleccionados_.insert(r.codigo);
    detectando_ = false;
    emit cambiado();
}

void ControladorDetectorAWP::seleccionarTodo()
{
    for (const auto& r : resultados_)
        seleccionados_.insert(r.codigo);
    emit cambiado();
}

void ControladorDetectorAWP::limpiarSeleccion()
{
    seleccionados_.clear();
    emit cambiado();
}

void ControladorDetectorAWP::alternarSeleccion(const QString& codigo)
{
    if (!seleccionados_.remove(codigo))
        seleccionados_.insert(codigo);
    emit cambiado();
}

void ControladorDetectorAWP::importarSeleccionados()
{
    if (seleccionados_.isEmpty())
        return;
    store_.setConfig(quelva::importarSeleccionados(store_.config(), resultados_, seleccionados_));
}

void ControladorDetectorAWP::cerrar()
{
    ++corrida_;
}

}  // namespace quelva
