// Disciplines, appearance, transformation, colour picker, floor and grid node on a scene built
// by hand (no converter).

#include "federation/Apariencia.h"
#include "federation/ControladorFederacion.h"
#include "federation/grid/GridNode.h"
#include "federation/Piso.h"
#include "federation/Transformacion.h"

#include "scene/Primitives.h"
#include "viewport/NombresEscena.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quelva {
namespace {

constexpr double kTolColor = 1e-4;  // colours pass through QColor's 16-bit components

// An element node: a box of the given size whose centre sits at `centro`.
scene::NodePtr elemento(const std::string& nombre, scene::Vec3 lados, scene::Vec3 centro)
{
    scene::NodePtr n = scene::Node::make(scene::makeBox(lados.x, lados.y, lados.z));
    n->name = nombre;
    n->position = centro;
    return n;
}

class Federation : public ::testing::Test {
protected:
    void SetUp() override
    {
        escena = scene::makeScene();
        ControladorFederacion::Servicios s;
        s.enfocar = [this](double x, double y, double z, float r) { enfoques.push_back({x, y, z, r}); };
        s.hayInterferencias = [this]() { return !interferencias.empty(); };
        s.quitarResaltado = [this]() {
            ++quitados;
            interferencias.clear();
        };
        s.seccionActiva = [this]() { return seccionActiva; };
        s.actualizarPlanoSeccion = [this]() { ++seccionesActualizadas; };
        s.nodoSeleccionado = [this]() { return seleccionado; };
        s.recordarDiffuseSeleccionado = [this](const QColor& c) { diffuseRecordado = c; };
        controlador = std::make_unique<ControladorFederacion>(estado, escena, s);
    }

    // Links a model of the given elements to a discipline, as an insertion leaves it.
    ModeloVinculado& vincular(const QString& key, std::vector<scene::NodePtr> elementos)
    {
        EspecialidadBIM& esp = estado.especialidades.at(key);
        if (!esp.nodoRaiz) {
            esp.nodoRaiz = scene::Node::make();
            esp.nodoRaiz->name = "esp_" + key.toStdString();
            escena->rootNode()->addChild(esp.nodoRaiz);
            esp.modelos.reserve(8);  // the tests hold references to the records
        }
        ModeloVinculado m;
        m.nombre = key + ".ifc";
        m.nodo = scene::Node::make();
        for (auto& e : elementos)
            m.nodo->addChild(e);
        esp.nodoRaiz->addChild(m.nodo);
        esp.modelos.push_back(m);
        return esp.modelos.back();
    }

    static scene::Material& material(const scene::NodePtr& n) { return *n->geometry->firstMaterial(); }

    struct Enfoque {
        double x, y, z;
        float r;
    };
    EstadoFederacion estado;
    scene::ScenePtr escena;
    std::unique_ptr<ControladorFederacion> controlador;
    std::vector<Enfoque> enfoques;
    std::vector<int> interferencias;
    int quitados = 0;
    bool seccionActiva = false;
    int seccionesActualizadas = 0;
    scene::Node* seleccionado = nullptr;
    std::optional<QColor> diffuseRecordado;
};

TEST_F(Federation, ZoomFramesTheDisciplineBoxAndIgnoresEmptyOnes)
{
    controlador->zoomEspecialidad("ARQ");  // no root node
    controlador->zoomEspecialidad("NADA");
    vincular("EST", {scene::Node::make()});  // a model with no extent
    controlador->zoomEspecialidad("EST");
    EXPECT_TRUE(enfoques.empty());

    // A flat discipline: 10 x 4 x 0 still zooms, radius its largest side.
    vincular("ARQ", {elemento("IfcSlab/L", {10, 4, 0}, {5, 2, 1})});
    controlador->zoomEspecialidad("ARQ");
    ASSERT_EQ(enfoques.size(), 1u);
    EXPECT_NEAR(enfoques[0].x, 5, 1e-9);
    EXPECT_NEAR(enfoques[0].y, 2, 1e-9);
    EXPECT_NEAR(enfoques[0].z, 1, 1e-9);
    EXPECT_FLOAT_EQ(enfoques[0].r, 10.0f);
}

TEST_F(Federation, UnlinkAllClearsTheDisciplineButKeepsGridsAndFloor)
{
    ModeloVinculado& m = vincular("ARQ", {elemento("IfcWall/M", {1, 1, 1}, {})});
    const scene::NodePtr raiz = estado.especialidades.at("ARQ").nodoRaiz;
    estado.especialidades.at("ARQ").isVisible = false;
    estado.propiedadesIFC["ARQ"]["M"]["__tipoIFC"] = "IFCWALL";
    estado.propiedadesIFC["EST"]["N"]["__tipoIFC"] = "IFCBEAM";
    estado.grillasIFC.push_back({QUuid::createUuid(), "A", true, {{0, 0, 0}, {1, 0, 0}}});
    controlador->construirNodoGrillas();
    controlador->actualizarPiso();
    const scene::NodePtr nodoModelo = m.nodo;

    controlador->desvincularTodos("ARQ");  // empty clash list: nothing to switch off
    EXPECT_EQ(quitados, 0);
    EXPECT_EQ(raiz->parent(), nullptr);
    EXPECT_EQ(nodoModelo->parent(), raiz.get());
    const EspecialidadBIM& arq = estado.especialidades.at("ARQ");
    EXPECT_FALSE(arq.nodoRaiz);
    EXPECT_TRUE(arq.modelos.empty());
    EXPECT_TRUE(arq.isVisible);
    EXPECT_FALSE(estado.propiedadesIFC.contains("ARQ"));
    EXPECT_TRUE(estado.propiedadesIFC.contains("EST"));
    EXPECT_EQ(estado.grillasIFC.size(), 1u);
    EXPECT_EQ(estado.nodoGrillasIFC->parent(), escena->rootNode().get());
    EXPECT_TRUE(escena->rootNode()->childNamed(std::string(kNombrePiso), false));

    vincular("MEP", {elemento("IfcPipe/T", {1, 1, 1}, {})});
    interferencias = {1, 2};
    controlador->desvincularTodos("MEP");
    EXPECT_EQ(quitados, 1);
    EXPECT_TRUE(interferencias.empty());
}

TEST_F(Federation, FindsTheDisciplineOfElementNodesOnly)
{
    scene::NodePtr muro = elemento("IfcWall/M", {1, 1, 1}, {});
    ModeloVinculado& m = vincular("ARQ", {muro});
    vincular("EST", {elemento("IfcBeam/V", {1, 1, 1}, {})});
    controlador->actualizarPiso();
    scene::NodePtr slot = elemento("IfcWall/M", {1, 1, 1}, {});
    escena->rootNode()->addChild(slot);

    EXPECT_EQ(controlador->especialidadDeNodo(*muro), "ARQ");
    EXPECT_EQ(controlador->especialidadDeNodo(*m.nodo), "ARQ");
    EXPECT_FALSE(controlador->especialidadDeNodo(*estado.especialidades.at("ARQ").nodoRaiz));
    EXPECT_FALSE(controlador->especialidadDeNodo(*escena->rootNode()->childNamed(std::string(kNombrePiso), false)));
    EXPECT_FALSE(controlador->especialidadDeNodo(*slot));
}

TEST_F(Federation, ShowingADisciplineAgainKeepsItsHiddenModelHidden)
{
    ModeloVinculado& visible = vincular("ARQ", {elemento("a", {1, 1, 1}, {})});
    ModeloVinculado& oculto = vincular("ARQ", {elemento("b", {1, 1, 1}, {})});
    oculto.isVisible = false;
    oculto.nodo->hidden = true;
    const scene::NodePtr raiz = estado.especialidades.at("ARQ").nodoRaiz;

    controlador->alternarVisibilidadEspecialidad("ARQ");
    EXPECT_FALSE(estado.especialidades.at("ARQ").isVisible);
    EXPECT_TRUE(raiz->hidden);
    EXPECT_FALSE(visible.nodo->hidden);

    controlador->alternarVisibilidadEspecialidad("ARQ");
    EXPECT_TRUE(estado.especialidades.at("ARQ").isVisible);
    EXPECT_FALSE(raiz->hidden);
    EXPECT_FALSE(visible.nodo->hidden);
    EXPECT_TRUE(oculto.nodo->hidden);

    // A discipline without a root node only flips its flag.
    controlador->alternarVisibilidadEspecialidad("MEP");
    EXPECT_FALSE(estado.especialidades.at("MEP").isVisible);
}

TEST_F(Federation, AppearanceCarriesColourTransparencyAndVisibilityToElementMaterials)
{
    scene::NodePtr a = elemento("a", {1, 1, 1}, {});
    scene::NodePtr b = elemento("b", {1, 1, 1}, {});
    // An element with a second material, and an empty group that stays as it was.
    b->geometry->materials.push_back(scene::makeMaterial());
    b->geometry->materials[1]->diffuse.contents = scene::Color{0, 1, 0, 1};
    scene::NodePtr grupo = scene::Node::make();
    ModeloVinculado& m = vincular("MEP", {a, b, grupo});
    m.transparencia = 0.3;

    ModeloVinculado& oculto = vincular("EST", {elemento("c", {1, 1, 1}, {})});
    oculto.isVisible = false;
    scene::NodePtr vacio = scene::Node::make();
    oculto.nodo->addChild(vacio);

    // A colour that cannot be expressed in sRGB leaves that discipline alone.
    scene::NodePtr d = elemento("d", {1, 1, 1}, {});
    material(d).diffuse.contents = scene::Color{0.1, 0.2, 0.3, 1};
    vincular("TOP", {d});
    estado.especialidades.at("TOP").colorOriginal = QColor();

    controlador->aplicarColoresEspecialidades();

    for (const scene::NodePtr& n : {a, b}) {
        const scene::Color* c = material(n).diffuse.color();
        ASSERT_TRUE(c);
        EXPECT_NEAR(c->r, 0.2, kTolColor);
        EXPECT_NEAR(c->g, 0.55, kTolColor);
        EXPECT_NEAR(c->b, 1.0, kTolColor);
        EXPECT_NEAR(material(n).transparency, 0.7, 1e-12);
        EXPECT_FALSE(n->hidden);
    }
    EXPECT_EQ(*b->geometry->materials[1]->diffuse.color(), (scene::Color{0, 1, 0, 1}));
    EXPECT_TRUE(oculto.nodo->hidden);
    EXPECT_TRUE(oculto.nodo->children()[0]->hidden);
    EXPECT_FALSE(vacio->hidden);
    EXPECT_EQ(*material(d).diffuse.color(), (scene::Color{0.1, 0.2, 0.3, 1}));
    EXPECT_EQ(seccionesActualizadas, 0);

    // A comparison colour is overwritten, and an active section is rebuilt afterwards.
    material(a).diffuse.contents = scene::Color{0.9, 0.15, 0.15, 1};
    seccionActiva = true;
    controlador->aplicarColoresEspecialidades();
    EXPECT_NEAR(material(a).diffuse.color()->r, 0.2, kTolColor);
    EXPECT_EQ(seccionesActualizadas, 1);
}

TEST_F(Federation, ReapplyingColoursUpdatesWhatDeselectingGivesBack)
{
    scene::NodePtr a = elemento("a", {1, 1, 1}, {});
    scene::NodePtr b = elemento("b", {1, 1, 1}, {});
    vincular("ARQ", {a, b});
    controlador->aplicarColoresEspecialidades();
    EXPECT_FALSE(diffuseRecordado);  // nothing selected

    seleccionado = a.get();
    estado.colorPickerKey = "ARQ";
    estado.colorPickerColor = QColor::fromRgbF(1.0f, 0.0f, 0.0f, 0.5f);
    controlador->aplicarColorEspecialidad();
    ASSERT_TRUE(diffuseRecordado);
    EXPECT_EQ(*diffuseRecordado, QColor::fromRgbF(1.0f, 0.0f, 0.0f, 0.5f));
}

TEST_F(Federation, ColourPickerStoresTheColourOnlyOnApply)
{
    scene::NodePtr a = elemento("a", {1, 1, 1}, {});
    vincular("EXI", {a});
    const QColor antes = estado.especialidades.at("EXI").colorOriginal;

    estado.colorPickerKey = "EXI";
    estado.colorPickerColor = QColor::fromRgbF(0.1f, 0.2f, 0.3f, 0.4f);
    controlador->cancelarSelectorColor();
    EXPECT_FALSE(estado.colorPickerKey);
    EXPECT_EQ(estado.especialidades.at("EXI").colorOriginal, antes);
    EXPECT_EQ(material(a).diffuse.color()->r, 1.0);  // the box's own white, untouched

    estado.colorPickerKey = "EXI";
    controlador->aplicarColorEspecialidad();
    EXPECT_FALSE(estado.colorPickerKey);
    const QColor guardado = estado.especialidades.at("EXI").colorOriginal;
    EXPECT_NEAR(guardado.alphaF(), 0.4, kTolColor);
    EXPECT_NEAR(material(a).diffuse.color()->b, 0.3, kTolColor);
    EXPECT_NEAR(material(a).diffuse.color()->a, 0.4, kTolColor);

    // A key without a discipline still refreshes and closes.
    seccionActiva = true;
    estado.colorPickerKey = "NADA";
    controlador->aplicarColorEspecialidad();
    EXPECT_FALSE(estado.colorPickerKey);
    EXPECT_EQ(seccionesActualizadas, 1);
}

TEST_F(Federation, TransformationSetsScaleOffsetAndZAngleOutright)
{
    ModeloVinculado& m = vincular("ARQ", {elemento("a", {2000, 1000, 3000}, {1000, 500, 1500})});
    const QUuid id = m.id;
    m.nodo->setEulerAngles({0.1, 0.2, 0});
    struct Caso {
        TransformacionModelo::Unidades u;
        double factor;
    };
    for (const Caso& c : {Caso{TransformacionModelo::Unidades::milimetros, 0.001},
                          Caso{TransformacionModelo::Unidades::pies, 0.3048},
                          Caso{TransformacionModelo::Unidades::pulgadas, 0.0254},
                          Caso{TransformacionModelo::Unidades::metros, 1.0}}) {
        TransformacionModelo t;
        t.unidades = c.u;
        controlador->aplicarTransformacion("ARQ", id, t);
        EXPECT_NEAR(m.nodo->scale.x, c.factor, 1e-7);
        EXPECT_NEAR(m.nodo->scale.z, c.factor, 1e-7);
    }

    TransformacionModelo t;
    t.unidades = TransformacionModelo::Unidades::milimetros;
    t.offsetX = 5;
    t.offsetZ = -1.5;
    t.giroZ = 90;
    controlador->aplicarTransformacion("ARQ", id, t);
    controlador->aplicarTransformacion("ARQ", id, t);  // twice is once
    EXPECT_EQ(m.transformacion, t);
    EXPECT_EQ(m.nodo->position, (scene::Vec3{5, 0, -1.5}));
    const scene::Vec3 angulos = m.nodo->eulerAngles();
    EXPECT_NEAR(angulos.z, scene::kPi / 2, 1e-6);
    EXPECT_NEAR(angulos.x, 0.1, 1e-6);
    EXPECT_NEAR(angulos.y, 0.2, 1e-6);

    // A rotation beyond the slider's range is applied as typed.
    t.giroZ = 200;
    t.unidades = TransformacionModelo::Unidades::metros;
    controlador->aplicarTransformacion("ARQ", id, t);
    EXPECT_NEAR(std::remainder(m.nodo->eulerAngles().z - scene::degToRad(200), 2 * scene::kPi), 0, 1e-6);

    controlador->aplicarTransformacion("ARQ", id, TransformacionModelo{});
    EXPECT_EQ(m.nodo->scale, (scene::Vec3{1, 1, 1}));
    EXPECT_EQ(m.nodo->position, (scene::Vec3{}));
    EXPECT_NEAR(m.nodo->eulerAngles().z, 0, 1e-9);

    // Unknown discipline or model: nothing happens.
    t.offsetX = 9;
    controlador->aplicarTransformacion("EST", id, t);
    controlador->aplicarTransformacion("ARQ", QUuid::createUuid(), t);
    EXPECT_EQ(m.nodo->position, (scene::Vec3{}));
}

TEST_F(Federation, TransformationSheetAppliesOnConfirmOnly)
{
    ModeloVinculado& m = vincular("ARQ", {elemento("a", {1, 1, 1}, {})});
    estado.transformacionEditando.offsetY = 3;
    estado.modeloEditandoTransformacion = DireccionModelo{"ARQ", m.id, m.nombre};
    controlador->cancelarTransformacion();
    EXPECT_FALSE(estado.modeloEditandoTransformacion);
    EXPECT_EQ(m.transformacion, TransformacionModelo{});
    EXPECT_EQ(m.nodo->position, (scene::Vec3{}));

    estado.modeloEditandoTransformacion = DireccionModelo{"ARQ", m.id, m.nombre};
    controlador->confirmarTransformacion();
    EXPECT_FALSE(estado.modeloEditandoTransformacion);
    EXPECT_EQ(m.transformacion.offsetY, 3);
    EXPECT_EQ(m.nodo->position, (scene::Vec3{0, 3, 0}));

    // The model went away meanwhile: the sheet still closes.
    estado.modeloEditandoTransformacion = DireccionModelo{"ARQ", QUuid::createUuid(), "x"};
    controlador->confirmarTransformacion();
    EXPECT_FALSE(estado.modeloEditandoTransformacion);
}

TEST_F(Federation, BoxesOfATransformedModelAreTakenAfterItsTransformation)
{
    // Element nodes of a converted model sit at their parent's origin; the geometry holds
    // the coordinates.
    scene::NodePtr muro = elemento("IfcWall/M", {4000, 200, 3000}, {});
    ModeloVinculado& m = vincular("ARQ", {muro});

    // Untransformed: exactly the node's own box.
    EXPECT_EQ(cajaTransformada(*muro), muro->boundingBox());
    EXPECT_EQ(cajaTransformada(*m.nodo), m.nodo->boundingBox());

    TransformacionModelo t;
    t.unidades = TransformacionModelo::Unidades::milimetros;
    t.offsetX = 10;
    t.giroZ = 90;
    controlador->aplicarTransformacion("ARQ", m.id, t);
    const scene::Box caja = cajaTransformada(*muro);
    // 4 x 0.2 x 3 m turned a quarter about Z: 0.2 along X, 4 along Y, centred on x = 10.
    EXPECT_NEAR(caja.max.x - caja.min.x, 0.2, 1e-5);
    EXPECT_NEAR(caja.max.y - caja.min.y, 4.0, 1e-5);
    EXPECT_NEAR(caja.max.z - caja.min.z, 3.0, 1e-5);
    EXPECT_NEAR(caja.min.x, 9.9, 1e-5);
    EXPECT_NEAR(caja.min.y, -2.0, 1e-5);

    // Zooming the discipline frames the transformed model.
    controlador->zoomEspecialidad("ARQ");
    ASSERT_EQ(enfoques.size(), 1u);
    EXPECT_NEAR(enfoques[0].r, 4.0, 1e-4);
    EXPECT_NEAR(enfoques[0].x, 10.0, 1e-4);
}

TEST_F(Federation, HighlightingAModelFramesItAsPlacedAndTogglesOff)
{
    scene::NodePtr muro = elemento("IfcWall/M", {4000, 200, 3000}, {});
    scene::NodePtr grupo = scene::Node::make();
    ModeloVinculado& m = vincular("ARQ", {muro, grupo});
    ModeloVinculado& otro = vincular("EST", {elemento("IfcBeam/V", {1, 1, 1}, {})});

    // Untransformed: the container's own box.
    controlador->alternarResaltadoModelo("ARQ", m.id);
    ASSERT_EQ(enfoques.size(), 1u);
    EXPECT_FLOAT_EQ(enfoques[0].r, 4000.0f);
    EXPECT_EQ(*material(muro).emission.color(), (scene::Color{0, 0.75, 1.0, 1}));
    EXPECT_EQ(estado.nodosResaltados, (std::vector<scene::NodePtr>{muro}));

    // Switching to another model takes the glow off the first.
    controlador->alternarResaltadoModelo("EST", otro.id);
    EXPECT_EQ(*material(muro).emission.color(), scene::Color::black());
    EXPECT_EQ(estado.modeloResaltadoId, otro.id);

    // A model in millimetres, moved and turned, is framed where it stands, in metres.
    TransformacionModelo t;
    t.unidades = TransformacionModelo::Unidades::milimetros;
    t.offsetX = 10;
    t.giroZ = 90;
    controlador->aplicarTransformacion("ARQ", m.id, t);
    controlador->alternarResaltadoModelo("ARQ", m.id);
    ASSERT_EQ(enfoques.size(), 3u);
    EXPECT_NEAR(enfoques[2].r, 4.0, 1e-4);
    EXPECT_NEAR(enfoques[2].x, 10.0, 1e-4);
    EXPECT_NEAR(enfoques[2].y, 0.0, 1e-4);
    EXPECT_NEAR(enfoques[2].z, 0.0, 1e-4);

    // Again: off, no camera move.
    controlador->alternarResaltadoModelo("ARQ", m.id);
    EXPECT_FALSE(estado.modeloResaltadoId);
    EXPECT_TRUE(estado.nodosResaltados.empty());
    EXPECT_EQ(*material(muro).emission.color(), scene::Color::black());
    EXPECT_EQ(enfoques.size(), 3u);
}

TEST(Floor, LiesJustBelowTheSceneCentredOnTheOriginAndSizesTheShadowLight)
{
    scene::ScenePtr escena = scene::makeScene();
    const scene::NodePtr& raiz = escena->rootNode();
    scene::NodePtr luz = scene::Node::make();
    luz->name = std::string(kNombreLuzDireccional);
    luz->light = std::make_shared<scene::Light>();
    luz->light->orthographicScale = 7;
    raiz->addChild(luz);

    actualizarPiso(*raiz);  // empty scene: no floor, light untouched
    EXPECT_FALSE(raiz->childNamed(std::string(kNombrePiso), false));
    EXPECT_EQ(luz->light->orthographicScale, 7);

    raiz->addChild(elemento("a", {10, 20, 5}, {105, 210, -0.5}));
    actualizarPiso(*raiz);
    actualizarPiso(*raiz);
    int pisos = 0;
    for (const scene::NodePtr& n : raiz->children())
        pisos += n->hasName(kNombrePiso);
    EXPECT_EQ(pisos, 1);
    const scene::NodePtr piso = raiz->childNamed(std::string(kNombrePiso), false);
    EXPECT_NEAR(piso->position.x, 0, 1e-12);
    EXPECT_NEAR(piso->position.y, 0, 1e-12);
    EXPECT_NEAR(piso->position.z, -3.01, 1e-9);
    EXPECT_EQ(luz->light->orthographicScale, 30);  // 0.8 x 20 is below 30

    const scene::Material& mat = *piso->geometry->firstMaterial();
    EXPECT_EQ(mat.transparency, 0.75);
    EXPECT_FALSE(mat.doubleSided);
    EXPECT_EQ(mat.lightingModel, scene::LightingModel::Lambert);
    EXPECT_EQ(mat.diffuse.wrapS, scene::WrapMode::Repeat);
    EXPECT_EQ(mat.diffuse.scaleS, 5000);
    const scene::Box cajaPiso = piso->geometry->localBounds();
    EXPECT_NEAR(cajaPiso.max.x - cajaPiso.min.x, 5000, 1e-6);

    raiz->addChild(elemento("b", {100, 1, 1}, {0, 0, 0}));
    actualizarPiso(*raiz);
    EXPECT_NEAR(luz->light->orthographicScale, 0.8 * 220.5, 1e-9);  // y from -0.5 to 220
}

}  // namespace
}  // namespace quelva
