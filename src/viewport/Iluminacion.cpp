#include "viewport/Iluminacion.h"

#include "viewport/NombresEscena.h"

#include <QLinearGradient>
#include <QPainter>
#include <vector>

namespace quelva {

void configurarIluminacion(scene::Scene& escena)
{
    const scene::NodePtr& raiz = escena.rootNode();
    std::vector<scene::NodePtr> viejas;
    for (const auto& hijo : raiz->children())
        if (hijo->light && hijo->name && hijo->name->starts_with(kPrefijoLuz))
            viejas.push_back(hijo);
    for (const auto& nodo : viejas)
        nodo->removeFromParent();

    auto direccional = std::make_shared<scene::Light>();
    direccional->type = scene::Light::Type::Directional;
    direccional->intensity = 900;
    direccional->castsShadow = true;
    direccional->shadowRadius = 5;
    direccional->shadowSampleCount = 16;
    direccional->shadowBias = 1;
    direccional->shadowColor = {0, 0, 0, 0.45};
    direccional->orthographicScale = 150;
    auto nodoDir = scene::Node::make();
    nodoDir->name = std::string(kNombreLuzDireccional);
    nodoDir->light = direccional;
    nodoDir->position = {0, 0, 0};
    nodoDir->lookAt({0.5, 0.5, -0.7}, {0, 0, 1}, {0, 0, -1});
    raiz->addChild(nodoDir);

    auto ambiente = std::make_shared<scene::Light>();
    ambiente->type = scene::Light::Type::Ambient;
    ambiente->intensity = 350;
    ambiente->color = scene::Color::white();
    auto nodoAmb = scene::Node::make();
    nodoAmb->name = std::string(kNombreLuzAmbiente);
    nodoAmb->light = ambiente;
    raiz->addChild(nodoAmb);
}

scene::DrawnImagePtr dibujarDegradado()
{
    // Not flipped: y grows upwards, so the first stop is the bottom of the view.
    return std::make_shared<scene::DrawnImage>(QSizeF(4, 512), false, [](QPainter& p, const QRectF& r) {
        QLinearGradient degradado(QPointF(r.left(), r.top()), QPointF(r.left(), r.bottom()));
        degradado.setColorAt(0.0, QColor::fromRgbF(0.68f, 0.64f, 0.84f, 1.0f));
        degradado.setColorAt(1.0, QColor::fromRgbF(0.93f, 0.91f, 0.97f, 1.0f));
        p.fillRect(r, degradado);
        return true;
    });
}

}  // namespace quelva
