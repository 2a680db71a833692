#include "federation/ControladorFederacion.h"

#include "federation/Apariencia.h"
#include "federation/grid/GridNode.h"
#include "federation/Piso.h"
#include "federation/Transformacion.h"
#include "platform/Queues.h"
#include "platform/Resources.h"
#include "platform/TemporaryFiles.h"
#include "viewport/Encuadre.h"
#include "viewport/ViewportController.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>

#include <algorithm>
#include <memory>
#include <set>

namespace quelva {

namespace {

constexpr int kRetrasoEncuadreMs = 150;

QString mensajeMotorAusente()
{
    return QStringLiteral("No se encontró el motor IfcConvert en el bundle de la app.");
}

std::optional<QString> rutaMotor()
{
    return platform::Resources::path(QStringLiteral("IfcConvert"), QString());
}

// Removes a work file when the last holder lets go: a completion dropped unrun (the
// application quitting with results still queued) must not leave its file behind.
struct ArchivoDeTrabajo {
    QString ruta;
    ~ArchivoDeTrabajo() { QFile::remove(ruta); }
};

}  // namespace

void ControladorFederacion::Servicios::conViewport(ViewportController& viewport, scene::ScenePtr escena)
{
    QPointer<ViewportController> vp(&viewport);
    enfocar = [vp](double x, double y, double z, float r) {
        if (vp)
            vp->enfocar(x, y, z, r);
    };
    encuadrarTodo = [vp, escena]() {
        if (vp && escena)
            quelva::encuadrarTodo(*escena, *vp);
    };
}

ControladorFederacion::ControladorFederacion(EstadoFederacion& estado, scene::ScenePtr escena,
                                             Servicios servicios, QObject* parent)
    : QObject(parent), estado_(estado), escena_(std::move(escena)), servicios_(std::move(servicios))
{
}

// ---------------------------------------------------------------------------------------
// Runs in flight and reports

void ControladorFederacion::empezarEjecucion(const QString& nombre)
{
    ++ejecucionesEnCurso_;
    estado_.isProcessing = true;
    estado_.nombresEnProceso.push_back(nombre);
}

void ControladorFederacion::terminarEjecucion()
{
    ejecucionesEnCurso_ = std::max(0, ejecucionesEnCurso_ - 1);
    // The overlay stays while another run is still going.
    estado_.isProcessing = ejecucionesEnCurso_ > 0;
    if (!estado_.isProcessing)
        estado_.nombresEnProceso.clear();
}

void ControladorFederacion::soltarNombreEnProceso(const QString& nombre)
{
    auto& lista = estado_.nombresEnProceso;
    if (const auto it = std::find(lista.begin(), lista.end(), nombre); it != lista.end())
        lista.erase(it);
}

void ControladorFederacion::informarError(const QString& mensaje)
{
    estado_.errorMessage = mensaje;
    estado_.showError = true;
}

void ControladorFederacion::cerrarError()
{
    estado_.showError = false;
    emit estadoCambiado();
}

// ---------------------------------------------------------------------------------------
// File importer, link and slot runs

void ControladorFederacion::seleccionarArchivoIFC(const ResultadoSelectorArchivo& resultado)
{
    if (resultado.error) {
        informarError(QStringLiteral("Error al seleccionar archivo: ") + *resultado.error);
        emit estadoCambiado();
        return;
    }
    if (resultado.archivos.isEmpty())
        return;
    const QString archivo = resultado.archivos.first();
    // Access to a chosen file is always granted here: there is no sandbox.
    if (estado_.seleccionandoTRELM) {
        const QString slot = *estado_.seleccionandoTRELM;
        estado_.seleccionandoTRELM.reset();
        cargarIFCEnSlot(archivo, slot);
        return;
    }
    estado_.fileName = QFileInfo(archivo).fileName();
    vincularIFC(archivo);
}

template <class Convertir, class Integrar>
void ControladorFederacion::ejecutarConversion(const QString& nombre, Convertir convertir, Integrar integrar,
                                               std::function<void(ControladorFederacion&)> alFallar)
{
    empezarEjecucion(nombre);
    const QString rutaOBJ = platform::temporaryWorkPath(QStringLiteral(".obj"));
    const std::optional<QString> motor = rutaMotor();
    if (!motor) {
        soltarNombreEnProceso(nombre);
        terminarEjecucion();
        if (alFallar)
            alFallar(*this);
        informarError(mensajeMotorAusente());
        emit estadoCambiado();
        return;
    }
    emit estadoCambiado();

    QPointer<ControladorFederacion> self(this);
    const int generacion = generacion_;
    platform::BackgroundQueue::post([self, nombre, convertir = std::move(convertir), integrar = std::move(integrar),
                                     alFallar = std::move(alFallar), motor = *motor, rutaOBJ, generacion]() mutable {
        auto salida = convertir(motor, rutaOBJ);
        // A linked model keeps its OBJ until it is placed; with nobody to place it, it goes.
        // Built in place: a copy's destructor would remove the file at once.
        auto obj = std::shared_ptr<const ArchivoDeTrabajo>(new ArchivoDeTrabajo{rutaOBJ});
        platform::MainQueue::post(
            [self, nombre, salida = std::move(salida), integrar = std::move(integrar), alFallar = std::move(alFallar),
             obj, generacion]() mutable {
                if (!self)
                    return;
                self->soltarNombreEnProceso(nombre);
                // Started for a project that has since been closed or replaced: nothing of it
                // lands in the new one (the work file goes with `obj`).
                if (generacion != self->generacion_) {
                    self->terminarEjecucion();
                    emit self->estadoCambiado();
                    return;
                }
                if (auto* error = std::get_if<QString>(&salida)) {
                    self->terminarEjecucion();
                    if (alFallar)
                        alFallar(*self);
                    self->informarError(*error);
                    emit self->estadoCambiado();
                    return;
                }
                integrar(*self, std::get<0>(std::move(salida)));
            });
    });
}

void ControladorFederacion::vincularIFC(const QString& archivo)
{
    // The discipline and the name are taken now: the user may select another discipline or
    // choose another file while this one converts.
    const QString key = estado_.seleccionActual;
    const QString nombre = QFileInfo(archivo).fileName();
    const auto esp = estado_.especialidades.find(key);
    const QString nombreEspecialidad = esp != estado_.especialidades.end() ? esp->second.nombre : QString();
    // Until it is placed the model is part of the project, as one being restored is: a save, a
    // package or the unsaved-changes question meanwhile sees it.
    const QUuid vinculo = anotarVinculoEnCurso(key, nombre, archivo);
    ejecutarConversion(
        nombreEspecialidad,
        [archivo](const QString& motor, const QString& rutaOBJ) { return quelva::convertirIFC(archivo, motor, rutaOBJ); },
        [key, nombre, vinculo](ControladorFederacion& c, ResultadoVinculo r) {
            c.agregarModeloAEspecialidad(std::move(r), key, nombre, vinculo);
        },
        [key, vinculo](ControladorFederacion& c) { c.soltarVinculoEnCurso(key, vinculo); });
}

QUuid ControladorFederacion::anotarVinculoEnCurso(const QString& key, const QString& nombre, const QString& archivo)
{
    const auto it = estado_.especialidades.find(key);
    if (it == estado_.especialidades.end())
        return QUuid();
    ModeloPendiente p;
    p.orden = siguienteOrden(it->second);
    p.nombre = nombre;
    p.rutaAbsoluta = archivo;
    p.rutaEncontrada = archivo;
    p.enConversion = true;
    p.vinculo = QUuid::createUuid();
    it->second.pendientes.push_back(p);
    return p.vinculo;
}

std::optional<int> ControladorFederacion::soltarVinculoEnCurso(const QString& key, const QUuid& vinculo)
{
    const auto it = estado_.especialidades.find(key);
    if (vinculo.isNull() || it == estado_.especialidades.end())
        return std::nullopt;
    auto& pendientes = it->second.pendientes;
    const auto p = std::find_if(pendientes.begin(), pendientes.end(),
                                [&](const ModeloPendiente& m) { return m.vinculo == vinculo; });
    if (p == pendientes.end())
        return std::nullopt;
    const int orden = p->orden;
    pendientes.erase(p);
    return orden;
}

void ControladorFederacion::cargarIFCEnSlot(const QString& archivo, const QString& slot)
{
    const QString fileName = QFileInfo(archivo).fileName();
    // The overlay names the version that loads, in the comparison panel's words.
    ejecutarConversion(
        slot == QStringLiteral("BASE") ? QStringLiteral("versión base") : QStringLiteral("versión nueva"),
        [archivo, slot, fileName](const QString& motor, const QString& rutaOBJ) {
            return quelva::cargarSlotTRELM(archivo, motor, rutaOBJ, slot, fileName);
        },
        [](ControladorFederacion& c, ResultadoSlot r) {
            c.asignarModeloSlotTRELM(r.slot, std::move(r.nodo), r.fileName, std::move(r.globalIds));
        });
}

void ControladorFederacion::fusionarPropiedades(const QString& key, TablaPropiedadesIFC tabla)
{
    TablaPropiedadesIFC& destino = estado_.propiedadesIFC[key];
    // An element of the new file replaces the old entry as a whole.
    for (auto& [nombre, propiedades] : tabla)
        destino[nombre] = std::move(propiedades);
}

const scene::NodePtr& ControladorFederacion::raizEspecialidad(const QString& key)
{
    EspecialidadBIM& esp = estado_.especialidades.at(key);
    if (!esp.nodoRaiz) {
        esp.nodoRaiz = scene::Node::make();
        esp.nodoRaiz->name = "esp_" + key.toStdString();
        escena_->rootNode()->addChild(esp.nodoRaiz);
    }
    return esp.nodoRaiz;
}

void ControladorFederacion::fusionarGrillas(std::vector<EjeGrilla> grillas)
{
    if (grillas.empty())
        return;
    std::set<std::pair<std::string, bool>> conocidas;
    for (const EjeGrilla& eje : estado_.grillasIFC)
        conocidas.insert({eje.tag, eje.esU});
    for (EjeGrilla& eje : grillas)
        if (!conocidas.contains({eje.tag, eje.esU}))
            estado_.grillasIFC.push_back(std::move(eje));
    construirNodoGrillas();
}

int ControladorFederacion::siguienteOrden(const EspecialidadBIM& esp)
{
    int siguiente = 0;
    for (const ModeloVinculado& m : esp.modelos)
        siguiente = std::max(siguiente, m.orden + 1);
    for (const ModeloPendiente& m : esp.pendientes)
        siguiente = std::max(siguiente, m.orden + 1);
    return siguiente;
}

void ControladorFederacion::agregarModeloAEspecialidad(ResultadoVinculo resultado, const QString& key,
                                                       const QString& nombre, const QUuid& vinculo)
{
    if (!estado_.especialidades.contains(key)) {
        // The discipline went away while the file converted: nothing is linked, and the user
        // is told rather than left with an empty root node.
        terminarEjecucion();
        informarError(QStringLiteral("No se pudo vincular «%1»: la especialidad %2 ya no existe.")
                          .arg(nombre, key));
        QFile::remove(resultado.rutaOBJ);
        emit estadoCambiado();
        return;
    }

    fusionarPropiedades(key, std::move(resultado.propiedades));
    fusionarGlobalIdsUnivocos(estado_.globalIdsIFC[key], resultado.globalIds);
    const scene::NodePtr& raiz = raizEspecialidad(key);

    EspecialidadBIM& esp = estado_.especialidades.at(key);
    const std::optional<int> orden = soltarVinculoEnCurso(key, vinculo);
    ModeloVinculado modelo;
    modelo.nombre = nombre;
    modelo.nodo = resultado.nodo;
    modelo.isVisible = true;
    modelo.transparencia = 0;
    modelo.rutaOrigen = resultado.archivo;
    modelo.orden = orden.value_or(siguienteOrden(esp));
    // The place it held while converting, which a save made meanwhile wrote.
    const auto lugar = std::find_if(esp.modelos.begin(), esp.modelos.end(),
                                    [&](const ModeloVinculado& m) { return m.orden > modelo.orden; });
    esp.modelos.insert(lugar, modelo);
    raiz->addChild(resultado.nodo);

    if (const std::optional<scene::Color> color = colorEspecialidadSRGB(esp.colorOriginal)) {
        resultado.nodo->visitDescendants([&](scene::Node& n) {
            fijarTransparenciaModelo(n, *color);
            return false;
        });
    }
    aplicarColores();

    fusionarGrillas(std::move(resultado.grillas));

    terminarEjecucion();
    actualizarPiso();

    QPointer<ControladorFederacion> self(this);
    platform::MainQueue::postAfter(kRetrasoEncuadreMs, [self]() {
        if (self && self->servicios_.encuadrarTodo)
            self->servicios_.encuadrarTodo();
    });

    QFile::remove(resultado.rutaOBJ);
    emit estadoCambiado();
}

void ControladorFederacion::asignarModeloSlotTRELM(const QString& slot, scene::NodePtr nodo,
                                                   const QString& fileName, MapaGlobalIds globalIds)
{
    const bool base = slot == QStringLiteral("BASE");
    scene::NodePtr& modelo = base ? estado_.modeloBase : estado_.modeloNuevo;
    if (modelo)
        modelo->removeFromParent();
    modelo = nodo;
    (base ? estado_.fileNameBase : estado_.fileNameNuevo) = fileName;
    (base ? estado_.globalIdTrelmBase : estado_.globalIdTrelmNuevo) = std::move(globalIds);

    if (nodo) {
        nodo->hidden = true;
        escena_->rootNode()->addChild(nodo);
    }
    terminarEjecucion();
    if (servicios_.trelmActivo && servicios_.trelmActivo() && servicios_.compararVersionesTRELM)
        servicios_.compararVersionesTRELM();
    emit estadoCambiado();
}

// ---------------------------------------------------------------------------------------
// Project restore

int ControladorFederacion::nuevaGeneracionProyecto()
{
    restauracionesEnCurso_ = 0;
    informeRestauracionPendiente_ = false;
    return ++generacion_;
}

bool ControladorFederacion::restaurarModeloGuardado(const QString& ruta, const QString& key,
                                                    const QString& nombre, bool isVisible,
                                                    double transparencia)
{
    const std::optional<QString> motor = rutaMotor();
    if (!motor)
        return false;
    EntradaRestauracion entrada;
    entrada.fuente = ruta;
    entrada.motor = *motor;
    entrada.rutaOBJ = platform::temporaryWorkPath(QStringLiteral(".obj"));
    entrada.key = key;
    const auto it = estado_.especialidades.find(key);
    entrada.orden = it == estado_.especialidades.end() ? 0 : siguienteOrden(it->second);
    entrada.nombre = nombre;
    entrada.isVisible = isVisible;
    entrada.transparencia = transparencia;
    entrada.ruta = ruta;
    convertirEnSegundoPlano(entrada);
    return true;
}

bool ControladorFederacion::restaurarModeloPendiente(const QString& key, int orden, const QString& ruta)
{
    const auto it = estado_.especialidades.find(key);
    if (it == estado_.especialidades.end())
        return false;
    auto& pendientes = it->second.pendientes;
    const auto p = std::find_if(pendientes.begin(), pendientes.end(),
                                [orden](const ModeloPendiente& m) { return m.orden == orden; });
    if (p == pendientes.end())
        return false;
    p->rutaEncontrada = ruta;
    const std::optional<QString> motor = rutaMotor();
    if (!motor)
        return false;
    EntradaRestauracion entrada;
    entrada.fuente = ruta;
    entrada.motor = *motor;
    entrada.rutaOBJ = platform::temporaryWorkPath(QStringLiteral(".obj"));
    entrada.key = key;
    entrada.orden = orden;
    entrada.nombre = p->nombre;
    entrada.isVisible = p->isVisible;
    entrada.transparencia = p->transparencia;
    entrada.ruta = ruta;
    entrada.transformacion = p->transformacion;
    p->enConversion = true;
    convertirEnSegundoPlano(entrada);
    return true;
}

void ControladorFederacion::cerrarInicioRestauracion()
{
    informeRestauracionPendiente_ = true;
    if (restauracionesEnCurso_ == 0)
        terminarRestauracion();
}

QString ControladorFederacion::mensajeModelosNoRestaurados() const
{
    QStringList lineas;
    QStringList claves = estado_.ordenEspecialidades;
    for (const auto& [key, esp] : estado_.especialidades)
        if (!claves.contains(key))
            claves.append(key);
    for (const QString& key : claves) {
        const auto it = estado_.especialidades.find(key);
        if (it == estado_.especialidades.end())
            continue;
        for (const ModeloPendiente& m : it->second.pendientes) {
            if (m.enConversion)
                continue;
            QString ruta = m.rutaEncontrada;
            if (ruta.isEmpty())
                ruta = !m.rutaAbsoluta.isEmpty() ? m.rutaAbsoluta : m.rutaRelativa.value_or(QString());
            lineas.append(QStringLiteral("No se pudo restaurar «%1» (%2): se conserva en el proyecto.").arg(m.nombre, ruta));
        }
    }
    return lineas.join(QLatin1Char('\n'));
}

void ControladorFederacion::terminarRestauracion()
{
    if (!informeRestauracionPendiente_ || restauracionesEnCurso_ > 0)
        return;
    informeRestauracionPendiente_ = false;
    const QString mensaje = mensajeModelosNoRestaurados();
    if (!mensaje.isEmpty()) {
        informarError(mensaje);
        emit estadoCambiado();
    }
}

void ControladorFederacion::convertirEnSegundoPlano(const EntradaRestauracion& entrada)
{
    const int generacion = generacion_;
    ++restauracionesEnCurso_;
    QPointer<ControladorFederacion> self(this);
    platform::BackgroundQueue::post([self, entrada, generacion]() {
        std::optional<ResultadoRestauracion> r = quelva::convertirEnSegundoPlano(entrada);
        if (!r) {
            platform::MainQueue::post([self, key = entrada.key, orden = entrada.orden, generacion]() {
                if (self)
                    self->restauracionFallida(key, orden, generacion);
            });
            return;
        }
        platform::MainQueue::post([self, r = std::move(*r), generacion]() mutable {
            if (self)
                self->integrarModeloRestaurado(std::move(r), generacion);
        });
    });
}

void ControladorFederacion::restauracionFallida(const QString& key, int orden, int generacion)
{
    if (generacion != generacion_)
        return;
    restauracionesEnCurso_ = std::max(0, restauracionesEnCurso_ - 1);
    if (const auto it = estado_.especialidades.find(key); it != estado_.especialidades.end())
        for (ModeloPendiente& m : it->second.pendientes)
            if (m.orden == orden)
                m.enConversion = false;
    terminarRestauracion();
    emit estadoCambiado();
}

void ControladorFederacion::integrarModeloRestaurado(ResultadoRestauracion resultado, int generacion)
{
    // A model converted for a project that has since been closed or replaced.
    if (generacion != generacion_)
        return;
    restauracionesEnCurso_ = std::max(0, restauracionesEnCurso_ - 1);
    if (!estado_.especialidades.contains(resultado.key)) {
        informarError(QStringLiteral("No se pudo restaurar «%1»: la especialidad %2 no existe.")
                          .arg(resultado.nombre, resultado.key));
        emit estadoCambiado();
        return;
    }

    fusionarPropiedades(resultado.key, std::move(resultado.propiedades));
    fusionarGlobalIdsUnivocos(estado_.globalIdsIFC[resultado.key], resultado.globalIds);
    const scene::NodePtr& raiz = raizEspecialidad(resultado.key);

    EspecialidadBIM& esp = estado_.especialidades.at(resultado.key);
    std::erase_if(esp.pendientes, [&](const ModeloPendiente& m) { return m.orden == resultado.orden; });
    ModeloVinculado modelo;
    modelo.nombre = resultado.nombre;
    modelo.nodo = resultado.nodo;
    modelo.isVisible = resultado.isVisible;
    modelo.transparencia = resultado.transparencia;
    modelo.rutaOrigen = resultado.ruta;
    modelo.orden = resultado.orden;
    if (resultado.transformacion) {
        modelo.transformacion = *resultado.transformacion;
        aplicarTransformacionANodo(*resultado.nodo, modelo.transformacion);
    }
    // Its saved place, whatever order the conversions end in.
    const auto lugar = std::find_if(esp.modelos.begin(), esp.modelos.end(),
                                    [&](const ModeloVinculado& m) { return m.orden > resultado.orden; });
    esp.modelos.insert(lugar, modelo);
    raiz->addChild(resultado.nodo);

    if (!resultado.isVisible)
        resultado.nodo->hidden = true;
    if (const std::optional<scene::Color> color = colorEspecialidadSRGB(esp.colorOriginal)) {
        const double opacidad = 1.0 - resultado.transparencia;
        resultado.nodo->visitDescendants([&](scene::Node& n) {
            aplicarMaterialRestaurado(n, *color, opacidad);
            return false;
        });
    }
    aplicarColores();
    fusionarGrillas(std::move(resultado.grillas));
    if (servicios_.encuadrarTodo)
        servicios_.encuadrarTodo();
    actualizarPiso();
    terminarRestauracion();
    emit estadoCambiado();
}

// ---------------------------------------------------------------------------------------
// Disciplines

void ControladorFederacion::zoomEspecialidad(const QString& key)
{
    const auto it = estado_.especialidades.find(key);
    if (it == estado_.especialidades.end() || !it->second.nodoRaiz)
        return;
    // The root node's box holds its models after their transformations.
    enfocarCaja(it->second.nodoRaiz->boundingBox());
}

void ControladorFederacion::desvincularTodos(const QString& key)
{
    const auto it = estado_.especialidades.find(key);
    if (it == estado_.especialidades.end())
        return;
    EspecialidadBIM& esp = it->second;
    if (esp.nodoRaiz)
        esp.nodoRaiz->removeFromParent();
    esp.nodoRaiz.reset();
    esp.modelos.clear();
    esp.pendientes.clear();
    esp.isVisible = true;
    estado_.propiedadesIFC.erase(key);
    estado_.globalIdsIFC.erase(key);
    if (servicios_.hayInterferencias && servicios_.hayInterferencias() && servicios_.quitarResaltado)
        servicios_.quitarResaltado();
    emit estadoCambiado();
}

std::optional<QString> ControladorFederacion::especialidadDeNodo(const scene::Node& nodo) const
{
    for (const auto& [key, esp] : estado_.especialidades) {
        if (esp.nodoRaiz && esp.nodoRaiz.get() != &nodo && esp.nodoRaiz->isAncestorOf(nodo))
            return key;
    }
    return std::nullopt;
}

void ControladorFederacion::alternarVisibilidadEspecialidad(const QString& key)
{
    const auto it = estado_.especialidades.find(key);
    if (it == estado_.especialidades.end())
        return;
    EspecialidadBIM& esp = it->second;
    esp.isVisible = !esp.isVisible;
    if (!esp.isVisible) {
        if (esp.nodoRaiz)
            esp.nodoRaiz->hidden = true;
    } else {
        if (esp.nodoRaiz)
            esp.nodoRaiz->hidden = false;
        for (const ModeloVinculado& m : esp.modelos)
            if (m.nodo)
                m.nodo->hidden = !m.isVisible;
    }
    emit estadoCambiado();
}

void ControladorFederacion::alternarResaltadoModelo(const QString& key, const QUuid& modeloId)
{
    for (const scene::NodePtr& n : estado_.nodosResaltados)
        if (n->geometry && n->geometry->firstMaterial())
            n->geometry->firstMaterial()->emission.contents = scene::Color::black();
    estado_.nodosResaltados.clear();

    if (estado_.modeloResaltadoId == modeloId) {
        estado_.modeloResaltadoId.reset();
        emit estadoCambiado();
        return;
    }
    const auto it = estado_.especialidades.find(key);
    if (it == estado_.especialidades.end()) {
        emit estadoCambiado();
        return;
    }
    const auto& modelos = it->second.modelos;
    const auto m = std::find_if(modelos.begin(), modelos.end(),
                                [&](const ModeloVinculado& x) { return x.id == modeloId; });
    if (m == modelos.end() || !m->nodo) {
        emit estadoCambiado();
        return;
    }
    estado_.modeloResaltadoId = modeloId;
    m->nodo->visitDescendants([this](scene::Node& n) {
        if (n.geometry) {
            if (const scene::MaterialPtr mat = n.geometry->firstMaterial())
                mat->emission.contents = scene::Color{0, 0.75, 1.0, 1};
            estado_.nodosResaltados.push_back(n.shared_from_this());
        }
        return false;
    });

    // The model as it stands in the scene: after its unit scale, offset and rotation.
    enfocarCaja(cajaTransformada(*m->nodo));
    emit estadoCambiado();
}

void ControladorFederacion::enfocarCaja(const scene::Box& caja)
{
    // An empty box leaves the camera where it is.
    if (caja.min == caja.max)
        return;
    const scene::Vec3 centro = (caja.min + caja.max) * 0.5;
    const scene::Vec3 lados = caja.max - caja.min;
    double radio = std::max({lados.x, lados.y, lados.z});
    if (!(radio > 0))
        radio = 10.0;
    if (servicios_.enfocar)
        servicios_.enfocar(centro.x, centro.y, centro.z, static_cast<float>(radio));
}

// ---------------------------------------------------------------------------------------
// Appearance, grid node, floor

void ControladorFederacion::aplicarColoresEspecialidades()
{
    aplicarColores();
    emit estadoCambiado();
}

void ControladorFederacion::aplicarColores()
{
    scene::Node* seleccionado = servicios_.nodoSeleccionado ? servicios_.nodoSeleccionado() : nullptr;
    std::optional<QColor> colorSeleccionado;
    aplicarColoresModelos(estado_.especialidades, [&](scene::Node& n, const QColor& color) {
        if (&n == seleccionado)
            colorSeleccionado = color;
        if (servicios_.alColorear)
            servicios_.alColorear(n, color);
    });
    // The selected element now wears its discipline colour: that is what deselecting it must
    // give back, not the colour it had when it was selected.
    if (colorSeleccionado && servicios_.recordarDiffuseSeleccionado)
        servicios_.recordarDiffuseSeleccionado(*colorSeleccionado);
    if (servicios_.seccionActiva && servicios_.seccionActiva() && servicios_.actualizarPlanoSeccion)
        servicios_.actualizarPlanoSeccion();
}

void ControladorFederacion::construirNodoGrillas()
{
    estado_.nodoGrillasIFC =
        reemplazarNodoGrillasIFC(*escena_->rootNode(), estado_.nodoGrillasIFC, estado_.grillasIFC);
}

void ControladorFederacion::actualizarPiso()
{
    quelva::actualizarPiso(*escena_->rootNode());
}

// ---------------------------------------------------------------------------------------
// Transformation sheet

void ControladorFederacion::aplicarTransformacion(const QString& key, const QUuid& modeloId,
                                                  const TransformacionModelo& t)
{
    const auto it = estado_.especialidades.find(key);
    if (it == estado_.especialidades.end())
        return;
    auto& modelos = it->second.modelos;
    const auto m = std::find_if(modelos.begin(), modelos.end(),
                                [&](const ModeloVinculado& x) { return x.id == modeloId; });
    if (m == modelos.end())
        return;
    m->transformacion = t;
    if (m->nodo)
        aplicarTransformacionANodo(*m->nodo, t);
    emit estadoCambiado();
}

void ControladorFederacion::confirmarTransformacion()
{
    if (estado_.modeloEditandoTransformacion) {
        const DireccionModelo dir = *estado_.modeloEditandoTransformacion;
        aplicarTransformacion(dir.key, dir.modeloId, estado_.transformacionEditando);
    }
    estado_.modeloEditandoTransformacion.reset();
    emit estadoCambiado();
}

void ControladorFederacion::cancelarTransformacion()
{
    estado_.modeloEditandoTransformacion.reset();
    emit estadoCambiado();
}

// ---------------------------------------------------------------------------------------
// Colour picker sheet

void ControladorFederacion::aplicarColorEspecialidad()
{
    if (estado_.colorPickerKey) {
        const auto it = estado_.especialidades.find(*estado_.colorPickerKey);
        if (it != estado_.especialidades.end())
            it->second.colorOriginal = estado_.colorPickerColor;
        aplicarColores();
    }
    estado_.colorPickerKey.reset();
    emit estadoCambiado();
}

void ControladorFederacion::cancelarSelectorColor()
{
    estado_.colorPickerKey.reset();
    emit estadoCambiado();
}

}  // namespace quelva
