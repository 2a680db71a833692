#include "viewport/EtiquetaPantalla.h"

#include "scene/Geometry.h"
#include "scene/Material.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <array>
#include <cmath>

namespace quelva {

namespace {

constexpr double kMargenX = 7;
constexpr double kMargenY = 3;
constexpr double kSeparacion = 10;  // between the point and a plate above it

QFont fuenteEtiqueta()
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.setBold(true);
    f.setPixelSize(int(kAltoTextoEtiqueta));
    return f;
}

QColor qcolor(const scene::Color& c, double alpha = 1.0)
{
    return QColor::fromRgbF(float(std::clamp(c.r, 0.0, 1.0)), float(std::clamp(c.g, 0.0, 1.0)),
                            float(std::clamp(c.b, 0.0, 1.0)), float(std::clamp(c.a * alpha, 0.0, 1.0)));
}

// A rectangle of the given size in points, facing +Z; its texture's bottom-left at the bottom-left.
scene::GeometryPtr rectangulo(QSizeF tamano, PosicionEtiqueta posicion)
{
    const float w = float(tamano.width()), h = float(tamano.height());
    const float x0 = -w / 2;
    const float y0 = posicion == PosicionEtiqueta::encima ? float(kSeparacion) : -h / 2;
    const std::array<scene::Vec3f, 4> puntos{scene::Vec3f{x0, y0, 0}, {x0 + w, y0, 0}, {x0 + w, y0 + h, 0},
                                             {x0, y0 + h, 0}};
    const std::array<scene::Vec3f, 4> normales{scene::Vec3f{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    const std::array<float, 8> uv{0, 0, 1, 0, 1, 1, 0, 1};
    scene::GeometryElement triangulos;
    triangulos.indices = {0, 1, 2, 0, 2, 3};
    return std::make_shared<scene::Geometry>(
        std::vector<scene::GeometrySource>{scene::GeometrySource::vertices(puntos),
                                           scene::GeometrySource::normals(normales),
                                           scene::GeometrySource::texCoords(uv)},
        std::vector<scene::GeometryElement>{triangulos});
}

scene::NodePtr nodoEtiqueta(const scene::Vec3& ancla, QSizeF tamanoImagen, QSizeF tamanoPantalla,
                            scene::DrawnImage::Handler dibujo, const std::string& nombre, PosicionEtiqueta posicion,
                            int orden)
{
    auto geometria = rectangulo(tamanoPantalla, posicion);
    geometria->name = nombre;
    auto m = scene::makeMaterial();
    m->diffuse.contents = std::make_shared<scene::DrawnImage>(tamanoImagen, true, std::move(dibujo));
    m->emission.contents = scene::Color::black();
    m->lightingModel = scene::LightingModel::Constant;
    m->doubleSided = true;
    m->readsFromDepthBuffer = false;
    m->writesToDepthBuffer = false;
    geometria->materials = {m};
    auto nodo = scene::Node::make(geometria);
    nodo->position = {std::isfinite(ancla.x) ? ancla.x : 0, std::isfinite(ancla.y) ? ancla.y : 0,
                      std::isfinite(ancla.z) ? ancla.z : 0};
    nodo->billboard = true;
    nodo->fixedScreenSize = true;
    nodo->renderingOrder = orden;
    return nodo;
}

}  // namespace

scene::NodePtr etiquetaPantalla(const scene::Vec3& ancla, const std::string& texto, const scene::Color& color,
                                PosicionEtiqueta posicion, int orden)
{
    const QFont fuente = fuenteEtiqueta();
    const QFontMetricsF medidas(fuente);
    const QString q = QString::fromStdString(texto);
    const QSizeF tamano(std::ceil(medidas.horizontalAdvance(q)) + 2 * kMargenX,
                        std::ceil(medidas.height()) + 2 * kMargenY);
    const QColor tinta = qcolor(color);
    auto dibujo = [q, fuente, tinta](QPainter& p, const QRectF& r) {
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath placa;
        const QRectF borde = r.adjusted(0.75, 0.75, -0.75, -0.75);
        placa.addRoundedRect(borde, 5, 5);
        p.fillPath(placa, QColor::fromRgbF(0.08f, 0.08f, 0.1f, 0.88f));
        QColor filo = tinta;
        filo.setAlphaF(0.7f);
        p.strokePath(placa, QPen(filo, 1.5));
        p.setFont(fuente);
        p.setPen(tinta);
        p.drawText(r, Qt::AlignCenter, q);
        return true;
    };
    return nodoEtiqueta(ancla, tamano, tamano, std::move(dibujo), texto, posicion, orden);
}

scene::NodePtr etiquetaImagenPantalla(const scene::Vec3& ancla, QSizeF tamanoImagen, QSizeF tamanoPantalla,
                                      scene::DrawnImage::Handler dibujo, const std::string& nombre,
                                      PosicionEtiqueta posicion, int orden)
{
    // Drawn at its size on screen, so the texture is not shrunk on the way there.
    auto escalado = [tamanoImagen, tamanoPantalla, dibujo = std::move(dibujo)](QPainter& p, const QRectF& r) {
        p.scale(r.width() / tamanoImagen.width(), r.height() / tamanoImagen.height());
        return dibujo(p, QRectF(QPointF(0, 0), tamanoImagen));
    };
    return nodoEtiqueta(ancla, tamanoPantalla, tamanoPantalla, std::move(escalado), nombre, posicion, orden);
}

}  // namespace quelva
