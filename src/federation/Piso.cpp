#include "federation/Piso.h"

#include "scene/Image.h"
#include "scene/Primitives.h"
#include "viewport/NombresEscena.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <string>

namespace quelva {

namespace {
constexpr double kLadoPiso = 5000.0;
constexpr double kLadoTesela = 128.0;
}  // namespace

bool dibujarTexturaGrilla(QPainter& pintor, const QRectF& rect)
{
    pintor.fillRect(rect, QColor::fromRgbF(0.3f, 0.26f, 0.52f, 1.0f));
    QPen pen(QColor::fromRgbF(1.0f, 1.0f, 1.0f, 0.5f));
    pen.setWidthF(1.5);
    pintor.setPen(pen);
    QPainterPath path;
    path.moveTo(0, 0);
    path.lineTo(0, kLadoTesela);
    path.moveTo(0, 0);
    path.lineTo(kLadoTesela, 0);
    pintor.drawPath(path);
    return true;
}

void actualizarPiso(scene::Node& raiz)
{
    quitarPiso(raiz);
    ponerPiso(raiz, raiz.boundingBox());
}

void quitarPiso(scene::Node& raiz)
{
    if (const scene::NodePtr viejo = raiz.childNamed(kNombrePiso, false))
        viejo->removeFromParent();
}

void ponerPiso(scene::Node& raiz, const scene::Box& caja)
{
    if (caja.min == caja.max)
        return;

    scene::GeometryPtr plano = scene::makePlane(kLadoPiso, kLadoPiso);
    auto material = scene::makeMaterial();
    material->diffuse.contents = std::make_shared<scene::DrawnImage>(
        QSizeF(kLadoTesela, kLadoTesela), false, &dibujarTexturaGrilla);
    material->diffuse.wrapS = scene::WrapMode::Repeat;
    material->diffuse.wrapT = scene::WrapMode::Repeat;
    material->diffuse.scaleS = kLadoPiso;
    material->diffuse.scaleT = kLadoPiso;
    material->lightingModel = scene::LightingModel::Lambert;
    material->transparency = 0.75;
    material->doubleSided = false;
    plano->materials = {material};

    scene::NodePtr piso = scene::Node::make(plano);
    piso->name = std::string(kNombrePiso);
    piso->position = {0, 0, caja.min.z - 0.01};
    raiz.addChild(piso);

    const scene::Vec3 lados = caja.size();
    const double extension = std::max({lados.x, lados.y, lados.z});
    const std::string nombreLuz(kNombreLuzDireccional);
    const scene::NodePtr luz = raiz.childNamed(nombreLuz, false);
    if (luz && luz->light) {
        const double escala = 0.8 * extension;
        luz->light->orthographicScale = escala > 30.0 ? escala : 30.0;
    }
}

}  // namespace quelva
