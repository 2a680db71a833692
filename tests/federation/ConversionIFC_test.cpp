#include "federation/ConversionIFC.h"

#include "EntornoConversor.h"
#include "platform/TemporaryFiles.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <variant>

namespace quelva {
namespace {

using testfed::EntornoConversor;

class ConverterRun : public EntornoConversor {
protected:
    QString nuevaRutaOBJ() const { return platform::temporaryWorkPath(QStringLiteral(".obj")); }

    QString errorVinculo(const QString& archivo, const QString& motor)
    {
        auto salida = convertirIFC(archivo, motor, nuevaRutaOBJ());
        const QString* error = std::get_if<QString>(&salida);
        return error ? *error : QStringLiteral("<sin error>");
    }
    QString errorSlot(const QString& archivo, const QString& motor)
    {
        auto salida = cargarSlotTRELM(archivo, motor, nuevaRutaOBJ(), "BASE", "x.ifc");
        const QString* error = std::get_if<QString>(&salida);
        return error ? *error : QStringLiteral("<sin error>");
    }
    bool restauracionFalla(const QString& archivo, const QString& motor)
    {
        EntradaRestauracion e;
        e.fuente = archivo;
        e.motor = motor;
        e.rutaOBJ = nuevaRutaOBJ();
        e.key = "ARQ";
        return !convertirEnSegundoPlano(e).has_value();
    }
};

struct CasoFallo {
    const char* caso;
    const char* archivo;          // under conv/
    bool noEjecutable;
    const char* status;
    const char* stderrTexto;
    const char* stderrArchivo;    // under conv/
    const char* obj;              // under conv/
    QString vinculo;
    QString slot;
    const char* senal = nullptr;  // the converter kills itself with it, leaving a partial output
};

TEST_F(ConverterRun, EveryFailureGivesItsMessageAndLeavesNoWorkFile)
{
    const QString noexec = conv("noexec/IfcConvert");
    const QString arranque = QStringLiteral("no hay permiso para ejecutar «%1».").arg(noexec);
    const CasoFallo casos[] = {
        {"copy fails", "no_existe.ifc", false, nullptr, nullptr, nullptr, nullptr,
         "No se pudo copiar el archivo al directorio temporal: el archivo no existe.",
         "Error copiando archivo: el archivo no existe."},
        {"converter cannot start", "muros_a.ifc", true, nullptr, nullptr, nullptr, nullptr,
         "No se pudo ejecutar IfcConvert: " + arranque, "Error ejecutando IfcConvert: " + arranque},
        {"exit status with error output", "muros_a.ifc", false, "1", "ISO-10303-21 no válido\n", nullptr,
         "dos_muros.obj", "IfcConvert falló (código 1):\nISO-10303-21 no válido\n",
         "IfcConvert falló:\nISO-10303-21 no válido\n"},
        {"error output not UTF-8", "muros_a.ifc", false, "3", nullptr, "stderr_no_utf8.txt", nullptr,
         "IfcConvert falló (código 3):\nSin detalle", "IfcConvert falló:\n"},
        {"empty error output", "muros_a.ifc", false, "2", nullptr, nullptr, nullptr,
         "IfcConvert falló (código 2):\n", "IfcConvert falló:\n"},
        {"status 0 and an OBJ without faces", "muros_a.ifc", false, nullptr, nullptr, nullptr, "sin_caras.obj",
         "No se pudo cargar la geometría. El archivo generado puede estar vacío o corrupto.",
         "No se pudo cargar la geometría TRELM."},
        {"status 0 and no OBJ at all", "muros_a.ifc", false, nullptr, nullptr, nullptr, nullptr,
         "No se pudo cargar la geometría. El archivo generado puede estar vacío o corrupto.",
         "No se pudo cargar la geometría TRELM."},
        {"killed by a signal", "muros_a.ifc", false, nullptr, "a medias\n", nullptr, "dos_muros.obj",
         "El conversor IFC se detuvo inesperadamente (señal 11).",
         "El conversor IFC se detuvo inesperadamente (señal 11).", "SEGV"},
        {"killed by a signal that cannot be caught", "muros_a.ifc", false, nullptr, nullptr, nullptr, "dos_muros.obj",
         "El conversor IFC se detuvo inesperadamente (señal 9).",
         "El conversor IFC se detuvo inesperadamente (señal 9).", "KILL"},
    };
    for (const CasoFallo& c : casos) {
        SCOPED_TRACE(c.caso);
        for (const char* v : testfed::kVariablesConversor)
            qunsetenv(v);
        if (c.status)
            fijar("QUELVA_CONV_STATUS", c.status);
        if (c.stderrTexto)
            fijar("QUELVA_CONV_STDERR", QString::fromUtf8(c.stderrTexto));
        if (c.stderrArchivo)
            fijar("QUELVA_CONV_STDERR_FILE", conv(c.stderrArchivo));
        if (c.obj)
            fijar("QUELVA_CONV_OBJ", conv(c.obj));
        if (c.senal) {
            fijar("QUELVA_CONV_SENAL", c.senal);
            fijar("QUELVA_CONV_PARCIAL", "1");
        }
        const QString motor = c.noEjecutable ? noexec : conversor();
        const QString archivo = conv(c.archivo);

        EXPECT_EQ(errorVinculo(archivo, motor), c.vinculo);
        EXPECT_TRUE(archivosTemporales().isEmpty()) << archivosTemporales().join(", ").toStdString();
        EXPECT_EQ(errorSlot(archivo, motor), c.slot);
        EXPECT_TRUE(archivosTemporales().isEmpty()) << archivosTemporales().join(", ").toStdString();
        EXPECT_TRUE(restauracionFalla(archivo, motor));
        EXPECT_TRUE(archivosTemporales().isEmpty()) << archivosTemporales().join(", ").toStdString();
    }
}

TEST_F(ConverterRun, ErrorsNameTheChosenFileNotTheWorkCopy)
{
    fijar("QUELVA_CONV_STATUS", "1");
    fijar("QUELVA_CONV_STDERR_IFC", "IfcConvert: el archivo IFC está vacío: ");
    const QString archivo = conv("muros_a.ifc");
    EXPECT_EQ(errorVinculo(archivo, conversor()),
              QString::fromUtf8("IfcConvert falló (código 1):\nIfcConvert: el archivo IFC está vacío: ") + archivo + "\n");
    EXPECT_EQ(errorSlot(archivo, conversor()),
              QString::fromUtf8("IfcConvert falló:\nIfcConvert: el archivo IFC está vacío: ") + archivo + "\n");
}

TEST_F(ConverterRun, HandsTheConverterTheCopyTheOutputAndTheTwoOptions)
{
    const QString args = otro("args.txt");
    const QString copia = otro("copia.ifc");
    fijar("QUELVA_CONV_ARGS", args);
    fijar("QUELVA_CONV_COPIA", copia);
    fijar("QUELVA_CONV_OBJ", conv("dos_muros.obj"));
    const QString rutaOBJ = nuevaRutaOBJ();

    auto salida = convertirIFC(conv("muros_a.ifc"), conversor(), rutaOBJ);
    ASSERT_TRUE(std::holds_alternative<ResultadoVinculo>(salida));

    QFile f(args);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList recibidos = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(recibidos.size(), 4);
    const QFileInfo ifc(recibidos[0]);
    EXPECT_EQ(ifc.absolutePath(), QDir::cleanPath(temporal()));
    EXPECT_TRUE(QRegularExpression("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.ifc$")
                    .match(ifc.fileName()).hasMatch())
        << ifc.fileName().toStdString();
    EXPECT_EQ(recibidos[1], rutaOBJ);
    EXPECT_EQ(recibidos[2], "--use-world-coords");
    EXPECT_EQ(recibidos[3], "--use-element-names");

    QFile original(conv("muros_a.ifc"));
    QFile recibida(copia);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    ASSERT_TRUE(recibida.open(QIODevice::ReadOnly));
    EXPECT_EQ(recibida.readAll(), original.readAll());
}

TEST_F(ConverterRun, EachRunReadsOnlyWhatItNeedsAndLeavesOnlyTheLinkOBJ)
{
    fijar("QUELVA_CONV_OBJ", conv("dos_muros.obj"));
    const QString archivo = conv("muros_a.ifc");

    // Link: properties and grid axes; the OBJ stays for the completion to remove.
    const QString objVinculo = nuevaRutaOBJ();
    auto vinculo = convertirIFC(archivo, conversor(), objVinculo);
    ASSERT_TRUE(std::holds_alternative<ResultadoVinculo>(vinculo));
    const ResultadoVinculo& v = std::get<ResultadoVinculo>(vinculo);
    EXPECT_EQ(v.propiedades.at("Muro-A").at("Pset_WallCommon \u203A Material"), "Hormigón");
    EXPECT_EQ(v.propiedades.at("Muro-B").at("__tipoIFC"), "IFCWALL");
    ASSERT_EQ(v.grillas.size(), 2u);
    EXPECT_EQ(v.grillas[0].tag, "A");
    EXPECT_EQ(v.archivo, archivo);
    EXPECT_EQ(v.rutaOBJ, objVinculo);
    ASSERT_TRUE(v.nodo);
    ASSERT_EQ(v.nodo->children().size(), 2u);
    EXPECT_TRUE(v.nodo->children()[0]->hasName("IfcWall/Muro-A"));
    EXPECT_TRUE(v.nodo->children()[0]->geometry->firstMaterial());
    EXPECT_EQ(archivosTemporales(), QStringList{QFileInfo(objVinculo).fileName()});
    QFile::remove(objVinculo);

    // Slot: GlobalIds only; nothing left behind.
    auto slot = cargarSlotTRELM(archivo, conversor(), nuevaRutaOBJ(), "NUEVO", "muros_a.ifc");
    ASSERT_TRUE(std::holds_alternative<ResultadoSlot>(slot));
    const ResultadoSlot& s = std::get<ResultadoSlot>(slot);
    EXPECT_EQ(s.globalIds.at("Muro-A"), "1bNzHUq5P1YuqiAq7JxM3P");
    EXPECT_EQ(s.slot, "NUEVO");
    EXPECT_EQ(s.fileName, "muros_a.ifc");
    ASSERT_TRUE(s.nodo);
    EXPECT_TRUE(archivosTemporales().isEmpty());

    // Restore: properties only, its saved values passed through.
    EntradaRestauracion e;
    e.fuente = archivo;
    e.motor = conversor();
    e.rutaOBJ = nuevaRutaOBJ();
    e.key = "EST";
    e.nombre = "guardado.ifc";
    e.isVisible = false;
    e.transparencia = 0.4;
    e.ruta = archivo;
    const std::optional<ResultadoRestauracion> r = convertirEnSegundoPlano(e);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->key, "EST");
    EXPECT_EQ(r->nombre, "guardado.ifc");
    EXPECT_FALSE(r->isVisible);
    EXPECT_DOUBLE_EQ(r->transparencia, 0.4);
    EXPECT_EQ(r->ruta, archivo);
    EXPECT_TRUE(r->propiedades.contains("Muro-A"));
    EXPECT_TRUE(archivosTemporales().isEmpty());
}

TEST_F(ConverterRun, MegabytesOfErrorOutputDoNotBlockTheConverter)
{
    fijar("QUELVA_CONV_STDERR_MB", "8");
    fijar("QUELVA_CONV_OBJ", conv("dos_muros.obj"));
    const QString archivo = conv("muros_a.ifc");

    const QString rutaOBJ = nuevaRutaOBJ();
    EXPECT_TRUE(std::holds_alternative<ResultadoVinculo>(convertirIFC(archivo, conversor(), rutaOBJ)));
    QFile::remove(rutaOBJ);

    EntradaRestauracion e;
    e.fuente = archivo;
    e.motor = conversor();
    e.rutaOBJ = nuevaRutaOBJ();
    e.key = "ARQ";
    EXPECT_TRUE(convertirEnSegundoPlano(e).has_value());

    fijar("QUELVA_CONV_STATUS", "5");
    const QString mensaje = errorVinculo(archivo, conversor());
    const QString inicio = QStringLiteral("IfcConvert falló (código 5):\n");
    EXPECT_TRUE(mensaje.startsWith(inicio));
    EXPECT_EQ(mensaje.size(), inicio.size() + 8 * 1048576);
    EXPECT_TRUE(archivosTemporales().isEmpty());
}

}  // namespace
}  // namespace quelva
