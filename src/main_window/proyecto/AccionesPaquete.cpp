// Exporting and opening a shareable package from the main window. The archive work runs in the
// background on copies of the state; its results come back on the main queue.

#include "main_window/ContentView.h"

#include "federation/ControladorFederacion.h"
#include "platform/AlertTitle.h"
#include "platform/Queues.h"
#include "project/GestorProyecto.h"
#include "project/PaqueteCompartible.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace quelva {

namespace {

QString filtroPaquetes()
{
    return QStringLiteral("Paquete compartible QUELVA (*.%1)").arg(extensionPaquete());
}

// The panel's message, under its fields.
void agregarMensaje(QFileDialog& dialogo, const QString& texto)
{
    auto* etiqueta = new QLabel(texto, &dialogo);
    etiqueta->setObjectName(QStringLiteral("mensajePanel"));
    etiqueta->setWordWrap(true);
    if (auto* grilla = qobject_cast<QGridLayout*>(dialogo.layout()))
        grilla->addWidget(etiqueta, grilla->rowCount(), 0, 1, grilla->columnCount());
}

QFileDialog* panelPaquete(QWidget* padre, const QString& titulo, const QString& mensaje, const QString& nombreObjeto)
{
    auto* dialogo = new QFileDialog(padre, titulo);
    dialogo->setAttribute(Qt::WA_DeleteOnClose);
    dialogo->setObjectName(nombreObjeto);
    dialogo->setOption(QFileDialog::DontUseNativeDialog);
    dialogo->setNameFilter(filtroPaquetes());
    agregarMensaje(*dialogo, mensaje);
    return dialogo;
}

}  // namespace

void ContentView::exportarPaquete()
{
    if (selectorExportarPaquete_ || proyecto.paqueteEnCurso)
        return;
    auto* dialogo = panelPaquete(this, QStringLiteral("Exportar paquete compartible"),
                                 QStringLiteral("El paquete incluirá todos los modelos IFC. Envíalo a otro usuario con QUELVA."),
                                 QStringLiteral("selectorExportarPaquete"));
    dialogo->setAcceptMode(QFileDialog::AcceptSave);
    dialogo->setFileMode(QFileDialog::AnyFile);
    // The question is asked below, about the file that is really replaced.
    dialogo->setOption(QFileDialog::DontConfirmOverwrite);
    dialogo->setDefaultSuffix(extensionPaquete());
    dialogo->selectFile(gestor_->nombreProyecto() + QLatin1Char('.') + extensionPaquete());
    connect(dialogo, &QFileDialog::finished, this, [this, dialogo](int resultado) {
        const QStringList archivos = resultado == QDialog::Accepted ? dialogo->selectedFiles() : QStringList{};
        if (archivos.isEmpty())
            return;
        QMetaObject::invokeMethod(
            this, [this, ruta = archivos.first()] { confirmarDestinoPaquete(ruta); }, Qt::QueuedConnection);
    });
    selectorExportarPaquete_ = dialogo;
    dialogo->open();
}

void ContentView::confirmarDestinoPaquete(const QString& elegida)
{
    const QString destino = rutaConExtensionPaquete(elegida);
    if (!QFileInfo::exists(destino)) {
        generarPaquete(destino);
        return;
    }
    presentarAlerta(alertaReemplazarPaquete_, QStringLiteral("Exportar paquete compartible"),
                    QStringLiteral("El archivo «%1» ya existe. ¿Deseas reemplazarlo?").arg(QFileInfo(destino).fileName()),
                    QStringLiteral("Reemplazar"), true, [this, destino] { generarPaquete(destino); }, nullptr);
}

void ContentView::generarPaquete(const QString& destino)
{
    if (proyecto.paqueteEnCurso)
        return;
    ProyectoQUELVA documento = proyectoDesdeEstado(estadoAplicacion());
    // Models still converting, or that did not, travel too: their files are on disk.
    std::vector<ModeloPendientePaquete> pendientes = modelosPendientesPaquete(documento, federacion.especialidades);
    proyecto.paqueteEnCurso = true;
    refrescar();
    QPointer<ContentView> vista(this);
    platform::BackgroundQueue::post([vista, destino, documento = std::move(documento), pendientes = std::move(pendientes)] {
        auto resultado = quelva::exportarPaquete(destino, documento, pendientes);
        platform::MainQueue::post([vista, destino, resultado = std::move(resultado)] {
            if (!vista)
                return;
            vista->proyecto.paqueteEnCurso = false;
            if (const ErrorPaquete* error = std::get_if<ErrorPaquete>(&resultado)) {
                vista->informarError(QStringLiteral("Error al exportar el paquete: ") + error->descripcion);
                return;
            }
            vista->refrescar();
            if (vista->alertaPaqueteExportado_)
                return;
            const QString archivo = QFileInfo(destino).fileName();
            const std::vector<ModeloOmitido>& omitidos = std::get<PaqueteExportado>(resultado).omitidos;
            // Models left out are named: the package is not what the user asked for.
            auto* alerta = omitidos.empty()
                               ? new QMessageBox(QMessageBox::Information, QStringLiteral("Paquete exportado"),
                                                 QStringLiteral("Paquete exportado"), QMessageBox::NoButton, vista)
                               : new QMessageBox(QMessageBox::Warning, QStringLiteral("Paquete exportado"),
                                                 QStringLiteral("Paquete exportado sin algunos modelos"),
                                                 QMessageBox::NoButton, vista);
            alerta->setInformativeText(omitidos.empty()
                                           ? QStringLiteral("El archivo \"%1\" está listo para compartir.").arg(archivo)
                                           : textoModelosOmitidos(archivo, omitidos));
            alerta->setAttribute(Qt::WA_DeleteOnClose);
            alerta->setWindowModality(Qt::WindowModal);
            auto* ok = alerta->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
            ok->setObjectName(QStringLiteral("botonCancelar"));
            alerta->setEscapeButton(ok);
            vista->alertaPaqueteExportado_ = alerta;
            platform::keepAlertTitleWhole(*alerta);
            alerta->open();
        });
    });
}

void ContentView::importarPaquete()
{
    if (selectorAbrirPaquete_ || proyecto.paqueteEnCurso)
        return;
    antesDeDescartarProyecto([this] { presentarSelectorAbrirPaquete(); });
}

void ContentView::presentarSelectorAbrirPaquete()
{
    if (selectorAbrirPaquete_ || proyecto.paqueteEnCurso)
        return;
    auto* dialogo = panelPaquete(this, QStringLiteral("Abrir paquete compartible"),
                                 QStringLiteral("Selecciona un archivo .quelvapkg recibido de otro usuario."),
                                 QStringLiteral("selectorAbrirPaquete"));
    dialogo->setAcceptMode(QFileDialog::AcceptOpen);
    dialogo->setFileMode(QFileDialog::ExistingFile);
    connect(dialogo, &QFileDialog::finished, this, [this, dialogo](int resultado) {
        const QStringList archivos = resultado == QDialog::Accepted ? dialogo->selectedFiles() : QStringList{};
        if (archivos.isEmpty())
            return;
        QMetaObject::invokeMethod(
            this, [this, ruta = archivos.first()] { abrirPaquete(ruta); }, Qt::QueuedConnection);
    });
    selectorAbrirPaquete_ = dialogo;
    dialogo->open();
}

void ContentView::abrirPaquete(const QString& ruta)
{
    if (proyecto.paqueteEnCurso)
        return;
    proyecto.paqueteEnCurso = true;
    refrescar();
    const int generacion = federacionControlador_->generacionProyecto();
    const int pedido = ++aperturasPedidas_;
    QPointer<ContentView> vista(this);
    platform::BackgroundQueue::post([vista, ruta, generacion, pedido] {
        const std::variant<PaqueteAbierto, ErrorPaquete> resultado = quelva::importarPaquete(ruta);
        platform::MainQueue::post([vista, resultado, generacion, pedido] {
            const PaqueteAbierto* abierto = std::get_if<PaqueteAbierto>(&resultado);
            // A project opened or asked for meanwhile (or a window gone) wins: this package lands nowhere.
            if (!vista || (abierto && (vista->federacionControlador_->generacionProyecto() != generacion
                                       || vista->aperturasPedidas_ != pedido))) {
                if (abierto)
                    QDir(abierto->carpeta).removeRecursively();
                if (vista) {
                    vista->proyecto.paqueteEnCurso = false;
                    vista->refrescar();
                }
                return;
            }
            vista->proyecto.paqueteEnCurso = false;
            if (const ErrorPaquete* error = std::get_if<ErrorPaquete>(&resultado)) {
                vista->informarError(QStringLiteral("Error al abrir el paquete: ") + error->descripcion);
                return;
            }
            // No file of its own: the next save asks where instead of writing into the package.
            vista->gestor_->setUrlActual(std::nullopt);
            vista->gestor_->setNombreProyecto(abierto->nombre);
            vista->restaurarProyecto(abierto->proyecto, abierto->carpeta);
        });
    });
}

}  // namespace quelva
