// End to end with the real converter of the bundle: link a small IFC file, then unlink it.

#include "federation/ControladorFederacion.h"

#include "EntornoConversor.h"
#include "clash/Interferencia.h"
#include "federation/ConversionIFC.h"
#include "platform/TemporaryFiles.h"
#include "viewport/NombresEscena.h"

#include <QFileInfo>

namespace quelva {
namespace {

class RealConverter : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The build makes the converter before these tests: a missing or broken one is a failure.
        motor = QDir(testsupport::bundleDir()).filePath("IfcConvert");
        ASSERT_TRUE(QFileInfo(motor).isExecutable()) << "IfcConvert is not built beside the tests";
        const QString prueba = platform::temporaryWorkPath(".obj");
        auto salida = convertirIFC(archivo(), motor, prueba);
        QFile::remove(prueba);
        if (auto* error = std::get_if<QString>(&salida))
            FAIL() << "IfcConvert cannot convert the fixture: " << error->toStdString();
        platform::Resources::setBundleDir(testsupport::bundleDir());
    }
    void TearDown() override { platform::Resources::setBundleDir(QString()); }

    static QString archivo() { return testsupport::fixturePath("federation/modelo_arq.ifc"); }

    QString motor;
};

TEST_F(RealConverter, LinksAModelWithItsElementsColourPropertiesGridAndFloorAndUnlinksIt)
{
    EstadoFederacion estado;
    scene::ScenePtr escena = scene::makeScene();
    std::vector<Interferencia> interferencias;
    ControladorFederacion::Servicios s;
    s.hayInterferencias = [&]() { return !interferencias.empty(); };
    s.quitarResaltado = [&]() {
        for (const Interferencia& i : interferencias)
            for (const scene::NodePtr& n : {i.nodoA, i.nodoB})
                if (n->geometry && n->geometry->firstMaterial())
                    n->geometry->firstMaterial()->emission.contents = scene::Color::black();
        interferencias.clear();
    };
    ControladorFederacion controlador(estado, escena, s);

    controlador.seleccionarArchivoIFC({{archivo()}, std::nullopt});
    ASSERT_TRUE(testfed::esperarHasta([&]() { return controlador.ejecucionesEnCurso() == 0; }));
    ASSERT_FALSE(estado.showError) << estado.errorMessage.value_or("").toStdString();

    const scene::NodePtr raiz = escena->rootNode()->childNamed("esp_ARQ", false);
    ASSERT_TRUE(raiz);
    const EspecialidadBIM& arq = estado.especialidades.at("ARQ");
    ASSERT_EQ(arq.modelos.size(), 1u);
    EXPECT_EQ(arq.modelos[0].nombre, "modelo_arq.ifc");
    const scene::NodePtr contenedor = arq.modelos[0].nodo;
    ASSERT_EQ(contenedor->parent(), raiz.get());

    std::set<std::string> nombres;
    for (const scene::NodePtr& e : contenedor->children()) {
        ASSERT_TRUE(e->name);
        nombres.insert(*e->name);
        const scene::Color* c = e->geometry->firstMaterial()->diffuse.color();
        ASSERT_TRUE(c);
        EXPECT_NEAR(c->r, 0.85, 1e-4);
        EXPECT_NEAR(c->g, 0.85, 1e-4);
        EXPECT_EQ(e->geometry->firstMaterial()->transparency, 1.0);
    }
    EXPECT_EQ(contenedor->children().size(), 3u);
    EXPECT_EQ(nombres, (std::set<std::string>{"Muro-Sur", "Muro-Oeste", "Losa-Planta"}));

    // Every element finds its properties under its node's name.
    const TablaPropiedadesIFC& tabla = estado.propiedadesIFC.at("ARQ");
    EXPECT_EQ(tabla.at("Muro-Sur").at("Pset_WallCommon \u203A Material"), "Hormigón");
    EXPECT_EQ(tabla.at("Muro-Oeste").at("__tipoIFC"), "IFCWALL");
    EXPECT_EQ(tabla.at("Losa-Planta").at("__tipoIFC"), "IFCSLAB");

    ASSERT_EQ(estado.grillasIFC.size(), 3u);
    ASSERT_TRUE(estado.nodoGrillasIFC);
    EXPECT_EQ(estado.nodoGrillasIFC->parent(), escena->rootNode().get());
    const scene::NodePtr piso = escena->rootNode()->childNamed(std::string(kNombrePiso), false);
    ASSERT_TRUE(piso);
    EXPECT_NEAR(piso->position.z, -0.21, 1e-4);  // the slab's underside is at z = -0.2
    EXPECT_EQ(controlador.especialidadDeNodo(*contenedor->children()[0]), "ARQ");

    // A clash between two of its elements glows until the discipline is unlinked.
    Interferencia clash;
    clash.nodoA = contenedor->children()[0];
    clash.nodoB = contenedor->children()[1];
    clash.nodoA->geometry->firstMaterial()->emission.contents = scene::Color{1, 0.5, 0, 1};
    interferencias.push_back(clash);

    controlador.desvincularTodos("ARQ");
    EXPECT_FALSE(escena->rootNode()->childNamed("esp_ARQ", false));
    EXPECT_EQ(contenedor->parent(), raiz.get());
    EXPECT_FALSE(estado.especialidades.at("ARQ").nodoRaiz);
    EXPECT_TRUE(estado.especialidades.at("ARQ").modelos.empty());
    EXPECT_FALSE(estado.propiedadesIFC.contains("ARQ"));
    EXPECT_TRUE(interferencias.empty());
    EXPECT_EQ(*clash.nodoA->geometry->firstMaterial()->emission.color(), scene::Color::black());
    EXPECT_FALSE(estado.hayModelosCargados());
}

}  // namespace
}  // namespace quelva
