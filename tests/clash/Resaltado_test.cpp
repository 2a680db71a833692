// Clash glow and the camera pose of a focus.

#include "clash/Resaltado.h"
#include "scene/Camera.h"
#include "scene/Primitives.h"
#include "scene/Projection.h"
#include "support/ParesClash.h"

#include <gtest/gtest.h>

using namespace quelva;

namespace {

scene::NodePtr nodo()
{
    return scene::Node::make(scene::makeBox(1, 1, 1));
}

scene::Contents emision(const scene::NodePtr& n)
{
    return n->geometry->firstMaterial()->emission.contents;
}

Interferencia clash(scene::NodePtr a, scene::NodePtr b)
{
    Interferencia i;
    i.nodoA = std::move(a);
    i.nodoB = std::move(b);
    return i;
}

const scene::Contents kNegro{scene::Color::black()};

}  // namespace

TEST(ResaltadoInterferencias, ListGlowAndFocusedPairGoBackToTheirListColour)
{
    const scene::Contents naranja{colorResaltadoInterferencia()};
    const scene::Contents enfocado{kColorInterferenciaEnfocada};
    auto a = nodo(), b = nodo(), c = nodo(), viejoA = nodo(), viejoB = nodo();
    auto sinGeometria = scene::Node::make();
    EstadoInterferencias e;
    // `a` takes part in two clashes.
    e.interferencias = {clash(a, b), clash(a, c), clash(sinGeometria, c)};
    resaltarInterferencia(e);
    for (const auto& n : {a, b, c})
        EXPECT_EQ(emision(n), naranja);

    // A clash of an older analysis was focused, then one of the list: the old pair turns black,
    // the list's pair back to orange.
    e.nodosDestacadosHistorial = {viejoA, viejoB};
    viejoA->geometry->firstMaterial()->emission.contents = enfocado;
    limpiarResaltadoInterferencias(e);
    EXPECT_EQ(emision(viejoA), kNegro);
    EXPECT_TRUE(e.nodosDestacadosHistorial.empty());
    e.nodosDestacadosHistorial = {a, b};
    limpiarResaltadoInterferencias(e);
    EXPECT_EQ(emision(a), naranja);

    quitarResaltado(e);
    EXPECT_TRUE(e.interferencias.empty());
    for (const auto& n : {a, b, c})
        EXPECT_EQ(emision(n), kNegro);
    // With the list gone, a focused list node goes black.
    e.nodosDestacadosHistorial = {a};
    limpiarResaltadoInterferencias(e);
    EXPECT_EQ(emision(a), kNegro);
}

TEST(ResaltadoInterferencias, FocusWithoutAViewChangesNothing)
{
    auto a = nodo(), b = nodo(), viejo = nodo();
    EstadoInterferencias e;
    e.nodosDestacadosHistorial = {viejo};
    viejo->geometry->firstMaterial()->emission.contents = kColorInterferenciaEnfocada;
    enfocarInterferencia(e, nullptr, clash(a, b));
    EXPECT_EQ(emision(a), kNegro);
    EXPECT_EQ(e.nodosDestacadosHistorial, std::vector<scene::NodePtr>{viejo});
    EXPECT_EQ(emision(viejo), scene::Contents(kColorInterferenciaEnfocada));
}

TEST(ResaltadoInterferencias, FocusPoseLooksAlongTheClashWithZUp)
{
    const struct { double radio, zNear, zFar; } casos[] = {{0.5, 0.01, 100}, {20, 0.02, 4000}, {1.0, 0.01, 200}};
    for (const auto& c : casos) {
        Interferencia i;
        i.viewpointTarget = {0.75, 0.75, 0.75};
        i.viewpointPos = {2.55, 1.83, 2.55};
        i.radio = c.radio;
        const PoseInterferencia pose = poseInterferencia(i);
        EXPECT_NEAR(pose.zNear, c.zNear, 1e-6);
        EXPECT_NEAR(pose.zFar, c.zFar, 1e-3);
        EXPECT_EQ(pose.posicion, i.viewpointPos);
        // The camera looks down its -Z at the target; its +Y is the world's Z made orthogonal.
        const scene::Vec3 dir = scene::normalized(i.viewpointTarget - i.viewpointPos);
        const scene::Vec3 frente = pose.orientacion.rotate({0, 0, -1});
        const scene::Vec3 arriba = pose.orientacion.rotate({0, 1, 0});
        EXPECT_NEAR(scene::dot(frente, dir), 1.0, 1e-9);
        const scene::Vec3 esperado = scene::normalized(scene::Vec3{0, 0, 1} - dir * scene::dot({0, 0, 1}, dir));
        EXPECT_NEAR(scene::dot(arriba, esperado), 1.0, 1e-9);
        EXPECT_GT(arriba.z, 0.7);
    }
}

TEST(ResaltadoInterferencias, FocusPoseWithBothElementsFramesBFromOutsideBoth)
{
    for (const testsupport::ParClash& par : testsupport::paresClash()) {
        SCOPED_TRACE(par.nombre);
        const Interferencia i = testsupport::interferenciaDe(par);
        const PoseInterferencia pose = poseInterferencia(i, 60, 1.5);
        EXPECT_EQ(pose.transparente, par.transparenteA ? i.nodoA : i.nodoB);
        EXPECT_FALSE(testsupport::dentro(pose.posicion, par.a));
        EXPECT_FALSE(testsupport::dentro(pose.posicion, par.b));
        EXPECT_GE(scene::length(pose.posicion - pose.objetivo), kDistanciaMinimaEnfoque);
        auto camara = scene::Node::make();
        camara->camera = std::make_shared<scene::Camera>();
        camara->camera->zNear = pose.zNear;
        camara->camera->zFar = pose.zFar;
        camara->position = pose.posicion;
        camara->orientation = pose.orientacion;
        for (const scene::Vec3& p : testsupport::esquinas(par.b)) {
            if (!par.transparenteA)
                break;  // B is the larger one: its corners may lie beyond the view
            const scene::Vec3 s = scene::projectPoint({camara.get(), QSizeF(900, 600)}, p);
            EXPECT_TRUE(s.x >= 0 && s.x <= 900 && s.y >= 0 && s.y <= 600 && s.z > 0 && s.z < 1);
        }
        const scene::Vec3 c = scene::projectPoint({camara.get(), QSizeF(900, 600)}, par.b.center());
        EXPECT_TRUE(c.x >= 0 && c.x <= 900 && c.y >= 0 && c.y <= 600 && c.z > 0 && c.z < 1);
    }
}
