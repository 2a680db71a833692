#include "viewport/Medicion3D.h"

#include "viewport/DibujosMedicion.h"

#include <string>

namespace quelva {

namespace {

void agregar(EstadoMedicion& estado, scene::Node& raiz, const scene::NodePtr& nodo)
{
    raiz.addChild(nodo);
    estado.nodosMedicion.push_back(nodo);
}

void marcador(EstadoMedicion& estado, scene::Node& raiz, const scene::Vec3& p, const std::string& texto)
{
    agregar(estado, raiz, crearMarcadorPunto(p, texto));
}

}  // namespace

void procesarClicMedicion(EstadoMedicion& estado, scene::Node& raiz, const scene::Vec3& p)
{
    switch (estado.modoMedicion3D) {
    case ModoMedicion3D::inactivo:
        return;
    case ModoMedicion3D::distancia:
        if (estado.medicionPuntoA && !estado.medicionPuntoB) {
            estado.medicionPuntoB = p;
            marcador(estado, raiz, p, "B");
            agregar(estado, raiz, crearNodoDistancia(*estado.medicionPuntoA, p));
            return;
        }
        if (estado.medicionPuntoA)
            limpiarMediciones(estado);
        estado.medicionPuntoA = p;
        marcador(estado, raiz, p, "A");
        return;
    case ModoMedicion3D::area:
        estado.medicionPuntosArea.push_back(p);
        marcador(estado, raiz, p, std::to_string(estado.medicionPuntosArea.size()));
        return;
    case ModoMedicion3D::angulo:
        if (estado.medicionPuntoA && !estado.medicionPuntoB) {
            estado.medicionPuntoB = p;
            marcador(estado, raiz, p, "A");
            return;
        }
        if (estado.medicionPuntoA && estado.medicionPuntoB && !estado.medicionPuntoC) {
            estado.medicionPuntoC = p;
            marcador(estado, raiz, p, "B");
            agregar(estado, raiz, crearNodoAngulo(*estado.medicionPuntoA, *estado.medicionPuntoB, p));
            return;
        }
        if (estado.medicionPuntoA)
            limpiarMediciones(estado);
        estado.medicionPuntoA = p;
        marcador(estado, raiz, p, "Vértice");
        return;
    case ModoMedicion3D::punto:
        limpiarMediciones(estado);
        estado.medicionPuntoA = p;
        agregar(estado, raiz, crearNodoCoordenadas(p));
        return;
    }
}

void limpiarMediciones(EstadoMedicion& estado)
{
    for (const auto& nodo : estado.nodosMedicion)
        if (nodo)
            nodo->removeFromParent();
    estado.nodosMedicion.clear();
    estado.medicionPuntoA.reset();
    estado.medicionPuntoB.reset();
    estado.medicionPuntoC.reset();
    estado.medicionPuntosArea.clear();
}

void cerrarPoligonoArea(EstadoMedicion& estado, scene::Node& raiz)
{
    if (estado.medicionPuntosArea.size() < 3)
        return;
    agregar(estado, raiz, crearNodoArea(estado.medicionPuntosArea));
    estado.medicionPuntosArea.clear();
    estado.medicionPuntoA.reset();
}

void accionBotonModo(EstadoMedicion& estado, ModoMedicion3D modo)
{
    if (estado.modoMedicion3D == modo) {
        estado.modoMedicion3D = ModoMedicion3D::inactivo;
        limpiarMediciones(estado);
    } else {
        limpiarMediciones(estado);
        estado.modoMedicion3D = modo;
    }
}

bool muestraBotonLimpiar(const EstadoMedicion& estado)
{
    return estado.medicionPuntoA.has_value() || !estado.medicionPuntosArea.empty();
}

bool muestraBotonCerrar(const EstadoMedicion& estado)
{
    return estado.modoMedicion3D == ModoMedicion3D::area && estado.medicionPuntosArea.size() >= 3;
}

bool medicionCompleta(const EstadoMedicion& estado)
{
    switch (estado.modoMedicion3D) {
    case ModoMedicion3D::distancia: return estado.medicionPuntoB.has_value();
    case ModoMedicion3D::angulo: return estado.medicionPuntoC.has_value();
    case ModoMedicion3D::punto: return estado.medicionPuntoA.has_value();
    default: return false;
    }
}

}  // namespace quelva
