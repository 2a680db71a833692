// Link, slot and restore runs through the controller, with the stand-in converter.

#include "federation/ControladorFederacion.h"

#include "EntornoConversor.h"
#include "federation/grid/GridNode.h"
#include "viewport/NombresEscena.h"

#include <QFileInfo>

namespace quelva {
namespace {

using testfed::esperarHasta;
using testfed::vaciarColas;

class LinkRun : public testfed::EntornoConversor {
protected:
    void SetUp() override
    {
        EntornoConversor::SetUp();
        escena = scene::makeScene();
        ControladorFederacion::Servicios s;
        s.encuadrarTodo = [this]() { ++encuadres; };
        s.trelmActivo = [this]() { return trelmActivo; };
        s.compararVersionesTRELM = [this]() { ++comparaciones; };
        controlador = std::make_unique<ControladorFederacion>(estado, escena, s);
        fijar("QUELVA_CONV_OBJ", conv("dos_muros.obj"));
    }

    void elegir(const QString& archivo) { controlador->seleccionarArchivoIFC({{archivo}, std::nullopt}); }
    bool terminar() { return esperarHasta([this]() { return controlador->ejecucionesEnCurso() == 0; }); }
    scene::NodePtr raiz(const char* nombre) const { return escena->rootNode()->childNamed(nombre, false); }
    static const scene::Color* difuso(const scene::Node& n) { return n.geometry->firstMaterial()->diffuse.color(); }

    EstadoFederacion estado;
    scene::ScenePtr escena;
    std::unique_ptr<ControladorFederacion> controlador;
    int encuadres = 0;
    int comparaciones = 0;
    bool trelmActivo = false;
};

TEST_F(LinkRun, InsertsTheModelUnderItsDisciplineWithColourPropertiesGridAndFloor)
{
    const QString archivo = conv("muros_a.ifc");
    std::optional<int> encuadresAlInsertar;
    QObject::connect(controlador.get(), &ControladorFederacion::estadoCambiado, [&]() {
        if (!encuadresAlInsertar && estado.hayModelosCargados())
            encuadresAlInsertar = encuadres;
    });
    elegir(archivo);
    EXPECT_TRUE(estado.isProcessing);
    EXPECT_EQ(estado.fileName, "muros_a.ifc");
    ASSERT_TRUE(terminar());

    EXPECT_FALSE(estado.isProcessing);
    EXPECT_FALSE(estado.showError);
    const EspecialidadBIM& arq = estado.especialidades.at("ARQ");
    ASSERT_EQ(arq.modelos.size(), 1u);
    const ModeloVinculado& m = arq.modelos[0];
    EXPECT_EQ(m.nombre, "muros_a.ifc");
    EXPECT_EQ(m.rutaOrigen, archivo);
    EXPECT_TRUE(m.isVisible);
    EXPECT_EQ(m.transparencia, 0);
    EXPECT_EQ(m.transformacion, TransformacionModelo{});

    ASSERT_EQ(arq.nodoRaiz, raiz("esp_ARQ"));
    ASSERT_EQ(m.nodo->parent(), arq.nodoRaiz.get());
    ASSERT_EQ(m.nodo->children().size(), 2u);
    for (const scene::NodePtr& e : m.nodo->children()) {
        const scene::Color* c = difuso(*e);
        ASSERT_TRUE(c);
        EXPECT_NEAR(c->r, 0.85, 1e-4);
        EXPECT_NEAR(c->b, 0.85, 1e-4);
        EXPECT_EQ(e->geometry->firstMaterial()->transparency, 1.0);
        EXPECT_FALSE(e->hidden);
    }

    EXPECT_EQ(estado.propiedadesIFC.at("ARQ").at("Muro-A").at("Pset_WallCommon \u203A Material"), "Hormigón");
    ASSERT_EQ(estado.grillasIFC.size(), 2u);
    ASSERT_TRUE(estado.nodoGrillasIFC);
    EXPECT_EQ(estado.nodoGrillasIFC, raiz(kNombreNodoGrillas));

    const scene::NodePtr piso = raiz(std::string(kNombrePiso).c_str());
    ASSERT_TRUE(piso);
    EXPECT_NEAR(piso->position.z, -0.01, 1e-9);

    // The camera fit comes a moment later, and the OBJ is gone.
    EXPECT_EQ(encuadresAlInsertar, 0);
    EXPECT_TRUE(esperarHasta([this]() { return encuadres == 1; }));
    EXPECT_TRUE(archivosTemporales().isEmpty()) << archivosTemporales().join(", ").toStdString();
}

TEST_F(LinkRun, SecondFileReplacesSharedElementsPropertiesAndAddsOnlyNewGridAxes)
{
    elegir(conv("muros_a.ifc"));
    ASSERT_TRUE(terminar());
    elegir(conv("muros_b.ifc"));
    ASSERT_TRUE(terminar());

    const EspecialidadBIM& arq = estado.especialidades.at("ARQ");
    ASSERT_EQ(arq.modelos.size(), 2u);
    EXPECT_EQ(arq.nodoRaiz->children().size(), 2u);
    int raices = 0;
    for (const scene::NodePtr& n : escena->rootNode()->children())
        raices += n->hasName("esp_ARQ");
    EXPECT_EQ(raices, 1);

    const auto& muroA = estado.propiedadesIFC.at("ARQ").at("Muro-A");
    EXPECT_EQ(muroA.at("Pset_Obra \u203A Acabado"), "Pintura");
    EXPECT_FALSE(muroA.contains("Pset_WallCommon \u203A Material"));
    EXPECT_TRUE(estado.propiedadesIFC.at("ARQ").contains("Muro-B"));

    // A/U and 1/V from the first file; of the second only 2/V is new.
    std::vector<std::pair<std::string, bool>> ejes;
    for (const EjeGrilla& e : estado.grillasIFC)
        ejes.emplace_back(e.tag, e.esU);
    const std::vector<std::pair<std::string, bool>> esperados = {{"A", true}, {"1", false}, {"2", false}};
    EXPECT_EQ(ejes, esperados);
}

TEST_F(LinkRun, AxisListedTwiceInOneFileIsKeptTwice)
{
    elegir(conv("muros_b.ifc"));
    ASSERT_TRUE(terminar());
    ASSERT_EQ(estado.grillasIFC.size(), 3u);
    EXPECT_EQ(estado.grillasIFC[0].tag, "A");
    EXPECT_EQ(estado.grillasIFC[1].tag, "A");
}

TEST_F(LinkRun, KeepsTheDisciplineAndNameOfTheMomentTheFileWasChosen)
{
    const QString puerta = otro("abrir");
    fijar("QUELVA_CONV_ESPERA", puerta);

    estado.seleccionActual = "ARQ";
    elegir(conv("muros_a.ifc"));
    estado.seleccionActual = "EST";
    elegir(conv("muros_b.ifc"));
    estado.seleccionActual = "MEP";
    EXPECT_EQ(controlador->ejecucionesEnCurso(), 2);
    EXPECT_TRUE(estado.isProcessing);

    // The overlay stays while either run is still going.
    std::vector<std::pair<int, bool>> vistos;
    QObject::connect(controlador.get(), &ControladorFederacion::estadoCambiado, [&]() {
        const size_t n = estado.especialidades.at("ARQ").modelos.size() + estado.especialidades.at("EST").modelos.size();
        vistos.emplace_back(int(n), estado.isProcessing);
    });
    QFile(puerta).open(QIODevice::WriteOnly);
    ASSERT_TRUE(terminar());

    ASSERT_EQ(estado.especialidades.at("ARQ").modelos.size(), 1u);
    ASSERT_EQ(estado.especialidades.at("EST").modelos.size(), 1u);
    EXPECT_TRUE(estado.especialidades.at("MEP").modelos.empty());
    EXPECT_EQ(estado.especialidades.at("ARQ").modelos[0].nombre, "muros_a.ifc");
    EXPECT_EQ(estado.especialidades.at("EST").modelos[0].nombre, "muros_b.ifc");
    EXPECT_TRUE(estado.propiedadesIFC.at("EST").contains("Muro-A"));
    EXPECT_FALSE(estado.propiedadesIFC.at("ARQ").at("Muro-A").contains("Pset_Obra \u203A Acabado"));
    for (const auto& [modelos, procesando] : vistos) {
        if (modelos > 0) {
            EXPECT_EQ(procesando, modelos < 2);
        }
    }
    EXPECT_FALSE(estado.isProcessing);
    EXPECT_TRUE(esperarHasta([this]() { return encuadres == 2; }));
    EXPECT_TRUE(archivosTemporales().isEmpty());
}

TEST_F(LinkRun, DisciplineGoneWhileConvertingIsReportedWithoutAnEmptyRootNode)
{
    const QString puerta = otro("abrir");
    fijar("QUELVA_CONV_ESPERA", puerta);
    estado.seleccionActual = "TOP";
    elegir(conv("muros_a.ifc"));
    estado.especialidades.erase("TOP");
    QFile(puerta).open(QIODevice::WriteOnly);
    ASSERT_TRUE(terminar());

    EXPECT_FALSE(raiz("esp_TOP"));
    EXPECT_FALSE(estado.propiedadesIFC.contains("TOP"));
    EXPECT_TRUE(estado.showError);
    EXPECT_EQ(estado.errorMessage, "No se pudo vincular «muros_a.ifc»: la especialidad TOP ya no existe.");
    EXPECT_FALSE(estado.isProcessing);
    vaciarColas();
    EXPECT_TRUE(archivosTemporales().isEmpty());
}

TEST_F(LinkRun, FailuresEndInTheAlertWithNothingLinked)
{
    fijar("QUELVA_CONV_STATUS", "1");
    fijar("QUELVA_CONV_STDERR", "sin esquema");
    elegir(conv("muros_a.ifc"));
    ASSERT_TRUE(terminar());
    EXPECT_TRUE(estado.showError);
    EXPECT_EQ(estado.errorMessage, "IfcConvert falló (código 1):\nsin esquema");
    EXPECT_FALSE(estado.isProcessing);
    EXPECT_FALSE(estado.hayModelosCargados());
    // Nothing left standing in for it either: a save would write a model that never linked.
    EXPECT_TRUE(estado.especialidades.at("ARQ").pendientes.empty());
    EXPECT_TRUE(estado.propiedadesIFC.empty());
    EXPECT_TRUE(archivosTemporales().isEmpty());

    // Without the converter in the bundle nothing starts.
    QTemporaryDir vacio;
    platform::Resources::setBundleDir(vacio.path());
    estado.showError = false;
    elegir(conv("muros_a.ifc"));
    EXPECT_EQ(controlador->ejecucionesEnCurso(), 0);
    EXPECT_FALSE(estado.isProcessing);
    EXPECT_TRUE(estado.showError);
    EXPECT_EQ(estado.errorMessage, "No se encontró el motor IfcConvert en el bundle de la app.");
    EXPECT_TRUE(estado.especialidades.at("ARQ").pendientes.empty());
}

TEST_F(LinkRun, FileImporterErrorsAndEmptyChoices)
{
    controlador->seleccionarArchivoIFC({{}, QStringLiteral("permiso denegado")});
    EXPECT_TRUE(estado.showError);
    EXPECT_EQ(estado.errorMessage, "Error al seleccionar archivo: permiso denegado");

    estado.showError = false;
    estado.isProcessing = false;
    controlador->seleccionarArchivoIFC({{}, std::nullopt});
    EXPECT_FALSE(estado.showError);
    EXPECT_FALSE(estado.isProcessing);
    EXPECT_EQ(controlador->ejecucionesEnCurso(), 0);
}

TEST_F(LinkRun, FileForAPendingSlotGoesToTheComparisonHidden)
{
    estado.seleccionandoTRELM = "BASE";
    elegir(conv("muros_a.ifc"));
    EXPECT_FALSE(estado.seleccionandoTRELM);
    EXPECT_EQ(estado.fileName, "Ningún archivo seleccionado");
    ASSERT_TRUE(terminar());

    ASSERT_TRUE(estado.modeloBase);
    EXPECT_EQ(estado.modeloBase->parent(), escena->rootNode().get());
    EXPECT_TRUE(estado.modeloBase->hidden);
    EXPECT_EQ(estado.fileNameBase, "muros_a.ifc");
    EXPECT_EQ(estado.globalIdTrelmBase.at("Muro-A"), "1bNzHUq5P1YuqiAq7JxM3P");
    EXPECT_FALSE(estado.isProcessing);
    EXPECT_FALSE(estado.hayModelosCargados());
    EXPECT_EQ(comparaciones, 0);

    // Loading the base slot again replaces its node; with a comparison shown it is run again.
    const scene::NodePtr anterior = estado.modeloBase;
    trelmActivo = true;
    controlador->cargarIFCEnSlot(conv("muros_b.ifc"), "BASE");
    ASSERT_TRUE(terminar());
    EXPECT_EQ(anterior->parent(), nullptr);
    EXPECT_NE(estado.modeloBase, anterior);
    EXPECT_EQ(estado.fileNameBase, "muros_b.ifc");
    EXPECT_EQ(estado.globalIdTrelmBase.size(), 1u);
    EXPECT_EQ(comparaciones, 1);

    controlador->cargarIFCEnSlot(conv("muros_a.ifc"), "otro");
    ASSERT_TRUE(terminar());
    EXPECT_EQ(estado.fileNameNuevo, "muros_a.ifc");
    EXPECT_TRUE(estado.modeloNuevo);
    EXPECT_TRUE(archivosTemporales().isEmpty());
}

TEST_F(LinkRun, SlotRunFailureKeepsTheSlot)
{
    fijar("QUELVA_CONV_STATUS", "4");
    fijar("QUELVA_CONV_STDERR", "roto");
    controlador->cargarIFCEnSlot(conv("muros_a.ifc"), "NUEVO");
    ASSERT_TRUE(terminar());
    EXPECT_EQ(estado.errorMessage, "IfcConvert falló:\nroto");
    EXPECT_FALSE(estado.modeloNuevo);
    EXPECT_EQ(estado.fileNameNuevo, "Sin versión nueva");
    EXPECT_TRUE(archivosTemporales().isEmpty());
}

// The link OBJ waits in the temporary directory for the completion to place the model; when
// nobody places it (the controller destroyed, or the result dropped as the application quits
// and discards what is still queued) it must still go.
TEST_F(LinkRun, LinkOBJIsRemovedWhenTheResultIsNeverPlaced)
{
    for (const bool sinControlador : {true, false}) {
        SCOPED_TRACE(sinControlador ? "controller destroyed" : "completion discarded");
        const QString puerta = otro(sinControlador ? "abrir1" : "abrir2");
        fijar("QUELVA_CONV_ESPERA", puerta);
        elegir(conv("muros_a.ifc"));
        if (sinControlador)
            controlador.reset();
        QFile(puerta).open(QIODevice::WriteOnly);
        platform::BackgroundQueue::waitForIdle();
        if (!sinControlador)
            QCoreApplication::removePostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
        vaciarColas();
        EXPECT_TRUE(archivosTemporales().isEmpty()) << archivosTemporales().join(", ").toStdString();
        EXPECT_FALSE(estado.hayModelosCargados());
        if (!controlador) {
            ControladorFederacion::Servicios s;
            controlador = std::make_unique<ControladorFederacion>(estado, escena, s);
        }
    }
}

class RestoreRun : public LinkRun {};

TEST_F(RestoreRun, InsertsWithTheSavedVisibilityAndTransparencyAndFitsAtOnce)
{
    const QString archivo = conv("muros_a.ifc");
    ASSERT_TRUE(controlador->restaurarModeloGuardado(archivo, "EST", "guardado.ifc", false, 0.7));
    ASSERT_TRUE(esperarHasta([this]() { return !estado.especialidades.at("EST").modelos.empty(); }));

    const EspecialidadBIM& est = estado.especialidades.at("EST");
    const ModeloVinculado& m = est.modelos[0];
    EXPECT_EQ(m.nombre, "guardado.ifc");
    EXPECT_FALSE(m.isVisible);
    EXPECT_DOUBLE_EQ(m.transparencia, 0.7);
    EXPECT_EQ(m.rutaOrigen, archivo);
    EXPECT_TRUE(m.nodo->hidden);
    for (const scene::NodePtr& e : m.nodo->children())
        EXPECT_NEAR(e->geometry->firstMaterial()->transparency, 0.3, 1e-12);
    EXPECT_EQ(est.nodoRaiz, raiz("esp_EST"));
    EXPECT_EQ(encuadres, 1);
    EXPECT_TRUE(raiz(std::string(kNombrePiso).c_str()));
    EXPECT_TRUE(estado.propiedadesIFC.at("EST").contains("Muro-A"));
    // Grid axes are read in the same pass as the properties; no processing flag.
    ASSERT_EQ(estado.grillasIFC.size(), 2u);
    EXPECT_TRUE(estado.nodoGrillasIFC);
    EXPECT_FALSE(estado.isProcessing);
    vaciarColas();
    EXPECT_TRUE(archivosTemporales().isEmpty());
}

TEST_F(RestoreRun, ModelOfAProjectClosedMeanwhileIsDropped)
{
    const QString puerta = otro("abrir");
    fijar("QUELVA_CONV_ESPERA", puerta);
    ASSERT_TRUE(controlador->restaurarModeloGuardado(conv("muros_a.ifc"), "ARQ", "viejo.ifc", true, 0));
    controlador->nuevaGeneracionProyecto();
    QFile(puerta).open(QIODevice::WriteOnly);
    vaciarColas();

    EXPECT_TRUE(estado.especialidades.at("ARQ").modelos.empty());
    EXPECT_FALSE(raiz("esp_ARQ"));
    EXPECT_TRUE(estado.propiedadesIFC.empty());
    EXPECT_EQ(encuadres, 0);
    EXPECT_TRUE(archivosTemporales().isEmpty());
}

TEST_F(RestoreRun, ModelOfAMissingDisciplineIsReportedNotDropped)
{
    ASSERT_TRUE(controlador->restaurarModeloGuardado(conv("muros_a.ifc"), "SAN", "sanitarias.ifc", true, 0));
    ASSERT_TRUE(esperarHasta([this]() { return estado.showError; }));
    EXPECT_EQ(estado.errorMessage, "No se pudo restaurar «sanitarias.ifc»: la especialidad SAN no existe.");
    EXPECT_FALSE(raiz("esp_SAN"));
    EXPECT_FALSE(estado.propiedadesIFC.contains("SAN"));
    vaciarColas();
    EXPECT_TRUE(archivosTemporales().isEmpty());
}

TEST_F(RestoreRun, FailsSilentlyAndNeedsTheConverter)
{
    fijar("QUELVA_CONV_STATUS", "1");
    ASSERT_TRUE(controlador->restaurarModeloGuardado(conv("muros_a.ifc"), "ARQ", "x.ifc", true, 0));
    vaciarColas();
    EXPECT_FALSE(estado.showError);
    EXPECT_FALSE(estado.hayModelosCargados());
    EXPECT_TRUE(archivosTemporales().isEmpty());

    QTemporaryDir vacio;
    platform::Resources::setBundleDir(vacio.path());
    EXPECT_FALSE(controlador->restaurarModeloGuardado(conv("muros_a.ifc"), "ARQ", "x.ifc", true, 0));
}

}  // namespace
}  // namespace quelva
