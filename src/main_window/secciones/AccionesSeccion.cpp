// The section actions of the main window: the switch, axis, position and depth of the card,
// the plane indicator with the hiding rule, the 2D drawing windows and the saved sections.

#include "main_window/ContentView.h"

#include "scene/Primitives.h"
#include "sections/AlmacenesSeccion.h"
#include "sections/CorteSeccion.h"
#include "sections/Ventana2D.h"
#include "sections/Vista2DController.h"

#include <algorithm>
#include <cmath>

namespace quelva {

namespace {

scene::Color colorEje(int eje)
{
    switch (eje) {
    case 0: return {0.2, 0.6, 1.0, 0.18};
    case 1: return {0.2, 1.0, 0.3, 0.18};
    default: return {1.0, 0.8, 0.2, 0.18};
    }
}

}  // namespace

void ContentView::activarSeccion(bool activa)
{
    secciones.seccionActiva = activa;
    if (activa)
        recalcularRangoSeccion();
    actualizarPlanoSeccion();
    refrescar();
}

void ContentView::cambiarEjeSeccion(int eje)
{
    secciones.seccionEje = std::clamp(eje, 0, 2);
    recalcularRangoSeccion();
    actualizarPlanoSeccion();
    refrescar();
}

void ContentView::moverSeccion(double posicion)
{
    secciones.seccionPosicion = posicion;
    actualizarPlanoSeccion();
}

void ContentView::cambiarModoProfundidad(int modo)
{
    secciones.seccionModoProfundidad = std::clamp(modo, 0, 2);
    refrescar();
}

void ContentView::cambiarProfundidadSeccion(double profundidad)
{
    secciones.seccionProfundidad = std::clamp(profundidad, 1.0, 50.0);
    refrescar();
}

void ContentView::recalcularRangoSeccion()
{
    const auto rango = CorteSeccion::rangoModelos(federacion.especialidades, secciones.seccionEje);
    if (!rango || !(rango->first < rango->second))
        return;
    secciones.seccionRangoMin = double(rango->first) - 0.5;
    secciones.seccionRangoMax = double(rango->second) + 0.5;
    secciones.seccionPosicion =
        std::clamp(secciones.seccionPosicion, secciones.seccionRangoMin, secciones.seccionRangoMax);
}

void ContentView::actualizarPlanoSeccion()
{
    if (secciones.nodoPlanVisual) {
        secciones.nodoPlanVisual->removeFromParent();
        secciones.nodoPlanVisual.reset();
    }
    const int eje = secciones.seccionEje;
    CorteSeccion::ocultarMasAllaDelCorte(federacion.especialidades, secciones.seccionActiva, eje,
                                         secciones.seccionPosicion);
    if (!secciones.seccionActiva)
        return;
    auto geometria = scene::makePlane(100, 100);
    auto material = scene::makeMaterial();
    material->diffuse.contents = colorEje(eje);
    material->doubleSided = true;
    geometria->materials = {material};
    auto nodo = scene::Node::make(geometria);
    nodo->name = "_QUELVA_PlanoSeccion";
    const double p = double(float(secciones.seccionPosicion));
    if (eje == 0) {
        nodo->setEulerAngles({0, scene::kPi / 2, 0});
        nodo->position = {p, 0, 0};
    } else if (eje == 1) {
        nodo->setEulerAngles({scene::kPi / 2, 0, 0});
        nodo->position = {0, p, 0};
    } else {
        nodo->position = {0, 0, p};
    }
    escena.scene->rootNode()->addChild(nodo);
    secciones.nodoPlanVisual = nodo;
}

void ContentView::generarPlano2D()
{
    const int eje = secciones.seccionEje;
    const double posicion = secciones.seccionPosicion;
    std::vector<Segmento2D> segmentos = CorteSeccion::cortarModelos(
        federacion.especialidades, federacion.ordenEspecialidades, eje, posicion,
        CorteSeccion::profundidadDeModo(secciones.seccionModoProfundidad, secciones.seccionProfundidad));
    if (segmentos.empty()) {
        informarError(
            QStringLiteral("No se encontraron elementos en el plano de corte. Ajusta la posición de la sección."));
        return;
    }
    const QString titulo = CorteSeccion::tituloPlano(eje, posicion, secciones.seccionModoProfundidad,
                                                     secciones.seccionProfundidad);

    // An open window of the same title hands its edits back first, so the new one starts
    // from them and no later close can overwrite them with older lists.
    auto& ventanas2D = secciones.vista2DWindows;
    for (const QPointer<QWidget>& v : ventanas2D)
        if (v && v->windowTitle() == titulo) {
            if (v->isVisible())
                v->close();
            v->deleteLater();
        }
    ventanas2D.erase(std::remove_if(ventanas2D.begin(), ventanas2D.end(),
                                    [&](const QPointer<QWidget>& v) { return !v || v->windowTitle() == titulo; }),
                     ventanas2D.end());

    DatosPlano2D datos;
    datos.titulo = titulo;
    datos.segmentos = std::move(segmentos);
    datos.etiquetas = CorteSeccion::generarEtiquetas(federacion.especialidades, federacion.ordenEspecialidades, eje,
                                                     federacion.propiedadesIFC, posicion);
    if (const auto it = almacenCotas_->porTitulo.find(titulo); it != almacenCotas_->porTitulo.end())
        datos.cotas = it->second;
    if (const auto it = almacenEtiquetas_->porTitulo.find(titulo); it != almacenEtiquetas_->porTitulo.end())
        datos.etiquetas = CorteSeccion::aplicarEtiquetasGuardadas(std::move(datos.etiquetas), it->second);
    datos.segmentosGrilla = CorteSeccion::segmentosGrilla(federacion.grillasIFC, eje);

    auto* controller = new Vista2DController;
    controller->alGuardar = devolucionAlmacenes(controller, titulo, almacenCotas_, almacenEtiquetas_);
    auto* ventana = new Ventana2D(datos, controller, [this, eje, posicion](const QString& nombre) {
        guardarSeccionActual(nombre, eje, posicion);
    });
    ventana->show();
    ventana->raise();
    ventana->activateWindow();
    ventanas2D.append(ventana);
}

void ContentView::restaurarSeccionGuardada(const QUuid& id)
{
    const auto& lista = secciones.seccionesGuardadas;
    const auto it = std::find_if(lista.begin(), lista.end(), [&](const SeccionGuardada& s) { return s.id == id; });
    if (it == lista.end())
        return;
    secciones.seccionEje = it->eje == 0 ? 0 : it->eje == 1 ? 1 : 2;  // any other value is Z
    secciones.seccionPosicion = it->posicion;
    recalcularRangoSeccion();
    actualizarPlanoSeccion();
    generarPlano2D();
    refrescar();
}

void ContentView::pedirEliminarSeccion(const QUuid& id)
{
    secciones.seccionPendienteEliminar = id;
    refrescar();
}

void ContentView::guardarSeccionActual(const QString& nombre, int eje, double posicion)
{
    SeccionGuardada s;
    s.nombre = CorteSeccion::nombreSeccionNueva(secciones.seccionesGuardadas, nombre);
    s.eje = eje;
    s.posicion = posicion;
    secciones.seccionesGuardadas.push_back(s);
    refrescar();
}

}  // namespace quelva
