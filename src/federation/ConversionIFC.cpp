#include "federation/ConversionIFC.h"

#include "federation/obj/ObjLoader.h"
#include "platform/ProcessRunner.h"
#include "platform/TemporaryFiles.h"
#include "viewport/NormalizarMateriales.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>
#include <new>
#include <filesystem>
#include <functional>
#include <system_error>

namespace quelva {

namespace {

namespace fs = std::filesystem;

fs::path rutaSistema(const QString& ruta)
{
    const QByteArray bytes = QFile::encodeName(ruta);
    return fs::path(std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
}

void eliminarSinError(const QString& ruta)
{
    std::error_code ec;
    fs::remove(rutaSistema(ruta), ec);
}

// The converter writes "<OBJ>.parcial-XXXXXX" beside its output and renames it at the end.
void eliminarParciales(const QString& rutaOBJ)
{
    const fs::path obj = rutaSistema(rutaOBJ);
    const std::string prefijo = obj.filename().string() + ".parcial-";
    std::error_code ec;
    for (fs::directory_iterator it(obj.parent_path(), ec), fin; !ec && it != fin; it.increment(ec)) {
        if (it->path().filename().string().rfind(prefijo, 0) == 0) {
            std::error_code ignorado;
            fs::remove(it->path(), ignorado);
        }
    }
}

QString mensajeSenal(std::int32_t senal)
{
    return QStringLiteral("El conversor IFC se detuvo inesperadamente (señal %1).").arg(senal);
}

QString describirErrorCopia(const std::error_code& ec)
{
    switch (ec.value()) {
    case ENOENT: return QStringLiteral("el archivo no existe.");
    case EACCES:
    case EPERM: return QStringLiteral("no hay permiso para leer el archivo o escribir la copia.");
    case ENOSPC: return QStringLiteral("no queda espacio en el disco.");
    case EISDIR: return QStringLiteral("la ruta es una carpeta, no un archivo.");
    default: return QString::fromLocal8Bit(ec.message().c_str());
    }
}

void reemplazarTodo(std::string& texto, const std::string& buscado, const std::string& nuevo)
{
    if (buscado.empty())
        return;
    for (size_t i = texto.find(buscado); i != std::string::npos; i = texto.find(buscado, i + nuevo.size()))
        texto.replace(i, buscado.size(), nuevo);
}

// What went wrong in the common part of a run.
struct Fallo {
    enum class Tipo { copia, arranque, salida, senal, geometria };
    Tipo tipo;
    QString descripcion;       // copy and launch failures
    std::int32_t codigo = 0;   // exit status
    std::string errorSalida;   // the converter's standard error

    static Fallo de(Tipo tipo, QString descripcion = {})
    {
        Fallo f;
        f.tipo = tipo;
        f.descripcion = std::move(descripcion);
        return f;
    }
};

// The steps every run shares: copy, convert, read the copy (whatever the exit status), remove
// the copy, load and normalise the OBJ. A failed run leaves no work file behind.
std::variant<scene::NodePtr, Fallo> convertir(const QString& archivo, const QString& motor,
                                              const QString& rutaOBJ,
                                              const std::function<void(const fs::path&)>& leerIFC)
{
    const QString copia = platform::temporaryWorkPath(QStringLiteral(".ifc"));
    std::error_code ec;
    if (!fs::copy_file(rutaSistema(archivo), rutaSistema(copia), ec) || ec) {
        eliminarSinError(copia);  // a copy cut short by a full disk
        return Fallo::de(Fallo::Tipo::copia, describirErrorCopia(ec ? ec : std::make_error_code(std::errc::io_error)));
    }

    platform::ProcessResult proceso = platform::runProcess(motor, argumentosConversor(copia, rutaOBJ));
    if (!proceso.started) {
        eliminarSinError(copia);
        eliminarSinError(rutaOBJ);
        return Fallo::de(Fallo::Tipo::arranque, proceso.startError);
    }

    leerIFC(rutaSistema(copia));
    eliminarSinError(copia);

    if (!proceso.exitedNormally && proceso.exitStatus > 0) {
        // a converter that died cannot have cleaned up its half-written output
        eliminarParciales(rutaOBJ);
        eliminarSinError(rutaOBJ);
        Fallo f = Fallo::de(Fallo::Tipo::senal);
        f.codigo = proceso.exitStatus;
        return f;
    }
    if (!proceso.succeeded()) {
        eliminarSinError(rutaOBJ);
        Fallo f = Fallo::de(Fallo::Tipo::salida);
        f.codigo = proceso.exitStatus != 0 ? proceso.exitStatus : -1;
        f.errorSalida = std::move(proceso.standardError);
        // The converter names the file it was given; the user knows their own, not the work copy.
        reemplazarTodo(f.errorSalida, QFile::encodeName(copia).toStdString(), QFile::encodeName(archivo).toStdString());
        reemplazarTodo(f.errorSalida, QFile::encodeName(QFileInfo(copia).fileName()).toStdString(),
                       QFile::encodeName(QFileInfo(archivo).fileName()).toStdString());
        return f;
    }

    scene::NodePtr nodo = cargarOBJ(rutaSistema(rutaOBJ));
    if (!nodo) {
        eliminarSinError(rutaOBJ);
        return Fallo::de(Fallo::Tipo::geometria);
    }
    nodo->visitDescendants([](scene::Node& n) {
        normalizarMateriales(n);
        return false;
    });
    return nodo;
}

std::optional<QString> decodificarUTF8(const std::string& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString texto = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (decoder.hasError())
        return std::nullopt;
    return texto;
}

}  // namespace

QStringList argumentosConversor(const QString& copiaIFC, const QString& rutaOBJ)
{
    return {copiaIFC, rutaOBJ, QStringLiteral("--use-world-coords"), QStringLiteral("--use-element-names")};
}

SalidaConversion<ResultadoVinculo> convertirIFC(const QString& archivo, const QString& motor,
                                                const QString& rutaOBJ)
{
    ResultadoVinculo r;
    auto salida = convertir(archivo, motor, rutaOBJ, [&r](const fs::path& copia) {
        // One reading of the file serves both readers; a file too large for memory reads as empty.
        try {
            const TablaRegistrosSTEP tabla = leerArchivoSTEP(copia);
            r.propiedades = parsearPropiedadesIFC(tabla);
            r.globalIds = parsearGlobalIdsUnivocos(tabla);
            r.grillas = parsearGrillasIFC(tabla);
        } catch (const std::bad_alloc&) {
            r.propiedades = {};
            r.globalIds = {};
            r.grillas = {};
        }
    });
    if (const Fallo* f = std::get_if<Fallo>(&salida)) {
        switch (f->tipo) {
        case Fallo::Tipo::copia:
            return QStringLiteral("No se pudo copiar el archivo al directorio temporal: ") + f->descripcion;
        case Fallo::Tipo::arranque:
            return QStringLiteral("No se pudo ejecutar IfcConvert: ") + f->descripcion;
        case Fallo::Tipo::senal:
            return mensajeSenal(f->codigo);
        case Fallo::Tipo::salida:
            return QStringLiteral("IfcConvert falló (código %1):\n").arg(f->codigo)
                + decodificarUTF8(f->errorSalida).value_or(QStringLiteral("Sin detalle"));
        case Fallo::Tipo::geometria:
            return QStringLiteral("No se pudo cargar la geometría. El archivo generado puede estar vacío o corrupto.");
        }
    }
    r.nodo = std::get<scene::NodePtr>(std::move(salida));
    r.archivo = archivo;
    r.rutaOBJ = rutaOBJ;
    return r;
}

SalidaConversion<ResultadoSlot> cargarSlotTRELM(const QString& archivo, const QString& motor,
                                                const QString& rutaOBJ, const QString& slot,
                                                const QString& fileName)
{
    ResultadoSlot r;
    auto salida = convertir(archivo, motor, rutaOBJ, [&r](const fs::path& copia) {
        r.globalIds = parsearGlobalIds(copia);
    });
    if (const Fallo* f = std::get_if<Fallo>(&salida)) {
        switch (f->tipo) {
        case Fallo::Tipo::copia:
            return QStringLiteral("Error copiando archivo: ") + f->descripcion;
        case Fallo::Tipo::arranque:
            return QStringLiteral("Error ejecutando IfcConvert: ") + f->descripcion;
        case Fallo::Tipo::senal:
            return mensajeSenal(f->codigo);
        case Fallo::Tipo::salida:
            return QStringLiteral("IfcConvert falló:\n") + decodificarUTF8(f->errorSalida).value_or(QString());
        case Fallo::Tipo::geometria:
            return QStringLiteral("No se pudo cargar la geometría TRELM.");
        }
    }
    eliminarSinError(rutaOBJ);
    r.nodo = std::get<scene::NodePtr>(std::move(salida));
    r.slot = slot;
    r.fileName = fileName;
    return r;
}

std::optional<ResultadoRestauracion> convertirEnSegundoPlano(const EntradaRestauracion& entrada)
{
    ResultadoRestauracion r;
    auto salida = convertir(entrada.fuente, entrada.motor, entrada.rutaOBJ, [&r](const fs::path& copia) {
        try {
            const TablaRegistrosSTEP tabla = leerArchivoSTEP(copia);
            r.propiedades = parsearPropiedadesIFC(tabla);
            r.globalIds = parsearGlobalIdsUnivocos(tabla);
            r.grillas = parsearGrillasIFC(tabla);
        } catch (const std::bad_alloc&) {
            r.propiedades = {};
            r.globalIds = {};
            r.grillas = {};
        }
    });
    if (std::holds_alternative<Fallo>(salida))
        return std::nullopt;
    eliminarSinError(entrada.rutaOBJ);
    r.nodo = std::get<scene::NodePtr>(std::move(salida));
    r.key = entrada.key;
    r.orden = entrada.orden;
    r.transformacion = entrada.transformacion;
    r.nombre = entrada.nombre;
    r.isVisible = entrada.isVisible;
    r.transparencia = entrada.transparencia;
    r.ruta = entrada.ruta;
    return r;
}

}  // namespace quelva
