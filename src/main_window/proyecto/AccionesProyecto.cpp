// Saving and opening a project file from the main window.

#include "main_window/ContentView.h"

#include "federation/ControladorFederacion.h"
#include "platform/Queues.h"
#include "platform/SavePanel.h"
#include "platform/SystemColors.h"
#include "project/ArchivoProyecto.h"
#include "project/GestorProyecto.h"
#include "sections/AlmacenesSeccion.h"
#include "timeline/TimeLinerStore.h"

#include <QFileDialog>
#include <QPointer>
#include <QScopeGuard>
#include <QTimer>

#include <memory>

namespace quelva {

namespace {

constexpr int kAvisoLecturaMs = 400;

}  // namespace

EstadoAplicacion ContentView::estadoAplicacion()
{
    return EstadoAplicacion{federacion,        clashes,          *timeLinerStore_,  markup.comentarios,
                            secciones.seccionesGuardadas, *almacenCotas_, *almacenEtiquetas_};
}

void ContentView::guardarProyecto()
{
    if (!gestor_->urlActual()) {
        proyecto.showSavePicker = true;
        refrescar();
        return;
    }
    escribirProyecto(std::nullopt);
}

void ContentView::escribirProyecto(const std::optional<QString>& destino)
{
    const std::optional<QString> ruta = destino ? destino : gestor_->urlActual();
    if (!ruta) {
        proyecto.showSavePicker = true;
        refrescar();
        return;
    }
    // Streamed into one atomic replace: on any failure the old file stays as it was and no
    // empty file is left behind. The one encoding also gives the unsaved-changes mark.
    auto guardado = guardarArchivoProyecto(proyectoDesdeEstado(estadoAplicacion()), *ruta);
    if (const QString* error = std::get_if<QString>(&guardado)) {
        terminarGuardadoPedido(false);
        informarError(QStringLiteral("Error al guardar: ") + *error);
        return;
    }
    marcarSinCambios(HuellaDiferida::conocida(std::get<QByteArray>(std::move(guardado))));
    QPointer<GestorProyecto> gestor(gestor_);
    platform::MainQueue::post([gestor, ruta = *ruta] {
        if (gestor)
            gestor->establecerURL(ruta);
    });
    terminarGuardadoPedido(true);
}

void ContentView::presentarSelectorGuardado()
{
    if (selectorGuardado_)
        return;
    auto* dialogo = new platform::SavePanel(this, QStringLiteral("Guardar proyecto"), GestorProyecto::extension(),
                                            gestor_->nombreProyecto());
    dialogo->setAttribute(Qt::WA_DeleteOnClose);
    dialogo->setObjectName(QStringLiteral("selectorGuardarProyecto"));
    dialogo->setNameFilter(GestorProyecto::filtroArchivos());
    connect(dialogo, &QFileDialog::finished, this, [this, dialogo](int resultado) {
        proyecto.showSavePicker = false;
        const QStringList archivos = resultado == QDialog::Accepted ? dialogo->selectedFiles() : QStringList{};
        if (archivos.isEmpty()) {
            terminarGuardadoPedido(false);
            return;
        }
        QMetaObject::invokeMethod(
            this, [this, ruta = archivos.first()] { escribirProyecto(ruta); }, Qt::QueuedConnection);
    });
    selectorGuardado_ = dialogo;
    dialogo->open();
}

void ContentView::abrirProyecto()
{
    if (selectorAbrirProyecto_)
        return;
    antesDeDescartarProyecto([this] { presentarSelectorAbrirProyecto(); });
}

void ContentView::presentarSelectorAbrirProyecto()
{
    if (selectorAbrirProyecto_)
        return;
    auto* dialogo = new QFileDialog(this, QStringLiteral("Abrir proyecto QUELVA"));
    dialogo->setAttribute(Qt::WA_DeleteOnClose);
    dialogo->setObjectName(QStringLiteral("selectorAbrirProyecto"));
    dialogo->setOption(QFileDialog::DontUseNativeDialog);
    dialogo->setAcceptMode(QFileDialog::AcceptOpen);
    dialogo->setFileMode(QFileDialog::ExistingFile);
    dialogo->setNameFilter(GestorProyecto::filtroArchivos());
    connect(dialogo, &QFileDialog::finished, this, [this, dialogo](int resultado) {
        const QStringList archivos = resultado == QDialog::Accepted ? dialogo->selectedFiles() : QStringList{};
        if (archivos.isEmpty())
            return;
        QMetaObject::invokeMethod(
            this, [this, ruta = archivos.first()] { cargarProyecto(ruta); }, Qt::QueuedConnection);
    });
    selectorAbrirProyecto_ = dialogo;
    dialogo->open();
}

void ContentView::cargarProyecto(const QString& ruta)
{
    // Off the GUI thread: a big file holds no window, a FIFO or a device is refused unread.
    const int pedido = ++aperturasPedidas_;
    ++proyecto.lecturasEnCurso;
    // A quick read shows no overlay: it would only flash, and its animation costs the read time.
    QTimer::singleShot(kAvisoLecturaMs, this, [this] {
        if (proyecto.lecturasEnCurso > 0 && !proyecto.avisoLectura) {
            proyecto.avisoLectura = true;
            refrescarConTarjetas({});
        }
    });
    QPointer<ContentView> vista(this);
    platform::BackgroundQueue::post([vista, ruta, pedido] {
        auto leido = std::make_shared<std::variant<ProyectoQUELVA, QString>>(leerArchivoProyecto(ruta));
        platform::MainQueue::post([vista, ruta, pedido, leido] {
            if (vista)
                vista->terminarLecturaProyecto(ruta, pedido, std::move(*leido));
        });
    });
}

void ContentView::terminarLecturaProyecto(const QString& ruta, int pedido, std::variant<ProyectoQUELVA, QString> leido)
{
    if (--proyecto.lecturasEnCurso == 0)
        proyecto.avisoLectura = false;
    // Another project or package was asked for meanwhile: it wins, this one lands nowhere.
    if (pedido != aperturasPedidas_) {
        refrescarConTarjetas({});
        return;
    }
    if (const QString* motivo = std::get_if<QString>(&leido)) {
        informarError(QStringLiteral("Error al cargar el proyecto: ") + *motivo);
        return;
    }
    QPointer<GestorProyecto> gestor(gestor_);
    platform::MainQueue::post([gestor, ruta] {
        if (gestor)
            gestor->establecerURL(ruta);
    });
    restaurarProyecto(std::get<ProyectoQUELVA>(std::move(leido)), std::nullopt);
}

int ContentView::restaurarProyecto(ProyectoQUELVA documento, const std::optional<QString>& carpetaBase)
{
    ServiciosRestauracion servicios;
    servicios.quitarResaltado = [this] { quitarResaltado(); };
    servicios.trelmActivo = [this] { return comparacion.trelmActivo; };
    servicios.limpiarComparacionTRELM = [this] { limpiarComparacionTRELM(); };
    servicios.colorEtiqueta = platform::systemColor(platform::SystemColor::primaryLabel);
    EstadoAplicacion estado = estadoAplicacion();
    int generacion = 0;
    {
        restaurando_ = true;
        const auto fin = qScopeGuard([this] { restaurando_ = false; });
        // The selected element belongs to a model that is going away. The window is refreshed
        // once the new project is in, not for the old one on its way out.
        seleccionarNodo(nullptr);
        generacion =
            quelva::restaurarProyecto(estado, *federacionControlador_, servicios, std::move(documento), carpetaBase);
    }
    // Models converting in the background change nothing a save would write; the mark is worked
    // out aside, so the window answers without a second encoding of the document.
    marcarSinCambios(HuellaDiferida::calcularAparte(proyectoDesdeEstado(estadoAplicacion())));
    emit especialidadesCambiadas();
    refrescar();
    return generacion;
}

}  // namespace quelva
