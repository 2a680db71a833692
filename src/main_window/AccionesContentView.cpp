// The main window's actions on its own state: selection, the federation card's model and
// discipline actions, the confirmed deletions and the comparison-slot requests.

#include "main_window/ContentView.h"

#include "clash/ControladorInterferencias.h"
#include "clash/Resaltado.h"
#include "federation/ControladorFederacion.h"
#include "main_window/federacion/ClaveEspecialidad.h"
#include "platform/SystemColors.h"
#include "viewport/Medicion3D.h"
#include "viewport/ViewportController.h"

#include <algorithm>

namespace quelva {

namespace {

scene::Color colorEscena(const QColor& c)
{
    return {c.redF(), c.greenF(), c.blueF(), c.alphaF()};
}

scene::Material* primerMaterial(const scene::Node& nodo)
{
    return nodo.geometry ? nodo.geometry->firstMaterial().get() : nullptr;
}

bool enInterferencia(const scene::Node* nodo, const std::vector<Interferencia>& interferencias)
{
    return std::any_of(interferencias.begin(), interferencias.end(), [nodo](const Interferencia& i) {
        return i.nodoA.get() == nodo || i.nodoB.get() == nodo;
    });
}

ModeloVinculado* buscarModelo(EstadoFederacion& federacion, const QString& key, const QUuid& id)
{
    const auto esp = federacion.especialidades.find(key);
    if (esp == federacion.especialidades.end())
        return nullptr;
    for (ModeloVinculado& m : esp->second.modelos)
        if (m.id == id)
            return &m;
    return nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Selection

void ContentView::seleccionarNodo(const scene::NodePtr& nuevo)
{
    if (seleccion.nodoSeleccionado) {
        if (scene::Material* m = primerMaterial(*seleccion.nodoSeleccionado)) {
            m->emission.contents = enInterferencia(seleccion.nodoSeleccionado.get(), clashes.interferencias)
                                       ? colorResaltadoInterferencia()
                                       : scene::Color::black();
            if (seleccion.diffuseOriginalSeleccionado) {
                m->diffuse.contents = colorEscena(*seleccion.diffuseOriginalSeleccionado);
                colorDevueltoATimeLiner(*seleccion.nodoSeleccionado, *seleccion.diffuseOriginalSeleccionado);
            }
        }
    }
    seleccion.nodoSeleccionado = nuevo;
    seleccion.diffuseOriginalSeleccionado.reset();

    scene::Material* material = nuevo ? primerMaterial(*nuevo) : nullptr;
    if (!material) {
        seleccion.nombreSeleccionado.clear();
        refrescar();
        return;
    }
    if (const scene::Color* c = material->diffuse.color())
        seleccion.diffuseOriginalSeleccionado = QColor::fromRgbF(float(c->r), float(c->g), float(c->b), float(c->a));
    material->emission.contents = scene::Color{1.0, 0.85, 0.0, 1.0};
    material->diffuse.contents = scene::Color{1.0, 0.95, 0.4, 1.0};

    if (nuevo->name)
        seleccion.nombreSeleccionado = QString::fromStdString(*nuevo->name);
    else if (nuevo->geometry->name)
        seleccion.nombreSeleccionado = QString::fromStdString(*nuevo->geometry->name);
    else
        seleccion.nombreSeleccionado = QStringLiteral("Elemento sin nombre");
    refrescar();
}

// ---------------------------------------------------------------------------------------------
// Federation card

void ContentView::alternarVisibilidadModelo(const QString& key, const QUuid& modeloId)
{
    ModeloVinculado* m = buscarModelo(federacion, key, modeloId);
    if (!m)
        return;
    m->isVisible = !m->isVisible;
    if (m->nodo)
        m->nodo->hidden = !m->isVisible;
    refrescar();
}

void ContentView::alternarResaltadoModelo(const QString& key, const QUuid& modeloId)
{
    federacionControlador_->alternarResaltadoModelo(key, modeloId);
}

void ContentView::aplicarTransparenciaModelo(const QString& key, const QUuid& modeloId, double valor)
{
    ModeloVinculado* m = buscarModelo(federacion, key, modeloId);
    if (!m)
        return;
    m->transparencia = valor;
    if (m->nodo)
        m->nodo->visitDescendants([valor](scene::Node& n) {
            if (scene::Material* mat = primerMaterial(n))
                mat->transparency = 1.0 - valor;
            return false;
        });
    refrescar();
}

void ContentView::editarTransformacionModelo(const QString& key, const ModeloVinculado& modelo)
{
    federacion.transformacionEditando = modelo.transformacion;
    federacion.modeloEditandoTransformacion = DireccionModelo{key, modelo.id, modelo.nombre};
    refrescar();
}

void ContentView::pedirEliminarModelo(const QString& key, const ModeloVinculado& modelo)
{
    modelosVinculados.modeloPendienteEliminar = DireccionModelo{key, modelo.id, modelo.nombre};
    refrescar();
}

void ContentView::cambiarColorEspecialidad(const QString& key)
{
    federacion.colorPickerKey = key;
    const auto esp = federacion.especialidades.find(key);
    federacion.colorPickerColor = esp != federacion.especialidades.end()
                                      ? esp->second.colorOriginal
                                      : platform::systemColor(platform::SystemColor::gray);
    refrescar();
}

void ContentView::alternarVisibilidadEspecialidad(const QString& key)
{
    federacionControlador_->alternarVisibilidadEspecialidad(key);
    refrescar();
}

void ContentView::zoomEspecialidad(const QString& key)
{
    federacionControlador_->zoomEspecialidad(key);
}

void ContentView::desvincularTodos(const QString& key)
{
    federacionControlador_->desvincularTodos(key);
    refrescar();
}

void ContentView::aplicarColoresEspecialidades()
{
    federacionControlador_->aplicarColoresEspecialidades();
    refrescar();
}

void ContentView::prepararNuevaEspecialidad()
{
    disciplinas.nuevaEspNombre.clear();
    disciplinas.nuevaEspIcono = QStringLiteral("folder");
    disciplinas.nuevaEspColor = platform::systemColor(platform::SystemColor::teal);
    disciplinas.mostrarNuevaEsp = true;
    refrescar();
}

void ContentView::agregarEspecialidad()
{
    const QString nombre = nombreEspecialidadLimpio(disciplinas.nuevaEspNombre);
    if (nombre.isEmpty())
        return;
    const QString clave = claveNuevaEspecialidad(nombre, federacion.ordenEspecialidades);
    EspecialidadBIM nueva;
    nueva.nombre = nombre;
    nueva.icono = disciplinas.nuevaEspIcono.isEmpty() ? QStringLiteral("folder") : disciplinas.nuevaEspIcono;
    nueva.colorOriginal = disciplinas.nuevaEspColor;
    nueva.isVisible = true;
    modificarEspecialidades([&](auto& tabla) { tabla[clave] = nueva; });
    federacion.ordenEspecialidades.append(clave);
    refrescar();
}

// ---------------------------------------------------------------------------------------------
// Confirmed changes

void ContentView::eliminarModelo(const QString& key, const QUuid& modeloId)
{
    const auto esp = federacion.especialidades.find(key);
    if (esp == federacion.especialidades.end())
        return;
    auto& modelos = esp->second.modelos;
    const auto it = std::find_if(modelos.begin(), modelos.end(), [&](const ModeloVinculado& m) { return m.id == modeloId; });
    if (it == modelos.end())
        return;
    if (it->nodo)
        it->nodo->removeFromParent();
    modificarEspecialidades([&](auto&) { modelos.erase(it); });
    if (modelos.empty())
        federacionControlador_->desvincularTodos(key);
    if (!clashes.interferencias.empty())
        quitarResaltado();
    refrescar();
}

void ContentView::quitarResaltado()
{
    interferenciasControlador_->quitarResaltado();
}

void ContentView::limpiarResaltadoInterferencias()
{
    interferenciasControlador_->limpiarResaltadoInterferencias();
}

void ContentView::limpiarComparacionTRELM()
{
    comparacion.trelmActivo = false;
    comparacion.resultadoTRELM.reset();
    if (federacion.modeloBase)
        federacion.modeloBase->hidden = true;
    if (federacion.modeloNuevo)
        federacion.modeloNuevo->hidden = true;
    for (auto& [clave, esp] : federacion.especialidades)
        if (esp.nodoRaiz)
            esp.nodoRaiz->hidden = !esp.isVisible;
    federacionControlador_->aplicarColoresEspecialidades();
    comparacion.trelmStats = EstadisticasTRELM{};
    refrescar();
}

void ContentView::eliminarSeccion(const QUuid& id)
{
    auto& lista = secciones.seccionesGuardadas;
    lista.erase(std::remove_if(lista.begin(), lista.end(), [&](const SeccionGuardada& s) { return s.id == id; }),
                lista.end());
    secciones.seccionPendienteEliminar.reset();
}

void ContentView::eliminarComentario(const QUuid& id)
{
    auto& lista = markup.comentarios;
    lista.erase(std::remove_if(lista.begin(), lista.end(), [&](const ComentarioMarkup& c) { return c.id == id; }),
                lista.end());
    markup.comentarioPendElim.reset();
}

void ContentView::eliminarAnalisis(const QUuid& id)
{
    interferenciasControlador_->eliminarAnalisis(id);
    clashes.analisisPendienteEliminar.reset();
}

// ---------------------------------------------------------------------------------------------
// Comparison slots

void ContentView::cargarSlotTRELM(const QString& slot)
{
    if (comparacion.trelmActivo) {
        comparacion.trelmSlotPendienteCargar = slot;
    } else {
        federacion.seleccionandoTRELM = slot;
        vinculacion.showFilePicker = true;
    }
    refrescar();
}

void ContentView::pedirLimpiarTRELM()
{
    comparacion.confirmarLimpiarTRELM = true;
    refrescar();
}

void ContentView::continuarCargaSlotTRELM()
{
    if (comparacion.trelmSlotPendienteCargar) {
        limpiarComparacionTRELM();
        federacion.seleccionandoTRELM = *comparacion.trelmSlotPendienteCargar;
        vinculacion.showFilePicker = true;
    }
    comparacion.trelmSlotPendienteCargar.reset();
}

// ---------------------------------------------------------------------------------------------
// Measurement

void ContentView::clicMedicion(const scene::Vec3& punto)
{
    procesarClicMedicion(medicion, *escena.scene->rootNode(), punto);
    refrescar();
}

void ContentView::cambiarModoMedicion(ModoMedicion3D modo)
{
    accionBotonModo(medicion, modo);
    refrescar();
}

void ContentView::limpiarMedicion()
{
    limpiarMediciones(medicion);
    refrescar();
}

void ContentView::cerrarPoligono()
{
    cerrarPoligonoArea(medicion, *escena.scene->rootNode());
    refrescar();
}

}  // namespace quelva
