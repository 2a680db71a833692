#include "clash/MiniaturasClash.h"

#include "clash/DeteccionInterferencias.h"
#include "clash/EncuadreInterferencia.h"
#include "platform/SystemColors.h"

#include <QBuffer>
#include <QPainter>

#include <algorithm>

namespace quelva {

namespace {

scene::Color colorEscena(platform::SystemColor c)
{
    const QColor q = platform::systemColor(c);
    return {q.redF(), q.greenF(), q.blueF(), 1.0};
}

}  // namespace

const scene::Node* buscarNodo(const QString& nombre, const scene::Node& raiz)
{
    const std::string buscado = nombre.toStdString();
    if (raiz.geometry && raiz.hasName(buscado))
        return &raiz;
    for (const scene::NodePtr& hijo : raiz.children())
        if (const scene::Node* n = buscarNodo(nombre, *hijo))
            return n;
    return nullptr;
}

namespace {

// How strongly the smaller element shows through the larger one.
constexpr double kOpacidadVistoAtraves = 0.8;

render::ThumbnailCamera camaraCercaDelObjetivo(const Interferencia& i)
{
    const double r = i.radio;
    const double d = 0.45 * r <= 0.15 ? 0.15 : 0.45 * r;
    render::ThumbnailCamera c;
    c.target = i.viewpointTarget;
    c.position = {i.viewpointTarget.x + d, i.viewpointTarget.y + 0.6 * d, i.viewpointTarget.z + d};
    c.zFar = 50 * r;
    c.zNear = 0.001 * r <= 0.005 ? 0.005 : 0.001 * r;
    return c;
}

}  // namespace

VistaMiniatura vistaMiniatura(const Interferencia& i, const scene::Scene* escena)
{
    const scene::Node* a = i.nodoA.get();
    const scene::Node* b = i.nodoB.get();
    if (!(a && a->geometry) && escena && escena->rootNode()) {
        if (const scene::Node* n = buscarNodo(i.nombreA, *escena->rootNode()))
            a = n;
        if (const scene::Node* n = buscarNodo(i.nombreB, *escena->rootNode()))
            b = n;
    }
    VistaMiniatura v;
    v.elementos = {{a, colorEscena(platform::SystemColor::red)}, {b, colorEscena(platform::SystemColor::blue)}};
    v.camara = camaraCercaDelObjetivo(i);
    if (!(a && a->geometry && b && b->geometry))
        return v;
    OpcionesEncuadre opciones;
    opciones.aspecto = double(render::kThumbnailSize.width()) / render::kThumbnailSize.height();
    opciones.margen = 1.25;
    opciones.costeDesdeAbajo = 1.0;
    opciones.haciaLaLuz = render::kThumbnailTowardsLight;
    const auto encuadre = encuadrarInterferencia(cajaMundo(*a), cajaMundo(*b), opciones);
    if (!encuadre)
        return v;
    // The larger one may wrap or cover the smaller: the smaller shows through it.
    v.elementos[encuadre->transparenteA ? 1 : 0].drawnThrough = kOpacidadVistoAtraves;
    v.camara.position = encuadre->posicion;
    v.camara.target = encuadre->objetivo;
    // Near enough not to cut into the elements right in front of the camera.
    const double distancia = scene::length(encuadre->posicion - encuadre->objetivo);
    v.camara.zNear = std::min(v.camara.zNear, 0.1 * distancia);
    v.camara.zFar = std::max(v.camara.zFar, 4 * distancia);
    return v;
}

MiniaturaClash miniaturaDesdeImagen(const QImage& imagen)
{
    MiniaturaClash m;
    if (imagen.isNull())
        return m;
    QBuffer buffer(&m.png);
    buffer.open(QIODevice::WriteOnly);
    imagen.save(&buffer, "PNG");
    // Fill the cell keeping the proportions; what overflows is cut off.
    const QSize celda = kCeldaMiniatura;
    const QImage escalada =
        imagen.scaled(celda, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    m.vista = QImage(celda, QImage::Format_RGB888);
    m.vista.fill(QColor::fromRgbF(0.14f, 0.14f, 0.14f));
    QPainter p(&m.vista);
    p.drawImage(QPoint((celda.width() - escalada.width()) / 2, (celda.height() - escalada.height()) / 2), escalada);
    return m;
}

}  // namespace quelva
