#include "timeline/ControladorTimeLiner.h"

#include "timeline/TimeLinerStore.h"

#include "platform/Queues.h"
#include "render/SceneView.h"
#include "viewport/ViewportController.h"

#include <QElapsedTimer>
#include <QMetaObject>

#include <algorithm>
#include <cmath>

namespace quelva {

namespace {

constexpr qint64 pasoScrubberSegundos = 2'592'000;  // 30 days of seconds, not calendar months
constexpr int ticksPorSegundo = 30;

}  // namespace

ControladorTimeLiner::ControladorTimeLiner(TimeLinerStore& store, ViewportController* viewport,
                                           Especialidades especialidades, QObject* parent)
    : QObject(parent), store_(store), viewport_(viewport), especialidades_(std::move(especialidades))
{
    reloj_ = [clock = std::make_shared<QElapsedTimer>()] {
        if (!clock->isValid())
            clock->start();
        return double(clock->nsecsElapsed()) * 1e-9;
    };
    playTimer_.setInterval(1000 / ticksPorSegundo);
    playTimer_.setTimerType(Qt::PreciseTimer);
    // Each firing posts one tick to the GUI thread's queue; a tick posted before a stop is
    // dropped when it runs.
    connect(&playTimer_, &QTimer::timeout, this, [this] {
        QMetaObject::invokeMethod(
            this,
            [this, corrida = corrida_] {
                if (corrida == corrida_ && estado_.reproduciendo)
                    tickReproduccion();
            },
            Qt::QueuedConnection);
    });
    connect(&store_, &TimeLinerStore::configChanged, this, &ControladorTimeLiner::alCambiarConfig);
}

ControladorTimeLiner::~ControladorTimeLiner()
{
    if (!restaurado_)
        detenerYRestaurar();
    animarVista(false);
}

const TimeLinerConfig& ControladorTimeLiner::config() const
{
    return store_.config();
}

// ---------------------------------------------------------------------------------------------
// Figures

const IndiceAWP& ControladorTimeLiner::indice() const
{
    if (!indice_ || versionIndice_ != store_.version() || !indice_->sobre(config().paquetes)) {
        indice_ = std::make_unique<IndiceAWP>(config());
        versionIndice_ = store_.version();
    }
    return *indice_;
}

double ControladorTimeLiner::progresoEfectivo(const PaqueteAWP& p) const
{
    return quelva::progresoEfectivo(p, modoAvance());
}

double ControladorTimeLiner::progresoAgregadoEfectivo(const PaqueteAWP& p) const
{
    return quelva::progresoAgregadoEfectivo(indice(), p, modoAvance());
}

double ControladorTimeLiner::valorGanadoTotal() const
{
    return quelva::valorGanadoTotal(config(), modoAvance());
}

double ControladorTimeLiner::hhGanadasTotal() const
{
    return quelva::hhGanadasTotal(config(), modoAvance());
}

std::vector<FilaVisible> ControladorTimeLiner::filasVisibles() const
{
    if (filasPreparadas_) {
        FilasPreparadas preparadas = std::move(*filasPreparadas_);
        filasPreparadas_.reset();
        if (preparadas.version == store_.version() && preparadas.expandidosCWA == estado_.expandidosCWA)
            return std::move(preparadas.filas);
    }
    return quelva::filasVisibles(indice(), estado_.expandidosCWA);
}

std::vector<LineasTarjeta> ControladorTimeLiner::lineasTarjetas() const
{
    if (tarjetasPreparadas_) {
        TarjetasPreparadas preparadas = std::move(*tarjetasPreparadas_);
        tarjetasPreparadas_.reset();
        if (preparadas.version == store_.version() && preparadas.seleccionado == estado_.seleccionado)
            return std::move(preparadas.tarjetas);
    }
    return quelva::lineasTarjetas(config(), indice(), estado_.seleccionado);
}

std::optional<TrazadoCurvaS> ControladorTimeLiner::tomarCurvaPreparada(int modo, QSize tamano) const
{
    std::optional<CurvaPreparada> preparada = std::move(curvaPreparada_);
    curvaPreparada_.reset();
    if (!preparada || preparada->version != store_.version() || preparada->pedido.modo != modo ||
        preparada->pedido.tamano != tamano)
        return std::nullopt;
    return std::move(preparada->trazado);
}

const FigurasProyecto& ControladorTimeLiner::figurasProyecto() const
{
    // The window refreshes for every sheet and selection; the sums over every package only
    // when the store or what the progress reads changed.
    const ModoAvance modo = modoAvance();
    const bool vigente = figuras_ && figuras_->version == store_.version() && figuras_->automatico == modo.automatico &&
                         (!modo.automatico || figuras_->fechaScrubber == modo.fechaScrubber);
    if (!vigente)
        figuras_ = FigurasGuardadas{store_.version(), modo.automatico, modo.fechaScrubber,
                                    quelva::figurasProyecto(config(), modo)};
    return figuras_->figuras;
}

// ---------------------------------------------------------------------------------------------
// Showing and closing

void ControladorTimeLiner::irAlInicio()
{
    estado_.fechaScrubber = config().fechaInicio;
    restaurado_ = false;
    const quint64 visita = ++visita_;
    QPointer<ControladorTimeLiner> yo(this);
    platform::MainQueue::postAfter(300, [yo, visita] {
        if (yo && yo->visita_ == visita && !yo->restaurado_)
            yo->sincronizar4D();
    });
    emit cambiado();
}

void ControladorTimeLiner::detenerYRestaurar()
{
    pararTemporizador();
    ++visita_;
    sync_.restaurar();
    if (render::SceneView* v = vista())
        v->update();
    estado_.estadoSync4D.clear();
    restaurado_ = true;
    emit cambiado();
}

// ---------------------------------------------------------------------------------------------
// 4D

render::SceneView* ControladorTimeLiner::vista() const
{
    return viewport_ ? viewport_->scnView.data() : nullptr;
}

std::vector<scene::NodePtr> ControladorTimeLiner::raicesEspecialidades() const
{
    std::vector<scene::NodePtr> r;
    if (especialidades_)
        for (const auto& [clave, esp] : especialidades_())
            if (esp.nodoRaiz)
                r.push_back(esp.nodoRaiz);
    return r;
}

RaicesEscena ControladorTimeLiner::raices() const
{
    RaicesEscena r;
    if (render::SceneView* v = vista()) {
        r.hayVista = true;
        if (v->scene())
            r.raizVista = v->scene()->rootNode();
    }
    r.raicesEspecialidades = raicesEspecialidades();
    return r;
}

void ControladorTimeLiner::sincronizar4D()
{
    restaurado_ = false;
    const QString estado = sync_.sincronizar(config(), store_.version(), estado_.fechaScrubber, raices());
    if (render::SceneView* v = vista())
        v->update();
    if (estado != estado_.estadoSync4D) {
        estado_.estadoSync4D = estado;
        emit cambiado();
    }
}

void ControladorTimeLiner::destacarSeleccion()
{
    if (!estado_.seleccionado) {
        sync_.quitarDestacado();
        return;
    }
    sync_.destacar(nombresDestacado(config(), *estado_.seleccionado), raicesEspecialidades());
    restaurado_ = false;
}

std::optional<QImage> ControladorTimeLiner::imagenFicha(const PaqueteAWP& paquete)
{
    const std::set<QString> nombres = nombresFicha(config(), paquete);
    if (nombres.empty())
        return std::nullopt;
    render::SceneView* v = vista();
    scene::NodePtr raiz;
    if (v && v->scene())
        raiz = v->scene()->rootNode();
    else
        for (const scene::NodePtr& r : raicesEspecialidades())
            if (r->parent()) {
                raiz = r->parent()->shared_from_this();
                break;
            }
    if (!v || !raiz)
        return std::nullopt;
    const auto guardadas = aislarNombres(*raiz, nombres);
    v->update();
    const QImage imagen = v->snapshot();
    devolverOpacidades(guardadas);
    v->update();
    return imagen;
}

void ControladorTimeLiner::alColorearNodo(scene::Node& nodo, const QColor& color)
{
    sync_.alRecolorear(nodo, scene::Color{color.redF(), color.greenF(), color.blueF(), color.alphaF()});
}

void ControladorTimeLiner::escenaCambiada()
{
    sync_.escenaCambiada();
}

// ---------------------------------------------------------------------------------------------
// Scrubber and playback

double ControladorTimeLiner::fraccionScrubber() const
{
    const qint64 d = config().fechaInicio.msecsTo(config().fechaFin);
    if (d <= 0)
        return 0;
    const double f = double(config().fechaInicio.msecsTo(estado_.fechaScrubber)) / double(d);
    return std::max(0.0, std::min(1.0, f));
}

bool ControladorTimeLiner::asignarFecha(const QDateTime& fecha)
{
    if (fecha == estado_.fechaScrubber)
        return false;
    estado_.fechaScrubber = fecha;
    sincronizar4D();
    emit cambiado();
    return true;
}

void ControladorTimeLiner::setFechaScrubber(const QDateTime& fecha)
{
    asignarFecha(fecha);
    anclarReproduccion();
}

void ControladorTimeLiner::arrastrarScrubber(double x, double ancho)
{
    if (!(ancho > 0))  // a track with no width has no position to map
        return;
    const double f = std::max(0.0, std::min(1.0, x / ancho));
    const qint64 d = config().fechaInicio.msecsTo(config().fechaFin);
    if (!asignarFecha(config().fechaInicio.addMSecs(qint64(std::llround(f * double(d))))))
        sincronizar4D();
    anclarReproduccion();
}

void ControladorTimeLiner::retrocederScrubber()
{
    const QDateTime f = std::max(estado_.fechaScrubber.addSecs(-pasoScrubberSegundos), config().fechaInicio);
    if (!asignarFecha(f))
        sincronizar4D();
    anclarReproduccion();
}

void ControladorTimeLiner::avanzarScrubber()
{
    const QDateTime f = std::min(estado_.fechaScrubber.addSecs(pasoScrubberSegundos), config().fechaFin);
    if (!asignarFecha(f))
        sincronizar4D();
    anclarReproduccion();
}

void ControladorTimeLiner::pararTemporizador()
{
    estado_.reproduciendo = false;
    playTimer_.stop();
    ++corrida_;
    animarVista(false);
}

void ControladorTimeLiner::animarVista(bool animar)
{
    if (vistaAnimada_)
        vistaAnimada_->setAnimatingScene(false);
    vistaAnimada_ = animar ? vista() : nullptr;
    if (vistaAnimada_)
        vistaAnimada_->setAnimatingScene(true);
}

void ControladorTimeLiner::setReloj(Reloj reloj)
{
    reloj_ = std::move(reloj);
    anclarReproduccion();
}

void ControladorTimeLiner::anclarReproduccion()
{
    anclaSegundos_ = reloj_();
    anclaFecha_ = estado_.fechaScrubber;
}

QDateTime ControladorTimeLiner::fechaReproduccion() const
{
    const double segundos = (reloj_() - anclaSegundos_) * estado_.velocidad * 86'400.0;
    return anclaFecha_.addMSecs(qint64(std::llround(segundos * 1000.0)));
}

void ControladorTimeLiner::alternarReproduccion()
{
    if (estado_.reproduciendo) {
        pararTemporizador();
    } else {
        // At the end, playback starts over; the first tick synchronises.
        if (estado_.fechaScrubber >= config().fechaFin)
            estado_.fechaScrubber = config().fechaInicio;
        estado_.reproduciendo = true;
        ++corrida_;
        anclarReproduccion();
        animarVista(true);
        playTimer_.start();
    }
    emit cambiado();
}

void ControladorTimeLiner::tickReproduccion()
{
    if (!asignarFecha(fechaReproduccion()))
        sincronizar4D();
    if (estado_.fechaScrubber >= config().fechaFin) {
        pararTemporizador();
        emit cambiado();
    }
}

void ControladorTimeLiner::setVelocidad(double diasPorSegundo)
{
    // The time played so far keeps the old speed.
    if (estado_.reproduciendo) {
        anclaFecha_ = fechaReproduccion();
        anclaSegundos_ = reloj_();
    }
    estado_.velocidad = diasPorSegundo;
    emit cambiado();
}

// ---------------------------------------------------------------------------------------------
// Tree and header

void ControladorTimeLiner::seleccionarPaquete(const PaqueteAWP& paquete)
{
    if (estado_.seleccionado && estado_.seleccionado->id == paquete.id)
        estado_.seleccionado.reset();
    else
        estado_.seleccionado = paquete;
    destacarSeleccion();
    if (render::SceneView* v = vista())
        v->update();
    emit cambiado();
}

void ControladorTimeLiner::alternarExpandidoCWA(const PaqueteAWP& paquete)
{
    if (paquete.nivel != NivelAWP::cwa)
        return;
    if (!estado_.expandidosCWA.erase(paquete.codigo))
        estado_.expandidosCWA.insert(paquete.codigo);
    emit cambiado();
}

void ControladorTimeLiner::editarPaquete(const PaqueteAWP& paquete)
{
    estado_.paqueteEditando = paquete;
    estado_.mostrarEditor = true;
    emit cambiado();
}

void ControladorTimeLiner::nuevoPaquete()
{
    editarPaquete(PaqueteAWP{});
}

void ControladorTimeLiner::abrirDetector()
{
    estado_.mostrarDetector = true;
    emit cambiado();
}

void ControladorTimeLiner::abrirFicha(const PaqueteAWP& paquete)
{
    estado_.fichaAWP = paquete;
    estado_.fichaImagen = imagenFicha(paquete);
    estado_.mostrarFicha = true;
    emit cambiado();
}

void ControladorTimeLiner::setModoAutoAvance(bool activo)
{
    if (estado_.modoAutoAvance == activo)
        return;
    estado_.modoAutoAvance = activo;
    emit cambiado();
}

void ControladorTimeLiner::setMoneda(const QString& moneda)
{
    if (config().moneda != moneda)
        store_.modificar([&](TimeLinerConfig& c) { c.moneda = moneda; });
}

void ControladorTimeLiner::setPanelModo(int modo)
{
    estado_.panelModo = modo;
    emit cambiado();
}

void ControladorTimeLiner::setCurvasModo(int modo)
{
    estado_.curvasModo = modo;
    emit cambiado();
}

void ControladorTimeLiner::setSCurveHoverX(std::optional<double> x)
{
    if (estado_.sCurveHoverX == x)
        return;
    estado_.sCurveHoverX = x;
    emit lecturaCurvaSCambiada();
}

void ControladorTimeLiner::alCambiarConfig()
{
    // The selection follows its package by id: edited, it is the new record; deleted, it goes.
    if (estado_.seleccionado) {
        const auto& paquetes = config().paquetes;
        const auto it = std::find_if(paquetes.begin(), paquetes.end(),
                                     [&](const PaqueteAWP& p) { return p.id == estado_.seleccionado->id; });
        if (it == paquetes.end())
            estado_.seleccionado.reset();
        else
            estado_.seleccionado = *it;
        destacarSeleccion();
    }
    emit cambiado();
}

// ---------------------------------------------------------------------------------------------
// Sheets and the CSV alert

void ControladorTimeLiner::errorSinPaquetesCSV(std::vector<PaqueteAWP> paquetes)
{
    if (!paquetes.empty()) {
        estado_.paquetesCSV = std::make_shared<const std::vector<PaqueteAWP>>(std::move(paquetes));
        estado_.mostrarImportarCSV = true;
    } else {
        estado_.errorCSV = QStringLiteral(
            "No se encontraron paquetes válidos en el CSV.\n\nColumnas requeridas:\n"
            "Nivel, Código, Nombre, Inicio (YYYY-MM-DD), Fin (YYYY-MM-DD)");
    }
    emit cambiado();
}

void ControladorTimeLiner::agregarPaquetesCSV(const std::vector<PaqueteAWP>& paquetes)
{
    // An earlier package of this same confirmation counts as present. One announcement for the
    // whole confirmation: one per package made the window follow ten thousand times.
    std::vector<PaqueteAWP> nuevos = paquetesCSVNuevos(config(), paquetes);
    if (nuevos.empty())
        return;
    store_.modificar([&](TimeLinerConfig& c) { unirPaquetesCSV(c, std::move(nuevos)); });
}

void ControladorTimeLiner::agregarPaquetesCSVEnSegundoPlano(std::shared_ptr<const std::vector<PaqueteAWP>> paquetes,
                                                           std::function<void()> alTerminar,
                                                           std::optional<PedidoCurvaS> curva)
{
    auto entrada = std::make_shared<EntradaConfirmacionCSV>();
    entrada->config = config();
    entrada->elegidos = std::move(paquetes);
    entrada->expandidosCWA = estado_.expandidosCWA;
    entrada->modo = modoAvance();
    entrada->seleccionado = estado_.seleccionado;
    entrada->curva = curva;
    const quint64 version = store_.version();
    // The rows and figures are made for these; the window checks them again when it takes them.
    const std::set<QString> expandidos = entrada->expandidosCWA;
    const ModoAvance modo = entrada->modo;
    const std::optional<PaqueteAWP> seleccionado = entrada->seleccionado;
    const std::optional<PedidoCurvaS> pedido = curva;
    QPointer<TimeLinerStore> store(&store_);
    QPointer<ControladorTimeLiner> yo(this);
    platform::BackgroundQueue::post([entrada, version, expandidos, modo, seleccionado, pedido, store, yo,
                                     alTerminar = std::move(alTerminar)] {
        auto hecho = std::make_shared<ConfirmacionCSV>(prepararConfirmacionCSV(std::move(*entrada)));
        platform::MainQueue::post([hecho, version, expandidos, modo, seleccionado, pedido, store, yo,
                                   alTerminar]() mutable {
            // Another project, or a timeline changed meanwhile: what was merged belongs to neither.
            if (store && store->version() == version && hecho->hayNuevos) {
                if (yo) {
                    // Ready for the version the swap below makes.
                    yo->indice_ = std::move(hecho->indice);
                    yo->versionIndice_ = version + 1;
                    yo->filasPreparadas_ = FilasPreparadas{version + 1, expandidos, std::move(hecho->filas)};
                    yo->figuras_ = FigurasGuardadas{version + 1, modo.automatico, modo.fechaScrubber, hecho->figuras};
                    yo->tarjetasPreparadas_ = TarjetasPreparadas{version + 1, seleccionado, std::move(hecho->tarjetas)};
                    if (pedido && hecho->curva)
                        yo->curvaPreparada_ = CurvaPreparada{version + 1, *pedido, std::move(*hecho->curva)};
                }
                store->modificar([&](TimeLinerConfig& c) {
                    c.paquetes.swap(hecho->config.paquetes);
                    c.fechaInicio = hecho->config.fechaInicio;
                    c.fechaFin = hecho->config.fechaFin;
                });
            }
            if (alTerminar)
                alTerminar();
            // The list the store let go (or the unused result) is freed off the GUI thread.
            platform::BackgroundQueue::post([hecho = std::move(hecho)]() mutable { hecho.reset(); });
        });
    });
}

void ControladorTimeLiner::cerrarErrorCSV()
{
    estado_.errorCSV.reset();
    emit cambiado();
}

void ControladorTimeLiner::hojaCerrada(Hoja hoja)
{
    switch (hoja) {
    case Hoja::editor: estado_.mostrarEditor = false; break;
    case Hoja::detector: estado_.mostrarDetector = false; break;
    case Hoja::ficha: estado_.mostrarFicha = false; break;
    case Hoja::importarCSV: estado_.mostrarImportarCSV = false; break;
    }
    emit cambiado();
}

}  // namespace quelva
