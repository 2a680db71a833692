// The shareable package without the window: names of the copies, the archive's layout, an
// earlier package kept on failure, and opening: the sent copies win, hostile archives and
// documents are refused or contained.

#include "project/PaqueteCompartible.h"

#include "platform/ZipReader.h"
#include "project/CodificacionProyecto.h"
#include "project/ConversionProyecto.h"
#include "support/LimiteTamano.h"
#include "support/ZipArmado.h"
#include "support/Esperar.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quelva {
namespace {

using testsupport::escribirArchivo;
using testsupport::leerArchivo;

ModeloGuardado modelo(const QString& nombre, const QString& ruta)
{
    ModeloGuardado m;
    m.nombre = nombre;
    m.rutaAbsoluta = ruta;
    m.transparencia = 0.25;
    return m;
}

EspecialidadGuardada especialidad(const QString& key, std::vector<ModeloGuardado> modelos)
{
    EspecialidadGuardada e;
    e.key = key;
    e.nombre = key;
    e.icono = QStringLiteral("folder");
    e.modelos = std::move(modelos);
    return e;
}

ProyectoQUELVA documento(std::vector<EspecialidadGuardada> especialidades)
{
    ProyectoQUELVA p;
    for (const auto& e : especialidades)
        p.ordenEspecialidades << e.key;
    p.especialidades = std::move(especialidades);
    p.timeLiner = TimeLinerConfig{};
    p.secciones.emplace();
    p.cotasPorSeccion.emplace();
    p.etiquetasPorSeccion.emplace();
    p.comentarios.emplace();
    return p;
}

QStringList listaUnzip(const QString& archivo)
{
    QProcess p;
    p.start(QStandardPaths::findExecutable("unzip"), {"-Z1", archivo});
    p.waitForFinished(testsupport::kLimiteCuelgue);
    return QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

class Paquete : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(QStandardPaths::findExecutable("unzip").isEmpty()) << "scripts/setup installs unzip";
        ASSERT_TRUE(QDir().mkpath(fuente("a")) && QDir().mkpath(fuente("b")) && QDir().mkpath(paquetes()));
        ASSERT_TRUE(escribirArchivo(fuente("a/planta.ifc"), "ISO planta A"));
        ASSERT_TRUE(escribirArchivo(fuente("b/planta.ifc"), "ISO planta B"));
        ASSERT_TRUE(escribirArchivo(fuente("b/cubierta"), "ISO cubierta"));
        ASSERT_TRUE(escribirArchivo(fuente("a/cubierta"), "ISO otra cubierta"));
    }
    QString fuente(const QString& r) const { return dir_.filePath("fuentes/" + r); }
    QString paquetes() const { return dir_.filePath("paquetes"); }
    QString destino() const { return dir_.filePath("obra.quelvapkg"); }

    // ARQ: two plantas with one name, a model without file; MEP: the first source again,
    // two sources without extension sharing a name, and a pending model whose file is gone.
    ProyectoQUELVA ejemplo() const
    {
        return documento({especialidad("ARQ", {modelo("Planta A", fuente("a/planta.ifc")),
                                               modelo("Planta B", fuente("b/planta.ifc")), modelo("Sin archivo", "")}),
                          especialidad("MEP", {modelo("Planta A otra vez", fuente("a/planta.ifc")),
                                               modelo("Cubierta", fuente("b/cubierta")),
                                               modelo("Otra cubierta", fuente("a/cubierta")),
                                               modelo("Pendiente", fuente("a/planta.ifc"))})});
    }
    std::vector<ModeloPendientePaquete> pendientes() const { return {{1, 3, {fuente("a/borrada.ifc")}}}; }
    static bool exportado(const std::variant<PaqueteExportado, ErrorPaquete>& r)
    {
        return std::holds_alternative<PaqueteExportado>(r);
    }

    QTemporaryDir dir_;
};

TEST(NombresPaquete, CopiesShareOneSetOfNamesNumberedOnAClash)
{
    const std::vector<std::pair<QStringList, QStringList>> casos = {
        {{"/a/planta.ifc", "/b/planta.ifc", "/c/planta.ifc"}, {"planta.ifc", "planta_1.ifc", "planta_2.ifc"}},
        {{"/a/planta_1.ifc", "/a/planta.ifc", "/b/planta.ifc"}, {"planta_1.ifc", "planta.ifc", "planta_2.ifc"}},
        {{"/a/stem", "/b/stem"}, {"stem", "stem_1."}},
        {{"/a/a.b.ifc", "/b/a.b.ifc"}, {"a.b.ifc", "a.b_1.ifc"}},
        {{"/a/x\\y.ifc"}, {"x_y.ifc"}},
    };
    for (const auto& [rutas, esperados] : casos) {
        QSet<QString> usados;
        QStringList nombres;
        for (const QString& r : rutas)
            nombres << nombreEnPaquete(r, usados);
        EXPECT_EQ(nombres, esperados) << rutas.join(' ').toStdString();
    }
    const std::pair<const char*, const char*> extensiones[] = {
        {"/d/obra", "/d/obra.quelvapkg"},         {"/d/obra.QUELVAPKG", "/d/obra.QUELVAPKG"},
        {"/d/obra.v2", "/d/obra.v2.quelvapkg"},   {"/d/obra.quelvapkg", "/d/obra.quelvapkg"},
        {"/d.quelvapkg/obra", "/d.quelvapkg/obra.quelvapkg"},
    };
    for (const auto& [elegida, ruta] : extensiones)
        EXPECT_EQ(rutaConExtensionPaquete(elegida), ruta);
}

TEST_F(Paquete, TheArchiveHoldsTheDocumentAndOneCopyPerLinkedSource)
{
    const auto resultado = exportarPaquete(destino(), ejemplo(), pendientes());
    ASSERT_TRUE(exportado(resultado));
    EXPECT_EQ(std::get<PaqueteExportado>(resultado).omitidos,
              std::vector<ModeloOmitido>({{"MEP", "Pendiente", fuente("a/planta.ifc")}}));
    const QStringList esperadas = {"proyecto.json",         "modelos/",        "modelos/planta.ifc",
                                   "modelos/planta_1.ifc", "modelos/planta_2.ifc", "modelos/cubierta",
                                   "modelos/cubierta_1."};
    EXPECT_EQ(listaUnzip(destino()), esperadas);

    platform::ZipReader zip;
    ASSERT_EQ(zip.open(destino()), std::nullopt);
    ASSERT_EQ(zip.entryCount(), 7u);
    auto leerEntrada = [&](const QString& nombre) {
        const auto i = zip.indexOf(nombre);
        return i ? std::get<QByteArray>(zip.readAll(*i)) : QByteArray("<falta>");
    };
    EXPECT_EQ(leerEntrada("modelos/planta.ifc"), "ISO planta A");
    EXPECT_EQ(leerEntrada("modelos/planta_1.ifc"), "ISO planta B");
    EXPECT_EQ(leerEntrada("modelos/planta_2.ifc"), "ISO planta A");
    EXPECT_EQ(leerEntrada("modelos/cubierta_1."), "ISO otra cubierta");

    auto decodificado = decodificarProyectoQUELVA(leerEntrada("proyecto.json"));
    ASSERT_TRUE(std::holds_alternative<ProyectoQUELVA>(decodificado));
    const ProyectoQUELVA p = std::get<ProyectoQUELVA>(decodificado);
    EXPECT_EQ(p.version, 2);
    ASSERT_EQ(p.especialidades.size(), 2u);
    const auto& arq = p.especialidades[0].modelos;
    const auto& mep = p.especialidades[1].modelos;
    EXPECT_EQ(arq[0].rutaRelativa, "modelos/planta.ifc");
    EXPECT_EQ(arq[0].rutaAbsoluta, fuente("a/planta.ifc"));
    EXPECT_EQ(arq[0].transparencia, 0.25);
    EXPECT_EQ(arq[1].rutaRelativa, "modelos/planta_1.ifc");
    EXPECT_EQ(arq[2].rutaAbsoluta, "");
    EXPECT_EQ(arq[2].rutaRelativa, std::nullopt);
    EXPECT_EQ(mep[0].rutaRelativa, "modelos/planta_2.ifc");
    EXPECT_EQ(mep[2].rutaRelativa, "modelos/cubierta_1.");
    // Pending and not found: as saved, and no copy of it.
    EXPECT_EQ(mep[3].rutaAbsoluta, fuente("a/planta.ifc"));
    EXPECT_EQ(mep[3].rutaRelativa, std::nullopt);
}

// Right after an open the scene holds some models and waits for others: those still
// converting, or that did not convert, travel from their files; those without one are named.
TEST_F(Paquete, PendingModelsTravelFromTheirFilesOrAreNamed)
{
    enum class Estado { convertido, convirtiendo, fallido, sinArchivo };
    struct Caso {
        const char* nombre;
        Estado estado;
        QString ruta;            // the saved path (the source of a converted model)
        QString encontrada;      // where the open found the file
        QString entrada;         // the copy in the package; empty: none
    };
    const Caso casos[] = {
        {"Convertido", Estado::convertido, fuente("a/planta.ifc"), {}, "modelos/planta.ifc"},
        {"Convirtiendo", Estado::convirtiendo, fuente("b/planta.ifc"), fuente("b/planta.ifc"), "modelos/planta_1.ifc"},
        {"Hallado en el paquete", Estado::fallido, "/en/otra/maquina/cubierta", fuente("b/cubierta"), "modelos/cubierta"},
        {"Fallido", Estado::fallido, fuente("a/cubierta"), fuente("a/cubierta"), "modelos/cubierta_1."},
        {"Perdido", Estado::sinArchivo, fuente("a/perdido.ifc"), {}, {}},
        {"Sin ruta", Estado::sinArchivo, {}, {}, {}},
    };
    TablaEspecialidades tabla;
    EspecialidadBIM& arq = tabla["ARQ"];
    arq.nombre = "Arquitectura";
    for (int i = 0; i < int(std::size(casos)); ++i) {
        const Caso& c = casos[i];
        if (c.estado == Estado::convertido) {
            ModeloVinculado m;
            m.nombre = c.nombre;
            m.rutaOrigen = c.ruta;
            m.orden = i;
            arq.modelos.push_back(m);
            continue;
        }
        ModeloPendiente p;
        p.orden = i;
        p.nombre = c.nombre;
        p.rutaAbsoluta = c.ruta;
        // A path from an earlier package that this one would give to another file.
        p.rutaRelativa = "modelos/planta.ifc";
        p.enConversion = c.estado == Estado::convirtiendo;
        p.rutaEncontrada = c.encontrada;
        arq.pendientes.push_back(p);
    }
    ProyectoQUELVA doc = documento({});
    doc.ordenEspecialidades = {"ARQ"};
    doc.especialidades = convertirEspecialidades(doc.ordenEspecialidades, tabla);

    const auto resultado = exportarPaquete(destino(), doc, modelosPendientesPaquete(doc, tabla));
    ASSERT_TRUE(std::holds_alternative<PaqueteExportado>(resultado));
    const std::vector<ModeloOmitido> omitidos = std::get<PaqueteExportado>(resultado).omitidos;
    EXPECT_EQ(omitidos, std::vector<ModeloOmitido>({{"ARQ", "Perdido", fuente("a/perdido.ifc")}}));
    EXPECT_EQ(textoModelosOmitidos("obra.quelvapkg", omitidos),
              "El archivo \"obra.quelvapkg\" se creó, pero no incluye este modelo porque no se encontró su archivo "
              "IFC:\n• Perdido (ARQ): " + fuente("a/perdido.ifc"));

    platform::ZipReader zip;
    ASSERT_EQ(zip.open(destino()), std::nullopt);
    const auto i = zip.indexOf("proyecto.json");
    ASSERT_TRUE(i.has_value());
    const auto enviado = decodificarProyectoQUELVA(std::get<QByteArray>(zip.readAll(*i)));
    ASSERT_TRUE(std::holds_alternative<ProyectoQUELVA>(enviado));
    const auto& modelos = std::get<ProyectoQUELVA>(enviado).especialidades.at(0).modelos;
    ASSERT_EQ(modelos.size(), std::size(casos));
    for (std::size_t n = 0; n < std::size(casos); ++n) {
        const Caso& c = casos[n];
        EXPECT_EQ(modelos[n].nombre, c.nombre);
        if (c.entrada.isEmpty()) {
            EXPECT_EQ(modelos[n].rutaRelativa, std::nullopt) << c.nombre;
            EXPECT_EQ(modelos[n].rutaAbsoluta, c.ruta) << c.nombre;
            continue;
        }
        EXPECT_EQ(modelos[n].rutaRelativa, c.entrada) << c.nombre;
        // Copied from the file found, which is what a converted model would point at.
        const QString origen = c.encontrada.isEmpty() ? c.ruta : c.encontrada;
        EXPECT_EQ(modelos[n].rutaAbsoluta, origen) << c.nombre;
        const auto copia = zip.indexOf(c.entrada);
        ASSERT_TRUE(copia.has_value()) << c.nombre;
        EXPECT_EQ(std::get<QByteArray>(zip.readAll(*copia)), leerArchivo(origen)) << c.nombre;
    }
}

TEST_F(Paquete, AFailedExportLeavesTheEarlierPackageAsItWas)
{
    ASSERT_TRUE(escribirArchivo(destino(), "paquete anterior"));
    ASSERT_TRUE(QFile::remove(fuente("b/cubierta")));
    EXPECT_EQ(exportarPaquete(destino(), ejemplo(), pendientes()),
              (std::variant<PaqueteExportado, ErrorPaquete>(
                  ErrorPaquete{ErrorPaquete::otro, "El modelo «" + fuente("b/cubierta") + "» ya no existe."})));
    EXPECT_EQ(leerArchivo(destino()), "paquete anterior");

    QByteArray incompresible(300000, Qt::Uninitialized);
    QRandomGenerator(5).fillRange(reinterpret_cast<quint32*>(incompresible.data()), incompresible.size() / 4);
    ASSERT_TRUE(escribirArchivo(fuente("b/cubierta"), incompresible));
    std::optional<ErrorPaquete> error;
    {
        const testsupport::LimiteTamano limite(100000);
        const auto r = exportarPaquete(destino(), ejemplo(), pendientes());
        if (const ErrorPaquete* e = std::get_if<ErrorPaquete>(&r))
            error = *e;
    }
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->codigo, ErrorPaquete::comprimir);
    EXPECT_TRUE(error->descripcion.startsWith("Error al comprimir el paquete: ")) << error->descripcion.toStdString();
    EXPECT_TRUE(error->descripcion.contains("supera el tamaño permitido")) << error->descripcion.toStdString();
    EXPECT_EQ(leerArchivo(destino()), "paquete anterior");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList({"fuentes", "obra.quelvapkg", "paquetes"}));

    ASSERT_TRUE(exportado(exportarPaquete(destino(), ejemplo(), pendientes())));
    EXPECT_EQ(listaUnzip(destino()).size(), 7);
}

TEST_F(Paquete, OpeningPointsEveryModelAtTheCopyThatWasSent)
{
    ASSERT_TRUE(exportado(exportarPaquete(destino(), ejemplo(), pendientes())));
    // Sources gone, except one: its namesake on this machine must not be taken.
    ASSERT_TRUE(QFile::remove(fuente("b/planta.ifc")));
    ASSERT_TRUE(escribirArchivo(fuente("a/planta.ifc"), "ISO otro archivo local"));

    auto abierto = importarPaquete(destino(), paquetes());
    ASSERT_TRUE(std::holds_alternative<PaqueteAbierto>(abierto)) << std::get<ErrorPaquete>(abierto).descripcion.toStdString();
    const PaqueteAbierto& p = std::get<PaqueteAbierto>(abierto);
    EXPECT_EQ(p.nombre, "obra");
    EXPECT_EQ(QFileInfo(p.carpeta).absolutePath(), QDir(paquetes()).absolutePath());
    EXPECT_TRUE(QFileInfo(p.carpeta).fileName().startsWith("obra-"));
    EXPECT_EQ(QDir(paquetes()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList({QFileInfo(p.carpeta).fileName()}));
    const auto& arq = p.proyecto.especialidades[0].modelos;
    const auto& mep = p.proyecto.especialidades[1].modelos;
    EXPECT_EQ(arq[0].rutaAbsoluta, p.carpeta + "/modelos/planta.ifc");
    EXPECT_EQ(leerArchivo(arq[0].rutaAbsoluta), "ISO planta A");
    EXPECT_EQ(leerArchivo(arq[1].rutaAbsoluta), "ISO planta B");
    EXPECT_EQ(arq[2].rutaAbsoluta, "");
    EXPECT_EQ(mep[2].rutaAbsoluta, p.carpeta + "/modelos/cubierta_1.");
    // Without a copy the sender's path is all there is.
    EXPECT_EQ(mep[3].rutaAbsoluta, fuente("a/planta.ifc"));
}

TEST_F(Paquete, HostileOrEmptyPackagesAreRefusedAndLeaveNothing)
{
    const QString sinProyecto = "El paquete no contiene un proyecto válido.";
    const QByteArray valido = std::get<QByteArray>(codificarProyectoQUELVA(documento({})));
    struct Caso {
        const char* titulo;
        std::vector<testsupport::EntradaZip> entradas;
        int codigo;
        QString enElMensaje;
    };
    const Caso casos[] = {
        {"sube", {{"proyecto.json", valido}, {"../x", "fuera"}}, ErrorPaquete::abrir,
         "Error al abrir el paquete: La entrada «../x»"},
        {"enlace", {{"modelos", "..", S_IFLNK | 0777}, {"proyecto.json", valido}}, ErrorPaquete::abrir,
         "Error al abrir el paquete: La entrada «modelos» es un enlace simbólico."},
        {"sin proyecto", {{"modelos/", {}, 0, true}, {"modelos/a.ifc", "ISO"}}, ErrorPaquete::sinProyecto, sinProyecto},
        {"proyecto en una subcarpeta", {{"obra/proyecto.json", valido}}, ErrorPaquete::sinProyecto, sinProyecto},
        {"proyecto que es carpeta", {{"proyecto.json/", {}, 0, true}}, ErrorPaquete::sinProyecto, sinProyecto},
        {"documento roto", {{"proyecto.json", "{\"version\": 2"}}, ErrorPaquete::otro, ""},
    };
    for (const Caso& c : casos) {
        ASSERT_TRUE(testsupport::escribirZip(destino(), c.entradas)) << c.titulo;
        auto r = importarPaquete(destino(), paquetes());
        ASSERT_TRUE(std::holds_alternative<ErrorPaquete>(r)) << c.titulo;
        const ErrorPaquete& e = std::get<ErrorPaquete>(r);
        EXPECT_EQ(e.codigo, c.codigo) << c.titulo;
        EXPECT_TRUE(e.descripcion.startsWith(c.enElMensaje)) << c.titulo << ": " << e.descripcion.toStdString();
        EXPECT_FALSE(e.descripcion.isEmpty()) << c.titulo;
        EXPECT_TRUE(QDir(paquetes()).isEmpty()) << c.titulo;
        EXPECT_FALSE(QFileInfo::exists(dir_.filePath("x"))) << c.titulo;
        QFile::remove(destino());
    }
    EXPECT_EQ(importarPaquete(dir_.filePath("no-existe.quelvapkg"), paquetes()).index(), 1u);
}

TEST_F(Paquete, ARelativePathThatLeavesThePackageIsDropped)
{
    ProyectoQUELVA p = documento({especialidad("ARQ", {modelo("Intruso", ""), modelo("Absoluto", ""),
                                                       modelo("Bueno", "/en/otra/maquina/a.ifc")})});
    p.especialidades[0].modelos[0].rutaRelativa = "../../../etc/passwd";
    p.especialidades[0].modelos[1].rutaRelativa = "/etc/passwd";
    p.especialidades[0].modelos[2].rutaRelativa = "modelos/a.ifc";
    ASSERT_TRUE(testsupport::escribirZip(destino(), {{"proyecto.json", std::get<QByteArray>(codificarProyectoQUELVA(p))},
                                                     {"modelos/a.ifc", "ISO"}}));
    auto r = importarPaquete(destino(), paquetes());
    ASSERT_TRUE(std::holds_alternative<PaqueteAbierto>(r));
    const auto& modelos = std::get<PaqueteAbierto>(r).proyecto.especialidades[0].modelos;
    EXPECT_EQ(modelos[0].rutaRelativa, std::nullopt);
    EXPECT_EQ(modelos[0].rutaAbsoluta, "");
    EXPECT_EQ(modelos[1].rutaRelativa, std::nullopt);
    EXPECT_EQ(modelos[2].rutaAbsoluta, std::get<PaqueteAbierto>(r).carpeta + "/modelos/a.ifc");
}

}  // namespace
}  // namespace quelva
