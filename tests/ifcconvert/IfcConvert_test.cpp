#include "support/Fixtures.h"
#include "support/ObjDePrueba.h"

#include "federation/ifc/IfcProperties.h"
#include "federation/obj/ObjLoader.h"
#include "support/Esperar.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <ostream>
#include <set>
#include <string_view>
#include <vector>

namespace {

struct Ejecucion {
    int codigo = -1;
    bool termino = false;
    std::string error;
};

Ejecucion ejecutar(const QStringList& argumentos, const QProcessEnvironment& entorno = QProcessEnvironment::systemEnvironment())
{
    QProcess proceso;
    proceso.setProcessEnvironment(entorno);
    proceso.start(testsupport::bundleDir() + "/IfcConvert", argumentos);
    Ejecucion e;
    if (!proceso.waitForStarted(testsupport::kLimiteCuelgue))
        return e;
    e.termino = proceso.waitForFinished(300000) && proceso.exitStatus() == QProcess::NormalExit;
    e.codigo = proceso.exitCode();
    e.error = proceso.readAllStandardError().toStdString();
    return e;
}

Ejecucion convertir(const QString& entrada, const QString& salida)
{
    return ejecutar({entrada, salida, "--use-world-coords", "--use-element-names"});
}

std::string leer(const QString& ruta)
{
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll().toStdString();
}

void escribir(const QString& ruta, const std::string& contenido)
{
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(contenido.data(), static_cast<qint64>(contenido.size()));
}

// A failure is one line on standard error that names the reason.
void esperarFallo(const Ejecucion& e, const std::string& motivo)
{
    ASSERT_TRUE(e.termino);
    EXPECT_NE(e.codigo, 0);
    EXPECT_NE(e.error.find(motivo), std::string::npos) << e.error;
    ASSERT_FALSE(e.error.empty());
    EXPECT_EQ(e.error.back(), '\n');
    EXPECT_EQ(std::count(e.error.begin(), e.error.end(), '\n'), 1) << e.error;
}

const char* kGlobalIdSinNombre = "3Xq9bTz0f5wOdBiO0pMn1k";

// Where the fixtures put things, in metres relative to the storey, whose origin is
// (102, 200, 5) m: a 100/200/5 m site plus building and storey 1 m each along X.
struct Esperado {
    const char* nombre;
    double volumen;
    std::array<double, 3> min;
    std::array<double, 3> max;
};

const Esperado kEsperados[] = {
    {"Muro-Puerta", 3.0 - 0.42, {0, 0, 0}, {5, 0.2, 3}},
    {"Puerta-1", 0.105, {1, 0.05, 0}, {2, 0.1, 2.1}},
    {"Losa-Caf\u00e9", 1.2, {6, 0, 0}, {10, 3, 0.2}},
    {"Pilar-Brep", 0.27, {12, 0, 0}, {12.3, 0.3, 3}},
    {"Pilar-Circular", M_PI * 0.2 * 0.2 * 3, {13.8, -0.2, 0}, {14.2, 0.2, 3}},
    {"Viga-Mapeada", 0.32, {0.5, 4.9, 2.8}, {4.5, 5.1, 3.2}},
    {"Muro-Recortado", 2.0, {0, 8, 0}, {4, 8.2, 3}},
    {"Bloque", 1.0, {16.5, 0.5, 0}, {18.5, 1.5, 0.5}},
    {kGlobalIdSinNombre, 0.125, {20, 0, 0}, {20.5, 0.5, 0.5}},
};
// IFC4 only: a profile drawn as an indexed poly curve with a half-circle arc segment
const Esperado kPilarIndexado = {"Pilar-Indexado", (0.4 * 0.4 + M_PI * 0.2 * 0.2 / 2) * 3, {22, 0, 0}, {22.4, 0.6, 3}};

struct Fixture {
    const char* archivo;
    bool ifc4;
};

void PrintTo(const Fixture& f, std::ostream* os)
{
    *os << f.archivo;
}

std::vector<Esperado> esperadosDe(const Fixture& f)
{
    std::vector<Esperado> e(std::begin(kEsperados), std::end(kEsperados));
    if (f.ifc4)
        e.push_back(kPilarIndexado);
    return e;
}
constexpr std::array<double, 3> kOrigenPlanta = {102, 200, 5};

class ConversionDeFixture : public ::testing::TestWithParam<Fixture> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        entrada_ = testsupport::fixturePath(QString("ifcconvert/") + GetParam().archivo);
        const QString salida = dir_.filePath("salida.obj");
        const Ejecucion e = convertir(entrada_, salida);
        ASSERT_TRUE(e.termino);
        ASSERT_EQ(e.codigo, 0) << e.error;
        std::string error;
        auto obj = testsupport::leerObjDePrueba(leer(salida), &error);
        ASSERT_TRUE(obj) << "línea no válida: " << error;
        obj_ = std::move(*obj);
    }

    QTemporaryDir dir_;
    QString entrada_;
    testsupport::ObjDePrueba obj_;
};

TEST_P(ConversionDeFixture, WritesEveryElementInWorldMetresWithItsVolume)
{
    std::multiset<std::string> nombres;
    for (const auto& g : obj_.grupos)
        nombres.insert(g.nombre);
    const auto tabla = esperadosDe(GetParam());
    std::multiset<std::string> esperados;
    for (const auto& e : tabla)
        esperados.insert(e.nombre);
    // the opening and the space are not written; every element is written once
    EXPECT_EQ(nombres, esperados);

    for (const auto& e : tabla) {
        SCOPED_TRACE(e.nombre);
        const auto* g = obj_.grupo(e.nombre);
        ASSERT_NE(g, nullptr);
        EXPECT_NEAR(obj_.volumen(*g), e.volumen, 0.01 * e.volumen);
        const auto caja = obj_.caja(*g);
        for (int k = 0; k < 3; ++k) {
            const double tolerancia = std::max(0.01 * (e.max[k] - e.min[k]), 1e-4);
            EXPECT_NEAR(caja.min[k], kOrigenPlanta[k] + e.min[k], tolerancia) << "eje " << k;
            EXPECT_NEAR(caja.max[k], kOrigenPlanta[k] + e.max[k], tolerancia) << "eje " << k;
        }
    }
}

TEST_P(ConversionDeFixture, NamesGroupsAfterThePropertyTableKeys)
{
    std::set<std::string> grupos;
    for (const auto& g : obj_.grupos)
        grupos.insert(g.nombre);
    std::set<std::string> claves;
    for (const auto& [nombre, propiedades] : quelva::parsearPropiedadesIFC(entrada_.toStdString()))
        claves.insert(nombre);
    // the element without a Name stands under its GlobalId in both;
    // the space has properties but no geometry in the OBJ
    EXPECT_EQ(claves.count(kGlobalIdSinNombre), 1u);
    EXPECT_EQ(claves.erase("Sala"), 1u);
    EXPECT_EQ(grupos, claves);
}

INSTANTIATE_TEST_SUITE_P(IfcConvert, ConversionDeFixture,
                         ::testing::Values(Fixture{"elementos_ifc4.ifc", true}, Fixture{"elementos_ifc2x3.ifc", false}),
                         [](const auto& info) { return std::string(info.param.ifc4 ? "IFC4" : "IFC2X3"); });

TEST(IfcConvert, TakesTheTwoOptionsInEitherOrderAndNothingElse)
{
    QTemporaryDir dir;
    const QString entrada = testsupport::fixturePath("ifcconvert/elementos_ifc4.ifc");
    const QString salida = dir.filePath("s.obj");

    const Ejecucion alReves = ejecutar({entrada, salida, "--use-element-names", "--use-world-coords"});
    EXPECT_EQ(alReves.codigo, 0) << alReves.error;
    EXPECT_TRUE(QFileInfo::exists(salida));

    const QStringList malas[] = {
        {},
        {entrada, salida},
        {entrada, salida, "--use-world-coords"},
        {entrada, salida, "--use-world-coords", "--use-world-coords"},
        {entrada, salida, "--use-world-coords", "--use-element-names", "--extra"},
        {entrada, salida, "--use-world-coords", "--otra"},
        {"--use-world-coords", "--use-element-names", entrada, salida},
    };
    for (const auto& args : malas) {
        SCOPED_TRACE(args.join(' ').toStdString());
        esperarFallo(ejecutar(args), "uso: IfcConvert");
    }
}

std::string cabecera(const std::string& esquema)
{
    return "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((''),'2;1');\nFILE_NAME('','',(''),(''),'','','');\n"
           "FILE_SCHEMA(('" + esquema + "'));\nENDSEC;\n";
}

TEST(IfcConvert, ExplainsWhyAFileCannotBeConverted)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string completo = testsupport::readFixture("ifcconvert/elementos_ifc4.ifc");
    const std::string datosDesconocidos = cabecera("IFC4") + "DATA;\n#1=IFCNOEXISTE('a',1);\nENDSEC;\nEND-ISO-10303-21;\n";
    QProcessEnvironment sinLocale = QProcessEnvironment::systemEnvironment();
    sinLocale.insert("LOCPATH", dir.filePath("sin-locales"));  // glibc then finds no locale at all
    QDir(dir.path()).mkdir("sin-locales");

    struct Caso {
        const char* descripcion;
        std::string contenido;  // empty: the input does not exist
        std::string motivo;
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    };
    const Caso casos[] = {
        {"missing file", "", "el archivo IFC no existe"},
        {"not a STEP file", "Esto no es IFC;\n", "no es un archivo IFC (ISO 10303-21)"},
        {"unsupported schema", cabecera("IFC4X3") + "DATA;\nENDSEC;\nEND-ISO-10303-21;\n",
         "esquema IFC no soportado: IFC4X3"},
        {"no schema", "ISO-10303-21;\nHEADER;\nENDSEC;\nDATA;\nENDSEC;\nEND-ISO-10303-21;\n", "no declara su esquema"},
        {"cut in the DATA section", completo.substr(0, completo.find("#500=")), "está truncado"},
        {"ENDSEC only inside an unterminated string", cabecera("IFC4") + "DATA;\n#1=IFCWALL('x;ENDSEC;\n",
         "está truncado"},
        {"no DATA section", cabecera("IFC4"), "está truncado"},
        {"no entity read", datosDesconocidos, "no se leyó ninguna entidad"},
        {"no entity read, locale missing", datosDesconocidos, "localedef -i en_US -f UTF-8 en_US.UTF-8", sinLocale},
    };
    int n = 0;
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.descripcion);
        const QString entrada = dir.filePath(QString("entrada%1.ifc").arg(n));
        const QString salida = dir.filePath(QString("salida%1.obj").arg(n++));
        if (!caso.contenido.empty())
            escribir(entrada, caso.contenido);
        esperarFallo(ejecutar({entrada, salida, "--use-world-coords", "--use-element-names"}, caso.entorno),
                     caso.motivo);
        EXPECT_FALSE(QFileInfo::exists(salida));
    }

    // an empty file, or one of blank lines, is called empty rather than not IFC
    for (const char* contenido : {"", " \n\r\n\t"}) {
        const QString entrada = dir.filePath(QString("vacio%1.ifc").arg(n));
        QFile f(entrada);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenido);
        f.close();
        const QString salida = dir.filePath(QString("salida%1.obj").arg(n++));
        esperarFallo(convertir(entrada, salida), "el archivo IFC está vacío: " + entrada.toStdString());
        EXPECT_FALSE(QFileInfo::exists(salida));
    }

    // the missing locale is named only when it explains an empty reading
    const QString salida = dir.filePath("con-locale-ausente.obj");
    const Ejecucion e = ejecutar({testsupport::fixturePath("ifcconvert/elementos_ifc4.ifc"), salida,
                                  "--use-world-coords", "--use-element-names"},
                                 sinLocale);
    EXPECT_EQ(e.codigo, 0) << e.error;
}

TEST(IfcConvert, KeepsTheEarlierOutputWhenTheNewOneCannotBeWritten)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString entrada = testsupport::fixturePath("ifcconvert/elementos_ifc4.ifc");

    esperarFallo(convertir(entrada, dir.filePath("no-existe/salida.obj")), "no se pudo escribir el archivo OBJ");

    // a folder where the file should go cannot be replaced; nothing half-written is left beside it
    ASSERT_TRUE(QDir(dir.path()).mkdir("ocupado"));
    esperarFallo(convertir(entrada, dir.filePath("ocupado")), "no se pudo escribir el archivo OBJ");
    EXPECT_TRUE(QFileInfo(dir.filePath("ocupado")).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());

    // a failed conversion leaves the earlier result as it was
    const QString salida = dir.filePath("salida.obj");
    escribir(salida, "anterior\n");
    const QString truncado = dir.filePath("truncado.ifc");
    const std::string completo = testsupport::readFixture("ifcconvert/elementos_ifc4.ifc");
    escribir(truncado, completo.substr(0, completo.size() / 2));
    esperarFallo(convertir(truncado, salida), "está truncado");
    EXPECT_EQ(leer(salida), "anterior\n");
}

TEST(IfcConvert, CsgPrimitivesStandOnTheirPositionAtTheirSize)
{
    // millimetres; each primitive's position is (1000, 2000, 3000) in its element's frame,
    // the elements stand 10 m apart along X
    struct Primitiva {
        const char* nombre;
        std::string item;
        double volumen;
        double tolerancia;  // relative: curved primitives are faceted
        std::array<double, 3> min;
        std::array<double, 3> max;
    };
    const Primitiva primitivas[] = {
        {"Piramide", "IFCRECTANGULARPYRAMID(#20,1000.,2000.,1500.)", 1.0, 0.01, {1, 2, 3}, {2, 4, 4.5}},
        {"Cono", "IFCRIGHTCIRCULARCONE(#20,1000.,500.)", M_PI / 3 * 0.25, 0.01, {0.5, 1.5, 3}, {1.5, 2.5, 4}},
        {"Cilindro", "IFCRIGHTCIRCULARCYLINDER(#20,1000.,500.)", M_PI * 0.25, 0.01, {0.5, 1.5, 3}, {1.5, 2.5, 4}},
        {"Esfera", "IFCSPHERE(#20,500.)", 4.0 / 3 * M_PI * 0.125, 0.05, {0.5, 1.5, 2.5}, {1.5, 2.5, 3.5}},
    };
    std::string datos =
        "DATA;\n#1=IFCPROJECT('0YvctVUKr0kugbFTf53O9L',$,'P',$,$,$,$,(#2),#5);\n"
        "#2=IFCGEOMETRICREPRESENTATIONCONTEXT($,'Model',3,1.E-05,#3,$);\n"
        "#3=IFCAXIS2PLACEMENT3D(#4,$,$);\n#4=IFCCARTESIANPOINT((0.,0.,0.));\n"
        "#5=IFCUNITASSIGNMENT((#6));\n#6=IFCSIUNIT(*,.LENGTHUNIT.,.MILLI.,.METRE.);\n"
        "#20=IFCAXIS2PLACEMENT3D(#21,$,$);\n#21=IFCCARTESIANPOINT((1000.,2000.,3000.));\n";
    int n = 100;
    for (std::size_t i = 0; i < std::size(primitivas); ++i, n += 10) {
        const auto num = [&](int k) { return "#" + std::to_string(n + k); };
        datos += num(0) + "=IFCBUILDINGELEMENTPROXY('2c4Yh7sKf1pOq8Zr3Nw6T" + std::to_string(i) + "',$,'" +
                 primitivas[i].nombre + "',$,$," + num(1) + "," + num(4) + ",$,$);\n" + num(1) +
                 "=IFCLOCALPLACEMENT($," + num(2) + ");\n" + num(2) + "=IFCAXIS2PLACEMENT3D(" + num(3) + ",$,$);\n" +
                 num(3) + "=IFCCARTESIANPOINT((" + std::to_string(i * 10000) + ".,0.,0.));\n" + num(4) +
                 "=IFCPRODUCTDEFINITIONSHAPE($,$,(" + num(5) + "));\n" + num(5) +
                 "=IFCSHAPEREPRESENTATION(#2,'Body','CSG',(" + num(6) + "));\n" + num(6) + "=IFCCSGSOLID(" + num(7) +
                 ");\n" + num(7) + "=" + primitivas[i].item + ";\n";
    }
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString entrada = dir.filePath("primitivas.ifc");
    escribir(entrada, cabecera("IFC4") + datos + "ENDSEC;\nEND-ISO-10303-21;\n");
    const QString salida = dir.filePath("primitivas.obj");
    const Ejecucion e = convertir(entrada, salida);
    ASSERT_EQ(e.codigo, 0) << e.error;
    const auto obj = testsupport::leerObjDePrueba(leer(salida));
    ASSERT_TRUE(obj);
    for (std::size_t i = 0; i < std::size(primitivas); ++i) {
        const Primitiva& p = primitivas[i];
        SCOPED_TRACE(p.nombre);
        const auto* g = obj->grupo(p.nombre);
        ASSERT_NE(g, nullptr);
        EXPECT_NEAR(obj->volumen(*g), p.volumen, p.tolerancia * p.volumen);
        const auto caja = obj->caja(*g);
        const std::array<double, 3> desplazamiento = {10.0 * static_cast<double>(i), 0, 0};
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(caja.min[k], desplazamiento[k] + p.min[k], 0.01) << "eje " << k;
            EXPECT_NEAR(caja.max[k], desplazamiento[k] + p.max[k], 0.01) << "eje " << k;
        }
    }
}

TEST(IfcConvert, NameWithALineFeedStaysOnItsGroupLine)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString entrada = dir.filePath("salto.ifc");
    escribir(entrada, cabecera("IFC4") +
                          "DATA;\n#1=IFCPROJECT('0YvctVUKr0kugbFTf53O9L',$,'P',$,$,$,$,(#2),#5);\n"
                          "#2=IFCGEOMETRICREPRESENTATIONCONTEXT($,'Model',3,1.E-05,#3,$);\n"
                          "#3=IFCAXIS2PLACEMENT3D(#4,$,$);\n#4=IFCCARTESIANPOINT((0.,0.,0.));\n"
                          "#5=IFCUNITASSIGNMENT((#6));\n#6=IFCSIUNIT(*,.LENGTHUNIT.,$,.METRE.);\n"
                          "#10=IFCBUILDINGELEMENTPROXY('2c4Yh7sKf1pOq8Zr3Nw6Tx',$,'Primera\\X\\0ASegunda',$,$,#11,#12,$,$);\n"
                          "#11=IFCLOCALPLACEMENT($,#3);\n#12=IFCPRODUCTDEFINITIONSHAPE($,$,(#13));\n"
                          "#13=IFCSHAPEREPRESENTATION(#2,'Body','CSG',(#14));\n#14=IFCCSGSOLID(#15);\n"
                          "#15=IFCBLOCK(#3,1.,1.,1.);\nENDSEC;\nEND-ISO-10303-21;\n");
    const QString salida = dir.filePath("salto.obj");
    const Ejecucion e = convertir(entrada, salida);
    ASSERT_EQ(e.codigo, 0) << e.error;
    // an OBJ line cannot hold a line feed: it becomes a space rather than splitting the group line
    const auto obj = testsupport::leerObjDePrueba(leer(salida));
    ASSERT_TRUE(obj);
    ASSERT_EQ(obj->grupos.size(), 1u);
    EXPECT_EQ(obj->grupos[0].nombre, "Primera Segunda");
    EXPECT_NEAR(obj->volumen(obj->grupos[0]), 1.0, 0.01);
}

std::multiset<std::string> nombresDeGrupos(const testsupport::ObjDePrueba& obj)
{
    std::multiset<std::string> nombres;
    for (const auto& g : obj.grupos)
        nombres.insert(g.nombre);
    return nombres;
}

TEST(IfcConvert, LeavesOutAnElementTheKernelCannotBuildAndConvertsTheRest)
{
    // each file holds the block "Bueno" and one element "Malo" that would take the geometry
    // kernel into endless recursion or onto a missing object, or that lies beyond float range
    struct Caso {
        const char* archivo;
        const char* motivo;
    };
    const Caso casos[] = {
        {"mapeo_circular.ifc", "referencia circular"},     // a mapped item that maps itself through its map
        {"booleano_circular.ifc", "referencia circular"},  // a boolean result that is its own operand
        {"polilinea_direccion.ifc", "no es del tipo esperado"},  // a direction among a polyline's points
        {"polilinea_inexistente.ifc", "no existe"},              // a polyline point no record holds
        {"vertices_lejanos.ifc", "demasiado lejos del origen"},  // placed at 1e39 m
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.archivo);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString salida = dir.filePath("salida.obj");
        const Ejecucion e = convertir(testsupport::fixturePath(QString("ifcconvert/hostiles/") + caso.archivo), salida);
        ASSERT_TRUE(e.termino) << "ended by a signal";
        EXPECT_EQ(e.codigo, 0) << e.error;
        EXPECT_EQ(std::count(e.error.begin(), e.error.end(), '\n'), 1) << e.error;
        EXPECT_NE(e.error.find("se omitió el elemento «Malo»"), std::string::npos) << e.error;
        EXPECT_NE(e.error.find(caso.motivo), std::string::npos) << e.error;
        const auto obj = testsupport::leerObjDePrueba(leer(salida));
        ASSERT_TRUE(obj);
        EXPECT_EQ(nombresDeGrupos(*obj), std::multiset<std::string>{"Bueno"});
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"salida.obj"});  // no partial file
    }
}

TEST(IfcConvert, OpeningsOnHolesAlreadyCutLeaveTheWallsAsTheyAre)
{
    // the openings lie on holes the walls' faces already have, so they take nothing away; the
    // kernel's cut of one of them loses faces of a layer instead (its volume grows)
    const std::string con = testsupport::readFixture("ifcconvert/muros_con_huecos.ifc");
    std::string sin;
    for (std::size_t i = 0; i < con.size();) {
        const std::size_t fin = std::min(con.find('\n', i), con.size() - 1) + 1;
        const std::string_view linea(con.data() + i, fin - i);
        if (linea.find("IFCRELVOIDSELEMENT") == std::string_view::npos)
            sin += linea;
        i = fin;
    }
    ASSERT_NE(sin.size(), con.size());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    escribir(dir.filePath("con.ifc"), con);
    escribir(dir.filePath("sin.ifc"), sin);
    const Ejecucion conHuecos = convertir(dir.filePath("con.ifc"), dir.filePath("con.obj"));
    const Ejecucion sinHuecos = convertir(dir.filePath("sin.ifc"), dir.filePath("sin.obj"));
    ASSERT_EQ(conHuecos.codigo, 0) << conHuecos.error;
    ASSERT_EQ(sinHuecos.codigo, 0) << sinHuecos.error;
    const auto obj = testsupport::leerObjDePrueba(leer(dir.filePath("sin.obj")));
    ASSERT_TRUE(obj);
    EXPECT_EQ(nombresDeGrupos(*obj), (std::multiset<std::string>{"Muro-0", "Muro-1"}));
    EXPECT_TRUE(leer(dir.filePath("con.obj")) == leer(dir.filePath("sin.obj"))) << "the openings changed the walls";
}

TEST(IfcConvert, ConvertsRecordNumbersBeyondIntAndTheAddendaSchemas)
{
    // numbered from 2^31 up, which the geometry kernel's int numbers cannot hold; then the same
    // file declared as each of IFC4's addenda
    const std::string texto = testsupport::readFixture("ifcconvert/hostiles/numeros_grandes.ifc");
    for (const char* esquema : {"IFC4", "IFC4ADD1", "IFC4ADD2", "IFC4ADD2_TC1"}) {
        SCOPED_TRACE(esquema);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        std::string conEsquema = texto;
        const std::string original = "FILE_SCHEMA(('IFC4'))";
        conEsquema.replace(conEsquema.find(original), original.size(), std::string("FILE_SCHEMA(('") + esquema + "'))");
        const QString entrada = dir.filePath("entrada.ifc");
        escribir(entrada, conEsquema);
        const QString salida = dir.filePath("salida.obj");
        const Ejecucion e = convertir(entrada, salida);
        ASSERT_TRUE(e.termino);
        ASSERT_EQ(e.codigo, 0) << e.error;
        EXPECT_EQ(e.error, "");
        const auto obj = testsupport::leerObjDePrueba(leer(salida));
        ASSERT_TRUE(obj);
        EXPECT_EQ(nombresDeGrupos(*obj), (std::multiset<std::string>{"Bueno", "Otro"}));
        if (const auto* otro = obj->grupo("Otro")) {
            const auto caja = obj->caja(*otro);
            EXPECT_NEAR(caja.min[0], 3, 1e-6);
            EXPECT_NEAR(obj->volumen(*otro), 1, 0.01);
        }
    }
}

TEST(IfcConvert, GroupNodeAndPropertyKeyFollowOneNameRule)
{
    struct Fila {
        const char* nombre;  // the Name attribute as written
        const char* esperado;
    };
    const Fila filas[] = {
        {"'Muro 1'", "Muro 1"},
        {"' Muro 2 '", "Muro 2"},
        {"' '", nullptr},  // nullptr: the element's GlobalId
        {"''", nullptr},
        {"$", nullptr},
        {"'L\\X2\\00ED\\X0\\nea\\X2\\000A\\X0\\dos'", "L\u00ednea dos"},
        {"'Puerta 90/210'", "Puerta 90/210"},
        {"'\\X2\\000A\\X0\\'", nullptr},
        {"'Dos  espacios'", "Dos  espacios"},
    };
    std::string datos =
        "DATA;\n#1=IFCPROJECT('0YvctVUKr0kugbFTf53O9L',$,'P',$,$,$,$,(#2),#5);\n"
        "#2=IFCGEOMETRICREPRESENTATIONCONTEXT($,'Model',3,1.E-05,#3,$);\n"
        "#3=IFCAXIS2PLACEMENT3D(#4,$,$);\n#4=IFCCARTESIANPOINT((0.,0.,0.));\n"
        "#5=IFCUNITASSIGNMENT((#6));\n#6=IFCSIUNIT(*,.LENGTHUNIT.,$,.METRE.);\n";
    std::vector<std::string> esperados;
    for (std::size_t i = 0; i < std::size(filas); ++i) {
        const int n = 100 + 10 * static_cast<int>(i);
        const auto num = [&](int k) { return "#" + std::to_string(n + k); };
        const std::string globalId = "1Nombre" + std::string(14, 'a') + static_cast<char>('A' + i);
        esperados.push_back(filas[i].esperado ? filas[i].esperado : globalId);
        datos += num(0) + "=IFCBUILDINGELEMENTPROXY('" + globalId + "',$," + filas[i].nombre + ",$,$," + num(1) + "," +
                 num(4) + ",$,$);\n" + num(1) + "=IFCLOCALPLACEMENT($," + num(2) + ");\n" + num(2) +
                 "=IFCAXIS2PLACEMENT3D(" + num(3) + ",$,$);\n" + num(3) + "=IFCCARTESIANPOINT((" +
                 std::to_string(2 * i) + ".,0.,0.));\n" + num(4) + "=IFCPRODUCTDEFINITIONSHAPE($,$,(" + num(5) +
                 "));\n" + num(5) + "=IFCSHAPEREPRESENTATION(#2,'Body','CSG',(" + num(6) + "));\n" + num(6) +
                 "=IFCCSGSOLID(" + num(7) + ");\n" + num(7) + "=IFCBLOCK(#3,1.,1.,1.);\n" + num(8) +
                 "=IFCPROPERTYSINGLEVALUE('Fila',$,IFCINTEGER(" + std::to_string(i) + "),$);\n" + num(9) +
                 "=IFCPROPERTYSET('2Pset" + std::string(15, 'b') + static_cast<char>('A' + i) + "',$,'Pset_Prueba',$,(" +
                 num(8) + "));\n#" + std::to_string(n + 1000) + "=IFCRELDEFINESBYPROPERTIES('3Rel" +
                 std::string(17, 'c') + static_cast<char>('A' + i) + "',$,$,$,(" + num(0) + ")," + num(9) + ");\n";
    }
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString entrada = dir.filePath("nombres.ifc");
    escribir(entrada, cabecera("IFC4") + datos + "ENDSEC;\nEND-ISO-10303-21;\n");
    const QString salida = dir.filePath("nombres.obj");
    const Ejecucion e = convertir(entrada, salida);
    ASSERT_EQ(e.codigo, 0) << e.error;

    const auto grupos = testsupport::leerObjDePrueba(leer(salida));
    ASSERT_TRUE(grupos);
    const scene::NodePtr nodos = quelva::cargarOBJ(salida.toStdString());
    ASSERT_TRUE(nodos);
    const auto tabla = quelva::parsearPropiedadesIFC(entrada.toStdString());
    ASSERT_EQ(grupos->grupos.size(), std::size(filas));
    ASSERT_EQ(nodos->children().size(), std::size(filas));
    EXPECT_EQ(tabla.size(), std::size(filas));
    for (std::size_t i = 0; i < std::size(filas); ++i) {
        SCOPED_TRACE(filas[i].nombre);
        // elements are written in no fixed order: find each by where it stands
        const testsupport::GrupoOBJ* grupo = nullptr;
        for (const auto& g : grupos->grupos)
            if (std::abs(grupos->caja(g).min[0] - 2.0 * static_cast<double>(i)) < 1e-6)
                grupo = &g;
        ASSERT_NE(grupo, nullptr);
        EXPECT_EQ(grupo->nombre, esperados[i]);
        const scene::NodePtr nodo = nodos->childNamed(esperados[i], false);
        ASSERT_TRUE(nodo);
        const auto propiedades = tabla.find(*nodo->name);
        ASSERT_NE(propiedades, tabla.end());
        EXPECT_EQ(propiedades->second.at("Pset_Prueba \u203A Fila"), std::to_string(i));
    }
}

TEST(IfcConvert, FileWithoutGeometryGivesAnObjWithoutFaces)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString entrada = dir.filePath("vacio.ifc");
    escribir(entrada, cabecera("IFC2X3") +
                          "DATA;\n#1=IFCPROJECT('0YvctVUKr0kugbFTf53O9L',$,'P',$,$,$,$,$,#2);\n"
                          "#2=IFCUNITASSIGNMENT((#3));\n#3=IFCSIUNIT(*,.LENGTHUNIT.,$,.METRE.);\n"
                          "ENDSEC;\nEND-ISO-10303-21;\n");
    const QString salida = dir.filePath("vacio.obj");
    const Ejecucion e = convertir(entrada, salida);
    ASSERT_EQ(e.codigo, 0) << e.error;
    const auto obj = testsupport::leerObjDePrueba(leer(salida));
    ASSERT_TRUE(obj);
    EXPECT_TRUE(obj->grupos.empty());
}

}  // namespace

namespace {

QProcessEnvironment conProcesos(const char* procesos)
{
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.remove("QUELVA_CONV_SIN_REVISION");
    entorno.remove("QUELVA_CONV_MEMORIA_MARCADA");
    if (procesos)
        entorno.insert("IFCCONVERT_PROCESOS", procesos);
    else
        entorno.remove("IFCCONVERT_PROCESOS");
    return entorno;
}

struct Salida {
    Ejecucion ejecucion;
    std::string obj;
};

Salida convertirCon(const QString& entrada, const QString& salida, const QProcessEnvironment& entorno)
{
    Salida s;
    s.ejecucion = ejecutar({entrada, salida, "--use-world-coords", "--use-element-names"}, entorno);
    s.obj = leer(salida);
    return s;
}

}  // namespace

// the kernel hands faces back in an order that follows memory addresses, and splits the planes of
// clipped walls differently run after run; which cuts through touching faces succeed follows those
// addresses too. Workers convert each element in a process of its own history, and the parent
// joins them in element order. Runs with the kernel's memory marked at each product's start show a
// product that reads what the one before left there.
class MismosBytes : public ::testing::TestWithParam<const char*> {};

TEST_P(MismosBytes, RunAfterRunWithAnyNumberOfWorkers)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString entrada = testsupport::fixturePath(QString("ifcconvert/") + GetParam());
    const Salida uno = convertirCon(entrada, dir.filePath("uno.obj"), conProcesos("1"));
    ASSERT_TRUE(uno.ejecucion.termino);
    ASSERT_EQ(uno.ejecucion.codigo, 0) << uno.ejecucion.error;
    ASSERT_FALSE(uno.obj.empty());
    struct Corrida {
        const char* procesos;  // nullptr: the default count
        bool memoriaMarcada;
    };
    for (const Corrida& corrida : {Corrida{"1", false}, Corrida{"2", false}, Corrida{"5", false}, Corrida{nullptr, false},
                                   Corrida{"1", true}, Corrida{"3", true}}) {
        SCOPED_TRACE(std::string(corrida.procesos ? corrida.procesos : "por omisión") +
                     (corrida.memoriaMarcada ? ", memoria marcada" : ""));
        QProcessEnvironment entorno = conProcesos(corrida.procesos);
        if (corrida.memoriaMarcada)
            entorno.insert("QUELVA_CONV_MEMORIA_MARCADA", "1");
        const Salida otra = convertirCon(entrada, dir.filePath("otra.obj"), entorno);
        ASSERT_TRUE(otra.ejecucion.termino);
        EXPECT_EQ(otra.ejecucion.codigo, 0);
        EXPECT_EQ(otra.ejecucion.error, uno.ejecucion.error);  // the same lines, in the same order
        EXPECT_TRUE(otra.obj == uno.obj) << "the OBJ files differ";
    }
}

INSTANTIATE_TEST_SUITE_P(IfcConvert, MismosBytes,
                         ::testing::Values("elementos_ifc4.ifc", "elementos_ifc2x3.ifc", "hostiles/vertices_lejanos.ifc",
                                           "muros_recortados.ifc", "muros_con_huecos.ifc", "pilas_inclinadas.ifc"),
                         [](const auto& info) {
                             std::string nombre = info.param;
                             nombre = nombre.substr(nombre.rfind('/') + 1);
                             nombre = nombre.substr(0, nombre.find('.'));
                             return nombre;
                         });

TEST(IfcConvert, AWorkerCrashCostsOnlyTheElementItWasOn)
{
    // «Malo» maps itself through its map: with the check turned off the kernel recurses until the
    // stack runs out. Good elements stand before and after it, so the crashed worker's share
    // goes on in another worker.
    std::string texto = testsupport::readFixture("ifcconvert/hostiles/mapeo_circular.ifc");
    auto bueno = [](int numero, int n) {
        return "#" + std::to_string(numero) + "=IFCBUILDINGELEMENTPROXY('2c4Yh7sKf1pOq8Zr3Nw6" + static_cast<char>('A' + n) +
               static_cast<char>('a' + n) + "',$,'Bueno-" + std::to_string(n) + "',$,$,#11,#12,$,$);\n";
    };
    std::string antes, despues;
    for (int n = 0; n < 4; ++n)
        antes += bueno(16 + n, n);
    for (int n = 4; n < 10; ++n)
        despues += bueno(30 + n, n);
    texto.insert(texto.find("#20="), antes);
    texto.insert(texto.find("ENDSEC;\nEND-ISO"), despues);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString entrada = dir.filePath("entrada.ifc");
    escribir(entrada, texto);
    QDir(dir.path()).mkdir("salida");
    // the reference: the check leaves «Malo» out before any geometry is built
    const Salida revisada = convertirCon(entrada, dir.filePath("revisada.obj"), conProcesos("1"));
    ASSERT_EQ(revisada.ejecucion.codigo, 0) << revisada.ejecucion.error;
    const auto obj = testsupport::leerObjDePrueba(revisada.obj);
    ASSERT_TRUE(obj);
    ASSERT_EQ(obj->grupos.size(), 11u);

    for (const char* procesos : {"2", "3"}) {
        SCOPED_TRACE(procesos);
        QProcessEnvironment entorno = conProcesos(procesos);
        entorno.insert("QUELVA_CONV_SIN_REVISION", "1");
        const QString salida = dir.filePath("salida/salida.obj");
        QFile::remove(salida);
        const Salida s = convertirCon(entrada, salida, entorno);
        ASSERT_TRUE(s.ejecucion.termino) << "ended by a signal";
        EXPECT_EQ(s.ejecucion.codigo, 0) << s.ejecucion.error;
        EXPECT_EQ(std::count(s.ejecucion.error.begin(), s.ejecucion.error.end(), '\n'), 1) << s.ejecucion.error;
        EXPECT_NE(s.ejecucion.error.find("IfcConvert: se omitió el elemento «Malo»: el conversor se detuvo"),
                  std::string::npos)
            << s.ejecucion.error;
        EXPECT_TRUE(s.obj == revisada.obj) << "the OBJ differs from the checked run's";
        EXPECT_EQ(QDir(dir.filePath("salida")).entryList(QDir::Files), QStringList{"salida.obj"});
    }
}

TEST(IfcConvert, RefusesAWorkerCountThatIsNoCount)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* valor : {"0", "-2", "tres", "3x", "257"}) {
        SCOPED_TRACE(valor);
        const QString salida = dir.filePath("s.obj");
        const Ejecucion e = ejecutar({testsupport::fixturePath("ifcconvert/elementos_ifc4.ifc"), salida,
                                      "--use-world-coords", "--use-element-names"},
                                     conProcesos(valor));
        esperarFallo(e, "IFCCONVERT_PROCESOS debe ser un número entero de 1 a 256");
        EXPECT_EQ(e.codigo, 2);
        EXPECT_FALSE(QFileInfo::exists(salida));
    }
}
