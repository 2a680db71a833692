// IfcConvert <entrada.ifc> <salida.obj> --use-world-coords --use-element-names
//
// Writes one OBJ group per IFC element that has a body, named after the element's Name
// attribute, in world coordinates, metres, Z up. Exit status 0 on success; otherwise one
// line on standard error says why.
//
// Elements are converted by worker processes, as many as the machine had processors to spare
// while the file was read (at least one: a crash in the kernel then costs one element, not the
// run); IFCCONVERT_PROCESOS=N sets another count (1: all in this process). The output is the same.

#include "EscritorOBJ.h"
#include "GeometriaIFC.h"
#include "NombresElementos.h"
#include "PiezaOBJ.h"
#include "ProcesadoresLibres.h"
#include "RenumeracionSTEP.h"
#include "RevisionSTEP.h"
#include "SalidaPorSenal.h"
#include "SegmentosCurva.h"
#include "TrabajoEnProcesos.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <ctime>
#include <cmath>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <future>
#include <limits>
#include <locale.h>
#include <new>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef QUELVA_MIMALLOC
#include <mimalloc.h>
#endif

// IFC++ keeps its entities in reference cycles and never frees them; in sanitizer builds
// that would turn every successful run into a failed one.
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=0";
}

namespace {

using namespace quelva::ifcconvert;

constexpr int kErrorUso = 2;
constexpr int kErrorConversion = 1;

int fallar(const std::string& mensaje, int codigo = kErrorConversion)
{
    std::fprintf(stderr, "IfcConvert: %s\n", mensaje.c_str());
    return codigo;
}

void avisar(const std::string& mensaje)
{
    std::fprintf(stderr, "IfcConvert: %s\n", mensaje.c_str());
}

// A name on one line of the error output.
std::string enUnaLinea(std::string texto)
{
    for (char& c : texto)
        if (c == '\n' || c == '\r')
            c = ' ';
    return texto;
}

// References ("#" and digits, outside strings) that each attribute of a record writes; false
// when the table has no such record. atributos is a reused buffer.
bool referenciasDe(const quelva::TablaRegistrosSTEP& tabla, int id, std::vector<std::string_view>& atributos,
                   std::vector<int>& cuentas)
{
    const quelva::RegistroSTEP* registro = tabla.buscar(id);
    if (!registro)
        return false;
    quelva::separarAtributosSTEP(registro->argumentos, atributos);
    cuentas.clear();
    for (const std::string_view atributo : atributos) {
        int n = 0;
        bool enCadena = false;
        for (std::size_t i = 0; i < atributo.size(); ++i) {
            if (atributo[i] == '\'')
                enCadena = !enCadena;
            else if (!enCadena && atributo[i] == '#' && i + 1 < atributo.size() &&
                     std::isdigit(static_cast<unsigned char>(atributo[i + 1])))
                ++n;
        }
        cuentas.push_back(n);
    }
    return true;
}

// The whole file in one read where it can: a character at a time through a stream took a
// twentieth of the run on a large model. Gives errno, or 0.
int leerArchivo(const std::string& ruta, std::string& texto)
{
    const int fd = ::open(ruta.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && info.st_size > 0)
        texto.reserve(static_cast<std::size_t>(info.st_size));
    char bloque[1 << 16];
    int error = 0;
    while (true) {
        const std::size_t libre = texto.capacity() - texto.size();
        if (libre >= sizeof bloque) {
            // straight into the string's own storage
            const std::size_t antes = texto.size();
            texto.resize(texto.capacity());
            const ssize_t n = ::read(fd, texto.data() + antes, libre);
            texto.resize(antes + static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                error = n < 0 ? errno : 0;
                break;
            }
            continue;
        }
        const ssize_t n = ::read(fd, bloque, sizeof bloque);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : 0;
            break;
        }
        texto.append(bloque, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return error;
}

std::string mensajeDeExcepcion(std::exception_ptr e)
{
    try {
        std::rethrow_exception(e);
    } catch (const std::bad_alloc&) {
        return "memoria insuficiente para convertir el archivo IFC";
    } catch (const std::exception& x) {
        return std::string("error inesperado al convertir el archivo IFC: ") + x.what();
    } catch (...) {
        return "error inesperado al convertir el archivo IFC";
    }
}

constexpr int kMaximoProcesos = 256;
// Below this many elements per worker, another worker costs more to start than it saves.
constexpr std::size_t kElementosPorProceso = 16;

struct Procesos {
    int cuantos = 1;
    bool pedidos = false;  // set by IFCCONVERT_PROCESOS
};

// IFCCONVERT_PROCESOS when set, else the processors this run may use; nullopt when the
// variable holds no count.
std::optional<Procesos> procesosPedidos()
{
    const char* valor = std::getenv("IFCCONVERT_PROCESOS");
    if (!valor || !*valor)
        return Procesos{procesadoresDisponibles(), false};
    int n = 0;
    const char* fin = valor + std::strlen(valor);
    const auto r = std::from_chars(valor, fin, n);
    if (r.ec != std::errc() || r.ptr != fin || n < 1 || n > kMaximoProcesos)
        return std::nullopt;
    return Procesos{n, true};
}

bool localeEnUsDisponible()
{
    locale_t l = ::newlocale(LC_ALL_MASK, "en_US.UTF-8", static_cast<locale_t>(0));
    if (!l)
        return false;
    ::freelocale(l);
    return true;
}

// The machine's and this process's processor time when the file starts to be read.
struct InicioLectura {
    std::optional<TiemposProcesador> maquina = leerTiemposProcesador();
    std::clock_t propio = std::clock();
    std::chrono::steady_clock::time_point reloj = std::chrono::steady_clock::now();
};

// The processors that stood idle while the file was read, and the ones this process used then
// (at least one; its reading threads are done before the workers start): on a busy machine more
// workers than that only share the same processors and pay for their copies of the model's pages.
int procesosSegunOcio(const InicioLectura& inicio, int maximo)
{
    const auto despues = leerTiemposProcesador();
    const long enLinea = ::sysconf(_SC_NPROCESSORS_ONLN);
    if (!inicio.maquina || !despues || enLinea < 1)
        return maximo;
    const double pared = std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio.reloj).count();
    const double propios =
        pared > 0 ? static_cast<double>(std::clock() - inicio.propio) / CLOCKS_PER_SEC / pared : 1.0;
    const double libres =
        procesadoresOciosos(*inicio.maquina, *despues, static_cast<int>(enLinea)) + std::max(1.0, propios);
    return std::clamp(static_cast<int>(std::lround(libres)), 1, maximo);
}

int convertir(const std::string& entrada, const std::string& salida, Procesos procesos)
{
    const InicioLectura inicioLectura;
    struct stat info {};
    if (::stat(entrada.c_str(), &info) != 0)
        return fallar(errno == ENOENT ? "el archivo IFC no existe: " + entrada
                                      : "no se pudo leer el archivo IFC " + entrada + ": " + describirError(errno));
    if (S_ISDIR(info.st_mode))
        return fallar("no se pudo leer el archivo IFC " + entrada + ": es una carpeta");
    std::string texto;
    if (const int error = leerArchivo(entrada, texto))
        return fallar("no se pudo leer el archivo IFC " + entrada + ": " + describirError(error));

    if (texto.find_first_not_of(" \t\r\n") == std::string::npos)
        return fallar("el archivo IFC está vacío: " + entrada);

    const RevisionSTEP revision = revisarSTEP(texto);
    if (!revision.cabeceraISO)
        return fallar("el archivo no es un archivo IFC (ISO 10303-21): " + entrada);
    if (revision.esquemas.empty())
        return fallar("el archivo IFC no declara su esquema (FILE_SCHEMA): " + entrada);
    for (const std::string& esquema : revision.esquemas)
        if (!esquemaSoportado(esquema))
            return fallar("esquema IFC no soportado: " + esquema + " (se admiten IFC2X3 e IFC4)");
    if (!revision.seccionDatos || !revision.datosCerrados)
        return fallar("el archivo IFC está truncado: la sección DATA no termina con ENDSEC;");

    // IFC++ holds instance numbers in an int: numbers it cannot hold are renumbered first.
    if (auto renumerado = renumerarSTEP(texto, revision.inicioDatos))
        texto = std::move(*renumerado);
    // The names' record table is built on its own copy of the text while IFC++ reads the model.
    std::future<NombresElementos> nombresLeidos =
        std::async(std::launch::async, [copia = texto]() mutable { return NombresElementos(std::move(copia)); });
    // IFC++ gives up on a whole file over header details (the order of the header entities,
    // stray backslashes in FILE_NAME); it only needs the schema from there. It reads nothing of a
    // file declared as one of IFC4's addenda, which are IFC4 with corrections.
    const std::string esquema = revision.esquemas.front().rfind("IFC4ADD", 0) == 0 ? "IFC4" : revision.esquemas.front();
    texto.replace(0, revision.inicioDatos,
                  "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((''),'2;1');\nFILE_NAME('','',(''),(''),'','','');\n"
                  "FILE_SCHEMA(('" + esquema + "'));\nENDSEC;\n");
    // The model is left for the end of the process to take away: freeing its entities one by
    // one takes longer than converting many of them.
    GeometriaIFC& geometria = *new GeometriaIFC;
    const std::size_t entidades = geometria.leer(std::move(texto));
    const NombresElementos nombres = nombresLeidos.get();
    if (entidades == 0 && revision.registros > 0) {
        if (!localeEnUsDisponible())
            return fallar("no se leyó ninguna entidad del archivo IFC: falta la configuración regional en_US.UTF-8; "
                          "créala con: localedef -i en_US -f UTF-8 en_US.UTF-8");
        return fallar("no se leyó ninguna entidad de la sección DATA del archivo IFC");
    }

    EscritorOBJ escritor(salida);
    if (!escritor.abrir())
        return fallar("no se pudo escribir el archivo OBJ " + salida + ": " + escritor.error());
    // QUELVA_CONV_SIN_REVISION lets the kernel meet what the check would leave out: tests use it
    // to make a worker crash.
    std::vector<std::string_view> atributos;
    if (!std::getenv("QUELVA_CONV_SIN_REVISION"))
        for (const ProductoOmitido& omitido : geometria.revisar(
                 [&](int id, std::vector<int>& cuentas) { return referenciasDe(nombres.tabla(), id, atributos, cuentas); }))
            avisar("se omitió el elemento «" + enUnaLinea(nombres.nombre(omitido.id)) + "»: " + omitido.motivo);
    const std::size_t productos = geometria.preparar(leerSegmentosIndexados(nombres.tabla()));

    enum Resultado : char { kNada, kPieza, kLejos };
    MallaElemento malla;
    PiezaOBJ pieza;
    auto convertirUno = [&](std::size_t i) {
        if (!geometria.convertirProducto(i, malla))
            return kNada;
        if (malla.lejos)
            return kLejos;
        formatearPieza(malla, pieza);
        return kPieza;
    };
    auto nombre = [&](std::size_t i) { return nombres.nombre(geometria.idProducto(i)); };
    auto escribirUno = [&](std::size_t i, Resultado r) {
        if (r == kLejos)
            avisar("se omitió el elemento «" + enUnaLinea(nombre(i)) +
                   "»: sus coordenadas están demasiado lejos del origen para el archivo OBJ");
        else if (r == kPieza)
            escritor.escribirGrupo(nombre(i), pieza);
    };
    // Workers even for a few elements: a crash in the kernel then costs one element, not the run.
    if (!procesos.pedidos)
        procesos.cuantos = procesosSegunOcio(inicioLectura, procesos.cuantos);
    const std::size_t porTamano = (productos + kElementosPorProceso - 1) / kElementosPorProceso;
    const int trabajadores =
        static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(procesos.cuantos),
                                                procesos.pedidos ? productos : std::max<std::size_t>(porTamano, 1)));
    if (procesos.pedidos && procesos.cuantos == 1) {
        for (std::size_t i = 0; i < productos; ++i)
            escribirUno(i, convertirUno(i));
    } else {
        TrabajoEnProcesos trabajo;
        trabajo.producir = [&](std::size_t i, std::string& bytes) {
            const Resultado r = convertirUno(i);
            bytes.push_back(r);
            if (r == kPieza)
                serializarPieza(pieza, bytes);
        };
        trabajo.mensajeDeError = mensajeDeExcepcion;
        trabajo.entregar = [&](std::size_t i, std::string_view bytes) {
            const Resultado r = bytes.empty() ? kNada : static_cast<Resultado>(bytes[0]);
            if (bytes.empty() || (r == kPieza && !leerPieza(bytes.substr(1), pieza)))
                throw std::logic_error("a worker sent a damaged piece");
            escribirUno(i, r);
        };
        trabajo.caido = [&](std::size_t i, int senal) {
            avisar("se omitió el elemento «" + enUnaLinea(nombre(i)) + "»: el conversor se detuvo al construir su geometría" +
                   (senal > 0 ? " (señal " + std::to_string(senal) + ")" : std::string()));
        };
        if (auto error = ejecutarEnProcesos(productos, trabajadores, trabajo))
            return fallar(*error);
    }
    if (!escritor.terminar())
        return fallar("no se pudo escribir el archivo OBJ " + salida + ": " + escritor.error());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
#ifdef QUELVA_MIMALLOC
    // The model's memory in 2 MB pages where the system allows: filling it a 4 kB page at a
    // time cost a page fault each, about a sixth of the run.
    mi_option_enable(mi_option_large_os_pages);
#endif
    const char* uso = "uso: IfcConvert <entrada.ifc> <salida.obj> --use-world-coords --use-element-names";
    if (argc != 5)
        return fallar(uso, kErrorUso);
    const std::set<std::string> opciones = {argv[3], argv[4]};
    if (opciones != std::set<std::string>{"--use-world-coords", "--use-element-names"})
        return fallar(uso, kErrorUso);
    const std::optional<Procesos> procesos = procesosPedidos();
    if (!procesos)
        return fallar("IFCCONVERT_PROCESOS debe ser un número entero de 1 a " + std::to_string(kMaximoProcesos), kErrorUso);
    instalarSalidaPorSenal();
    try {
        return convertir(argv[1], argv[2], *procesos);
    } catch (...) {
        return fallar(mensajeDeExcepcion(std::current_exception()));
    }
}
