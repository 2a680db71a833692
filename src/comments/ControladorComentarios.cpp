#include "comments/ControladorComentarios.h"

#include "comments/DibujoMarkup.h"
#include "comments/ui/HojaDetalleComentario.h"
#include "comments/ui/MarkupCanvas.h"
#include "comments/ui/ReporteComentariosView.h"
#include "platform/NumberFormat.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace quelva {

ControladorComentarios::ControladorComentarios(EstadoMarkup& estado, Servicios servicios, QObject* parent)
    : QObject(parent), estado_(estado), servicios_(std::move(servicios))
{
}

ControladorComentarios::~ControladorComentarios()
{
    delete hojaDetalle_.data();
}

QDialog* ControladorComentarios::hojaDetalle() const
{
    return hojaDetalle_.data();
}

bool ControladorComentarios::hayModelosCargados() const
{
    return servicios_.hayModelosCargados && servicios_.hayModelosCargados();
}

QString ControladorComentarios::tagParaNumero(long long numero)
{
    return platform::qformat("MRK-%03lld", numero);
}

void ControladorComentarios::iniciarComentario()
{
    estado_.trazadosActivos.clear();
    estado_.textosActivos.clear();
    estado_.markupDescripcion.clear();
    estado_.markupTextoPend.clear();
    estado_.markupModoTexto = false;
    estado_.modoMarkup = true;
    emit estadoCambiado();
}

void ControladorComentarios::elegirColor(int indice)
{
    if (indice < 0 || indice >= static_cast<int>(markupPaleta.size()))
        return;
    estado_.markupColorIdx = indice;
    estado_.markupModoTexto = false;
    emit markupCambiado();
}

void ControladorComentarios::herramientaLapiz()
{
    estado_.markupModoTexto = false;
    emit markupCambiado();
}

void ControladorComentarios::herramientaTexto()
{
    estado_.markupModoTexto = true;
    emit markupCambiado();
}

void ControladorComentarios::cambiarGrosor(double grosor)
{
    estado_.markupGrosor = std::clamp(grosor, 1.0, 10.0);
    emit markupCambiado();
}

// The form's fields change the state as they are typed; nothing is redrawn,
// so the field keeps its focus.
void ControladorComentarios::cambiarTextoPendiente(const QString& texto)
{
    estado_.markupTextoPend = texto;
    emit markupCambiado();
}

void ControladorComentarios::cambiarAutor(const QString& texto)
{
    estado_.markupAutor = texto;
}

void ControladorComentarios::cambiarDescripcion(const QString& texto)
{
    estado_.markupDescripcion = texto;
}

void ControladorComentarios::limpiarAnotaciones()
{
    estado_.trazadosActivos.clear();
    estado_.textosActivos.clear();
    emit markupCambiado();
}

std::optional<QByteArray> ControladorComentarios::imagenComentario() const
{
    const QImage captura = servicios_.snapshot ? servicios_.snapshot() : QImage();
    if (captura.isNull())
        return std::nullopt;
    auto* canvas = qobject_cast<MarkupCanvasNSView*>(estado_.markupCanvasRef.data());
    if (!canvas)
        return std::nullopt;
    const QByteArray jpeg = componerImagenComentario(captura, canvas->imagenMarkup());
    if (jpeg.isEmpty())
        return std::nullopt;
    return jpeg;
}

void ControladorComentarios::guardarComentario()
{
    ComentarioMarkup c;
    c.tag = tagParaNumero(static_cast<long long>(estado_.comentarios.size()) + 1);
    c.autor = estado_.markupAutor;
    c.descripcion = estado_.markupDescripcion;
    c.trazados = estado_.trazadosActivos;
    c.textos = estado_.textosActivos;
    c.imagenJPEG = imagenComentario();
    estado_.comentarios.push_back(std::move(c));

    estado_.trazadosActivos.clear();
    estado_.textosActivos.clear();
    estado_.markupDescripcion.clear();
    estado_.markupTextoPend.clear();
    estado_.modoMarkup = false;
    emit estadoCambiado();
}

void ControladorComentarios::cancelarMarkup()
{
    estado_.modoMarkup = false;
    estado_.trazadosActivos.clear();
    estado_.textosActivos.clear();
    estado_.markupDescripcion.clear();
    emit estadoCambiado();
}

void ControladorComentarios::verDetalle(const ComentarioMarkup& c)
{
    estado_.detalleComentario = c;
    emit estadoCambiado();
}

void ControladorComentarios::cerrarDetalle()
{
    estado_.detalleComentario.reset();
    if (hojaDetalle_)
        hojaDetalle_->close();
    emit estadoCambiado();
}

void ControladorComentarios::pedirEliminar(const QUuid& id)
{
    estado_.comentarioPendElim = id;
    emit estadoCambiado();
}

void ControladorComentarios::presentarDialogos()
{
    if (!estado_.detalleComentario || hojaDetalle_)
        return;
    QWidget* padre = servicios_.ventana ? servicios_.ventana() : nullptr;
    auto* hoja = new HojaDetalleComentario(*estado_.detalleComentario, padre);
    hoja->setAttribute(Qt::WA_DeleteOnClose);
    connect(hoja, &HojaDetalleComentario::cerrarPulsado, this, &ControladorComentarios::cerrarDetalle);
    // Any dismissal clears the state.
    connect(hoja, &QDialog::finished, this, [this] {
        if (estado_.detalleComentario) {
            estado_.detalleComentario.reset();
            QMetaObject::invokeMethod(this, &ControladorComentarios::estadoCambiado, Qt::QueuedConnection);
        }
    });
    hojaDetalle_ = hoja;
    hoja->open();
}

QWidget* ControladorComentarios::abrirReporteComentarios()
{
    auto* ventana = new QWidget(nullptr, Qt::Window);
    ventana->setWindowTitle(QStringLiteral("Reporte de Comentarios — QUELVA"));
    ventana->setAttribute(Qt::WA_QuitOnClose, false);
    ventana->resize(860, 680);
    auto* col = new QVBoxLayout(ventana);
    col->setContentsMargins(0, 0, 0, 0);
    col->addWidget(new ReporteComentariosView(estado_.comentarios, ventana));
    if (const QScreen* pantalla = QGuiApplication::primaryScreen()) {
        const QRect zona = pantalla->availableGeometry();
        ventana->move(zona.center() - QPoint(ventana->width() / 2, ventana->height() / 2));
    }
    ventana->show();
    ventana->raise();
    ventana->activateWindow();
    if (servicios_.guardarVentanaReporte)
        servicios_.guardarVentanaReporte(ventana);
    return ventana;
}

}  // namespace quelva
