#include "clash/ControladorInterferencias.h"

#include "clash/Resaltado.h"
#include "platform/DateFormat.h"
#include "platform/Queues.h"

#include <algorithm>

namespace quelva {

ControladorInterferencias::ControladorInterferencias(EstadoInterferencias& estado, Servicios servicios,
                                                     QObject* parent)
    : QObject(parent), estado_(estado), servicios_(std::move(servicios))
{
}

bool ControladorInterferencias::especialidadAnalizable(const QString& key) const
{
    if (!servicios_.especialidades)
        return false;
    const auto& especialidades = servicios_.especialidades();
    const auto it = especialidades.find(key);
    return it != especialidades.end() && it->second.nodoRaiz && it->second.isVisible;
}

void ControladorInterferencias::prepararAnalisis(const QDateTime& ahora)
{
    estado_.nombreAnalisis = QStringLiteral("Análisis ") + platform::formatDate(ahora, QStringLiteral("dd/MM/yy HH:mm"));
    std::vector<QString> claves;
    if (servicios_.especialidades)
        for (const auto& [clave, esp] : servicios_.especialidades())
            if (especialidadAnalizable(clave))
                claves.push_back(clave);
    estado_.paresDisponibles = paresDeClaves(std::move(claves));
    estado_.paresActivos.clear();
    for (const auto& [a, b] : estado_.paresDisponibles)
        estado_.paresActivos.insert(clavePar(a, b));
    estado_.mostrarConfigAnalisis = true;
    emit estadoCambiado();
}

void ControladorInterferencias::detectarInterferencias(const QString& nombre, double tolerancia)
{
    if (estado_.detectando)
        return;
    estado_.detectando = true;
    quitarResaltado();

    std::vector<QString> claves;
    if (servicios_.especialidades)
        for (const auto& [clave, esp] : servicios_.especialidades())
            if (especialidadAnalizable(clave))
                claves.push_back(clave);
    std::vector<NodoBB> nodos =
        servicios_.especialidades ? recolectarNodos(servicios_.especialidades(), claves) : std::vector<NodoBB>{};
    std::set<QString> pares = estado_.paresActivos;
    QSet<QString> omitidos = conjuntoOmitidos(estado_.historialAnalisis, estado_.excluirResueltos);
    const int generacion = servicios_.generacionProyecto ? servicios_.generacionProyecto() : 0;
    emit estadoCambiado();

    QPointer<ControladorInterferencias> self(this);
    platform::BackgroundQueue::post([self, nodos = std::move(nodos), pares = std::move(pares),
                                     omitidos = std::move(omitidos), nombre, tolerancia, generacion]() mutable {
        std::vector<Interferencia> resultado = buscarInterferencias(nodos, pares, omitidos, tolerancia);
        nodos.clear();
        platform::MainQueue::post([self, resultado = std::move(resultado), nombre, tolerancia, generacion]() mutable {
            if (!self)
                return;  // the window has gone
            const int actual = self->servicios_.generacionProyecto ? self->servicios_.generacionProyecto() : 0;
            if (actual != generacion) {
                // The project the run was for has been closed or replaced.
                self->estado_.detectando = false;
                emit self->estadoCambiado();
                return;
            }
            self->registrarAnalisis(nombre, std::move(resultado), tolerancia);
        });
    });
}

void ControladorInterferencias::registrarAnalisis(const QString& nombre, std::vector<Interferencia> resultado,
                                                  double tolerancia)
{
    AnalisisInterferencias analisis;
    analisis.nombre = nombre;
    analisis.tolerancia = tolerancia;
    analisis.fecha = QDateTime::currentDateTime();
    analisis.interferencias = resultado;
    estado_.analisisExpandidos.insert(analisis.id);
    estado_.historialAnalisis.push_back(std::move(analisis));
    estado_.interferencias = std::move(resultado);
    estado_.detectando = false;
    resaltarInterferencia();
    emit estadoCambiado();
}

void ControladorInterferencias::resaltarInterferencia()
{
    quelva::resaltarInterferencia(estado_);
}

void ControladorInterferencias::quitarResaltado()
{
    quelva::quitarResaltado(estado_);
}

void ControladorInterferencias::limpiarResaltadoInterferencias()
{
    quelva::limpiarResaltadoInterferencias(estado_);
}

const AnalisisInterferencias* ControladorInterferencias::buscarAnalisis(const QUuid& analisis) const
{
    const auto it = std::find_if(estado_.historialAnalisis.begin(), estado_.historialAnalisis.end(),
                                 [&](const AnalisisInterferencias& a) { return a.id == analisis; });
    return it == estado_.historialAnalisis.end() ? nullptr : &*it;
}

void ControladorInterferencias::enfocarInterferencia(const QUuid& analisis, const QUuid& clash)
{
    const AnalisisInterferencias* a = buscarAnalisis(analisis);
    if (!a)
        return;
    const auto it = std::find_if(a->interferencias.begin(), a->interferencias.end(),
                                 [&](const Interferencia& i) { return i.id == clash; });
    if (it == a->interferencias.end())
        return;
    const Interferencia copia = *it;
    quelva::enfocarInterferencia(estado_, servicios_.viewport.data(), copia);
    emit estadoCambiado();
}

bool ControladorInterferencias::cambiarEstadoInterferencia(const QUuid& analisis, const QUuid& clash,
                                                           EstadoClash nuevo)
{
    std::vector<AnalisisInterferencias> copia = estado_.historialAnalisis;
    for (AnalisisInterferencias& a : copia) {
        if (a.id != analisis)
            continue;
        for (Interferencia& i : a.interferencias)
            if (i.id == clash) {
                i.estado = nuevo;
                estado_.historialAnalisis = std::move(copia);
                emit estadoCambiado();
                return true;
            }
        return false;
    }
    return false;
}

void ControladorInterferencias::eliminarAnalisis(const QUuid& analisis)
{
    limpiarResaltadoInterferencias();
    auto& h = estado_.historialAnalisis;
    h.erase(std::remove_if(h.begin(), h.end(), [&](const AnalisisInterferencias& a) { return a.id == analisis; }),
            h.end());
    emit estadoCambiado();
}

void ControladorInterferencias::expandirAnalisis(const QUuid& analisis, bool expandido)
{
    if (expandido)
        estado_.analisisExpandidos.insert(analisis);
    else
        estado_.analisisExpandidos.remove(analisis);
    emit estadoCambiado();
}

}  // namespace quelva
