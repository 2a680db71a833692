// Restoring a document into the window's state with the stand-in converter, and the state
// written back.

#include "project/CodificacionProyecto.h"
#include "project/ConversionProyecto.h"

#include "federation/ControladorFederacion.h"
#include "federation/EntornoConversor.h"
#include "sections/AlmacenesSeccion.h"
#include "timeline/TimeLinerStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <set>

#include <nlohmann/json.hpp>

namespace quelva {
namespace {

using nlohmann::json;
using testfed::esperarHasta;
using testfed::vaciarColas;

class Restauracion : public testfed::EntornoConversor {
protected:
    void SetUp() override
    {
        EntornoConversor::SetUp();
        ControladorFederacion::Servicios s;
        controlador = std::make_unique<ControladorFederacion>(fed, escena, s);
        fijar("QUELVA_CONV_OBJ", conv("dos_muros.obj"));
        servicios.quitarResaltado = [this] { ++resaltadosQuitados; };
        servicios.trelmActivo = [] { return false; };
        servicios.colorEtiqueta = Qt::black;
    }

    int restaurar(const ProyectoQUELVA& p, std::optional<QString> base = std::nullopt)
    {
        EstadoAplicacion e = estado();
        return restaurarProyecto(e, *controlador, servicios, p, base);
    }
    EstadoAplicacion estado() { return {fed, clashes, store, comentarios, secciones, cotas, etiquetas}; }
    QByteArray guardar() { return std::get<QByteArray>(codificarProyectoQUELVA(proyectoDesdeEstado(estado()))); }
    scene::NodePtr raiz(const char* nombre) const { return escena->rootNode()->childNamed(nombre, false); }

    static ProyectoQUELVA proyecto(const json& j)
    {
        auto r = decodificarProyectoQUELVA(QByteArray::fromStdString(j.dump()));
        EXPECT_TRUE(std::holds_alternative<ProyectoQUELVA>(r)) << std::get<QString>(r).toStdString();
        return std::get<ProyectoQUELVA>(r);
    }
    static json modelo(const QString& nombre, const QString& ruta, bool visible = true, double transparencia = 0)
    {
        return {{"nombre", nombre.toStdString()},
                {"rutaAbsoluta", ruta.toStdString()},
                {"isVisible", visible},
                {"transparencia", transparencia}};
    }
    static json especialidad(const char* key, json modelos)
    {
        return {{"key", key},         {"nombre", key},          {"icono", "folder"},   {"colorR", 0.5},
                {"colorG", 0.25},     {"colorB", 1},            {"isVisible", true},   {"modelos", modelos}};
    }
    static json documento(json especialidades, json orden)
    {
        return {{"version", 2}, {"ordenEspecialidades", orden}, {"especialidades", especialidades},
                {"historialAnalisis", json::array()}};
    }

    EstadoFederacion fed;
    EstadoInterferencias clashes;
    TimeLinerStore store{TimeLinerConfig{}, nullptr};
    std::vector<ComentarioMarkup> comentarios;
    std::vector<SeccionGuardada> secciones;
    AlmacenCotas cotas;
    AlmacenEtiquetas etiquetas;
    scene::ScenePtr escena = scene::makeScene();
    std::unique_ptr<ControladorFederacion> controlador;
    ServiciosRestauracion servicios;
    int resaltadosQuitados = 0;
};

TEST_F(Restauracion, ModelsComeBackInSavedPlaceWithTheirLookAndTransformation)
{
    json a = modelo("a.ifc", conv("muros_a.ifc"), true, 0.25);
    a["transformacion"] = {{"unidades", "Milímetros"}, {"offsetX", 2.0}, {"offsetY", 0}, {"offsetZ", 0}, {"giroZ", 90.0}};
    const json doc = documento(json::array({especialidad("ARQ", json::array({a, modelo("b.ifc", conv("muros_b.ifc"), false, 0.5)}))}),
                               json::array({"ARQ"}));
    restaurar(proyecto(doc));
    // Before the conversions end both models are pending, and a save writes them back as read.
    EXPECT_EQ(fed.especialidades.at("ARQ").pendientes.size(), 2u);
    ASSERT_TRUE(esperarHasta([this] { return fed.especialidades.at("ARQ").modelos.size() == 2; }));
    vaciarColas();

    const EspecialidadBIM& arq = fed.especialidades.at("ARQ");
    EXPECT_TRUE(arq.pendientes.empty());
    EXPECT_EQ(arq.modelos[0].nombre, "a.ifc");
    EXPECT_EQ(arq.modelos[1].nombre, "b.ifc");
    EXPECT_DOUBLE_EQ(arq.modelos[0].transparencia, 0.25);
    EXPECT_FALSE(arq.modelos[1].isVisible);
    EXPECT_TRUE(arq.modelos[1].nodo->hidden);
    EXPECT_EQ(arq.modelos[0].transformacion.unidades, TransformacionModelo::Unidades::milimetros);
    EXPECT_NEAR(arq.modelos[0].nodo->scale.x, 0.001, 1e-9);
    EXPECT_NEAR(arq.modelos[0].nodo->position.x, 2.0, 1e-6);
    EXPECT_EQ(arq.modelos[1].transformacion, TransformacionModelo{});
    EXPECT_EQ(arq.nodoRaiz, raiz("esp_ARQ"));
    EXPECT_FALSE(fed.showError);
    // Grid axes of both files ("1" is in one, "2" in the other).
    std::set<std::string> tags;
    for (const EjeGrilla& eje : fed.grillasIFC)
        tags.insert(eje.tag);
    EXPECT_TRUE(tags.contains("1") && tags.contains("2"));
    EXPECT_TRUE(fed.nodoGrillasIFC);

    const json guardado = json::parse(guardar().toStdString());
    EXPECT_EQ(guardado["especialidades"][0]["modelos"][0]["transformacion"], a["transformacion"]);
    EXPECT_EQ(guardado["especialidades"][0]["modelos"][1]["nombre"], "b.ifc");
    EXPECT_FALSE(guardado["especialidades"][0]["modelos"][1].contains("transformacion"));
}

TEST_F(Restauracion, ConversionsEndingOutOfOrderStillLandInSavedOrder)
{
    fed.especialidades = especialidadesDesdeGuardado(proyecto(documento(
        json::array({especialidad("EST", json::array({modelo("0.ifc", "/x/0.ifc"), modelo("1.ifc", "/x/1.ifc"),
                                                      modelo("2.ifc", "/x/2.ifc")}))}),
        json::array({"EST"}))).especialidades);
    const int gen = controlador->generacionProyecto();
    for (int orden : {2, 0, 1}) {
        ResultadoRestauracion r;
        r.key = "EST";
        r.orden = orden;
        r.nombre = QString::number(orden) + ".ifc";
        r.nodo = scene::Node::make();
        controlador->integrarModeloRestaurado(std::move(r), gen);
    }
    QStringList nombres;
    for (const ModeloVinculado& m : fed.especialidades.at("EST").modelos)
        nombres << m.nombre;
    EXPECT_EQ(nombres, QStringList({"0.ifc", "1.ifc", "2.ifc"}));
    // A model the user links afterwards goes after them.
    EXPECT_TRUE(fed.especialidades.at("EST").pendientes.empty());
}

TEST_F(Restauracion, MissingAndFailedModelsAreReportedOnceAndSavedBackInPlace)
{
    fijar("QUELVA_CONV_STATUS", "1");
    const QString ausente = otro("no-existe/planta.ifc");
    const QByteArray original = QByteArray::fromStdString(
        documento(json::array({especialidad("ARQ", json::array({modelo("planta.ifc", ausente, false, 0.5),
                                                                modelo("falla.ifc", conv("muros_a.ifc"))}))}),
                  json::array({"ARQ"}))
            .dump());
    restaurar(std::get<ProyectoQUELVA>(decodificarProyectoQUELVA(original)));
    EXPECT_FALSE(fed.showError);  // not before the runs have ended
    vaciarColas();

    ASSERT_TRUE(fed.showError);
    EXPECT_EQ(fed.errorMessage,
              QStringLiteral("No se pudo restaurar «planta.ifc» (%1): se conserva en el proyecto.\n"
                             "No se pudo restaurar «falla.ifc» (%2): se conserva en el proyecto.")
                  .arg(ausente, conv("muros_a.ifc")));
    EXPECT_FALSE(fed.hayModelosCargados());
    const json guardado = json::parse(guardar().toStdString());
    EXPECT_EQ(guardado["especialidades"], json::parse(original.toStdString())["especialidades"]);
    EXPECT_TRUE(archivosTemporales().isEmpty());
}

TEST_F(Restauracion, NothingOfAnEarlierProjectsRunsLandsInTheNewOne)
{
    const QString puerta = otro("abrir");
    fijar("QUELVA_CONV_ESPERA", puerta);
    // A link, a comparison slot and a restore of the first project, all still converting.
    fed.seleccionActual = "ARQ";
    controlador->vincularIFC(conv("muros_a.ifc"));
    controlador->cargarIFCEnSlot(conv("muros_a.ifc"), "BASE");
    restaurar(proyecto(documento(json::array({especialidad("ARQ", json::array({modelo("viejo.ifc", conv("muros_a.ifc"))}))}),
                                 json::array({"ARQ"}))));
    // The second project has the same discipline, with nothing to convert.
    restaurar(proyecto(documento(json::array({especialidad("ARQ", json::array())}), json::array({"ARQ"}))));
    QFile(puerta).open(QIODevice::WriteOnly);
    vaciarColas();
    ASSERT_TRUE(esperarHasta([this] { return controlador->ejecucionesEnCurso() == 0; }));

    EXPECT_FALSE(fed.hayModelosCargados());
    EXPECT_TRUE(fed.especialidades.at("ARQ").modelos.empty());
    EXPECT_FALSE(fed.modeloBase);
    EXPECT_TRUE(fed.propiedadesIFC.empty());
    EXPECT_TRUE(fed.grillasIFC.empty());
    EXPECT_FALSE(fed.isProcessing);
    EXPECT_FALSE(fed.showError);
    EXPECT_TRUE(archivosTemporales().isEmpty());
}

TEST_F(Restauracion, ReplacesTheWholeStateAndLeavesNoGhostGeometry)
{
    // The open project: a discipline missing from the order with a root in the scene, grids,
    // a comparison slot, a clash history, comments, sections and stores.
    fed.especialidades["FANT"].nodoRaiz = scene::Node::make();
    escena->rootNode()->addChild(fed.especialidades["FANT"].nodoRaiz);
    fed.grillasIFC.resize(1);
    controlador->construirNodoGrillas();
    fed.modeloBase = scene::Node::make();
    escena->rootNode()->addChild(fed.modeloBase);
    fed.fileNameBase = "base.ifc";
    fed.propiedadesIFC["ARQ"]["x"]["k"] = "v";
    clashes.historialAnalisis.resize(1);
    clashes.analisisExpandidos.insert(QUuid::createUuid());
    comentarios.resize(2);
    secciones.resize(1);
    cotas.porTitulo["viejo"];
    etiquetas.porTitulo["viejo"];

    const QByteArray bytes = QByteArray::fromStdString(testsupport::readFixture("project/proyecto.json"));
    json doc = json::parse(bytes.toStdString());
    doc["especialidades"].push_back(especialidad("ARQ", json::array()));  // a later "ARQ" wins
    doc["historialAnalisis"][0]["interferencias"][0]["estado"] = "Cerrado";
    doc.erase("timeLiner");
    const ProyectoQUELVA p = proyecto(doc);
    restaurar(p);
    vaciarColas();

    EXPECT_EQ(escena->rootNode()->children().size(), 0u) << "every root, slot and grid node detached";
    EXPECT_EQ(resaltadosQuitados, 1);
    EXPECT_EQ(fed.fileNameBase, "Sin versión base");
    EXPECT_TRUE(fed.propiedadesIFC.empty());
    EXPECT_TRUE(fed.grillasIFC.empty());
    EXPECT_FALSE(fed.nodoGrillasIFC);
    EXPECT_EQ(fed.ordenEspecialidades, QStringList({"ARQ", "EST"}));
    ASSERT_EQ(fed.especialidades.size(), 1u);
    EXPECT_EQ(fed.especialidades.at("ARQ").colorOriginal, QColor::fromRgbF(0.5f, 0.25f, 1.0f));
    EXPECT_TRUE(fed.especialidades.at("ARQ").pendientes.empty());

    ASSERT_EQ(clashes.historialAnalisis.size(), 1u);
    EXPECT_TRUE(clashes.analisisExpandidos.isEmpty());
    const Interferencia& i = clashes.historialAnalisis[0].interferencias.at(0);
    EXPECT_EQ(i.id, p.historialAnalisis[0].interferencias[0].id);
    EXPECT_EQ(i.estado, EstadoClash::abierto);
    EXPECT_EQ(i.nombreB, "Viga-3");
    EXPECT_EQ(i.viewpointTarget.z, 0.3);
    EXPECT_EQ(i.radio, 0.75);
    ASSERT_TRUE(i.nodoA && i.nodoB);
    EXPECT_NE(i.nodoA, i.nodoB);
    EXPECT_FALSE(i.nodoA->parent());
    EXPECT_FALSE(i.nodoA->name);

    // No timeline in the file: the default one.
    EXPECT_TRUE(store.config().paquetes.empty());
    EXPECT_EQ(store.config().moneda, "USD");
    EXPECT_EQ(comentarios.size(), 1u);
    EXPECT_EQ(comentarios[0].tag, "MRK-001");
    EXPECT_EQ(secciones, *p.secciones);
    EXPECT_EQ(cotas.porTitulo, *p.cotasPorSeccion);
    ASSERT_EQ(etiquetas.porTitulo.size(), 2u);
    const Etiqueta2D& e = etiquetas.porTitulo.at("Planta Z = 1.00 m").at(0);
    EXPECT_EQ(e.nombre, "Muro-A");
    EXPECT_EQ(e.offsetTexto, (Punto2D{0.5f, -1.25f}));
    EXPECT_EQ(e.ancla, Punto2D{});
    EXPECT_TRUE(e.tipoIFC.isEmpty());
    EXPECT_EQ(e.color, QColor(Qt::black));
    EXPECT_TRUE(etiquetas.porTitulo.at("Vacía").empty());
}

TEST_F(Restauracion, OpenThenSaveGivesTheSameFile)
{
    // Its models are not on this machine: they stay pending and go back unchanged.
    json doc = json::parse(testsupport::readFixture("project/proyecto.json"));
    doc["especialidades"][0]["modelos"][1].erase("rutaRelativa");  // a plain save writes none
    const QByteArray bytes = QByteArray::fromStdString(doc.dump(2) + "\n");
    restaurar(std::get<ProyectoQUELVA>(decodificarProyectoQUELVA(bytes)));
    vaciarColas();
    EXPECT_EQ(guardar(), bytes);
}

TEST(LocalizarModelo, RelativePathsOnlyInsideTheBaseFolder)
{
    QTemporaryDir dir;
    const QString base = dir.filePath("paquete");
    QDir().mkpath(base + "/modelos");
    QDir().mkpath(dir.filePath("fuera"));
    for (const QString& f : {base + "/modelos/a.ifc", dir.filePath("fuera/b.ifc")})
        QFile(f).open(QIODevice::WriteOnly);
    QFile::link(dir.filePath("fuera/b.ifc"), base + "/modelos/enlace.ifc");

    struct Caso {
        const char* nombre;
        QString absoluta;
        std::optional<QString> relativa;
        std::optional<QString> carpeta;
        std::optional<QString> esperado;
    };
    const Caso casos[] = {
        {"absoluta existente", dir.filePath("fuera/b.ifc"), "modelos/a.ifc", base, dir.filePath("fuera/b.ifc")},
        {"relativa bajo la base", "/no/existe.ifc", "modelos/a.ifc", base, QFileInfo(base + "/modelos/a.ifc").canonicalFilePath()},
        {"sin carpeta base", "/no/existe.ifc", "modelos/a.ifc", std::nullopt, std::nullopt},
        {"escape con ..", "", "../fuera/b.ifc", base, std::nullopt},
        {"escape por enlace", "", "modelos/enlace.ifc", base, std::nullopt},
        {"relativa absoluta", "", dir.filePath("fuera/b.ifc"), base, std::nullopt},
        {"relativa vacía", "", "", base, std::nullopt},
        {"carpeta como modelo", "", "modelos", base, std::nullopt},
        {"absoluta que es carpeta", base, std::nullopt, std::nullopt, std::nullopt},
    };
    for (const Caso& c : casos) {
        ModeloGuardado m;
        m.rutaAbsoluta = c.absoluta;
        m.rutaRelativa = c.relativa;
        EXPECT_EQ(localizarModelo(m, c.carpeta), c.esperado) << c.nombre;
    }
}

TEST(ConvertirEspecialidades, FollowsTheOrderAndWritesColoursAsRead)
{
    TablaEspecialidades tabla;
    tabla["ARQ"].colorOriginal = QColor::fromRgbF(0.85f, 0.1f, 1.0f);
    tabla["MEP"].nombre = "MEP";
    ModeloVinculado sinRuta;
    sinRuta.nombre = "x.ifc";
    tabla["ARQ"].modelos.push_back(sinRuta);
    const auto lista = convertirEspecialidades({"ARQ", "NADA"}, tabla);
    ASSERT_EQ(lista.size(), 1u);
    EXPECT_EQ(lista[0].key, "ARQ");
    EXPECT_EQ(lista[0].colorR, 0.85);
    EXPECT_EQ(lista[0].colorG, 0.1);
    EXPECT_EQ(lista[0].colorB, 1.0);
    ASSERT_EQ(lista[0].modelos.size(), 1u);
    EXPECT_EQ(lista[0].modelos[0].rutaAbsoluta, "");
    EXPECT_FALSE(lista[0].modelos[0].rutaRelativa);
}

}  // namespace
}  // namespace quelva
