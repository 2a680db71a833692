// Structure and overlay rules of the measurement drawings (fonts need a GUI application).

#include "viewport/DibujosMedicion.h"

#include "render/OffscreenRenderer.h"
#include "scene/Geometry.h"
#include "scene/Image.h"
#include "scene/Material.h"
#include "scene/Node.h"

#include <QImage>
#include <QPainter>

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using scene::Node;
using scene::NodePtr;
using scene::Vec3;

namespace {

bool finito(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// Every transform of the tree, and every vertex, is a finite number.
void esperarTodoFinito(const NodePtr& raiz, const std::string& caso)
{
    raiz->visit([&](Node& n) {
        const scene::Quat& q = n.orientation;
        EXPECT_TRUE(finito(n.position) && finito(n.scale) && std::isfinite(q.x) && std::isfinite(q.y) &&
                    std::isfinite(q.z) && std::isfinite(q.w))
            << caso;
        EXPECT_TRUE(finito(n.worldPosition())) << caso;
        if (n.geometry) {
            EXPECT_TRUE(finito(n.geometry->localBounds().min) && finito(n.geometry->localBounds().max)) << caso;
        }
        return false;
    });
}

// Label nodes carry the text they show as their geometry's name.
NodePtr etiqueta(const NodePtr& padre)
{
    for (const auto& h : padre->children())
        if (h->geometry && h->geometry->name)
            return h;
    return nullptr;
}

std::vector<NodePtr> hijosConLineas(const NodePtr& padre)
{
    std::vector<NodePtr> out;
    for (const auto& h : padre->children())
        if (h->geometry && !h->geometry->elements().empty() &&
            h->geometry->elements().front().primitive == scene::GeometryElement::Primitive::Lines)
            out.push_back(h);
    return out;
}

// World end points of a line node.
std::pair<Vec3, Vec3> extremos(const NodePtr& linea)
{
    const auto* fuente = linea->geometry->source(scene::GeometrySource::Semantic::Vertex);
    const auto a = fuente->vectorAt(0);
    const auto b = fuente->vectorAt(1);
    return {linea->convertToWorld(scene::toDouble(*a)), linea->convertToWorld(scene::toDouble(*b))};
}

void esperarCerca(const Vec3& a, const Vec3& b, double tol, const std::string& caso)
{
    EXPECT_NEAR(a.x, b.x, tol) << caso;
    EXPECT_NEAR(a.y, b.y, tol) << caso;
    EXPECT_NEAR(a.z, b.z, tol) << caso;
}

// A label of fixed screen size at `ancla` (in its parent's space) showing `texto`.
void esperarEtiqueta(const NodePtr& n, const std::string& texto, const Vec3& ancla, int orden, const std::string& caso);

void esperarSobreElModelo(const NodePtr& n, int orden, const std::string& caso)
{
    ASSERT_TRUE(n) << caso;
    const auto m = n->geometry->firstMaterial();
    ASSERT_TRUE(m) << caso;
    EXPECT_FALSE(m->readsFromDepthBuffer) << caso;
    EXPECT_FALSE(m->writesToDepthBuffer) << caso;
    EXPECT_EQ(m->lightingModel, scene::LightingModel::Constant) << caso;
    EXPECT_EQ(n->renderingOrder, orden) << caso;
}

void esperarEtiqueta(const NodePtr& n, const std::string& texto, const Vec3& ancla, int orden, const std::string& caso)
{
    ASSERT_TRUE(n) << caso;
    EXPECT_EQ(*n->geometry->name, texto) << caso;
    esperarSobreElModelo(n, orden, caso);
    EXPECT_TRUE(n->billboard) << caso;
    EXPECT_TRUE(n->fixedScreenSize) << caso;
    EXPECT_TRUE(n->geometry->firstMaterial()->doubleSided) << caso;
    esperarCerca(n->position, ancla, 1e-6, caso);
    // In points on screen: the text with its plate, readable and not a banner.
    const scene::Box caja = n->geometry->localBounds();
    EXPECT_GE(caja.size().y, 17.0) << caso;
    EXPECT_LE(caja.size().y, 90.0) << caso;
}

TEST(DibujosMedicion, MarkerIsASphereAtThePointWithItsLabelAbove)
{
    const Vec3 p{500000.5, 4000000.25, 100};
    const auto marcador = quelva::crearMarcadorPunto(p, "Vértice");
    EXPECT_FALSE(marcador->name.has_value());
    EXPECT_EQ(marcador->position, p);
    ASSERT_EQ(marcador->children().size(), 2u);
    const auto esfera = marcador->children()[0];
    EXPECT_NEAR(esfera->geometry->localBounds().size().x, 0.16, 0.01);
    EXPECT_EQ(esfera->geometry->firstMaterial()->lightingModel, scene::LightingModel::Constant);

    const auto texto = etiqueta(marcador);
    esperarEtiqueta(texto, "Vértice", {}, 9, "marker label");
    EXPECT_GT(texto->geometry->localBounds().min.y, 0.0);  // above the sphere, centred on it
    EXPECT_NEAR(texto->geometry->localBounds().center().x, 0.0, 1e-6);
}

TEST(DibujosMedicion, DistanceLineJoinsThePointsExactlyEvenFarFromTheOrigin)
{
    const struct { Vec3 a, b; const char* texto; } casos[] = {
        {{0, 0, 0}, {2.5, 0, 0}, "2.500 m"},
        {{500000.125, 4000000.5, 100}, {500003.125, 4000004.5, 100}, "5.000 m"},
    };
    for (const auto& c : casos) {
        const auto nodo = quelva::crearNodoDistancia(c.a, c.b);
        EXPECT_EQ(nodo->position, Vec3{});
        const auto lineas = hijosConLineas(nodo);
        ASSERT_EQ(lineas.size(), 1u);
        EXPECT_EQ(lineas[0]->geometry->elements().front().indices, (std::vector<std::int32_t>{0, 1}));
        const auto [a, b] = extremos(lineas[0]);
        esperarCerca(a, c.a, 1e-6, c.texto);
        esperarCerca(b, c.b, 1e-6, c.texto);

        esperarEtiqueta(etiqueta(nodo), c.texto, (c.a + c.b) * 0.5, 9, c.texto);
    }
}

TEST(DibujosMedicion, RightAngleHasTwoRaysTwentyEightArcSegmentsAndAFacingLabel)
{
    const Vec3 v{1, 2, 0};
    const auto nodo = quelva::crearNodoAngulo(v, v + Vec3{2, 0, 0}, v + Vec3{0, 3, 0});
    ASSERT_EQ(nodo->children().size(), 2u + 28u + 1u);

    // Arc on a radius of 0.28 x the shorter ray; label on the bisector at 1.6 x that radius.
    const double r = 0.28 * 2;
    for (size_t i = 2; i < 30; ++i) {
        const Vec3 c = nodo->children()[i]->position - v;
        EXPECT_NEAR(std::hypot(c.x, c.y), r * std::cos(M_PI / 2 / 28 / 2), 1e-4);
    }
    const auto texto = etiqueta(nodo);
    esperarEtiqueta(texto, "90.00°", v + Vec3{1, 1, 0} * (1.6 * r / std::sqrt(2.0)), 9, "angle label");
    const auto* imagen = std::get_if<scene::DrawnImagePtr>(&texto->geometry->firstMaterial()->diffuse.contents);
    ASSERT_TRUE(imagen && *imagen);
    EXPECT_TRUE((*imagen)->flipped());
}

// A point on the vertex, rays the same way, opposite rays, near-coincident points.
TEST(DibujosMedicion, DegenerateAnglesStayFiniteAndDrawWhatTheyCan)
{
    const Vec3 v{500000, 4000000, 100};
    const struct { const char* caso; Vec3 a, b; size_t hijos; const char* texto; } casos[] = {
        {"first end on the vertex", v, v + Vec3{1, 0, 0}, 1 + 1, "0.00°"},
        {"second end on the vertex", v + Vec3{0, 0, 2}, v, 1 + 1, "0.00°"},
        {"all three coincide", v, v, 1, "0.00°"},
        {"same direction", v + Vec3{1, 0, 0}, v + Vec3{3, 0, 0}, 2 + 1, "0.00°"},
        {"opposite rays", v + Vec3{1, 0, 0}, v + Vec3{-2, 0, 0}, 2 + 1, "180.00°"},
        {"ends closer than a millimetre", v + Vec3{0.0005, 0, 0}, v + Vec3{0, 0.0005, 0}, 1, "90.00°"},
    };
    for (const auto& c : casos) {
        const auto nodo = quelva::crearNodoAngulo(v, c.a, c.b);
        esperarTodoFinito(nodo, c.caso);
        EXPECT_EQ(nodo->children().size(), c.hijos) << c.caso;
        const auto texto = etiqueta(nodo);
        ASSERT_TRUE(texto) << c.caso;
        EXPECT_EQ(*texto->geometry->name, c.texto) << c.caso;
    }

    // Opposite rays: the label stands off the line, not on the vertex.
    const auto opuestos = quelva::crearNodoAngulo(v, v + Vec3{1, 0, 0}, v + Vec3{-2, 0, 0});
    const Vec3 d = etiqueta(opuestos)->position - v;
    EXPECT_NEAR(std::hypot(d.y, d.z), 1.6 * 0.28, 1e-5);
    EXPECT_NEAR(d.x, 0, 1e-5);
}

TEST(DibujosMedicion, PointShowsSpherePinAndCoordinateLabel)
{
    const Vec3 p{1.5, -2, 0.25};
    const auto nodo = quelva::crearNodoCoordenadas(p);
    EXPECT_EQ(nodo->position, p);
    ASSERT_EQ(nodo->children().size(), 3u);
    const auto pin = nodo->children()[1];
    EXPECT_NEAR(pin->position.z, 0.345, 1e-12);
    // The pin's axis stands on the scene's z axis.
    const Vec3 eje = pin->orientation.rotate({0, 1, 0});
    EXPECT_NEAR(std::fabs(eje.z), 1.0, 1e-9);
    EXPECT_NEAR(pin->geometry->localBounds().size().y, 0.550000011920929, 1e-9);

    // Above the pin's top.
    esperarEtiqueta(etiqueta(nodo), "X  +1.5000 m\nY  -2.0000 m\nZ  +0.2500 m", {0, 0, 0.62}, 9, "point label");
}

TEST(DibujosMedicion, AreaOutlineClosesThePolygonAndLabelsItsCentre)
{
    const std::vector<Vec3> cuadrado{
        {500000, 4000000, 100}, {500010, 4000000, 100}, {500010, 4000010, 100}, {500000, 4000010, 100}};
    const auto nodo = quelva::crearNodoArea(cuadrado);
    const auto lineas = hijosConLineas(nodo);
    ASSERT_EQ(lineas.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        const auto [a, b] = extremos(lineas[i]);
        esperarCerca(a, cuadrado[i], 1e-6, "corner");
        esperarCerca(b, cuadrado[(i + 1) % 4], 1e-6, "corner");
    }
    esperarEtiqueta(etiqueta(nodo), "100.000 m²", {500005, 4000005, 100}, 9, "area label");

    EXPECT_TRUE(quelva::crearNodoArea({{0, 0, 0}, {1, 0, 0}})->children().empty());
    EXPECT_TRUE(quelva::crearNodoArea({})->children().empty());
}

TEST(DibujosMedicion, HoverPreviewIsDrawnOverEverything)
{
    const Vec3 a{0, 0, 0}, b{0, 4, 3};
    const auto nodo = quelva::nodoMedicion(a, b);
    esperarTodoFinito(nodo, "preview");
    const auto lineas = hijosConLineas(nodo);
    ASSERT_EQ(lineas.size(), 1u);
    esperarSobreElModelo(lineas[0], 10, "preview line");
    esperarEtiqueta(etiqueta(nodo), "5.000 m", {0, 2, 1.5}, 10, "preview label");
}

// Drawn by the renderer, a label is as tall on screen a few metres away as two hundred metres
// away, and its text is readable there.
TEST(DibujosMedicion, LabelsKeepTheirHeightOnScreenAtAnyDistance)
{
    render::OffscreenRenderer r;
    ASSERT_TRUE(r.isValid());
    int altos[2] = {0, 0};
    const double distancias[2] = {3, 200};
    for (int i = 0; i < 2; ++i) {
        auto escena = scene::makeScene();
        escena->background.contents = scene::Color{1, 1, 1, 1};  // the plate must show on white
        escena->rootNode()->addChild(quelva::crearNodoDistancia({-1, 0, 0}, {1, 0, 0}));
        auto ojo = scene::Node::make();
        ojo->camera = std::make_shared<scene::Camera>();
        ojo->camera->zNear = 0.1;
        ojo->camera->zFar = 1000;
        ojo->position = {0, -distancias[i], 0};
        ojo->lookAt({0, 0, 0}, {0, 0, 1});
        escena->rootNode()->addChild(ojo);
        const QImage img = r.render(*escena, *ojo, QSize(400, 300)).convertToFormat(QImage::Format_RGB32);
        int primera = -1, ultima = -1;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qGray(img.pixel(x, y)) < 60) {  // the dark plate
                    primera = primera < 0 ? y : primera;
                    ultima = y;
                }
        ASSERT_GE(primera, 0) << distancias[i];
        altos[i] = ultima - primera + 1;
    }
    for (int alto : altos) {
        EXPECT_GE(alto, 17);  // 14 px text and its margins
        EXPECT_LE(alto, 30);
    }
    EXPECT_LE(std::abs(altos[0] - altos[1]), 1);
}

// The label images draw a dark panel with the value in the middle in the label's colour.
TEST(DibujosMedicion, LabelImagesDrawTheirTextOnADarkPanel)
{
    QImage angulo(200, 80, QImage::Format_ARGB32_Premultiplied);
    angulo.fill(Qt::transparent);
    {
        QPainter p(&angulo);
        EXPECT_TRUE(quelva::imagenEtiquetaAngulo(p, QRectF(0, 0, 200, 80), 90.0f));
    }
    EXPECT_EQ(angulo.pixelColor(0, 0).alpha(), 0);  // outside the rounded corner
    const QColor fondo = angulo.pixelColor(10, 40);
    EXPECT_LT(fondo.redF(), 0.15);
    EXPECT_GT(fondo.alphaF(), 0.8);
    int verdes = 0;
    for (int x = 40; x < 160; ++x)
        for (int y = 20; y < 60; ++y) {
            const QColor c = angulo.pixelColor(x, y);
            verdes += c.green() > 180 && c.red() < 80;
        }
    EXPECT_GT(verdes, 100);

    QImage coordenadas(320, 130, QImage::Format_ARGB32_Premultiplied);
    coordenadas.fill(Qt::transparent);
    {
        QPainter p(&coordenadas);
        EXPECT_TRUE(quelva::imagenEtiquetaCoordenadas(p, QRectF(0, 0, 320, 130), 1.5, -2, 0.25));
    }
    // Z on the top line (blue), X on the bottom one (red).
    auto cuenta = [&](int y0, int y1, auto&& es) {
        int n = 0;
        for (int x = 16; x < 300; ++x)
            for (int y = y0; y < y1; ++y)
                n += es(coordenadas.pixelColor(x, y));
        return n;
    };
    EXPECT_GT(cuenta(16, 42, [](QColor c) { return c.blue() > 200 && c.red() < 140; }), 50);
    EXPECT_GT(cuenta(88, 114, [](QColor c) { return c.red() > 200 && c.green() < 140; }), 50);
}

}  // namespace
