#include "comments/ui/HojaDetalleComentario.h"

#include "comments/ui/EstiloComentarios.h"
#include "comments/ui/ImagenComentario.h"
#include "platform/UserDate.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quelva {

HojaDetalleComentario::HojaDetalleComentario(const ComentarioMarkup& c, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("hojaDetalleComentario"));
    setWindowTitle(c.tag);
    setWindowModality(Qt::WindowModal);
    setMinimumSize(640, 400);
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(24, 24, 24, 24);
    col->setSpacing(16);

    auto* cabecera = new QHBoxLayout;
    auto* textos = new QVBoxLayout;
    textos->setSpacing(4);
    textos->addWidget(etiquetaComentario(c.tag, 17, true, colorTag(), this));
    if (!c.descripcion.isEmpty()) {
        auto* d = etiquetaComentario(c.descripcion, 13, false, QColor(255, 255, 255), this);
        d->setWordWrap(true);
        d->setObjectName(QStringLiteral("descripcion"));
        textos->addWidget(d);
    }
    textos->addWidget(filaIcono(QStringLiteral("person.fill"), c.autor, 12, colorSecundario(), this));
    auto* fecha = etiquetaComentario(
        platform::formatUserDate(c.fecha, platform::DateStyle::medium, platform::DateStyle::short_), 12, false,
        colorTerciario(), this);
    fecha->setObjectName(QStringLiteral("fecha"));
    textos->addWidget(fecha);
    cabecera->addLayout(textos, 1);
    auto* cerrar = new QPushButton(QStringLiteral("Cerrar"), this);
    cerrar->setObjectName(QStringLiteral("cerrar"));
    connect(cerrar, &QPushButton::clicked, this, [this] {
        emit cerrarPulsado();
        accept();
    });
    cabecera->addWidget(cerrar, 0, Qt::AlignTop);
    col->addLayout(cabecera);

    const QImage imagen = c.imagenJPEG ? QImage::fromData(*c.imagenJPEG, "JPEG") : QImage();
    if (!imagen.isNull()) {
        auto* img = new ImagenComentario(imagen, 10, this);
        img->setObjectName(QStringLiteral("imagen"));
        col->addWidget(img, 1);
    } else {
        auto* sin = etiquetaComentario(QStringLiteral("Sin captura de pantalla"), 13, false, colorTerciario(), this);
        sin->setObjectName(QStringLiteral("sinCaptura"));
        col->addWidget(sin);
        col->addStretch(1);
    }
}

}  // namespace quelva
