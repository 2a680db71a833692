#include "main_window/ContentView.h"

#include "clash/ControladorInterferencias.h"
#include "comments/ControladorComentarios.h"
#include "federation/ControladorFederacion.h"
#include "federation/ui/EditorTransformacionDialog.h"
#include "federation/ui/SelectorColorDialog.h"
#include "main_window/ColumnaViewport.h"
#include "main_window/dialogos/Confirmaciones.h"
#include "main_window/dialogos/HojaNuevaEspecialidad.h"
#include "main_window/federacion/SelectorArchivoIFC.h"
#include "main_window/interferencias/HojaConfigAnalisis.h"
#include "main_window/inspector/ColumnaInspector.h"
#include "main_window/sidebar/Sidebar.h"
#include "platform/AlertTitle.h"
#include "platform/NotificationCenter.h"
#include "platform/SystemColors.h"
#include "platform/UserInfo.h"
#include "project/GestorProyecto.h"
#include "render/SceneView.h"
#include "sections/AlmacenesSeccion.h"
#include "timeline/TimeLinerStore.h"
#include "viewport/ViewportController.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>

namespace quelva {

ContentView::ContentView(QWidget* parent) : QWidget(parent)
{
    using platform::SystemColor;
    disciplinas.nuevaEspColor = platform::systemColor(SystemColor::teal);
    markup.markupAutor = platform::userFullName();

    viewport_ = new ViewportController(this);
    almacenCotas_ = new AlmacenCotas(this);
    almacenEtiquetas_ = new AlmacenEtiquetas(this);
    gestor_ = new GestorProyecto(this);
    timeLinerStore_ = new TimeLinerStore(TimeLinerConfig{}, this);

    ControladorFederacion::Servicios servicios;
    servicios.conViewport(*viewport_, escena.scene);
    servicios.hayInterferencias = [this] { return !clashes.interferencias.empty(); };
    servicios.quitarResaltado = [this] { quitarResaltado(); };
    servicios.seccionActiva = [this] { return secciones.seccionActiva; };
    servicios.actualizarPlanoSeccion = [this] { actualizarPlanoSeccion(); };
    servicios.trelmActivo = [this] { return comparacion.trelmActivo; };
    servicios.compararVersionesTRELM = [this] { compararVersionesTRELM(); };
    servicios.nodoSeleccionado = [this] { return seleccion.nodoSeleccionado.get(); };
    servicios.recordarDiffuseSeleccionado = [this](const QColor& c) { seleccion.diffuseOriginalSeleccionado = c; };
    servicios.alColorear = [this](scene::Node& n, const QColor& c) { colorDevueltoATimeLiner(n, c); };
    federacionControlador_ = new ControladorFederacion(federacion, escena.scene, std::move(servicios), this);
    connect(federacionControlador_, &ControladorFederacion::estadoCambiado, this, &ContentView::refrescar);
    ControladorInterferencias::Servicios serviciosClash;
    serviciosClash.especialidades = [this]() -> const auto& { return federacion.especialidades; };
    serviciosClash.generacionProyecto = [this] { return federacionControlador_->generacionProyecto(); };
    serviciosClash.viewport = viewport_;
    interferenciasControlador_ = new ControladorInterferencias(clashes, std::move(serviciosClash), this);
    connect(interferenciasControlador_, &ControladorInterferencias::estadoCambiado, this, &ContentView::refrescar);
    connect(timeLinerStore_, &TimeLinerStore::configChanged, this, &ContentView::refrescar);

    ControladorComentarios::Servicios comentarios;
    comentarios.hayModelosCargados = [this] { return hayModelosCargados(); };
    comentarios.snapshot = [this] {
        render::SceneView* vista3D = columnaViewport_ ? columnaViewport_->vista3D() : nullptr;
        return vista3D ? vista3D->snapshot() : QImage();
    };
    comentarios.guardarVentanaReporte = [this](QWidget* v) { ventanas.reportWindows.append(v); };
    comentarios.ventana = [this] { return static_cast<QWidget*>(this); };
    comentariosControlador_ = new ControladorComentarios(markup, std::move(comentarios), this);
    connect(comentariosControlador_, &ControladorComentarios::estadoCambiado, this, &ContentView::refrescar);

    construirVista();
    suscribirComandos();
    refrescar();
    marcarSinCambios();
}

ContentView::~ContentView()
{
    // Sheets and alerts hold references into this view's state.
    for (QDialog* d : {selectorArchivo_.data(), hojaNuevaEspecialidad_.data(), hojaColor_.data(),
                       hojaTransformacion_.data(), hojaConfigAnalisis_.data(),
                       static_cast<QDialog*>(selectorGuardado_.data()),
                       static_cast<QDialog*>(selectorAbrirProyecto_.data()),
                       static_cast<QDialog*>(selectorExportarPaquete_.data()),
                       static_cast<QDialog*>(selectorAbrirPaquete_.data()),
                       static_cast<QDialog*>(alertaReemplazarPaquete_.data()),
                       static_cast<QDialog*>(alertaPaqueteExportado_.data()),
                       static_cast<QDialog*>(alertaGuardarCambios_.data())})
        delete d;
    for (QMessageBox* a : {alertaError_.data(), alertaEliminarModelo_.data(), alertaLimpiarTRELM_.data(),
                           alertaCargarSlot_.data(), alertaEliminarSeccion_.data(), alertaEliminarComentario_.data(),
                           alertaEliminarAnalisis_.data()})
        delete a;
    // The tool windows live as long as this view.
    for (const ListaVentanas* lista :
         {&ventanas.reportWindows, &timeline.timeLinerWindows, &timeLinerCerrandose_, &secciones.vista2DWindows})
        for (const QPointer<QWidget>& v : *lista)
            delete v.data();
}

void ContentView::construirVista()
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* columnas = new QSplitter(Qt::Horizontal, this);
    columnas->setChildrenCollapsible(false);
    columnas->setHandleWidth(1);
    sidebar_ = new Sidebar(*this, columnas);
    columnaViewport_ = new ColumnaViewport(*this, columnas);
    columnaInspector_ = new ColumnaInspector(*this, columnas);
    columnas->addWidget(sidebar_);
    columnas->addWidget(columnaViewport_);
    columnas->addWidget(columnaInspector_);
    columnas->setStretchFactor(0, 0);
    columnas->setStretchFactor(1, 1);
    columnas->setStretchFactor(2, 0);
    columnas->setSizes({320, 900, 220});
    layout->addWidget(columnas);

    connect(this, &ContentView::estadoCambiado, columnaViewport_, &ColumnaViewport::refrescar);
    connect(this, &ContentView::estadoCambiado, columnaInspector_, &ColumnaInspector::refrescar);
}

void ContentView::suscribirComandos()
{
    auto& centro = platform::NotificationCenter::defaultCenter();
    namespace N = platform::NotificationName;
    centro.subscribe(N::abrirIFC, this, [this] {
        vinculacion.showFilePicker = true;
        refrescar();
    });
    centro.subscribe(N::guardarProyecto, this, [this] { guardarProyecto(); });
    centro.subscribe(N::abrirProyecto, this, [this] { abrirProyecto(); });
    centro.subscribe(N::exportarPaquete, this, [this] { exportarPaquete(); });
    centro.subscribe(N::importarPaquete, this, [this] { importarPaquete(); });
    centro.subscribe(N::abrirQTO, this, [this] { abrirQTO(); });
}

void ContentView::modificarEspecialidades(const std::function<void(std::map<QString, EspecialidadBIM>&)>& cambio)
{
    if (!cambio)
        return;
    cambio(federacion.especialidades);
    emit especialidadesCambiadas();
}

bool ContentView::hayModelosCargados() const
{
    return federacion.hayModelosCargados();
}

void ContentView::seleccionarArchivoIFC(const QStringList& archivos)
{
    federacionControlador_->seleccionarArchivoIFC(ResultadoSelectorArchivo{archivos, std::nullopt});
    refrescar();
}

void ContentView::vincularArchivo(const QString& key)
{
    federacion.seleccionActual = key;
    vinculacion.showFilePicker = true;
    refrescar();
}

void ContentView::informarError(const QString& mensaje)
{
    federacion.errorMessage = mensaje;
    federacion.showError = true;
    refrescar();
}

void ContentView::refrescar()
{
    if (restaurando_)
        return;
    if (sidebar_)
        sidebar_->refrescar();
    emit estadoCambiado();
    presentarDialogos();
}

void ContentView::refrescarConTarjetas(TarjetasSidebar tarjetas)
{
    if (restaurando_)
        return;
    if (sidebar_)
        sidebar_->refrescarTarjetas(tarjetas);
    emit estadoCambiado();
    presentarDialogos();
}

QDialog* ContentView::dialogoActivo() const
{
    for (QDialog* d : {static_cast<QDialog*>(alertaError_.data()), static_cast<QDialog*>(alertaEliminarModelo_.data()),
                       static_cast<QDialog*>(alertaLimpiarTRELM_.data()), static_cast<QDialog*>(alertaCargarSlot_.data()),
                       static_cast<QDialog*>(alertaEliminarSeccion_.data()),
                       static_cast<QDialog*>(alertaEliminarComentario_.data()),
                       static_cast<QDialog*>(alertaEliminarAnalisis_.data()), hojaNuevaEspecialidad_.data(),
                       hojaColor_.data(), hojaTransformacion_.data(), hojaConfigAnalisis_.data(),
                       selectorArchivo_.data(), static_cast<QDialog*>(selectorGuardado_.data()),
                       static_cast<QDialog*>(selectorAbrirProyecto_.data()),
                       static_cast<QDialog*>(selectorExportarPaquete_.data()),
                       static_cast<QDialog*>(selectorAbrirPaquete_.data()),
                       static_cast<QDialog*>(alertaReemplazarPaquete_.data()),
                       static_cast<QDialog*>(alertaPaqueteExportado_.data()),
                       static_cast<QDialog*>(alertaGuardarCambios_.data())})
        if (d && d->isVisible())
            return d;
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Sheets and alerts follow the state: each is shown while its field asks for it, once.

void ContentView::presentarAlerta(QPointer<QMessageBox>& ranura, const QString& titulo, const QString& mensaje,
                                  const QString& confirmar, bool destructivo, std::function<void()> alConfirmar,
                                  std::function<void()> alCerrar)
{
    if (ranura)
        return;
    auto* alerta = new QMessageBox(QMessageBox::NoIcon, titulo, mensaje, QMessageBox::NoButton, this);
    alerta->setAttribute(Qt::WA_DeleteOnClose);
    alerta->setWindowModality(Qt::WindowModal);
    QPushButton* si = nullptr;
    if (alConfirmar) {
        si = alerta->addButton(confirmar, destructivo ? QMessageBox::DestructiveRole : QMessageBox::AcceptRole);
        si->setObjectName(QStringLiteral("botonConfirmar"));
        auto* cancelar = alerta->addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
        cancelar->setObjectName(QStringLiteral("botonCancelar"));
        alerta->setEscapeButton(cancelar);
        alerta->setDefaultButton(cancelar);
    } else {
        auto* ok = alerta->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        ok->setObjectName(QStringLiteral("botonCancelar"));
        alerta->setEscapeButton(ok);
    }
    // Closing the alert in any way clears what it was asking about; only the confirm button acts.
    connect(alerta, &QMessageBox::finished, this, [this, alerta, si, alConfirmar, alCerrar] {
        const bool confirmado = si && alerta->clickedButton() == si;
        if (confirmado && alConfirmar)
            alConfirmar();
        if (alCerrar)
            alCerrar();
        QMetaObject::invokeMethod(this, &ContentView::refrescar, Qt::QueuedConnection);
    });
    ranura = alerta;
    platform::keepAlertTitleWhole(*alerta);
    alerta->open();
}

void ContentView::presentarSelectorArchivo()
{
    if (selectorArchivo_)
        return;
    auto* dialogo = new QFileDialog(this, QStringLiteral("Abrir IFC"));
    dialogo->setAttribute(Qt::WA_DeleteOnClose);
    configurarSelectorArchivoIFC(*dialogo);
    connect(dialogo, &QFileDialog::finished, this, [this, dialogo](int resultado) {
        vinculacion.showFilePicker = false;
        const QStringList archivos = resultado == QDialog::Accepted ? dialogo->selectedFiles() : QStringList{};
        if (archivos.isEmpty()) {
            federacion.seleccionandoTRELM.reset();
            QMetaObject::invokeMethod(this, &ContentView::refrescar, Qt::QueuedConnection);
            return;
        }
        QMetaObject::invokeMethod(
            this, [this, archivos] { seleccionarArchivoIFC(archivos); }, Qt::QueuedConnection);
    });
    selectorArchivo_ = dialogo;
    dialogo->open();
}

void ContentView::presentarDialogos()
{
    if (presentando_)
        return;
    presentando_ = true;

    if (vinculacion.showFilePicker)
        presentarSelectorArchivo();
    if (proyecto.showSavePicker)
        presentarSelectorGuardado();

    if (disciplinas.mostrarNuevaEsp && !hojaNuevaEspecialidad_) {
        auto* hoja = new HojaNuevaEspecialidad(*this, this);
        hojaNuevaEspecialidad_ = hoja;
        hoja->open();
    }

    if (federacion.showError && federacion.errorMessage) {
        // A later error while the alert is up is the one its "OK" dismisses: show that one.
        if (alertaError_ && alertaError_->isVisible())
            alertaError_->setText(*federacion.errorMessage);
        presentarAlerta(alertaError_, QStringLiteral("Error"), *federacion.errorMessage, {}, false, nullptr, [this] {
            federacion.showError = false;
            federacion.errorMessage.reset();
        });
    }

    if (modelosVinculados.modeloPendienteEliminar) {
        const DireccionModelo d = *modelosVinculados.modeloPendienteEliminar;
        presentarAlerta(
            alertaEliminarModelo_, QStringLiteral("Eliminar modelo"), mensajeEliminarModelo(d.nombre),
            QStringLiteral("Eliminar"), true, [this, d] { eliminarModelo(d.key, d.modeloId); },
            [this] { modelosVinculados.modeloPendienteEliminar.reset(); });
    }

    if (comparacion.confirmarLimpiarTRELM) {
        presentarAlerta(alertaLimpiarTRELM_, QStringLiteral("Limpiar comparación TRELM"), mensajeLimpiarTRELM(),
                        QStringLiteral("Limpiar"), true, [this] { limpiarComparacionTRELM(); },
                        [this] { comparacion.confirmarLimpiarTRELM = false; });
    }

    if (comparacion.trelmSlotPendienteCargar) {
        presentarAlerta(alertaCargarSlot_, QStringLiteral("Cargar nuevo archivo"),
                        mensajeCargarSlot(*comparacion.trelmSlotPendienteCargar), QStringLiteral("Continuar"), true,
                        [this] { continuarCargaSlotTRELM(); },
                        [this] { comparacion.trelmSlotPendienteCargar.reset(); });
    }

    if (secciones.seccionPendienteEliminar) {
        const QUuid id = *secciones.seccionPendienteEliminar;
        presentarAlerta(alertaEliminarSeccion_, QStringLiteral("Eliminar sección"),
                        mensajeEliminarSeccion(secciones.seccionesGuardadas, id).value_or(QString()),
                        QStringLiteral("Eliminar"), true, [this, id] { eliminarSeccion(id); },
                        [this] { secciones.seccionPendienteEliminar.reset(); });
    }

    comentariosControlador_->presentarDialogos();

    if (markup.comentarioPendElim) {
        const QUuid id = *markup.comentarioPendElim;
        presentarAlerta(alertaEliminarComentario_, QStringLiteral("Eliminar comentario"), mensajeEliminarComentario(),
                        QStringLiteral("Eliminar"), true, [this, id] { eliminarComentario(id); },
                        [this] { markup.comentarioPendElim.reset(); });
    }

    if (clashes.analisisPendienteEliminar) {
        // The analysis is the one shown when asked, whatever the history does meanwhile.
        const std::int64_t indice = *clashes.analisisPendienteEliminar;
        const bool valido = indice >= 0 && indice < std::int64_t(clashes.historialAnalisis.size());
        const QUuid id = valido ? clashes.historialAnalisis[size_t(indice)].id : QUuid();
        presentarAlerta(alertaEliminarAnalisis_, QStringLiteral("Eliminar análisis"),
                        mensajeEliminarAnalisis(clashes.historialAnalisis, indice).value_or(QString()),
                        QStringLiteral("Eliminar"), true, [this, id] { eliminarAnalisis(id); },
                        [this] { clashes.analisisPendienteEliminar.reset(); });
    }

    if (clashes.mostrarConfigAnalisis && !hojaConfigAnalisis_) {
        auto* hoja = new HojaConfigAnalisis(*this, this);
        hojaConfigAnalisis_ = hoja;
        hoja->open();
    }

    if (federacion.colorPickerKey && !hojaColor_)
        hojaColor_ = presentarSelectorColor(*federacionControlador_, this);

    if (federacion.modeloEditandoTransformacion && !hojaTransformacion_)
        hojaTransformacion_ = presentarEditorTransformacion(*federacionControlador_, this);

    presentando_ = false;
}

}  // namespace quelva
