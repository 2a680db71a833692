#include "render/Thumbnails.h"

#include "scene/Geometry.h"
#include "scene/Light.h"
#include "scene/Material.h"
#include "scene/Primitives.h"

#include <QCoreApplication>

namespace render {

scene::NodePtr highlightedCopy(const scene::Node& node, const scene::Color& color)
{
    scene::NodePtr copia = node.clone(true);
    if (!copia->geometry)
        return copia;
    auto material = scene::makeMaterial();
    material->diffuse.contents = color;
    material->emission.contents = scene::Color::black();
    material->lightingModel = scene::LightingModel::Phong;
    material->doubleSided = true;
    copia->geometry->materials = {material};
    return copia;
}

namespace {

// Empty nodes repeating the local transforms of `node`'s ancestors, outermost first, under
// `root`; returns the innermost (the one the copy goes under).
scene::NodePtr ancestorChain(const scene::Node& node, const scene::NodePtr& root)
{
    std::vector<const scene::Node*> chain;
    for (const scene::Node* p = node.parent(); p; p = p->parent())
        chain.push_back(p);
    scene::NodePtr current = root;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        auto step = scene::Node::make();
        step->position = (*it)->position;
        step->orientation = (*it)->orientation;
        step->scale = (*it)->scale;
        current->addChild(step);
        current = step;
    }
    return current;
}

// A copy drawn last, over whatever is in front of it; front faces only, so that a closed
// element shows its near side.
scene::NodePtr drawnThroughCopy(const scene::Node& node, const scene::Color& color, double opacity)
{
    scene::NodePtr copia = highlightedCopy(node, color);
    if (copia->geometry) {
        scene::Material& m = *copia->geometry->materials.front();
        m.transparency = opacity;
        m.readsFromDepthBuffer = false;
        m.writesToDepthBuffer = false;
        m.doubleSided = false;
    }
    copia->renderingOrder = 10;
    return copia;
}

}  // namespace

scene::ScenePtr thumbnailScene(const std::vector<ThumbnailItem>& items, const ThumbnailCamera& camera,
                               scene::NodePtr& cameraNode)
{
    auto escena = scene::makeScene();
    const scene::NodePtr& raiz = escena->rootNode();
    for (const ThumbnailItem& item : items)
        if (item.node) {
            const scene::NodePtr padre = ancestorChain(*item.node, raiz);
            padre->addChild(highlightedCopy(*item.node, item.color));
            if (item.drawnThrough > 0)
                padre->addChild(drawnThroughCopy(*item.node, item.color, item.drawnThrough));
        }

    auto sol = scene::Node::make();
    sol->light = std::make_shared<scene::Light>();
    sol->light->type = scene::Light::Type::Directional;
    sol->light->intensity = 900;
    sol->setEulerAngles({-scene::kPi / 4, scene::kPi / 4, 0});
    raiz->addChild(sol);
    auto ambiente = scene::Node::make();
    ambiente->light = std::make_shared<scene::Light>();
    ambiente->light->type = scene::Light::Type::Ambient;
    ambiente->light->intensity = 380;
    raiz->addChild(ambiente);

    cameraNode = scene::Node::make();
    cameraNode->camera = std::make_shared<scene::Camera>();
    cameraNode->camera->zNear = camera.zNear;
    cameraNode->camera->zFar = camera.zFar;
    cameraNode->position = camera.position;
    // Z-up scene: look at the target with Z up, like every camera of the application.
    cameraNode->lookAt(camera.target, {0, 0, 1}, {0, 0, -1});
    raiz->addChild(cameraNode);
    return escena;
}

Thumbnailer::Thumbnailer(Preparation preparation)
{
    if (preparation == Preparation::now) {
        renderer_ = std::make_unique<OffscreenRenderer>();
        return;
    }
    // A picture like the real ones (lit, one copy drawn through another) makes the software
    // rasteriser build its shader variants before the first report needs them.
    auto caja = scene::Node::make(scene::makeBox(1, 1, 1));
    auto dentro = scene::Node::make(scene::makeBox(0.5, 0.5, 0.5));
    ThumbnailCamera camara;
    camara.position = {2, 2, 1.5};
    scene::NodePtr ojo;
    scene::ScenePtr escena = thumbnailScene({{caja.get(), {1, 0, 0, 1}}, {dentro.get(), {0, 0, 1, 1}, 0.8}}, camara, ojo);
    renderer_ = std::make_unique<OffscreenRenderer>(std::move(escena), std::move(ojo), kThumbnailSize, kThumbnailSamples);
}

QImage Thumbnailer::render(const std::vector<ThumbnailItem>& items, const ThumbnailCamera& camera)
{
    scene::NodePtr camara;
    const scene::ScenePtr escena = thumbnailScene(items, camera, camara);
    return renderer_->render(*escena, *camara, kThumbnailSize, kThumbnailSamples);
}

namespace {

Thumbnailer* compartido = nullptr;

void soltarCompartido()
{
    delete compartido;
    compartido = nullptr;
}

}  // namespace

Thumbnailer& sharedThumbnailer()
{
    if (!compartido) {
        compartido = new Thumbnailer(Thumbnailer::Preparation::inBackground);
        // Released (its preparation waited for) as the application object goes, while the
        // window system is still up.
        qAddPostRoutine(soltarCompartido);
    }
    return *compartido;
}

QImage renderThumbnailOnce(const std::vector<ThumbnailItem>& items, const ThumbnailCamera& camera)
{
    scene::NodePtr camara;
    const scene::ScenePtr escena = thumbnailScene(items, camera, camara);
    return renderSnapshot(*escena, *camara, kThumbnailSize, kThumbnailSamples);
}

}  // namespace render
