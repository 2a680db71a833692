// Where a clash is looked at from: outside both elements, the smaller one whole on screen, from
// the open side of a wall or slab, close to small elements.

#include "clash/EncuadreInterferencia.h"
#include "scene/Camera.h"
#include "scene/Projection.h"
#include "support/ParesClash.h"

#include <gtest/gtest.h>

#include <limits>

using namespace quelva;
using testsupport::ParClash;

namespace {

// The point in a view of `ancho` x `alto` seen from `e` with Z up: x, y in pixels, z the depth.
scene::Vec3 proyectar(const EncuadreInterferencia& e, double campo, double ancho, double alto, const scene::Vec3& p)
{
    auto camara = scene::Node::make();
    camara->camera = std::make_shared<scene::Camera>();
    camara->camera->fieldOfView = campo;
    camara->camera->zNear = 0.001;
    camara->camera->zFar = 1000;
    camara->position = e.posicion;
    camara->lookAt(e.objetivo, {0, 0, 1}, {0, 0, -1});
    return scene::projectPoint({camara.get(), QSizeF(ancho, alto)}, p);
}

}  // namespace

TEST(EncuadreInterferencia, OutsideBothWithTheSmallerElementWholeOnScreen)
{
    struct Vista {
        const char* nombre;
        OpcionesEncuadre opciones;
        double ancho, alto;
    };
    const Vista vistas[] = {{"miniatura", {60, 460.0 / 310.0, 1.25, 0.15, 1.0, {0.5, 0.7, 0.5}}, 460, 310},
                            {"vuelo", {60, 1.5, 1.5, 1.0, 0.1, {}}, 900, 600},
                            {"vuelo vertical", {45, 0.6, 1.5, 1.0, 0.1, {}}, 600, 1000}};
    for (const Vista& v : vistas) {
        for (const ParClash& par : testsupport::paresClash()) {
            SCOPED_TRACE(std::string(v.nombre) + ": " + par.nombre);
            const auto e = encuadrarInterferencia(par.a, par.b, v.opciones);
            ASSERT_TRUE(e);
            EXPECT_EQ(e->transparenteA, par.transparenteA);
            EXPECT_FALSE(testsupport::dentro(e->posicion, par.a));
            EXPECT_FALSE(testsupport::dentro(e->posicion, par.b));
            const scene::Box& menor = par.transparenteA ? par.b : par.a;
            for (const scene::Vec3& p : testsupport::esquinas(menor)) {
                const scene::Vec3 s = proyectar(*e, v.opciones.campoVertical, v.ancho, v.alto, p);
                EXPECT_TRUE(s.x >= 0 && s.x <= v.ancho && s.y >= 0 && s.y <= v.alto && s.z > 0 && s.z < 1)
                    << s.x << " " << s.y << " " << s.z;
            }
            const scene::Vec3 desde = e->posicion - e->objetivo;
            const double distancia = scene::length(desde);
            EXPECT_GE(distancia, v.opciones.distanciaMinima - 1e-9);
            // Pictures are taken from above where they can be: undersides are in shadow.
            if (!(par.ladoAbierto == scene::Vec3{}) && !(par.ladoAbierto.z < 0 && v.opciones.costeDesdeAbajo > 0.5)) {
                EXPECT_GT(scene::dot(desde, par.ladoAbierto), 0.2 * distancia);
            }
            // Near and level with a small element: not from far above, through what is over it.
            if (scene::length(menor.size()) < 0.5) {
                EXPECT_LE(distancia, 2.5 * v.opciones.distanciaMinima);
                EXPECT_LT(desde.z, 0.6 * distancia);
            }
        }
    }
}

TEST(EncuadreInterferencia, BoxesThatAreNotFiniteGiveNoFraming)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const scene::Box buena{{0, 0, 0}, {1, 1, 1}};
    const scene::Box mala{{0, nan, 0}, {1, 1, std::numeric_limits<double>::infinity()}};
    EXPECT_FALSE(encuadrarInterferencia(buena, mala, {}));
    EXPECT_FALSE(encuadrarInterferencia(mala, buena, {}));
}
