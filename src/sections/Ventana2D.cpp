#include "sections/Ventana2D.h"

#include "sections/Vista2DController.h"
#include "sections/Vista2DNSView.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace quelva {

Ventana2D::Ventana2D(const DatosPlano2D& datos, Vista2DController* controller,
                     std::function<void(const QString&)> alGuardarSeccion)
    : QWidget(nullptr, Qt::Window), controller_(controller)
{
    controller_->setParent(this);
    setWindowTitle(datos.titulo);
    resize(820, 680);
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    contenido_ = new Vista2DView(datos, controller_, std::move(alGuardarSeccion), this);
    col->addWidget(contenido_);
    if (const QScreen* pantalla = QGuiApplication::primaryScreen()) {
        const QRect zona = pantalla->availableGeometry();
        move(zona.center() - QPoint(410, 340));
    }
}

void Ventana2D::closeEvent(QCloseEvent* event)
{
    if (controller_ && controller_->alGuardar)
        controller_->alGuardar();
    event->accept();  // hidden, not destroyed: the main window's list keeps it
}

}  // namespace quelva
