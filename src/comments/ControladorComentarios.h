#pragma once

#include "comments/EstadoMarkup.h"

#include <QImage>
#include <QObject>
#include <QPointer>

#include <functional>

class QDialog;

namespace quelva {

// The comment actions of the main window: markup mode, saving a comment with
// its image, the detail sheet, deleting and the report window. It works on the
// window's markup state and reaches the rest of the window through Servicios.
class ControladorComentarios : public QObject {
    Q_OBJECT
public:
    struct Servicios {
        std::function<bool()> hayModelosCargados;
        // The 3D view's current frame; a null image when there is no view.
        std::function<QImage()> snapshot;
        // Keeps a report window alive with the main window.
        std::function<void(QWidget*)> guardarVentanaReporte;
        // Where sheets are shown.
        std::function<QWidget*()> ventana;
    };

    ControladorComentarios(EstadoMarkup& estado, Servicios servicios, QObject* parent = nullptr);
    ~ControladorComentarios() override;

    EstadoMarkup& estado() { return estado_; }
    bool hayModelosCargados() const;

    void iniciarComentario();
    void elegirColor(int indice);
    void herramientaLapiz();
    void herramientaTexto();
    void cambiarGrosor(double grosor);
    void cambiarTextoPendiente(const QString& texto);
    void cambiarAutor(const QString& texto);
    void cambiarDescripcion(const QString& texto);
    void limpiarAnotaciones();
    void guardarComentario();
    void cancelarMarkup();

    void verDetalle(const ComentarioMarkup& c);
    void cerrarDetalle();
    void pedirEliminar(const QUuid& id);
    // Opens a new report window on a copy of today's comments.
    QWidget* abrirReporteComentarios();

    // Shows the detail sheet while the state asks for it.
    void presentarDialogos();
    QDialog* hojaDetalle() const;

    static QString tagParaNumero(long long numero);

signals:
    // Something the sidebar or the viewport column show has changed.
    void estadoCambiado();
    // Only the markup being drawn or the pen changed: the overlay redraws itself.
    void markupCambiado();

private:
    std::optional<QByteArray> imagenComentario() const;

    EstadoMarkup& estado_;
    Servicios servicios_;
    QPointer<QDialog> hojaDetalle_;
};

}  // namespace quelva
