#include "main_window/ColumnaViewport.h"

#include "comments/ui/PanelMarkup.h"
#include "federation/ControladorFederacion.h"
#include "main_window/ContentView.h"
#include "main_window/bienvenida/PantallaBienvenida.h"
#include "platform/ProcessingPanel.h"
#include "render/SceneView.h"
#include "viewport/BarraMedicion.h"
#include "viewport/BarraViewport.h"
#include "viewport/Encuadre.h"
#include "viewport/Medicion3D.h"
#include "viewport/ViewportController.h"

#include <QEvent>
#include <QLabel>

namespace quelva {

ColumnaViewport::ColumnaViewport(ContentView& vista, QWidget* parent) : QWidget(parent), vista_(vista)
{
    setMinimumWidth(480);
    const SceneKitView valor = adaptador();
    coordinador_ = valor.makeCoordinator();
    vista3D_ = valor.makeNSView(*coordinador_, this);

    bienvenida_ = new PantallaBienvenida(this);

    barra_ = new BarraViewport(vista_.corteCamara, [this] { vista_.refrescar(); }, this);
    barraMedicion_ = new BarraMedicion(barra_);
    barra_->setGrupoMedicion(barraMedicion_);
    barra_->installEventFilter(this);
    connect(barra_, &BarraViewport::encuadrarTodoPulsado, this, [this] {
        encuadrarTodo(*vista_.escena.scene, *vista_.viewport());
    });
    connect(barra_, &BarraViewport::presetPulsado, this, [this](VistaPreset preset) {
        aplicarPresetVista(*vista_.escena.scene, *vista_.viewport(), preset);
    });
    connect(barraMedicion_, &BarraMedicion::modoPulsado, this,
            [this](ModoMedicion3D modo) { vista_.cambiarModoMedicion(modo); });
    connect(barraMedicion_, &BarraMedicion::limpiarPulsado, this, [this] { vista_.limpiarMedicion(); });
    connect(barraMedicion_, &BarraMedicion::cerrarPulsado, this, [this] { vista_.cerrarPoligono(); });

    // Conversion in progress: an indeterminate bar and the discipline being processed.
    auto* panel = new platform::ProcessingPanel(this);
    overlay_ = panel;
    overlayTexto_ = panel->label();
    overlay_->hide();

    capasMarkup_ = new CapasMarkup(vista_.controladorComentarios(), this);

    refrescar();
}

ColumnaViewport::~ColumnaViewport() = default;

SceneKitView ColumnaViewport::adaptador() const
{
    SceneKitView v;
    v.scene = vista_.escena.scene;
    v.viewport = vista_.viewport();
    v.onNodeSelected = [vista = &vista_](const scene::NodePtr& nodo) { vista->seleccionarNodo(nodo); };
    v.modoMedicion = vista_.medicion.modoMedicion3D;
    v.puntoA = vista_.medicion.medicionPuntosArea.empty()
                   ? vista_.medicion.medicionPuntoA
                   : std::optional<scene::Vec3>(vista_.medicion.medicionPuntosArea.back());
    if (medicionCompleta(vista_.medicion))
        v.puntoA.reset();  // nothing more to measure from: the hover shows the ring only
    v.puntosArea = vista_.medicion.medicionPuntosArea;
    v.onMedicion = [vista = &vista_](const scene::Vec3& p) { vista->clicMedicion(p); };
    if (vista_.corteCamara.modoCorteCamara)
        v.nearClipOverride = vista_.corteCamara.distanciaCorte;
    return v;
}

QString ColumnaViewport::textoProcesando() const
{
    const EstadoFederacion& fed = vista_.federacion;
    const auto nombreDe = [&](const QString& key) {
        const auto it = fed.especialidades.find(key);
        return it != fed.especialidades.end() ? it->second.nombre : QString();
    };
    QString nombre;
    if (!fed.nombresEnProceso.empty()) {
        // What the latest link or slot run loads, named when its file was chosen.
        nombre = fed.nombresEnProceso.back();
    } else if (const std::optional<QString> key = especialidadEnRestauracion()) {
        nombre = nombreDe(*key);
    } else {
        nombre = nombreDe(fed.seleccionActual);
    }
    return QStringLiteral("Procesando ") + nombre + QStringLiteral("...");
}

std::optional<QString> ColumnaViewport::especialidadEnRestauracion() const
{
    // The first discipline, in display order, with a saved model still converting.
    const EstadoFederacion& fed = vista_.federacion;
    for (const QString& key : fed.ordenEspecialidades) {
        const auto it = fed.especialidades.find(key);
        if (it == fed.especialidades.end())
            continue;
        for (const ModeloPendiente& m : it->second.pendientes)
            if (m.enConversion)
                return key;
    }
    return std::nullopt;
}

bool ColumnaViewport::procesando() const
{
    // Restoring a project converts its models as linking does: the same overlay shows.
    return vista_.federacion.isProcessing || vista_.proyecto.paqueteEnCurso || vista_.proyecto.avisoLectura
           || vista_.controladorFederacion().restauracionesEnCurso() > 0;
}

void ColumnaViewport::refrescar()
{
    adaptador().updateNSView(*vista3D_, *coordinador_);
    // A comparison shown with no linked model is still something to look at.
    bienvenida_->presentar(!vista_.hayModelosCargados() && !vista_.comparacion.trelmActivo);
    barraMedicion_->actualizar(vista_.medicion);
    overlayTexto_->setText(textoProcesando());
    overlay_->setVisible(procesando());
    capasMarkup_->refrescar();
    colocarCapas();
}

void ColumnaViewport::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    colocarCapas();
}

bool ColumnaViewport::eventFilter(QObject* objeto, QEvent* event)
{
    // The toolbar grows with its groups: what keeps clear of it follows, once its mask is set.
    if (objeto == barra_ && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        QMetaObject::invokeMethod(this, &ColumnaViewport::colocarCapas, Qt::QueuedConnection);
    return QWidget::eventFilter(objeto, event);
}

QRegion ColumnaViewport::zonaBarra() const
{
    // The toolbar lets clicks through between its buttons: only the buttons take room.
    const QRegion botones = barra_->mask().isEmpty() ? QRegion(barra_->rect()) : barra_->mask();
    return botones.translated(barra_->pos());
}

void ColumnaViewport::colocarCapas()
{
    vista3D_->setGeometry(rect());
    bienvenida_->setGeometry(rect());
    // Bottom to top: 3D view, welcome screen, toolbar, processing overlay.
    bienvenida_->raise();
    barra_->raise();
    const QRegion barra = zonaBarra();
    bienvenida_->setZonaOcupada(barra);

    // Top trailing, beside the toolbar's buttons of its band rather than over them.
    constexpr int margen = 16;
    overlay_->adjustSize();
    overlay_->resize(std::max(overlay_->width(), 240), overlay_->height());
    const QRect banda(0, margen, width(), overlay_->height());
    int derecha = width() - margen;
    for (const QRect& r : barra)
        if (r.intersects(banda))
            derecha = std::min(derecha, r.left() - margen);
    overlay_->move(std::max(0, derecha - overlay_->width()), margen);
    overlay_->raise();
    // Markup, while it is on, lies over all of them.
    if (capasMarkup_)
        capasMarkup_->colocar(rect());
}

}  // namespace quelva
