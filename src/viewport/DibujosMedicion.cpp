#include "viewport/DibujosMedicion.h"

#include "platform/SystemColors.h"
#include "viewport/ColoresEscena.h"
#include "viewport/EtiquetaPantalla.h"
#include "scene/Image.h"
#include "scene/Primitives.h"

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

using scene::Color;
using scene::MaterialPtr;
using scene::NodePtr;
using scene::Vec3;
using scene::Vec3f;

// Labels are drawn over the model; the hover preview over the labels.
constexpr int kOrdenEtiquetas = 9;
constexpr int kOrdenPreview = 10;
constexpr double kAltoPin = 0.345 + 0.275;  // top of the coordinate drawing's pin

Color amarillo(double alpha = 1.0) { return colorSistema(platform::SystemColor::yellow, alpha); }
Color verde(double alpha = 1.0) { return colorSistema(platform::SystemColor::green, alpha); }
Color morado(double alpha = 1.0) { return colorSistema(platform::SystemColor::purple, alpha); }
Color cian(double alpha = 1.0) { return colorSistema(platform::SystemColor::cyan, alpha); }

void pintar(const MaterialPtr& m, const Color& difuso, const Color& emision)
{
    m->diffuse.contents = difuso;
    m->emission.contents = emision;
    m->lightingModel = scene::LightingModel::Constant;
}

void sobreElModelo(const MaterialPtr& m)
{
    m->readsFromDepthBuffer = false;
    m->writesToDepthBuffer = false;
}

MaterialPtr primerMaterial(const scene::GeometryPtr& g)
{
    if (g->materials.empty())
        g->materials.push_back(scene::makeMaterial());
    return g->materials.front();
}

double finitoOCero(double v) { return std::isfinite(v) ? v : 0.0; }

Vec3 finito(const Vec3& v) { return {finitoOCero(v.x), finitoOCero(v.y), finitoOCero(v.z)}; }

// The line node sits at `a` and its vertices are relative to it: single-precision vertices of
// world coordinates far from the origin would lose the centimetres.
NodePtr nodoLinea(const Vec3& a, const Vec3& b, const Color& difuso, const Color& emision)
{
    const std::array<Vec3f, 2> puntos{Vec3f{}, scene::toFloat(b - a)};
    const std::array<std::int32_t, 2> indices{0, 1};
    auto geometria = scene::makeLineGeometry(puntos, indices);
    pintar(primerMaterial(geometria), difuso, emision);
    auto nodo = scene::Node::make(geometria);
    nodo->position = finito(a);
    return nodo;
}

QFont fuenteNegrita()
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.setBold(true);
    return f;
}

// Cylinder from p to q along its own y axis; nothing when the two points (almost) coincide.
NodePtr segmento(const Vec3& p, const Vec3& q, double radio, const Color& c)
{
    const Vec3f d = scene::toFloat(q - p);
    const float largo = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    if (!(largo > 0.001f) || !std::isfinite(largo))
        return nullptr;
    const Vec3f u{d.x / largo, d.y / largo, d.z / largo};
    auto geometria = scene::makeCylinder(radio, largo);
    pintar(primerMaterial(geometria), c, c);
    auto nodo = scene::Node::make(geometria);
    nodo->position = finito((p + q) * 0.5);
    const Vec3 k{u.z, 0.0, -u.x};  // (0, 1, 0) x u
    const double largoK = scene::length(k);
    if (largoK >= 0.001) {
        nodo->orientation = scene::Quat::fromAxisAngle(k / largoK, std::acos(std::clamp(double(u.y), -1.0, 1.0)));
    } else if (u.y < 0) {
        const Vec3 e = nodo->eulerAngles();
        nodo->setEulerAngles({e.x, e.y, scene::kPi});
    }
    return nodo;
}

void agregar(const NodePtr& padre, const NodePtr& hijo)
{
    if (hijo)
        padre->addChild(hijo);
}

Vec3f restar(const Vec3& a, const Vec3& b) { return scene::toFloat(a - b); }

float largo(const Vec3f& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

Vec3f normalizar(const Vec3f& v)
{
    const float l = largo(v);
    if (!(l > 0.0f) || !std::isfinite(l))
        return {};
    return {v.x / l, v.y / l, v.z / l};
}

float punto(const Vec3f& a, const Vec3f& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Any unit vector perpendicular to u (u may be zero).
Vec3f perpendicular(const Vec3f& u)
{
    const Vec3f eje = std::fabs(u.x) < 0.9f ? Vec3f{1, 0, 0} : Vec3f{0, 1, 0};
    const Vec3f c{u.y * eje.z - u.z * eje.y, u.z * eje.x - u.x * eje.z, u.x * eje.y - u.y * eje.x};
    const Vec3f n = normalizar(c);
    return largo(n) > 0.5f ? n : Vec3f{0, 0, 1};
}

constexpr float kRayoMinimo = 1e-6f;

}  // namespace

// --- label images ---

bool imagenEtiquetaAngulo(QPainter& painter, const QRectF& rect, float grados)
{
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath marco;
    marco.addRoundedRect(rect.adjusted(1, 1, -1, -1), 10, 10);
    painter.fillPath(marco, QColor::fromRgbF(0.08f, 0.08f, 0.08f, 0.9f));
    painter.strokePath(marco, QPen(QColor::fromRgbF(0.0f, 1.0f, 0.25f, 0.65f), 1.5));

    QFont fuente = fuenteNegrita();
    fuente.setPixelSize(32);
    painter.setFont(fuente);
    painter.setPen(QColor::fromRgbF(0.0f, 1.0f, 0.25f, 1.0f));
    const QString texto = QString::fromStdString(textoAngulo(grados));
    const QFontMetricsF medidas(fuente);
    const double ancho = medidas.horizontalAdvance(texto);
    const double alto = medidas.height();
    // Centred by the image's own size, as the label is always 200 x 80.
    painter.drawText(QPointF((200.0 - ancho) / 2.0, (80.0 - alto) / 2.0 + medidas.ascent()), texto);
    return true;
}

bool imagenEtiquetaCoordenadas(QPainter& painter, const QRectF& rect, double x, double y, double z)
{
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath marco;
    marco.addRoundedRect(rect.adjusted(1, 1, -1, -1), 12, 12);
    painter.fillPath(marco, QColor::fromRgbF(0.08f, 0.08f, 0.08f, 0.9f));
    painter.strokePath(marco, QPen(QColor::fromRgbF(0.55f, 0.3f, 0.8f, 0.6f), 1.5));

    QFont fuente = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fuente.setPixelSize(24);
    fuente.setWeight(QFont::DemiBold);
    painter.setFont(fuente);
    const QFontMetricsF medidas(fuente);
    const struct {
        char eje;
        double valor;
        QColor color;
        double arriba;
    } lineas[] = {
        {'X', x, QColor::fromRgbF(1.0f, 0.4f, 0.4f), 88},
        {'Y', y, QColor::fromRgbF(0.4f, 1.0f, 0.5f), 52},
        {'Z', z, QColor::fromRgbF(0.4f, 0.68f, 1.0f), 16},
    };
    for (const auto& l : lineas) {
        painter.setPen(l.color);
        painter.drawText(QPointF(16, l.arriba + medidas.ascent()), QString::fromStdString(textoCoordenada(l.eje, l.valor)));
    }
    return true;
}

// --- builders ---

NodePtr crearMarcadorPunto(const Vec3& p, const std::string& texto)
{
    auto padre = scene::Node::make();
    padre->position = finito(p);

    auto esfera = scene::makeSphere(0.08);
    pintar(primerMaterial(esfera), amarillo(), amarillo(0.6));
    padre->addChild(scene::Node::make(esfera));

    padre->addChild(etiquetaPantalla({}, texto, Color::white(), PosicionEtiqueta::encima, kOrdenEtiquetas));
    return padre;
}

NodePtr crearNodoDistancia(const Vec3& a, const Vec3& b)
{
    auto padre = scene::Node::make();
    padre->addChild(nodoLinea(a, b, amarillo(), amarillo()));

    padre->addChild(etiquetaPantalla((a + b) * 0.5, textoDistancia(distanciaMedicion(a, b)), amarillo(),
                                     PosicionEtiqueta::encima, kOrdenEtiquetas));
    return padre;
}

NodePtr crearNodoAngulo(const Vec3& v, const Vec3& a, const Vec3& b)
{
    const Color c{0.0, 1.0, 0.25, 1.0};
    auto padre = scene::Node::make();
    agregar(padre, segmento(v, a, 0.025, c));
    agregar(padre, segmento(v, b, 0.025, c));

    const Vec3f da = restar(a, v);
    const Vec3f db = restar(b, v);
    const Vec3f u = normalizar(da);
    const Vec3f w = normalizar(db);
    const float grados = anguloMedicion(v, a, b);
    const float theta = std::acos(std::clamp(punto(u, w), -1.0f, 1.0f));
    const float r = 0.28f * std::min(largo(da), largo(db));
    const float s = std::sin(theta);

    // A ray of no length has no direction: no arc then.
    if (largo(da) >= kRayoMinimo && largo(db) >= kRayoMinimo) {
        Vec3 anterior = v + scene::toDouble(u) * double(r);
        for (int i = 1; i <= 28; ++i) {
            const float t = float(i) / 28.0f;
            Vec3f dir = u;
            if (s >= 0.0001f) {
                const float fu = std::sin(theta * (1 - t)) / s;
                const float fw = std::sin(theta * t) / s;
                dir = normalizar(Vec3f{u.x * fu + w.x * fw, u.y * fu + w.y * fw, u.z * fu + w.z * fw});
            }
            const Vec3 nuevo = v + scene::toDouble(dir) * double(r);
            agregar(padre, segmento(anterior, nuevo, 0.015, c));
            anterior = nuevo;
        }
    }

    // Along the bisector, outside the arc; opposite rays have none, any perpendicular will do.
    Vec3f bisectriz = normalizar(Vec3f{u.x + w.x, u.y + w.y, u.z + w.z});
    if (largo(Vec3f{u.x + w.x, u.y + w.y, u.z + w.z}) < 1e-3f)
        bisectriz = perpendicular(largo(u) > 0.5f ? u : w);
    padre->addChild(etiquetaImagenPantalla(
        v + scene::toDouble(bisectriz) * (1.6 * double(r)), QSizeF(200, 80), QSizeF(120, 48),
        [grados](QPainter& p, const QRectF& rect) { return imagenEtiquetaAngulo(p, rect, grados); },
        textoAngulo(grados), PosicionEtiqueta::centrada, kOrdenEtiquetas));
    return padre;
}

NodePtr crearNodoCoordenadas(const Vec3& p)
{
    auto padre = scene::Node::make();
    padre->position = finito(p);

    auto esfera = scene::makeSphere(0.07);
    pintar(primerMaterial(esfera), morado(), morado(0.7));
    padre->addChild(scene::Node::make(esfera));

    auto cilindro = scene::makeCylinder(0.012, double(0.55f));
    pintar(primerMaterial(cilindro), morado(0.55), morado(0.35));
    auto pin = scene::Node::make(cilindro);
    const Vec3 e = pin->eulerAngles();
    pin->setEulerAngles({-scene::kPi / 2, e.y, e.z});  // onto the scene's z axis
    pin->position = {0, 0, 0.345};  // 0.07 + half its height: it rises from the sphere's top
    padre->addChild(pin);

    const double x = p.x, y = p.y, z = p.z;
    // Above the pin's top, so it never hides the point itself.
    padre->addChild(etiquetaImagenPantalla(
        {0, 0, kAltoPin}, QSizeF(320, 130), QSizeF(192, 78),
        [x, y, z](QPainter& painter, const QRectF& rect) { return imagenEtiquetaCoordenadas(painter, rect, x, y, z); },
        textoCoordenada('X', x) + "\n" + textoCoordenada('Y', y) + "\n" + textoCoordenada('Z', z),
        PosicionEtiqueta::encima, kOrdenEtiquetas));
    return padre;
}

NodePtr crearNodoArea(const std::vector<Vec3>& puntos)
{
    auto padre = scene::Node::make();
    const size_t n = puntos.size();
    if (n < 3)
        return padre;
    for (size_t i = 0; i < n; ++i)
        padre->addChild(nodoLinea(puntos[i], puntos[(i + 1) % n], verde(), verde()));

    Vec3 c;
    for (const Vec3& p : puntos)
        c += p;
    c = c / double(n);

    padre->addChild(
        etiquetaPantalla(c, textoArea(areaMedicion(puntos)), verde(), PosicionEtiqueta::centrada, kOrdenEtiquetas));
    return padre;
}

NodePtr nodoMedicion(const Vec3& a, const Vec3& b)
{
    auto padre = scene::Node::make();
    auto linea = nodoLinea(a, b, cian(), cian());
    sobreElModelo(linea->geometry->firstMaterial());
    linea->renderingOrder = kOrdenPreview;
    padre->addChild(linea);

    padre->addChild(etiquetaPantalla((a + b) * 0.5, textoDistancia(distanciaMedicion(a, b)), cian(),
                                     PosicionEtiqueta::encima, kOrdenPreview));
    return padre;
}

}  // namespace quelva
