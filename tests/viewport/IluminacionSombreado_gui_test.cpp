// The light rig on pale discipline colours: faces turned to the light never burn to white and
// faces turned different ways stay apart.

#include "render/OffscreenRenderer.h"
#include "scene/Primitives.h"
#include "scene/Projection.h"
#include "viewport/Iluminacion.h"
#include "viewport/NormalizarMateriales.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

using scene::Color;
using scene::Vec3;

TEST(IluminacionSombreado, PaleFacesKeepTheirShadingUnderTheRig)
{
    const Color colores[] = {
        {0.85, 0.85, 0.85, 1},  // architecture
        {0.6, 0.6, 0.6, 1},     // structure
        {0.75, 0.75, 0.75, 1},  // a material without colour
        {1, 1, 1, 1},
    };
    render::OffscreenRenderer r;
    ASSERT_TRUE(r.isValid());
    for (const Color& c : colores) {
        auto escena = scene::makeScene();
        escena->background.contents = Color{0.1, 0.1, 0.15, 1};
        quelva::configurarIluminacion(*escena);
        auto caja = scene::Node::make(scene::makeBox(4, 4, 4));
        quelva::normalizarMateriales(*caja);
        caja->geometry->firstMaterial()->diffuse.contents = c;
        escena->rootNode()->addChild(caja);
        // A roof pitched straight at the sun: the brightest a face can be.
        auto techo = scene::Node::make(scene::makeBox(3, 3, 0.2));
        quelva::normalizarMateriales(*techo);
        techo->geometry->firstMaterial()->diffuse.contents = c;
        const Vec3 sol = scene::normalized({-0.5, -0.5, 0.7});
        const Vec3 eje = scene::cross({0, 0, 1}, sol);
        techo->orientation = scene::Quat::fromAxisAngle(scene::normalized(eje), std::acos(sol.z));
        techo->position = {-1, -5, 3};
        escena->rootNode()->addChild(techo);
        // The top and the face towards -x take the sun, the face towards +y only the ambient light.
        auto ojo = scene::Node::make();
        ojo->camera = std::make_shared<scene::Camera>();
        ojo->camera->zNear = 0.1;
        ojo->camera->zFar = 100;
        ojo->position = {-9, 7, 8};
        ojo->lookAt({0, 0, 0}, {0, 0, 1});
        escena->rootNode()->addChild(ojo);

        const QSize tamano(200, 160);
        const QImage img = r.render(*escena, *ojo, tamano).convertToFormat(QImage::Format_RGB32);
        int blancos = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QColor p = img.pixelColor(x, y);
                blancos += p.red() >= 254 && p.green() >= 254 && p.blue() >= 254;
            }
        EXPECT_EQ(blancos, 0) << "colour " << c.r;

        const scene::Viewpoint vp{ojo.get(), QSizeF(tamano)};
        auto tono = [&](const Vec3& centroCara) {
            const Vec3 p = scene::projectPoint(vp, centroCara);
            return img.pixelColor(int(p.x), int(p.y)).red();
        };
        const int arriba = tono({0, 0, 2}), oeste = tono({-2, 0, 0}), norte = tono({0, 2, 0});
        EXPECT_GT(std::abs(arriba - oeste), 8) << arriba << " " << oeste;
        EXPECT_GT(std::abs(arriba - norte), 8) << arriba << " " << norte;
        EXPECT_GT(std::abs(oeste - norte), 8) << oeste << " " << norte;
        EXPECT_GT(tono({-1, -5, 3}), arriba);  // the roof is in the picture, brighter than the top
    }
}

}  // namespace
